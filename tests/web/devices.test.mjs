// The web game on phones, tablets and a desktop, in headless Chromium's
// device emulation with touch: the fit to the screen, taps and swipes, the
// menu by tap, a rotation during a swap, offline play, a new build taking
// over, and installability.
import assert from 'node:assert/strict';
import { readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { after, before, describe, test } from 'node:test';
import { Faces, Harness, colours, cuesSettled, facePoint, home, idle, pixels, workerActivated } from './harness.mjs';

const Devices = [
  { name: 'a phone, 360x800 at 3x', width: 360, height: 800, scale: 3, touch: true },
  { name: 'a phone, 412x915 at 2.625x', width: 412, height: 915, scale: 2.625, touch: true },
  { name: 'a phone, 390x844 at 3x', width: 390, height: 844, scale: 3, touch: true },
  { name: 'a tablet, 820x1180 at 2x', width: 820, height: 1180, scale: 2, touch: true },
  { name: 'a phone held sideways, 800x360 at 3x', width: 800, height: 360, scale: 3, touch: true },
  { name: 'a desktop with a mouse, 1280x800 at 1x', width: 1280, height: 800, scale: 1, touch: false },
];
const Black = [0, 0, 0];
const ClientWidth = 414;
const ClientHeight = 413;

let harness;
before(async () => {
  harness = await Harness.start();
  harness.site('devices');
});
after(() => harness.stop());

// Device pixels per client pixel that the board should take on a device:
// the largest that fits, on whole device pixels, under the menu bar (44 CSS
// pixels tall for a finger, 21 for a mouse); no more than 1x with a mouse.
function expectedScale({ width, height, scale, touch }) {
  const menu = Math.ceil((touch ? 44 : 21) * scale);
  const fits = Math.min(Math.floor(width * scale) / ClientWidth, (Math.floor(height * scale) - menu) / ClientHeight);
  return touch ? fits : Math.min(fits, scale);
}

async function boardRect(page) {
  return page.$eval('#board', (board) => { const r = board.getBoundingClientRect(); return { x: r.x, y: r.y, width: r.width, height: r.height }; });
}

// The viewport point, in CSS pixels, of the middle of a client pixel.
async function at(page, x, y) {
  const rect = await boardRect(page);
  return { x: rect.x + ((x + 0.5) * rect.width) / ClientWidth, y: rect.y + ((y + 0.5) * rect.height) / ClientHeight };
}

async function touch(page, type, point) {
  const session = page.cdp ||= await page.createCDPSession();
  await session.send('Input.dispatchTouchEvent', { type, touchPoints: point ? [{ x: point.x, y: point.y }] : [] });
}

// A press at a viewport point by the device's own pointer: a tap, or a click.
async function pressPoint(page, device, point) {
  if (device.touch) {
    await touch(page, 'touchStart', point);
    await touch(page, 'touchEnd');
  } else {
    await page.mouse.click(point.x, point.y);
  }
}

// A press at a client point of the board.
async function press(page, device, x, y) {
  await pressPoint(page, device, await at(page, x, y));
}

// A finger from one client point to another, in a few steps.
async function swipe(page, from, to) {
  const start = await at(page, ...from);
  const end = await at(page, ...to);
  await touch(page, 'touchStart', start);
  for (const step of [1, 2, 3])
    await touch(page, 'touchMove', { x: start.x + ((end.x - start.x) * step) / 3, y: start.y + ((end.y - start.y) * step) / 3 });
  await touch(page, 'touchEnd');
}

// A press in the middle of an element of the page.
async function pressElement(page, device, selector) {
  const box = await (await page.$(selector)).boundingBox();
  await pressPoint(page, device, { x: box.x + box.width / 2, y: box.y + box.height / 2 });
}

// Every ball shows its face in its cell, and the middles of the gaps and of
// the margins are black: the board is drawn whole, at whatever scale.
async function assertBoardWhole(page) {
  const shown = await colours(page);
  const faces = await pixels(page, shown.map((_, i) => facePoint(i + 1)), { centre: true });
  shown.forEach((colour, i) => assert.deepEqual(faces[i], Faces[colour - 1], `ball ${i + 1}`));
  const gaps = shown.flatMap((_, i) => { const { left, top } = home(i + 1); return [[left + 16, top + 39], [left + 39, top + 16], [left - 12, top - 12]]; });
  (await pixels(page, [...gaps, [405, 405]], { centre: true })).forEach((p, i) => assert.deepEqual(p, Black, `gap point ${i}`));
}

// Every tile stands on the canvas exactly as the game's painter paints it at
// the board's tile size, unresampled, with its corner on a whole device pixel
// within one of where the board's scale puts it, and black device pixels
// right around it: every edge goes from black to the tile at once.
async function assertCrisp(page, scale) {
  const faults = await page.evaluate((scale) => {
    const game = window.pellorin;
    const board = document.getElementById('board');
    const canvas = board.getContext('2d').getImageData(0, 0, board.width, board.height).data;
    const size = game._pellorin_tile_size();
    const painted = [1, 2, 3, 4, 5, 6].map((picture) => {
      const at = game._pellorin_tile(picture, size);
      return game.HEAPU8.slice(at, at + size * size * 4);
    });
    const black = (x, y) => canvas[4 * (y * board.width + x)] + canvas[4 * (y * board.width + x) + 1] + canvas[4 * (y * board.width + x) + 2] === 0;
    const drawnAt = (tile, left, top) => {
      for (let y = 0; y < size; ++y) {
        for (let x = 0; x < size; ++x) {
          const c = 4 * ((top + y) * board.width + left + x);
          const t = 4 * (y * size + x);
          if (canvas[c] !== tile[t] || canvas[c + 1] !== tile[t + 1] || canvas[c + 2] !== tile[t + 2])
            return false;
        }
      }
      return true;
    };
    const faults = [];
    for (let k = 1; k <= 64; ++k) {
      const tile = painted[game._pellorin_colour(k) - 1];
      const exactLeft = (24 + 48 * ((k - 1) % 8)) * scale;
      const exactTop = (24 + 48 * Math.floor((k - 1) / 8)) * scale;
      let found = null;
      for (let top = Math.floor(exactTop) - 1; !found && top <= Math.ceil(exactTop) + 1; ++top)
        for (let left = Math.floor(exactLeft) - 1; !found && left <= Math.ceil(exactLeft) + 1; ++left)
          if (drawnAt(tile, left, top))
            found = { left, top };
      if (!found || Math.abs(found.left - exactLeft) >= 1 || Math.abs(found.top - exactTop) >= 1) {
        faults.push(`ball ${k}: not drawn as painted near ${exactLeft}, ${exactTop}`);
        continue;
      }
      for (let i = -1; i <= size; ++i) {
        for (const [x, y] of [[found.left - 1, found.top + i], [found.left + size, found.top + i],
                              [found.left + i, found.top - 1], [found.left + i, found.top + size]])
          if (!black(x, y))
            faults.push(`ball ${k}: device pixel ${x}, ${y} beside it is not black`);
      }
    }
    return { size, faults };
  }, scale);
  assert.equal(faults.size, Math.round(32 * scale), 'the tile size');
  assert.deepEqual(faults.faults, []);
}

function swapped(was, [a, b]) {
  const expected = [...was];
  [expected[a - 1], expected[b - 1]] = [was[b - 1], was[a - 1]];
  return expected;
}

// The board's geometry, in device pixels: its size, its place on whole
// device pixels, and where the outer tiles' edges fall in it.
async function assertFitted(page, device) {
  const shape = await page.evaluate(() => {
    const board = document.getElementById('board');
    const game = document.getElementById('game').getBoundingClientRect();
    const caption = document.getElementById('mnuMeny').getBoundingClientRect();
    const rect = board.getBoundingClientRect();
    const context = board.getContext('2d');
    const k = board.width / 414;
    const row = context.getImageData(0, Math.floor(40.5 * k), board.width, 1).data;
    const lit = [];
    for (let x = 0; x < board.width; ++x)
      if (row[4 * x] + row[4 * x + 1] + row[4 * x + 2] > 0)
        lit.push(x);
    const scroller = document.scrollingElement;
    return {
      ratio: devicePixelRatio, width: board.width, height: board.height, rect: { x: rect.x, y: rect.y, width: rect.width, height: rect.height },
      game: { left: game.left, top: game.top, right: game.right, bottom: game.bottom },
      caption: { left: caption.left, top: caption.top, right: caption.right, bottom: caption.bottom, height: caption.height },
      firstLit: lit[0], lastLit: lit.at(-1),
      scroll: { width: scroller.scrollWidth, height: scroller.scrollHeight },
      viewport: { width: innerWidth, height: innerHeight },
    };
  });
  assert.equal(shape.ratio, device.scale);
  const k = expectedScale(device);
  assert.ok(Math.abs(shape.width - ClientWidth * k) <= 1, `board ${shape.width} device pixels wide, not ${ClientWidth * k}`);
  assert.ok(Math.abs(shape.height - ClientHeight * k) <= 1, `board ${shape.height} device pixels high, not ${ClientHeight * k}`);
  // One canvas pixel per device pixel, on whole device pixels.
  assert.ok(Math.abs(shape.rect.width * device.scale - shape.width) < 0.05, 'shown one to one across');
  assert.ok(Math.abs(shape.rect.height * device.scale - shape.height) < 0.05, 'shown one to one down');
  for (const edge of [shape.rect.x, shape.rect.y])
    assert.ok(Math.abs(edge * device.scale - Math.round(edge * device.scale)) < 0.05, `edge ${edge} on a device pixel`);
  // The tiles stand where the board's own scale puts them.
  const drawn = shape.width / ClientWidth;
  assert.ok(Math.abs(shape.firstLit - 24 * drawn) <= 1, `ball 1 starts at device pixel ${shape.firstLit}`);
  assert.ok(Math.abs(shape.lastLit + 1 - 392 * drawn) <= 1, `ball 8 ends at device pixel ${shape.lastLit + 1}`);
  // All in view, nothing to scroll.
  for (const box of [shape.game, shape.caption]) {
    assert.ok(box.left >= 0 && box.top >= 0, JSON.stringify(box));
    assert.ok(box.right <= device.width && box.bottom <= device.height, JSON.stringify(box));
  }
  assert.ok(shape.scroll.width <= device.width && shape.scroll.height <= device.height, JSON.stringify(shape.scroll));
  if (device.touch)
    assert.ok(shape.caption.height >= 44, `the menu caption is ${shape.caption.height} CSS pixels tall`);
  else
    assert.equal(shape.width, ClientWidth * device.scale, 'a desktop with a mouse stays at 1x');
}

for (const device of Devices) {
  describe(device.name, () => {
    const open = (options = {}) => harness.open('devices', { device, ...options });

    test('the game fits the screen, in device pixels, with nothing cut off', async () => {
      const page = await open();
      if (device.touch)
        assert.equal(await page.evaluate(() => matchMedia('(pointer: coarse)').matches), true);
      await assertFitted(page, device);
      await assertBoardWhole(page);
      await assertCrisp(page, expectedScale(device));
    });

    test('a press in a gap swaps its pair; on a tile, a crossing or a margin nothing', async () => {
      const page = await open();
      const was = await colours(page);
      for (const [x, y] of [[40, 40], [64, 64], [10, 40], [200, 10], [40, 56], [405, 200]])
        await press(page, device, x, y);
      assert.equal(await page.evaluate(() => window.watched.started), 0, 'nothing started');
      await press(page, device, 40, 64);
      await idle(page);
      assert.deepEqual(await colours(page), swapped(was, [1, 9]));
      await press(page, device, 352, 376);
      await idle(page);
      assert.deepEqual(await colours(page), swapped(swapped(was, [1, 9]), [63, 64]));
      await assertBoardWhole(page);
      if (device.touch)
        assert.equal(await page.$eval('#board', (board) => board.style.cursor || 'default'), 'default', 'no cursor on touch');
      assert.deepEqual(page.errors, []);
    });

    test('"Nytt spel" and "Avsluta" work from the menu', async () => {
      const page = await open();
      const first = await colours(page);
      await pressElement(page, device, '#mnuMeny');
      assert.equal(await page.$eval('#menu', (menu) => menu.hidden), false, 'the menu opened');
      if (device.touch) {
        const heights = await page.$$eval('#menu [role=menuitem]', (items) => items.map((item) => item.getBoundingClientRect().height));
        assert.ok(heights.every((height) => height >= 44), `menu items ${heights} CSS pixels tall`);
      }
      await pressElement(page, device, '#mnuNytt');
      assert.notDeepEqual(await colours(page), first);
      assert.equal(await page.$eval('#menu', (menu) => menu.hidden), true);
      await assertBoardWhole(page);
      await pressElement(page, device, '#mnuMeny');
      await pressElement(page, device, '#mnuAvsluta');
      assert.equal(await page.$eval('#ended', (ended) => !ended.hidden), true, 'the game ended');
    });

    if (device.touch) {
      test('a swipe swaps the pair it points at; one too short or on its own tile does nothing', async () => {
        const page = await open();
        const was = await colours(page);
        await swipe(page, [40, 40], [44, 42]);   // too short
        await swipe(page, [26, 40], [50, 40]);   // ends on the tile it started on
        await swipe(page, [200, 10], [200, 60]); // from the margin
        assert.equal(await page.evaluate(() => window.watched.started), 0, 'nothing started');
        await swipe(page, [88, 40], [60, 44]); // ball 2 towards ball 1
        await idle(page);
        assert.deepEqual(await colours(page), swapped(was, [1, 2]));
        await swipe(page, [232, 280], [230, 320]); // ball 45 towards ball 53
        await idle(page);
        assert.deepEqual(await colours(page), swapped(swapped(was, [1, 2]), [45, 53]));
        await assertBoardWhole(page);
      });

      test('a rotation during a swap: the swap completes, and the board is drawn whole at the new size', async () => {
        const page = await open();
        const was = await colours(page);
        // The ticks are held after the third, so the rotation surely meets
        // the swap running, and delivered in full afterwards.
        await page.evaluate(() => {
          window.watched.afterTick = () => {
            if (window.watched.ticks === 3)
              window.watched.held = true;
          };
        });
        await press(page, device, 40, 64);
        await page.waitForFunction(() => window.watched.held, { timeout: 5000 });
        const before = await page.$eval('#board', (board) => board.width);
        const turned = { ...device, width: device.height, height: device.width };
        await page.setViewport({ width: turned.width, height: turned.height, deviceScaleFactor: device.scale,
                                 isMobile: true, hasTouch: true, isLandscape: turned.width > turned.height });
        await page.waitForFunction((before) => document.getElementById('board').width !== before, { timeout: 5000 }, before);
        await page.evaluate(() => { window.watched.afterTick = null; window.watched.held = false; });
        await idle(page);
        assert.equal(await page.evaluate(() => window.watched.ticks), 11);
        assert.deepEqual(await colours(page), swapped(was, [1, 9]));
        await assertFitted(page, turned);
        await assertBoardWhole(page);
        await assertCrisp(page, expectedScale(turned));
      });
    }

    if (!device.touch) {
      test('at another zoom the tiles are painted again at its scale, crisp, and a swap plays', async () => {
        const page = await open();
        // Zoomed to 150 %, the page has two thirds of the CSS pixels, each
        // 1.5 device pixels wide.
        const zoomed = { ...device, width: Math.floor(device.width / 1.5), height: Math.floor(device.height / 1.5), scale: 1.5 };
        await page.setViewport({ width: zoomed.width, height: zoomed.height, deviceScaleFactor: zoomed.scale });
        await page.waitForFunction((width) => document.getElementById('board').width === width, { timeout: 5000 },
                                   Math.round(ClientWidth * zoomed.scale));
        await assertFitted(page, zoomed);
        await assertCrisp(page, zoomed.scale);
        const was = await colours(page);
        await press(page, zoomed, 40, 64);
        await idle(page);
        assert.deepEqual(await colours(page), swapped(was, [1, 9]));
        await assertCrisp(page, zoomed.scale);
      });
    }

    test('after one visit the game plays offline, its cue from the cache', async () => {
      const name = `offline-${device.width}`;
      harness.site(name);
      const server = await harness.serve(name);
      try {
        const page = await open({ url: server.url });
        await workerActivated(page);
        await server.stop();
        const cues = [];
        page.on('response', (response) => {
          if (response.url().endsWith('/Swap.wav'))
            cues.push({ status: response.status(), fromWorker: response.fromServiceWorker() });
        });
        await page.reload();
        await page.waitForFunction(() => window.pellorin, { timeout: 10000 });
        assert.equal(await page.evaluate(() => Boolean(navigator.serviceWorker.controller)), true);
        await assertBoardWhole(page);
        const was = await colours(page);
        await press(page, device, 64, 40);
        await idle(page);
        await cuesSettled(page);
        assert.deepEqual(await colours(page), swapped(was, [1, 2]));
        assert.deepEqual(cues, [{ status: 200, fromWorker: true }]);
        assert.ok((await page.evaluate(() => window.watched.played)).includes(120), 'the swap cue played');
      } finally {
        await server.stop();
      }
    });

    test('a new build takes over at the next load, and only then', async () => {
      const name = `update-${device.width}`;
      const folder = harness.site(name);
      const page = await harness.open(name, { device });
      await page.evaluate(() => navigator.serviceWorker.ready);
      await page.reload();
      await page.waitForFunction(() => window.pellorin && navigator.serviceWorker.controller);
      await page.evaluate(() => { window.oldWorker = navigator.serviceWorker.controller; });
      const old = readFileSync(join(folder, 'page.js'), 'utf8');
      // The next build: its page script marks itself, and its worker has a
      // version of its own.
      writeFileSync(join(folder, 'page.js'), `${old}\nwindow.nextBuild = true;\n`);
      const worker = readFileSync(join(folder, 'sw.js'), 'utf8');
      const next = worker.replace(/const Version = '[^']*'/, "const Version = 'next'");
      assert.notEqual(next, worker);
      writeFileSync(join(folder, 'sw.js'), next);
      // The reload's own check for an update may find it first.
      await page.evaluate(() => navigator.serviceWorker.getRegistration().then((registration) => registration.update()));
      await page.waitForFunction(() => navigator.serviceWorker.controller !== window.oldWorker, { timeout: 10000 });
      // The open page is still the old build throughout, its files included.
      assert.equal(await page.evaluate(() => window.nextBuild), undefined);
      assert.equal(await page.evaluate(() => fetch('page.js').then((response) => response.text())), old);
      const was = await colours(page);
      await press(page, device, 40, 64);
      await idle(page);
      assert.deepEqual(await colours(page), swapped(was, [1, 9]));
      await page.reload();
      await page.waitForFunction(() => window.pellorin);
      assert.equal(await page.evaluate(() => window.nextBuild), true);
      assert.match(await page.evaluate(() => fetch('page.js').then((response) => response.text())), /nextBuild/);
      await assertBoardWhole(page);
      // With the old page gone, so is the old build's cache.
      await page.waitForFunction(async () => (await caches.keys()).filter((name) => name !== 'pellorin-pages').join() === 'pellorin-next',
                                 { timeout: 10000, polling: 100 });
    });

    test('Chromium finds nothing against installing it', async () => {
      harness.site(`install-${device.width}`);
      const page = await harness.open(`install-${device.width}`, { device, profile: true });
      await page.evaluate(() => navigator.serviceWorker.ready);
      const session = await page.createCDPSession();
      const { installabilityErrors } = await session.send('Page.getInstallabilityErrors');
      assert.deepEqual(installabilityErrors, []);
      const manifest = await page.evaluate(() => fetch('manifest.webmanifest').then((response) => response.json()));
      assert.equal(manifest.name, 'Pellorin');
      assert.equal(manifest.short_name, 'Pellorin');
      assert.equal(manifest.display, 'standalone');
      // Chromium reads the manifest, its shortcut included, without a fault;
      // the shortcut opens this game with symbols on its tiles.
      const { errors } = await session.send('Page.getAppManifest');
      assert.deepEqual(errors, []);
      const [shortcut] = manifest.shortcuts;
      const target = new URL(shortcut.url, page.url());
      assert.equal(shortcut.name, 'Spela med symboler');
      assert.equal(target.pathname, new URL(page.url()).pathname);
      assert.deepEqual([...target.searchParams.keys()], ['symbols']);
    });
  });
}
