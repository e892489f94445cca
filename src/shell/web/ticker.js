// The game's timers on the page's own clock. Tick n of a timer is due n
// intervals after it started, and is delivered at that time; ticks that came
// due while the page was busy are delivered at once, in one task (those due
// meanwhile wait for the next, so that a frame can show between). A
// browser's own setInterval counts each interval from the last late tick, so
// on a slow phone a swap's eleven ticks drifted a quarter past the tempo.
const running = new Map(); // timer -> { timeout, delivered }
let inTick = false;
const afterTick = []; // what waits for the tick under way to end
const whileIdle = []; // what waits for no timer to run

function runAll(list) {
  for (const run of list.splice(0))
    run();
}

// Starts a timer that calls tick() once per interval from now on.
export function startTicking(timer, interval, tick) {
  stopTicking(timer);
  const start = performance.now();
  const state = { timeout: 0, delivered: 0 };
  const step = () => {
    const due = Math.floor((performance.now() - start) / interval);
    inTick = true;
    try {
      while (state.delivered < due && running.get(timer) === state) {
        ++state.delivered;
        tick();
      }
    } finally {
      inTick = false;
    }
    if (running.get(timer) === state)
      state.timeout = setTimeout(step, start + (state.delivered + 1) * interval - performance.now());
    if (afterTick.length)
      setTimeout(() => runAll(afterTick));
  };
  running.set(timer, state);
  state.timeout = setTimeout(step, interval);
}

export function stopTicking(timer) {
  const state = running.get(timer);
  if (!state)
    return;
  clearTimeout(state.timeout);
  running.delete(timer);
  // The last timer stopped, maybe inside its own tick: what waits for the
  // game to be idle runs once that tick's work is done.
  if (running.size === 0 && whileIdle.length)
    setTimeout(() => running.size === 0 && runAll(whileIdle));
}

// Runs fn now, or, inside a tick, in a task of its own once the tick is
// done: a tick only draws. What comes meanwhile waits its turn behind.
export function outsideTick(fn) {
  if (inTick || afterTick.length)
    afterTick.push(fn);
  else
    fn();
}

// Runs fn now when no timer runs, or else once the last one has stopped.
export function whenIdle(fn) {
  if (running.size === 0)
    fn();
  else
    whileIdle.push(fn);
}
