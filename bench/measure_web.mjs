// Measures the web game in headless Chromium against the served site and
// prints medians of RUNS (default 10): the page's own code as a server would
// send it gzipped, navigation to the first painted board, a swap from the
// press to the end of its line check, and script CPU over IDLE seconds
// (default 10) after a swap.
//   node bench/measure_web.mjs [RUNS] [IDLE]
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';
import { Harness, builtSite, click, idle, sleep } from '../tests/web/harness.mjs';

const runs = Number(process.argv[2] || 10);
const idleSeconds = Number(process.argv[3] || 10);
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const range = (values) => `[${Math.min(...values).toFixed(1)}–${Math.max(...values).toFixed(1)}]`;

const code = ['index.html', 'page.js', 'pellorin.js', 'pellorin.wasm'];
const sizes = code.map((file) => {
  const bytes = readFileSync(join(builtSite, file));
  return { file, raw: bytes.length, gzip: gzipSync(bytes, { level: 6 }).length };
});

const harness = await Harness.start();
harness.site('bench');
const firstPaint = [];
const swaps = [];
const idleScript = [];
const idleTasks = [];
try {
  for (let run = 0; run < runs; ++run) {
    const page = await harness.open('bench', { seed: run + 1 });
    firstPaint.push(await page.evaluate(() => performance.getEntriesByName('first-paint')[0].startTime));
    // Gaps whose swaps leave every line incomplete do not matter: the line
    // check runs after every swap.
    await click(page, 184, 208);
    await idle(page);
    swaps.push(await page.evaluate(() => {
      const start = performance.getEntriesByName('swap-start').at(-1).startTime;
      return performance.getEntriesByName('swap-end').at(-1).startTime - start;
    }));
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
    process.stderr.write(`run ${run + 1} of ${runs} done\n`);
  }
} finally {
  await harness.stop();
}

const row = (name, values, target) => console.log(`${name.padEnd(48)} ${median(values).toFixed(2).padStart(9)} ${range(values).padStart(18)}   ${target}`);
console.log(`web game, headless Chromium, ${runs} runs`);
for (const { file, raw, gzip } of sizes)
  console.log(`  ${file.padEnd(16)} ${String(raw).padStart(7)} B, gzip ${String(gzip).padStart(6)} B`);
const total = sizes.reduce((sum, s) => sum + s.gzip, 0);
console.log(`${'page code, gzip (KiB)'.padEnd(48)} ${(total / 1024).toFixed(2).padStart(9)} ${''.padStart(18)}   target ≤ 150`);
row('navigation to first painted board (ms)', firstPaint, 'target ≤ 150');
row('swap, press to line check done (ms)', swaps, 'target 275 ± 3 %');
row(`script CPU, ${idleSeconds} s idle after a swap (ms)`, idleScript, 'target 0');
row(`all main-thread tasks, ${idleSeconds} s idle (ms)`, idleTasks, '');
