// What the web benchmarks share: the mid-range phone they emulate in headless
// Chromium, a finger's tap, and the watch on builds that ticked otherwise.
import { readFileSync } from 'node:fs';
import { join } from 'node:path';

// The phone: a 412x915 screen at 2.625x, the CPU 4x slower than this
// machine, on 4G of about 9 Mbit/s down and 85 ms round trip.
export const Phone = { width: 412, height: 915, scale: 2.625, touch: true };

export async function slowDown(page) {
  const session = await page.createCDPSession();
  await session.send('Emulation.setCPUThrottlingRate', { rate: 4 });
  await session.send('Network.enable');
  await session.send('Network.emulateNetworkConditions', {
    offline: false, latency: 85, downloadThroughput: (9e6 / 8), uploadThroughput: (2e6 / 8),
  });
}

// A finger's tap at a client point of the board, as the phone's screen
// gives it: the pointer goes down and lifts.
export async function tap(page, x, y) {
  page.clientWidth ||= await page.evaluate(() => JSON.parse(window.pellorin.UTF8ToString(window.pellorin._pellorin_design())).clientWidth);
  const { x: left, y: top, width } = page.board;
  const k = width / page.clientWidth;
  const point = { x: left + (x + 0.5) * k, y: top + (y + 0.5) * k };
  const session = page.touchSession ||= await page.createCDPSession();
  await session.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [point] });
  await session.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
}

// Builds from before the page ran the game's timers itself ticked through
// setInterval: the same marks and counts for them, so that a build compares
// with one of those in the same run.
function intervalTimers() {
  const { setInterval, clearInterval } = window;
  window.setInterval = (callback, ms, ...rest) => {
    const id = setInterval(() => {
      window.watched.ticks++;
      const began = performance.now();
      callback(...rest);
      window.watched.tickTimes.push(performance.now() - began);
    }, ms);
    window.watched.active.add(id);
    window.watched.started++;
    performance.mark('swap-start');
    return id;
  };
  window.clearInterval = (id) => {
    if (window.watched.active.delete(id))
      performance.mark('swap-end');
    clearInterval(id);
  };
}
const ticksByInterval = (folder) => !readFileSync(join(folder, 'pellorin.js'), 'utf8').includes('start_ticking');
// Runs a page's preparing steps, and watches the timers of a build that
// ticked through setInterval.
export const preparing = (site, ...steps) => async (page) => {
  for (const step of steps)
    await step(page);
  if (site.folder && ticksByInterval(site.folder))
    await page.evaluateOnNewDocument(intervalTimers);
};
