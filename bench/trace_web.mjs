// Finds where the web game's time goes on the emulated phone (bench/webphone.mjs):
// Chromium performance traces of the first board from the service worker, the
// first swap and a later swap. For each it prints the window's length, the
// time each thread was busy in it, the page's main thread by what ran there
// (self time of each trace event), and the script functions the sampling
// profiler saw there (self time), the largest first.
//   node bench/trace_web.mjs [TOP]          default: the top 12 of each
// PELLORIN_SITE names another built site to trace; PELLORIN_TRACE_DIR keeps
// the raw traces there, for Chromium's DevTools to open.
import { writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { Harness, builtSite, cuesSettled, idle, workerActivated } from '../tests/web/harness.mjs';
import { Phone, preparing, slowDown, tap } from './webbench.mjs';

const top = Number(process.argv[2] || 12);
const Categories = ['devtools.timeline', 'disabled-by-default-devtools.timeline', 'blink.user_timing', 'v8',
                    'v8.execute', 'disabled-by-default-v8.cpu_profiler', 'loading', 'toplevel'];

// What a trace event stands for, with the detail that tells two alike apart.
function label(event) {
  const data = event.args?.data || event.args?.beginData || {};
  const detail = data.type || data.functionName || data.url || event.args?.fileName || '';
  return detail ? `${event.name} ${String(detail).split('/').pop().slice(0, 40)}` : event.name;
}

// Self time in ms by label of the complete events of one thread within a
// window, and how long the thread was busy in it.
function threadTime(events, from, to) {
  const spans = events.filter((e) => e.ph === 'X' && e.dur !== undefined && e.ts < to && e.ts + e.dur > from)
    .sort((a, b) => a.ts - b.ts || b.dur - a.dur);
  const self = new Map();
  const stack = [];
  let busy = 0;
  const clip = (e) => Math.min(e.ts + e.dur, to) - Math.max(e.ts, from);
  for (const event of spans) {
    while (stack.length && stack.at(-1).ts + stack.at(-1).dur <= event.ts)
      stack.pop();
    const parent = stack.at(-1);
    if (parent)
      self.set(label(parent), self.get(label(parent)) - clip(event) / 1000);
    else
      busy += clip(event);
    self.set(label(event), (self.get(label(event)) || 0) + clip(event) / 1000);
    stack.push(event);
  }
  return { self, busy: busy / 1000 };
}

// Self time in ms by function of the sampling profiler's samples of one
// thread within a window.
function scriptTime(events, pid, tid, from, to) {
  const self = new Map();
  for (const profile of events.filter((e) => e.name === 'Profile' && e.pid === pid && e.tid === tid)) {
    const nodes = new Map();
    let time = profile.args.data.startTime;
    const samples = [];
    for (const chunk of events.filter((e) => e.name === 'ProfileChunk' && e.pid === pid && e.id === profile.id)) {
      const { cpuProfile = {}, timeDeltas = [] } = chunk.args.data;
      for (const node of cpuProfile.nodes || [])
        nodes.set(node.id, node.callFrame);
      (cpuProfile.samples || []).forEach((node, i) => {
        time += timeDeltas[i] || 0;
        samples.push({ node, time });
      });
    }
    samples.forEach(({ node, time: at }, i) => {
      const next = samples[i + 1]?.time ?? at;
      if (at < from || at >= to)
        return;
      const frame = nodes.get(node) || {};
      const name = `${frame.functionName || '(anonymous)'} ${(frame.url || '').split('/').pop()}`.trim();
      self.set(name, (self.get(name) || 0) + (Math.min(next, to) - at) / 1000);
    });
  }
  return self;
}

function printTop(title, times) {
  console.log(`    ${title}`);
  for (const [name, ms] of [...times].filter(([, ms]) => ms >= 0.05).sort((a, b) => b[1] - a[1]).slice(0, top))
    console.log(`      ${ms.toFixed(1).padStart(8)} ms  ${name}`);
}

// Prints what one trace holds between two of the page's marks.
function summarise(name, trace, fromMark, toMark) {
  const events = trace.traceEvents;
  const marks = events.filter((e) => e.cat?.includes('blink.user_timing'));
  const end = marks.filter((e) => e.name === toMark).at(-1);
  const start = marks.filter((e) => e.name === fromMark && e.pid === end.pid && e.ts <= end.ts).at(-1);
  const { pid, tid } = end;
  const names = new Map(events.filter((e) => e.ph === 'M' && e.name === 'thread_name')
    .map((e) => [`${e.pid}/${e.tid}`, e.args.name]));
  console.log(`${name}: ${((end.ts - start.ts) / 1000).toFixed(1)} ms from ${fromMark} to ${toMark}`);
  const threads = new Map();
  for (const event of events.filter((e) => e.ph === 'X'))
    threads.set(`${event.pid}/${event.tid}`, [...(threads.get(`${event.pid}/${event.tid}`) || []), event]);
  const busy = [...threads].map(([thread, list]) => [`${names.get(thread) || thread}${thread === `${pid}/${tid}` ? ' (the page)' : ''}`,
                                                      threadTime(list, start.ts, end.ts).busy]);
  printTop('busy threads', busy);
  printTop('the page\'s main thread, self time', threadTime(threads.get(`${pid}/${tid}`), start.ts, end.ts).self);
  printTop('script, self time', scriptTime(events, pid, tid, start.ts, end.ts));
}

const harness = await Harness.start();
harness.site('trace');
const keep = (name, trace) => process.env.PELLORIN_TRACE_DIR
  && writeFileSync(join(process.env.PELLORIN_TRACE_DIR, `${name}.json`), JSON.stringify(trace));
try {
  const page = await harness.open('trace', { device: Phone, prepare: preparing({ folder: builtSite }, slowDown) });
  await workerActivated(page);
  const traced = async (name, action, fromMark, toMark) => {
    await page.tracing.start({ categories: Categories });
    await action();
    const trace = JSON.parse(new TextDecoder().decode(await page.tracing.stop()));
    keep(name, trace);
    summarise(name, trace, fromMark, toMark);
  };
  console.log(`the phone: ${Phone.width}x${Phone.height} at ${Phone.scale}x, CPU 4x slower, 4G`);
  await traced('first board from the service worker', async () => {
    await page.reload();
    await page.waitForFunction(() => navigator.serviceWorker.controller
                               && performance.getEntriesByName('board-shown').length, { timeout: 30000 });
  }, 'navigationStart', 'board-shown');
  page.board = await page.$eval('#board', (board) => {
    const { x, y, width, height } = board.getBoundingClientRect();
    return { x, y, width, height };
  });
  for (const name of ['first swap', 'a later swap']) {
    await traced(name, async () => {
      await tap(page, 184, 208);
      await idle(page);
      await cuesSettled(page);
    }, 'press', 'swap-end');
  }
} finally {
  await harness.stop();
}
