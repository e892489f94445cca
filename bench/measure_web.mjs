// Measures the web game in headless Chromium against the served site and
// prints medians and ranges of RUNS (default 10): the page's own code as a
// server would send it gzipped, navigation to the first frame that shows the
// board, five swaps after the first two, each from the press to the end of
// its line check, and script CPU over IDLE seconds (default 10) after them.
// Then on a mid-range phone (bench/webbench.mjs): the first board from a cold
// cache and again from the service worker, the first swap of a load on its
// own, later swaps, and the time each tick takes. Last, the swap cue's onset, from the press to the
// cue's start, on a network of 0 and of 150 ms round trip: the median of 7
// presses after the first two, which set sound up.
//   node bench/measure_web.mjs [RUNS] [IDLE] [SITE...]
// Each SITE (a built site's folder, or NAME=FOLDER) is measured in every run
// in turn, so that two builds compare on the same machine at the same time;
// the default is the build's own site. A floor runs beside them: a page that
// only paints a canvas, served by the same worker, which no page can beat.
import { readFileSync } from 'node:fs';
import { basename, join } from 'node:path';
import { setTimeout as sleep } from 'node:timers/promises';
import { gzipSync } from 'node:zlib';
import { Harness, builtSite, click, cuesSettled, idle, workerActivated } from '../tests/web/harness.mjs';
import { Phone, preparing, slowDown, tap } from './webbench.mjs';

const runs = Number(process.argv[2] || 10);
const idleSeconds = Number(process.argv[3] || 10);
const sites = (process.argv.length > 4 ? process.argv.slice(4) : [builtSite]).map((arg, i) => {
  const [name, folder] = arg.includes('=') ? arg.split('=') : [`site ${i + 1}`, arg];
  return { name, folder, key: `site${i}` };
});
const LaterSwaps = 5;
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const range = (values) => `[${Math.min(...values).toFixed(1)}–${Math.max(...values).toFixed(1)}]`;

// The floor: the canvas the board takes, painted black, and the page handed
// out as the game's is, so that the same watcher marks its first frame.
const FloorPage = `<!DOCTYPE html><html lang="sv"><head><meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1"><title>Pellorin</title></head>
<body style="margin:0;background:#000"><canvas id="board" style="width:100%"></canvas><script>
const board = document.getElementById('board');
board.width = Math.round(board.clientWidth * devicePixelRatio);
board.height = board.width;
board.getContext('2d', { alpha: false }).fillRect(0, 0, board.width, board.height);
window.pellorin = { page: {} };
navigator.serviceWorker?.register('sw.js');
</script></body></html>`;

const boardShown = (page) => page.evaluate(() => ({
  board: performance.getEntriesByName('board-shown', 'mark')[0].startTime,
  paint: performance.getEntriesByName('first-paint', 'paint')[0]?.startTime ?? NaN,
}));
// From the last press to the end of the swap it started.
const lastSwap = (page) => page.evaluate(() => {
  const press = performance.getEntriesByName('press').at(-1).startTime;
  return performance.getEntriesByName('swap-end').at(-1).startTime - press;
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
      return started ? started.startTime - pressed : NaN;
    }));
  }
  return onsets;
}
const roundTrip = (rtt) => async (page) => {
  const session = await page.createCDPSession();
  await session.send('Network.enable');
  await session.send('Network.emulateNetworkConditions', { offline: false, latency: rtt, downloadThroughput: -1, uploadThroughput: -1 });
};

// One run of the desktop figures of a site.
async function desktop(harness, site, seed, figures) {
  const page = await harness.open(site.key, { seed, prepare: preparing(site) });
  const shown = await boardShown(page);
  figures.firstBoard.push(shown.board);
  // Gaps whose swaps leave every line incomplete do not matter: the line
  // check runs after every swap. The first sets sound up, and the browser
  // may still be starting its audio during the next; the later ones are timed.
  for (let swap = 0; swap < 2 + LaterSwaps; ++swap) {
    await click(page, 184, 208);
    await idle(page);
    await cuesSettled(page);
    if (swap >= 2)
      figures.swaps.push(await lastSwap(page));
  }
  const session = await page.createCDPSession();
  await session.send('Performance.enable');
  const metrics = async () => Object.fromEntries((await session.send('Performance.getMetrics')).metrics.map((m) => [m.name, m.value]));
  await sleep(200);
  const before = await metrics();
  await sleep(idleSeconds * 1000);
  const afterIdle = await metrics();
  figures.idleScript.push((afterIdle.ScriptDuration - before.ScriptDuration) * 1000);
  figures.idleTasks.push((afterIdle.TaskDuration - before.TaskDuration) * 1000);
  await page.browserContext().close();
}

// One run of the phone's figures of a site: cold, then from the worker, and
// the swaps of that load.
async function phone(harness, site, seed, figures) {
  const page = await harness.open(site.key, { seed, device: Phone, prepare: preparing(site, slowDown) });
  figures.phoneCold.push((await boardShown(page)).board);
  await workerActivated(page);
  await page.reload();
  await page.waitForFunction(() => window.pellorin && navigator.serviceWorker.controller
                             && performance.getEntriesByName('board-shown', 'mark').length, { timeout: 30000 });
  const shown = await boardShown(page);
  figures.phoneWarm.push(shown.board);
  figures.phoneWarmPaint.push(shown.paint);
  if (site.key !== 'floor') {
    page.board = await page.$eval('#board', (board) => {
      const { x, y, width, height } = board.getBoundingClientRect();
      return { x, y, width, height };
    });
    const session = await page.createCDPSession();
    await session.send('Performance.enable');
    const taskTime = async () => (await session.send('Performance.getMetrics')).metrics.find((m) => m.name === 'TaskDuration').value;
    for (let swap = 0; swap <= LaterSwaps; ++swap) {
      const ticks = await page.evaluate(() => window.watched.ticks);
      const before = await taskTime();
      await tap(page, 184, 208);
      await idle(page);
      const after = await taskTime();
      (swap === 0 ? figures.phoneFirstSwap : figures.phoneSwaps).push(await lastSwap(page));
      if (swap > 0) {
        const { count, times } = await page.evaluate((ticks) => ({ count: window.watched.ticks - ticks,
                                                                    times: window.watched.tickTimes.slice(ticks) }), ticks);
        figures.tickScript.push(...times);
        figures.tickTasks.push(((after - before) * 1000) / count);
      }
      await cuesSettled(page);
    }
  }
  await page.browserContext().close();
}

const harness = await Harness.start();
const measured = [{ name: 'floor: a page that only paints a canvas', key: 'floor' }, ...sites];
for (const site of sites)
  harness.site(site.key, {}, site.folder);
harness.site('floor', { 'index.html': FloorPage });
const names = ['firstBoard', 'swaps', 'idleScript', 'idleTasks', 'phoneCold', 'phoneWarm', 'phoneWarmPaint', 'phoneFirstSwap',
               'phoneSwaps', 'tickScript', 'tickTasks'];
for (const site of measured)
  site.figures = Object.fromEntries(names.map((name) => [name, []]));
try {
  for (let run = 0; run < runs; ++run) {
    for (const site of measured) {
      if (site.key !== 'floor')
        await desktop(harness, site, run + 1, site.figures);
      await phone(harness, site, run + 1, site.figures);
    }
    process.stderr.write(`run ${run + 1} of ${runs} done\n`);
  }
  for (const site of sites) {
    site.onsets = {};
    for (const rtt of [0, 150]) {
      const page = await harness.open(site.key, { seed: 1, prepare: preparing(site, roundTrip(rtt)) });
      site.onsets[rtt] = (await cueOnsets(page, 9)).slice(2);
      await page.browserContext().close();
    }
  }
} finally {
  await harness.stop();
}

const row = (name, values, target = '') => values.length
  && console.log(`${name.padEnd(58)} ${median(values).toFixed(2).padStart(9)} ${range(values).padStart(18)}   ${target}`);
console.log(`web game, headless Chromium, ${runs} runs; medians and [ranges]`);
for (const site of measured) {
  const f = site.figures;
  console.log(`\n${site.name}${site.folder ? ` (${site.folder})` : ''}`);
  if (site.folder) {
    const code = ['index.html', 'pellorin.js', 'pellorin.wasm', 'sw.js',
                  ...JSON.parse(readFileSync(join(site.folder, 'sw.js'), 'utf8').match(/const Files = (\[.*\]);/)[1].replace(/'/g, '"'))
                    .filter((file) => file.endsWith('.js') && !['pellorin.js', 'sw.js'].includes(file))];
    const total = code.reduce((sum, file) => sum + gzipSync(readFileSync(join(site.folder, file)), { level: 6 }).length, 0);
    console.log(`${'page code, gzip (KiB)'.padEnd(58)} ${(total / 1024).toFixed(2).padStart(9)} ${''.padStart(18)}   target ≤ 150`
                + `   (${code.map((file) => basename(file)).join(', ')})`);
  }
  row('navigation to the first frame with the board (ms)', f.firstBoard, 'target ≤ 150');
  row(`swaps after the first two (${LaterSwaps} a run), press to line check done (ms)`, f.swaps, 'target 275 ± 3 %');
  row(`script CPU, ${idleSeconds} s idle after a swap (ms)`, f.idleScript, 'target 0');
  row(`all main-thread tasks, ${idleSeconds} s idle (ms)`, f.idleTasks);
  console.log('a mid-range phone: 412x915 at 2.625x, CPU 4x slower, 4G (9 Mbit/s, 85 ms)');
  row('  first frame with the board, cold cache (ms)', f.phoneCold, 'target < 1000');
  row('  first frame with the board, from the service worker (ms)', f.phoneWarm, 'target < 150');
  row('  the browser\'s first paint of that page, no board yet (ms)', f.phoneWarmPaint);
  row('  first swap of a load, press to line check done (ms)', f.phoneFirstSwap, 'target 275 ± 3 %');
  row(`  later swaps (${LaterSwaps} a run), press to line check done (ms)`, f.phoneSwaps, 'target 275 ± 3 %');
  row('  a tick, the game\'s script and drawing calls (ms)', f.tickScript);
  row('  a tick, all main-thread tasks of the swap per tick (ms)', f.tickTasks);
  if (site.onsets) {
    console.log('the swap cue, press to start (7 presses after the first two)');
    for (const rtt of [0, 150])
      row(`  over a network of ${rtt} ms round trip (ms)`, site.onsets[rtt], 'target ≤ 30');
  }
}
