// The menu in every engine: by mouse, by keys, during a swap, quitting, and
// the access keys by the letter typed on any layout.
import assert from 'node:assert/strict';
import { describe, test } from 'node:test';
import { click, colours } from '../harness.mjs';
import { assertBoardAtHome } from './checks.mjs';

export function menuSuite(harness) {
  describe('the menu', () => {
    const open = async (page) => click(page, 20, -10);
    const choose = async (page, id) => { await open(page); await page.click(`#${id}`); };

    test('"Nytt spel" deals a new board, from the mouse and from the keys', async () => {
      const page = await harness.open('game');
      const first = await colours(page);
      await choose(page, 'mnuNytt');
      const second = await colours(page);
      assert.notDeepEqual(second, first);
      await assertBoardAtHome(page);
      await page.keyboard.down('Alt');
      await page.keyboard.press('KeyM');
      await page.keyboard.up('Alt');
      await page.keyboard.press('Escape');
      assert.equal(await page.$eval('#menu', (menu) => menu.hidden), true, 'Escape closes the menu');
      assert.deepEqual(await colours(page), second);
      await page.keyboard.down('Alt');
      await page.keyboard.press('KeyM');
      await page.keyboard.up('Alt');
      await page.keyboard.press('KeyN');
      assert.notDeepEqual(await colours(page), second);
    });

    test('a new game during a swap stops it, with both balls home, and deals', async () => {
      const page = await harness.open('game');
      // The menu is chosen in the turn of the swap's third tick, so that it
      // surely meets the swap still running, however slow the machine.
      await page.evaluate(() => {
        window.watched.afterTick = () => {
          if (window.watched.ticks < 3)
            return;
          window.watched.afterTick = null;
          document.getElementById('mnuMeny').click();
          document.getElementById('mnuNytt').click();
          window.watched.dealtAt = window.watched.ticks;
        };
      });
      await click(page, 40, 64);
      await page.waitForFunction(() => window.watched.dealtAt !== undefined, { timeout: 5000 });
      const ticks = await page.evaluate(() => window.watched.dealtAt);
      assert.equal(ticks, 3);
      const dealt = await colours(page);
      // No interval runs, so no tick can come any more.
      assert.equal(await page.evaluate(() => window.watched.active.size), 0, 'the swap timer stopped');
      assert.deepEqual(await colours(page), dealt);
      await assertBoardAtHome(page);
    });

    test('"Avsluta" ends the game: no tick runs again and the board goes away', async () => {
      const page = await harness.open('game');
      await click(page, 64, 40);
      await page.waitForFunction(() => window.watched.ticks >= 2);
      await choose(page, 'mnuAvsluta');
      const ticks = await page.evaluate(() => window.watched.ticks);
      assert.equal(await page.evaluate(() => window.watched.active.size), 0, 'no interval left to tick');
      assert.equal(await page.evaluate(() => window.watched.ticks), ticks);
      assert.equal(await page.$eval('#game', (game) => game.hidden), true);
      assert.equal(await page.$eval('#ended', (ended) => !ended.hidden && ended.textContent.includes('avslutat')), true);
      const was = await colours(page);
      await page.evaluate(() => {
        const game = window.pellorin;
        const { menuItems } = JSON.parse(game.UTF8ToString(game._pellorin_design()));
        game._pellorin_press(1, 0, 40, 64);
        for (const { command } of menuItems.filter((item) => item.name === 'mnuNytt'))
          game._pellorin_command(command);
      });
      assert.deepEqual(await colours(page), was, 'no handler runs after the end');
      assert.equal(await page.evaluate(() => window.watched.started), 1);
    });
  });

  describe('the access keys by the letter typed', () => {
    // Key events as each layout makes them: the letter typed (key) and the
    // key's place on a US keyboard (code).
    const Layouts = {
      AZERTY: { menu: ['m', 'Semicolon'], deal: ['n', 'KeyN'], quit: ['a', 'KeyQ'], stray: [['q', 'KeyA'], [',', 'KeyM']] },
      Dvorak: { menu: ['m', 'KeyM'], deal: ['n', 'KeyL'], quit: ['a', 'KeyA'], stray: [['b', 'KeyN'], ['o', 'KeyS']] },
      Russian: { menu: ['ь', 'KeyM'], deal: ['т', 'KeyN'], quit: ['ф', 'KeyA'], stray: [['й', 'KeyQ']] },
    };
    const type = (page, key, code, alt = false) => page.evaluate((key, code, altKey) => {
      const target = document.activeElement || document.body;
      target.dispatchEvent(new KeyboardEvent('keydown', { key, code, altKey, bubbles: true, cancelable: true }));
    }, key, code, alt);
    const menuShown = (page) => page.$eval('#menu', (menu) => !menu.hidden);

    for (const [layout, keys] of Object.entries(Layouts)) {
      test(`on ${layout}, Alt+M opens the menu, N deals and A quits; other letters do nothing`, async () => {
        const page = await harness.open('game');
        for (const [key, code] of keys.stray) {
          await type(page, key, code, true);
          assert.equal(await menuShown(page), false, `Alt+${key} opened the menu`);
        }
        await type(page, ...keys.menu, true);
        assert.equal(await menuShown(page), true);
        const first = await colours(page);
        for (const [key, code] of keys.stray)
          await type(page, key, code);
        assert.deepEqual(await colours(page), first);
        assert.equal(await page.$eval('#ended', (ended) => ended.hidden), true);
        await type(page, ...keys.deal);
        assert.notDeepEqual(await colours(page), first);
        assert.equal(await menuShown(page), false);
        await type(page, ...keys.menu, true);
        await type(page, ...keys.quit);
        assert.equal(await page.$eval('#ended', (ended) => !ended.hidden), true, 'the game ended');
      });
    }
  });
}
