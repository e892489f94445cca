// The web game on phones, tablets and a desktop, in headless Chromium's
// device emulation with touch: the fit to the screen, taps and swipes, the
// menu by tap, a rotation during a swap, offline play, a new build taking
// over, and installability (devices/site.mjs).
import assert from 'node:assert/strict';
import { after, before, describe, test } from 'node:test';
import { Harness, colours, design, idle } from './harness.mjs';
import { assertBoardWhole, assertCrisp, assertFitted, expectedScale, swapped } from './devices/fit.mjs';
import { press, pressElement, swipe } from './devices/pointer.mjs';
import { siteSuite } from './devices/site.mjs';

const Devices = [
  { name: 'a phone, 360x800 at 3x', width: 360, height: 800, scale: 3, touch: true },
  { name: 'a phone, 412x915 at 2.625x', width: 412, height: 915, scale: 2.625, touch: true },
  { name: 'a phone, 390x844 at 3x', width: 390, height: 844, scale: 3, touch: true },
  { name: 'a tablet, 820x1180 at 2x', width: 820, height: 1180, scale: 2, touch: true },
  { name: 'a phone held sideways, 800x360 at 3x', width: 800, height: 360, scale: 3, touch: true },
  { name: 'a desktop with a mouse, 1280x800 at 1x', width: 1280, height: 800, scale: 1, touch: false },
];

const harness = new Harness();
before(async () => {
  await harness.launch();
  harness.site('devices');
});
after(() => harness.stop());

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
                                   Math.round(design.clientWidth * zoomed.scale));
        await assertFitted(page, zoomed);
        await assertCrisp(page, zoomed.scale);
        const was = await colours(page);
        await press(page, zoomed, 40, 64);
        await idle(page);
        assert.deepEqual(await colours(page), swapped(was, [1, 9]));
        await assertCrisp(page, zoomed.scale);
      });
    }

    siteSuite(harness, device, open);
  });
}
