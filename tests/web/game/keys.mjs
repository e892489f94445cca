// Keys and symbols, in Chromium.
import assert from 'node:assert/strict';
import { describe, test } from 'node:test';
import { colours, design, home, idle, pixels } from '../harness.mjs';
import { Black, assertBoardAtHome } from './checks.mjs';

export function keysSuite(harness) {
  describe('keys and symbols', () => {
    // Points on the keyboard's frame around cell k's tile, one per bar, at
    // distance out from the tile's edge: the frame's first pixel lies its gap
    // and one out, its last its gap and its width out.
    function framePoints(k, out) {
      const { left, top } = home(k);
      const size = design.board.tileSize;
      return [[left - out, top + size / 2], [left + size - 1 + out, top + size / 2], [left + size / 2, top - out],
              [left + size / 2, top + size - 1 + out]];
    }
    async function assertFrame(page, k, { held = false } = {}) {
      const { gap, colour } = design.frame;
      const width = held ? design.frame.heldWidth : design.frame.width;
      const on = await pixels(page, [...framePoints(k, gap + 1), ...framePoints(k, gap + width)]);
      on.forEach((p, i) => assert.deepEqual(p, colour, `cell ${k}, frame point ${i}`));
      const off = await pixels(page, [...framePoints(k, gap), ...framePoints(k, gap + width + 1)]);
      off.forEach((p, i) => assert.deepEqual(p, Black, `cell ${k}, beside the frame ${i}`));
    }
    async function assertNoFrame(page, k) {
      (await pixels(page, framePoints(k, design.frame.gap + 1))).forEach((p, i) => assert.deepEqual(p, Black, `cell ${k}, point ${i}`));
    }
    const shifted = async (page, key) => {
      await page.keyboard.down('Shift');
      await page.keyboard.press(key);
      await page.keyboard.up('Shift');
    };
    const swapped = (was, [a, b]) => was.map((c, i) => (i === a - 1 ? was[b - 1] : i === b - 1 ? was[a - 1] : c));

    test('the board has the focus at start; keys show, move and hold the frame and swap', async () => {
      const page = await harness.open('game');
      assert.equal(await page.evaluate(() => document.activeElement.id), 'board');
      await assertNoFrame(page, 1);
      const was = await colours(page);
      await page.keyboard.press('ArrowRight'); // shows the frame, on row 1, column 1
      await assertFrame(page, 1);
      await page.keyboard.press('ArrowRight');
      await assertFrame(page, 2);
      await assertNoFrame(page, 1);
      await shifted(page, 'ArrowDown');
      await idle(page);
      assert.deepEqual(await colours(page), swapped(was, [2, 10]));
      await assertFrame(page, 2);
      await page.keyboard.press('Space');
      await assertFrame(page, 2, { held: true });
      await page.keyboard.press('ArrowLeft'); // the held tile goes left, and is let go
      await idle(page);
      assert.deepEqual(await colours(page), swapped(swapped(was, [2, 10]), [1, 2]));
      await assertFrame(page, 2);
      await page.keyboard.press('Enter');
      await page.keyboard.press('Escape'); // let go without a swap
      await page.keyboard.press('ArrowDown');
      await assertFrame(page, 10);
      assert.equal(await page.evaluate(() => window.watched.started), 2, 'two swaps, no more');
      // The mouse takes over: the game hides the frame at a move from where the
      // pointer was last seen, so the pointer comes in two steps.
      await page.mouse.move(page.board.x + 200, page.board.y + 200, { steps: 2 });
      await assertNoFrame(page, 10);
      await assertBoardAtHome(page);
    });

    test('keys reach the board only while the menu is closed, and only the board\'s keys are kept from the page', async () => {
      const page = await harness.open('game');
      await page.evaluate(() => {
        window.kept = [];
        window.addEventListener('keydown', (event) => window.kept.push([event.key, event.defaultPrevented]));
      });
      await page.keyboard.press('ArrowDown');
      await page.keyboard.press('KeyX');
      await page.keyboard.press('Tab');
      assert.deepEqual(await page.evaluate(() => window.kept), [['ArrowDown', true], ['x', false], ['Tab', false]]);
      await assertFrame(page, 1);
      await page.keyboard.down('Alt');
      await page.keyboard.press('KeyM');
      await page.keyboard.up('Alt');
      await page.evaluate(() => document.getElementById('board').dispatchEvent(new KeyboardEvent('keydown', { key: 'ArrowRight', bubbles: true })));
      await page.keyboard.press('ArrowDown'); // within the menu
      await assertFrame(page, 1);
      await page.keyboard.press('Escape'); // closes the menu, and the board has the keys again
      assert.equal(await page.evaluate(() => document.activeElement.id), 'board');
      await page.keyboard.press('ArrowRight');
      await assertFrame(page, 2);
      assert.equal(await page.evaluate(() => window.watched.started), 0);
    });

    test('?symbols draws every tile otherwise, and the same board', async () => {
      const plain = await harness.open('game');
      const symbols = await harness.open('game', { query: 'symbols' });
      const shown = await colours(plain);
      assert.deepEqual(await colours(symbols), shown);
      const homes = shown.map((_, i) => home(i + 1));
      const tiles = (page) => page.evaluate((homes, size) => {
        const context = document.getElementById('board').getContext('2d');
        return homes.map(({ left, top }) => Array.from(context.getImageData(left, top, size, size).data).join());
      }, homes, design.board.tileSize);
      const [before, after] = [await tiles(plain), await tiles(symbols)];
      shown.forEach((_, i) => assert.notEqual(after[i], before[i], `ball ${i + 1}`));
      // Tiles of one colour look alike, and of two colours not.
      shown.forEach((c, i) => shown.forEach((d, j) => assert.equal(after[i] === after[j], c === d, `balls ${i + 1}, ${j + 1}`)));
    });
  });
}
