// The board in every engine: the first paint, swaps by a press, the
// cursor, the mouse's buttons and grab, and whole device pixels.
import assert from 'node:assert/strict';
import { describe, test } from 'node:test';
import { click, colours, home, idle, moveTo, pixels } from '../harness.mjs';
import { Black, assertBoardAtHome } from './checks.mjs';

export function boardSuite(harness) {
  describe('the board', () => {
    test('the first paint shows 64 tiles at their home positions on black', async () => {
      const page = await harness.open('game');
      const shown = await colours(page);
      assert.ok(shown.every((c) => c >= 1 && c <= 6));
      assert.ok(new Set(shown).size > 1, 'a dealt board is not one colour');
      await assertBoardAtHome(page);
      assert.equal(await page.title(), 'Pellorin');
    });

    const swaps = [
      { gap: [40, 64], pair: [1, 9] },     // vertical: below ball 1
      { gap: [352, 376], pair: [63, 64] }, // horizontal: between balls 63 and 64
    ];
    for (const { gap, pair } of swaps) {
      test(`a press at ${gap} exchanges exactly balls ${pair}`, async () => {
        const page = await harness.open('game');
        const was = await colours(page);
        await click(page, ...gap, 'right'); // any button presses
        await idle(page);
        const now = await colours(page);
        const expected = [...was];
        [expected[pair[0] - 1], expected[pair[1] - 1]] = [was[pair[1] - 1], was[pair[0] - 1]];
        assert.deepEqual(now, expected);
        assert.equal(await page.evaluate(() => window.watched.ticks), 11);
        await assertBoardAtHome(page);
      });
    }

    test('a frame in the middle of a swap shows the pair displaced', async () => {
      const page = await harness.open('game');
      // The swap is held after its fifth tick, however slowly the test gets
      // to look, and let go once it has.
      await page.evaluate(() => {
        window.watched.afterTick = () => {
          if (window.watched.ticks === 5)
            window.watched.held = true;
        };
      });
      await click(page, 40, 64);
      // After tick 5 ball 1 stands 16 pixels below its home and ball 9 as
      // far above its own: the top of ball 1's cell is black, and the gap
      // between them is covered.
      const frame = await page.waitForFunction(() => {
        if (!window.watched.held)
          return null;
        const context = document.getElementById('board').getContext('2d');
        const at = (x, y) => Array.from(context.getImageData(x, y, 1, 1).data.slice(0, 3));
        return { vacated: at(40, 26), gap: at(40, 64) };
      });
      const { vacated, gap } = await frame.jsonValue();
      await page.evaluate(() => { window.watched.held = false; });
      await idle(page);
      assert.deepEqual(vacated, Black);
      assert.notDeepEqual(gap, Black);
    });

    test('a press on a tile, on a gap crossing and in the margin changes nothing', async () => {
      const page = await harness.open('game');
      const was = await colours(page);
      for (const [x, y] of [[40, 40], [60, 60], [10, 40], [200, 10], [40, 56]])
        await click(page, x, y);
      assert.equal(await page.evaluate(() => window.watched.started), 0, 'no timer started');
      assert.deepEqual(await colours(page), was);
      assert.equal(await page.evaluate(() => document.querySelector('[role=menu]').hidden), true, 'no browser menu');
    });

    test('the cursor shows what a press would do', async () => {
      const page = await harness.open('game');
      const cursor = () => page.evaluate(() => getComputedStyle(document.getElementById('board')).cursor);
      const path = [[40, 64, 'ns-resize'], [64, 40, 'ew-resize'], [64, 10, 'ew-resize'], [60, 60, 'not-allowed'],
                    [200, 10, 'not-allowed'], [10, 64, 'not-allowed'], [40, 40, 'not-allowed'], [40, 56, 'not-allowed']];
      for (const [x, y, expected] of path) {
        await moveTo(page, x, y);
        assert.equal(await cursor(), expected, `at ${x},${y}`);
      }
    });
  });

  describe('the mouse', () => {
    test('with a button held, moves reach the game outside the board, and after the release no more', async () => {
      const page = await harness.open('game');
      // Every move the page hands the game, noted on the way; the module
      // puts its own function in place at the first call, which is kept.
      await page.evaluate(() => {
        const game = window.pellorin;
        let move = game._pellorin_move;
        window.moves = [];
        Object.defineProperty(game, '_pellorin_move', {
          get: () => (...args) => { window.moves.push(args); return move(...args); },
          set: (real) => { move = real; },
        });
      });
      const left = await page.evaluate(() => JSON.parse(window.pellorin.UTF8ToString(window.pellorin._pellorin_design())).buttons.left);
      await moveTo(page, 40, 40); // on a tile: the press does nothing
      await page.mouse.down();
      await moveTo(page, 480, 300); // right of the board, on the page
      await moveTo(page, 200, 440); // below it
      const held = await page.evaluate(() => window.moves);
      assert.deepEqual(held.slice(-2).map(([buttons, , x, y]) => [buttons, x, y]), [[left, 480, 300], [left, 200, 440]]);
      await page.mouse.up();
      await moveTo(page, 470, 200);
      await moveTo(page, 480, 300);
      assert.equal((await page.evaluate(() => window.moves)).length, held.length, 'no move after the release');
      assert.equal(await page.evaluate(() => window.watched.started), 0);
    });

    // WebKitWebDriver presses only the left, middle and right buttons (it
    // turns the others into the left): in WebKit the side buttons' events
    // are sent to the board as the browser sends them.
    async function sideClick(page, x, y, button) {
      if (page.engine !== 'webkit')
        return click(page, x, y, button);
      return page.evaluate((x, y, button) => {
        const board = document.getElementById('board');
        const { left, top } = board.getBoundingClientRect();
        for (const type of ['pointerdown', 'pointerup'])
          board.dispatchEvent(new PointerEvent(type, { pointerId: 1, pointerType: 'mouse', isPrimary: true, button,
                                                       buttons: type === 'pointerdown' ? 1 << button : 0, clientX: left + x,
                                                       clientY: top + y, bubbles: true, cancelable: true }));
      }, x, y, { back: 3, forward: 4 }[button]);
    }

    test('the back and forward buttons do not press', async () => {
      const page = await harness.open('game');
      // The browser's own going back and forth stays within the page.
      await page.evaluate(() => history.pushState(null, '', location.href));
      const was = await colours(page);
      for (const [x, y, button] of [[40, 64, 'back'], [64, 40, 'forward']])
        await sideClick(page, x, y, button);
      assert.equal(await page.evaluate(() => window.watched.started), 0, 'no swap started');
      assert.deepEqual(await colours(page), was);
      await click(page, 40, 64);
      await idle(page);
      assert.equal(await page.evaluate(() => window.watched.started), 1, 'the left button swaps');
    });
  });

  // The board's device pixels: one canvas pixel on each, its corner on a whole
  // one. WebKitGTK emulates no pixel ratio: it is seen on displays of GTK's
  // whole scales.
  const ratios = harness.engine === 'webkit' ? [1, 2] : [1, 1.25, 1.5, 2.625];
  test(`the board stands on whole device pixels at ${ratios.join(', ')} device pixels to the CSS pixel`, async () => {
    for (const scale of ratios) {
      const page = await harness.open('game', { scale });
      const placed = await page.evaluate(() => {
        const board = document.getElementById('board');
        const { x, y, width, height } = board.getBoundingClientRect();
        return { ratio: devicePixelRatio, x, y, width, height, pixels: [board.width, board.height] };
      });
      assert.equal(placed.ratio, scale);
      const device = [placed.x, placed.y, placed.width, placed.height].map((value) => value * scale);
      for (const [i, value] of device.slice(0, 2).entries())
        assert.ok(Math.abs(value - Math.round(value)) < 0.01, `at ${scale}: ${['left', 'top'][i]} at ${value} device pixels`);
      assert.deepEqual(device.slice(2).map(Math.round), placed.pixels, `at ${scale}: one canvas pixel per device pixel`);
      await harness.closePages();
    }
  });
}
