// Measures the web game in headless Chromium against the served site and
// prints medians of RUNS (default 10): the page's own code as a server would
// send it gzipped, navigation to the first painted board, a swap from the
// press to the end of its line check, and script CPU over IDLE seconds
// (default 10) after a swap. Then the same on a mid-range phone: the CPU
// slowed 4x and the network shaped like 4G, the first painted board from a
// cold cache and again from the service worker, and the swap. Last, the swap
// cue's onset, from the press to the cue's start, on a network of 0 and of
// 150 ms round trip: the median of 7 presses after the first, whose cue is
// fetched.
//   node bench/measure_web.mjs [RUNS] [IDLE]
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { setTimeout as sleep } from 'node:timers/promises';
import { gzipSync } from 'node:zlib';
import { Harness, builtSite, click, cuesSettled, idle } from '../tests/web/harness.mjs';

const runs = Number(process.argv[2] || 10);
const idleSeconds = Number(process.argv[3] || 10);
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const range = (values) => `[${Math.min(...values).toFixed(1)}–${Math.max(...values).toFixed(1)}]`;

const code = ['index.html', 'page.js', 'pellorin.js', 'pellorin.wasm', 'sw.js'];
const sizes = code.map((file) => {
  const bytes = readFileSync(join(builtSite, file));
  return { file, raw: bytes.length, gzip: gzipSync(bytes, { level: 6 }).length };
});

// A mid-range phone: 4x slower than this machine, on 4G of about 9 Mbit/s
// down and 85 ms round trip.
const Phone = { width: 412, height: 915, scale: 2.625, touch: true };
async function slowDown(page) {
  const session = await page.createCDPSession();
  await session.send('Emulation.setCPUThrottlingRate', { rate: 4 });
  await session.send('Network.enable');
  await session.send('Network.emulateNetworkConditions', {
    offline: false, latency: 85, downloadThroughput: (9e6 / 8), uploadThroughput: (2e6 / 8),
  });
}
const firstPaintOf = (page) => page.evaluate(() => performance.getEntriesByName('first-paint')[0].startTime);
const lastSwap = (page) => page.evaluate(() => {
  const start = performance.getEntriesByName('swap-start').at(-1).startTime;
  return performance.getEntriesByName('swap-end').at(-1).startTime - start;
});

// The swap cue's onsets, in ms from each press, over a network of the given
// round trip, on a first visit (no service worker yet).
async function cueOnsets(page, presses) {
  const onsets = [];
  for (let press = 0; press < presses; ++press) {
    await click(page, 40, 64); // the same pair back and forth
    await idle(page);
    await cuesSettled(page);
    onsets.push(await page.evaluate(() => {
      const pressed = performance.getEntriesByName('press').at(-1).startTime;
      const started = performance.getEntriesByName('cue-start').find((mark) => mark.startTime >= pressed);
      return started.startTime - pressed;
    }));
  }
  return onsets;
}
const roundTrip = (rtt) => async (page) => {
  const session = await page.createCDPSession();
  await session.send('Network.enable');
  await session.send('Network.emulateNetworkConditions', { offline: false, latency: rtt, downloadThroughput: -1, uploadThroughput: -1 });
};

const harness = await Harness.start();
harness.site('bench');
const firstPaint = [];
const swaps = [];
const idleScript = [];
const idleTasks = [];
const phoneCold = [];
const phoneWarm = [];
const phoneSwaps = [];
const onsets = {};
try {
  for (let run = 0; run < runs; ++run) {
    const page = await harness.open('bench', { seed: run + 1 });
    firstPaint.push(await firstPaintOf(page));
    // Gaps whose swaps leave every line incomplete do not matter: the line
    // check runs after every swap.
    await click(page, 184, 208);
    await idle(page);
    swaps.push(await lastSwap(page));
    const session = await page.createCDPSession();
    await session.send('Performance.enable');
    const metrics = async () => Object.fromEntries((await session.send('Performance.getMetrics')).metrics.map((m) => [m.name, m.value]));
    await sleep(200);
    const before = await metrics();
    await sleep(idleSeconds * 1000);
    const afterIdle = await metrics();
    idleScript.push((afterIdle.ScriptDuration - before.ScriptDuration) * 1000);
    idleTasks.push((afterIdle.TaskDuration - before.TaskDuration) * 1000);
    await page.browserContext().close();

    const phone = await harness.open('bench', { seed: run + 1, device: Phone, prepare: slowDown });
    phoneCold.push(await firstPaintOf(phone));
    await phone.evaluate(() => navigator.serviceWorker.ready);
    await phone.reload();
    await phone.waitForFunction(() => window.pellorin && navigator.serviceWorker.controller);
    phoneWarm.push(await firstPaintOf(phone));
    await click(phone, 184, 208);
    await idle(phone);
    phoneSwaps.push(await lastSwap(phone));
    await phone.browserContext().close();
    process.stderr.write(`run ${run + 1} of ${runs} done\n`);
  }
  for (const rtt of [0, 150]) {
    const page = await harness.open('bench', { seed: 1, prepare: roundTrip(rtt) });
    onsets[rtt] = (await cueOnsets(page, 8)).slice(1);
    await page.browserContext().close();
  }
} finally {
  await harness.stop();
}

const row = (name, values, target) => console.log(`${name.padEnd(56)} ${median(values).toFixed(2).padStart(9)} ${range(values).padStart(18)}   ${target}`);
console.log(`web game, headless Chromium, ${runs} runs`);
for (const { file, raw, gzip } of sizes)
  console.log(`  ${file.padEnd(16)} ${String(raw).padStart(7)} B, gzip ${String(gzip).padStart(6)} B`);
const total = sizes.reduce((sum, s) => sum + s.gzip, 0);
console.log(`${'page code, gzip (KiB)'.padEnd(56)} ${(total / 1024).toFixed(2).padStart(9)} ${''.padStart(18)}   target ≤ 150`);
row('navigation to first painted board (ms)', firstPaint, 'target ≤ 150');
row('swap, press to line check done (ms)', swaps, 'target 275 ± 3 %');
row(`script CPU, ${idleSeconds} s idle after a swap (ms)`, idleScript, 'target 0');
row(`all main-thread tasks, ${idleSeconds} s idle (ms)`, idleTasks, '');
console.log('a mid-range phone: 412x915 at 2.625x, CPU 4x slower, 4G (9 Mbit/s, 85 ms)');
row('  first painted board, cold cache (ms)', phoneCold, 'target < 1000');
row('  first painted board, from the service worker (ms)', phoneWarm, 'target < 150');
row('  swap, press to line check done (ms)', phoneSwaps, 'target 275 ± 3 %');
console.log('the swap cue, press to start (7 presses after the first)');
for (const rtt of [0, 150])
  row(`  over a network of ${rtt} ms round trip (ms)`, onsets[rtt], 'target ≤ 30');
