// The web game in a real headless Chromium, played as a player would: the
// first frame, swaps, the cursor, the menu, quitting, sound and high density.
import assert from 'node:assert/strict';
import { after, before, describe, test } from 'node:test';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { Faces, Harness, builtSite, click, colours, facePoint, home, idle, moveTo, pixels, cuesSettled } from './harness.mjs';

const Black = [0, 0, 0];
let harness;

before(async () => {
  harness = await Harness.start();
  harness.site('game');
});
after(() => harness.stop());

// Every ball shows its colour's face at its home cell, and black lies around.
async function assertBoardAtHome(page) {
  const shown = await colours(page);
  const faces = await pixels(page, shown.map((_, i) => facePoint(i + 1)));
  shown.forEach((colour, i) => assert.deepEqual(faces[i], Faces[colour - 1], `ball ${i + 1}`));
  const edges = shown.flatMap((_, i) => { const { left, top } = home(i + 1); return [[left - 1, top + 16], [left + 32, top + 16], [left + 16, top - 1], [left + 16, top + 32]]; });
  (await pixels(page, [...edges, [5, 5], [410, 409], [60, 60]])).forEach((p, i) => assert.deepEqual(p, Black, `point ${i}`));
}

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
    await click(page, 40, 64);
    // Between ticks 2 and 9 ball 1 stands 8 to 20 pixels below its home and
    // ball 9 as far above its own: the top of ball 1's cell is black, and
    // the gap between them is covered.
    const frame = await page.waitForFunction(() => {
      const ticks = window.watched.ticks;
      if (ticks < 2 || ticks > 9)
        return null;
      const context = document.getElementById('board').getContext('2d');
      const at = (x, y) => Array.from(context.getImageData(x, y, 1, 1).data.slice(0, 3));
      return { vacated: at(40, 26), gap: at(40, 64) };
    });
    const { vacated, gap } = await frame.jsonValue();
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
    await page.evaluate(() => { window.pellorin._pellorin_press(1, 0, 40, 64); window.pellorin._pellorin_new_game(); });
    assert.deepEqual(await colours(page), was, 'no handler runs after the end');
    assert.equal(await page.evaluate(() => window.watched.started), 1);
  });
});

describe('sound', () => {
  const good = readFileSync(join(builtSite, 'Swap.wav'));
  const chime = readFileSync(join(builtSite, 'Bort.wav'));

  // A swap and a new game; returns the lengths in ms of the cues that started.
  async function playCues(page) {
    await click(page, 40, 64);
    await idle(page);
    await click(page, 20, -10);
    await page.click('#mnuNytt');
    await cuesSettled(page);
    return page.evaluate(() => window.watched.played);
  }

  // Driven by DevTools, the page counts as touched by the player from the
  // start, so the start-up deal's chime plays too, unless the first press
  // comes before it has been fetched and cuts it off.
  function assertCues(played, expected) {
    const heard = played.length === expected.length + 1 && played[0] === 300 ? played.slice(1) : played;
    assert.deepEqual(heard, expected);
  }

  test('good cues play, and a newer one cuts off the one still playing', async () => {
    harness.site('good');
    const page = await harness.open('good');
    assertCues(await playCues(page), [120, 300]);
    // A new game right after a press: the swap cue, if it got to start at
    // all, is stopped for the chime.
    await click(page, 40, 64);
    await page.keyboard.down('Alt');
    await page.keyboard.press('KeyM');
    await page.keyboard.up('Alt');
    await page.keyboard.press('KeyN');
    await cuesSettled(page);
    const { played, stopped } = await page.evaluate(() => window.watched);
    assert.equal(played.at(-1), 300);
    assert.equal(stopped, played.length - 1, 'every cue but the last was cut off or had ended');
    assert.deepEqual(page.errors, []);
  });

  const broken = {
    missing: { 'Bort.wav': null, 'Swap.wav': null },
    garbage: { 'Bort.wav': Buffer.alloc(5000, 0x5a), 'Swap.wav': good.subarray(0, 44) },
  };
  for (const [name, files] of Object.entries(broken)) {
    test(`${name} cue files are silent and leave no error of ours`, async () => {
      harness.site(name, files);
      const page = await harness.open(name);
      assert.deepEqual(await playCues(page), []);
      // The browser itself reports a missing file; nothing else may show.
      assert.deepEqual(page.errors.filter((text) => !text.startsWith('Failed to load resource')), []);
      await assertBoardAtHome(page);
    });
  }

  test('a replaced cue is heard and an unchanged one is not fetched again', async () => {
    harness.site('replaced');
    const page = await harness.open('replaced');
    await click(page, 40, 64);
    await idle(page);
    await click(page, 64, 40);
    await idle(page);
    await cuesSettled(page);
    const swapFetches = () => harness.requests.filter((line) => line.includes('/replaced/Swap.wav HTTP'));
    const statuses = () => swapFetches().map((line) => line.split('" ')[1].split(' ')[0]);
    await harness.logged(() => swapFetches().length === 2);
    assert.deepEqual(statuses(), ['200', '304']);
    harness.site('replaced', { 'Swap.wav': chime }); // the chime takes the swap cue's place
    await click(page, 40, 64);
    await idle(page);
    await cuesSettled(page);
    await harness.logged(() => swapFetches().length === 3);
    assert.equal(statuses().at(-1), '200');
    assertCues(await page.evaluate(() => window.watched.played), [120, 120, 300]);
  });
});

test('at device scale factor 2 the tiles are drawn from the 2x pictures, pixel for pixel', async () => {
  const page = await harness.open('game', { scale: 2 });
  const shown = await colours(page);
  const names = ['red', 'yellow', 'green', 'blue', 'magenta', 'orange'];
  for (const k of [1, 10, 37, 64]) {
    const { left, top } = home(k);
    const same = await page.evaluate(async (name, left, top) => {
      const image = new Image();
      image.src = `tiles/${name}@2x.png`;
      await image.decode();
      const scratch = new OffscreenCanvas(64, 64).getContext('2d');
      scratch.drawImage(image, 0, 0);
      const expected = scratch.getImageData(0, 0, 64, 64).data;
      const board = document.getElementById('board');
      const drawn = board.getContext('2d').getImageData(left * 2, top * 2, 64, 64).data;
      return board.width === 828 && expected.every((value, i) => value === drawn[i]);
    }, names[shown[k - 1] - 1], left, top);
    assert.ok(same, `ball ${k}`);
  }
});
