// The web game in real browsers, headless Chromium, Firefox ESR and
// WebKitGTK, played as a player would: the first frame, swaps, the cursor,
// the menu by mouse and keys on any layout, quitting, sound on any network and
// after an interruption, offline play and updates, and high density.
import assert from 'node:assert/strict';
import { after, afterEach, before, describe, test } from 'node:test';
import { readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { Faces, Harness, builtSite, click, colours, engines, errors, facePoint, home, idle, moveTo, pixels, cuesSettled, workerActivated } from './harness.mjs';

const Black = [0, 0, 0];
let harness;

// Every ball shows its colour's face at its home cell, and black lies around.
async function assertBoardAtHome(page) {
  const shown = await colours(page);
  const faces = await pixels(page, shown.map((_, i) => facePoint(i + 1)));
  shown.forEach((colour, i) => assert.deepEqual(faces[i], Faces[colour - 1], `ball ${i + 1}`));
  const edges = shown.flatMap((_, i) => { const { left, top } = home(i + 1); return [[left - 1, top + 16], [left + 32, top + 16], [left + 16, top - 1], [left + 16, top + 32]]; });
  (await pixels(page, [...edges, [5, 5], [410, 409], [60, 60]])).forEach((p, i) => assert.deepEqual(p, Black, `point ${i}`));
}

// The suite, in one engine.
function suite(engine) {
  before(async () => {
    harness = await Harness.start(engine);
    harness.site('game');
  });
  after(() => harness.stop());
  afterEach(() => harness.closePages());

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
      const { played, stopped } = await page.evaluate(() => ({ played: window.watched.played, stopped: window.watched.stopped }));
      assert.equal(played.at(-1), 300);
      assert.equal(stopped, played.length - 1, 'every cue but the last was cut off or had ended');
      assert.deepEqual(await errors(page), []);
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
        assert.deepEqual((await errors(page)).filter((text) => !text.startsWith('Failed to load resource')), []);
        await assertBoardAtHome(page);
      });
    }

    // Cues started since the page was opened, with the event in whose
    // handler each started.
    const started = (page) => page.evaluate(() => window.watched.played.map((length, i) => [length, window.watched.startedIn[i]]));

    test('a kept cue starts in the press itself; a replaced file is found by a conditional request and heard from the next press on', async () => {
      harness.site('replaced');
      const page = await harness.open('replaced');
      const swapFetches = () => harness.requests.filter((line) => line.includes('/replaced/Swap.wav HTTP'));
      const statuses = () => swapFetches().map((line) => line.split('" ')[1].split(' ')[0]);
      const swap = async (x, y, fetches) => {
        await click(page, x, y);
        await idle(page);
        await cuesSettled(page);
        await harness.logged(() => swapFetches().length === fetches);
      };
      await swap(40, 64, 1);
      await swap(64, 40, 2);
      assert.deepEqual(statuses(), ['200', '304']);
      harness.site('replaced', { 'Swap.wav': chime }); // the chime takes the swap cue's place
      await swap(40, 64, 3);
      await swap(64, 40, 4);
      assert.deepEqual(statuses(), ['200', '304', '200', '304']);
      // No answer comes any more: the kept cue plays all the same.
      await page.evaluate(() => {
        const fetch = window.fetch;
        window.fetch = (input, ...rest) => (String(input).endsWith('.wav') ? new Promise(() => {}) : fetch(input, ...rest));
      });
      await click(page, 40, 64);
      await idle(page);
      const heard = (await started(page)).filter(([length]) => length === 120 || length === 300);
      // The first press waited for its file; the kept ones started at once,
      // the replaced file from the press after the one that found it.
      assert.deepEqual(heard.slice(-4), [[120, 'pointerdown'], [120, 'pointerdown'], [300, 'pointerdown'], [300, 'pointerdown']]);
      assert.equal(heard.at(-5)[0], 120);
    });

    test('offline, the kept cue plays at the press', async () => {
      harness.site('kept');
      const server = await harness.serve('kept');
      const page = await harness.open('kept', { url: server.url });
      await click(page, 40, 64);
      await idle(page);
      await cuesSettled(page);
      await server.stop();
      await click(page, 64, 40);
      await idle(page);
      await cuesSettled(page);
      assert.deepEqual((await started(page)).filter(([length]) => length === 120).at(-1), [120, 'pointerdown']);
      assert.equal((await started(page)).filter(([length]) => length === 120).length, 2);
    });

    test('a suspended audio context is resumed at the next press, an interrupted one at the next key', async () => {
      const page = await harness.open('game');
      await click(page, 40, 64);
      await idle(page);
      await page.waitForFunction(() => window.watched.contexts[0]?.state === 'running', { timeout: 10000 });
      await page.evaluate(() => window.watched.contexts[0].suspend());
      await click(page, 40, 64);
      await idle(page);
      await page.waitForFunction(() => window.watched.contexts[0].state === 'running', { timeout: 10000 });
      assert.equal(await page.evaluate(() => window.watched.contexts.length), 1, 'one context, resumed');
      // Safari's state after a call or a switch to another app, which only
      // resume() ends.
      await page.evaluate(() => {
        const context = window.watched.contexts[0];
        const resume = context.resume;
        window.watched.interrupted = true;
        Object.defineProperty(context, 'state', { configurable: true, get: () => (window.watched.interrupted ? 'interrupted' : 'running') });
        context.resume = function () { window.watched.interrupted = false; return resume.call(this); };
      });
      await page.keyboard.press('Escape');
      assert.equal(await page.evaluate(() => window.watched.interrupted), false);
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

  describe('offline and updates', () => {
    // Waits until the page's service worker is active, then loads the page
    // again under its control.
    async function controlled(page) {
      await workerActivated(page);
      await page.reload();
      await page.waitForFunction(() => window.pellorin && navigator.serviceWorker.controller, { timeout: 10000 });
    }

    test('after one visit the game plays offline, with its cue', async () => {
      harness.site('offline');
      const server = await harness.serve('offline');
      try {
        const page = await harness.open('offline', { url: server.url });
        await controlled(page);
        await server.stop();
        await page.reload();
        await page.waitForFunction(() => window.pellorin, { timeout: 10000 });
        await assertBoardAtHome(page);
        const was = await colours(page);
        await click(page, 64, 40);
        await idle(page);
        await cuesSettled(page);
        const expected = [...was];
        [expected[0], expected[1]] = [was[1], was[0]];
        assert.deepEqual(await colours(page), expected);
        assert.ok((await page.evaluate(() => window.watched.played)).includes(120), 'the swap cue played');
      } finally {
        await server.stop();
      }
    });

    // The old worker is told that a page has drawn while the next build's
    // worker is installing, its cache filled: the old one's tidying must
    // leave that cache, or the next build cannot start offline.
    test('an update racing a page\'s "drawn" message keeps the next build whole, offline too', async () => {
      const folder = harness.site('race');
      const worker = readFileSync(join(folder, 'sw.js'), 'utf8');
      // The old worker says when each tidying has ended.
      writeFileSync(join(folder, 'sw.js'), `${worker}
{
  const once = tidy;
  tidy = async (...args) => {
    try {
      return await once(...args);
    } finally {
      for (const client of await self.clients.matchAll())
        client.postMessage('tidied');
    }
  };
}
`);
      const server = await harness.serve('race');
      try {
        const page = await harness.open('race', { url: server.url });
        await controlled(page);
        // The next build: its page marks itself, and its worker, of a
        // version of its own, stays installing until the page opens a cache
        // that lets it go (a message posted to it never let it go in
        // Firefox).
        const old = readFileSync(join(folder, 'page.js'), 'utf8');
        writeFileSync(join(folder, 'page.js'), `${old}\nwindow.nextBuild = true;\n`);
        const next = worker.replace(/const Version = '[^']*'/, "const Version = 'next'").replace(
          'await self.skipWaiting();',
          `while (!(await caches.has('release-next')))
      await new Promise((resolve) => setTimeout(resolve, 20));
    await self.skipWaiting();`);
        assert.notEqual(next, worker);
        writeFileSync(join(folder, 'sw.js'), next);
        const oldBuild = await page.evaluate(() => caches.keys().then((names) => names.find((name) => name !== 'pellorin-pages')));
        const files = await page.evaluate((name) => caches.open(name).then((cache) => cache.keys()).then((keys) => keys.length), oldBuild);
        const nextFiles = () => page.evaluate(async () => ((await caches.has('pellorin-next'))
          ? (await (await caches.open('pellorin-next')).keys()).length : 0));
        // Firefox settles update() only once the new worker has installed.
        await page.evaluate(() => navigator.serviceWorker.getRegistration().then((registration) => { registration.update(); }));
        await page.waitForFunction(async (files) => (await caches.has('pellorin-next'))
          && (await (await caches.open('pellorin-next')).keys()).length === files, { timeout: 10000, polling: 50 }, files);
        await page.evaluate(() => new Promise((resolve) => {
          navigator.serviceWorker.addEventListener('message', (event) => event.data === 'tidied' && resolve());
          navigator.serviceWorker.controller.postMessage('drawn');
        }));
        assert.equal(await nextFiles(), files, 'the next build\'s cache is whole after the tidying');
        await page.evaluate(() => caches.open('release-next'));
        await page.waitForFunction(async () => (await navigator.serviceWorker.getRegistration()).active?.scriptURL
          && !(await navigator.serviceWorker.getRegistration()).installing
          && !(await navigator.serviceWorker.getRegistration()).waiting, { timeout: 10000, polling: 50 });
        await server.stop();
        await page.reload();
        await page.waitForFunction(() => window.pellorin, { timeout: 10000 });
        assert.equal(await page.evaluate(() => window.nextBuild), true, 'the next build, offline');
        await assertBoardAtHome(page);
      } finally {
        await server.stop();
      }
    });
  });

  // The board's device pixels: one canvas pixel on each, its corner on a whole
  // one. WebKitGTK emulates no pixel ratio: it is seen on displays of GTK's
  // whole scales.
  const ratios = engine === 'webkit' ? [1, 2] : [1, 1.25, 1.5, 2.625];
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

  // The accessibility tree is read through Chromium's DevTools protocol.
  if (engine === 'chromium')
  describe('keys, speech and symbols', () => {
    const White = [255, 255, 255];
    const ColourWords = ['röd', 'gul', 'grön', 'blå', 'magenta', 'orange'];

    // Points on the keyboard's frame around cell k's tile, one per bar, at
    // distance out from the tile's edge (the frame lies 4 to 6 pixels out, 4
    // to 8 while the tile is held).
    function framePoints(k, out) {
      const { left, top } = home(k);
      return [[left - out, top + 16], [left + 31 + out, top + 16], [left + 16, top - out], [left + 16, top + 31 + out]];
    }
    async function assertFrame(page, k, { held = false } = {}) {
      const width = held ? 4 : 2;
      const on = await pixels(page, [...framePoints(k, 5), ...framePoints(k, 4 + width)]);
      on.forEach((p, i) => assert.deepEqual(p, White, `cell ${k}, frame point ${i}`));
      const off = await pixels(page, [...framePoints(k, 4), ...framePoints(k, 5 + width)]);
      off.forEach((p, i) => assert.deepEqual(p, Black, `cell ${k}, beside the frame ${i}`));
    }
    async function assertNoFrame(page, k) {
      (await pixels(page, framePoints(k, 5))).forEach((p, i) => assert.deepEqual(p, Black, `cell ${k}, point ${i}`));
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

    test('a screen reader finds the named board and hears a swap through the live region', async () => {
      const page = await harness.open('game');
      const session = await page.createCDPSession();
      const tree = async () => (await session.send('Accessibility.getFullAXTree')).nodes;
      const property = (node, name) => node.properties?.find((p) => p.name === name)?.value.value;
      const boards = (await tree()).filter((node) => node.role?.value === 'application');
      assert.equal(boards.length, 1);
      assert.equal(boards[0].name?.value, 'Spelplan');
      assert.equal(property(boards[0], 'focused'), true);
      // The live region's words, as the accessibility tree has them.
      const heard = async () => {
        const nodes = await tree();
        const byId = new Map(nodes.map((node) => [node.nodeId, node]));
        const status = nodes.find((node) => node.role?.value === 'status');
        assert.equal(property(status, 'live'), 'polite');
        const text = (node) => (node.role?.value === 'StaticText' ? node.name.value : (node.childIds || []).map((id) => text(byId.get(id))).join(''));
        return text(status).trim();
      };
      const said = (words) => page.waitForFunction((words) => document.querySelector('[role=status]').textContent.trim().startsWith(words),
                                                   { timeout: 5000 }, words);
      const was = await colours(page);
      await page.keyboard.press('ArrowDown');
      await said('Rad 1');
      assert.equal(await heard(), `Rad 1, kolumn 1: ${ColourWords[was[0] - 1]}`);
      await shifted(page, 'ArrowRight');
      await said('Bytte');
      await idle(page);
      const words = await heard();
      assert.ok(words.startsWith(`Bytte ${ColourWords[was[0] - 1]} och ${ColourWords[was[1] - 1]}`), words);
      console.log(`# the live region after a swap: "${words}"`);
      await page.keyboard.press('ArrowLeft'); // at the edge, the same words again are still a change
      await page.keyboard.press('ArrowLeft');
      await page.waitForFunction(() => document.querySelector('[role=status]').textContent.endsWith('\u00a0'), { timeout: 5000 });
      await click(page, 20, -10);
      await page.click('#mnuNytt');
      await said('Nytt spel');
    });

    test('?symbols draws every tile otherwise, and the same board', async () => {
      const plain = await harness.open('game');
      const symbols = await harness.open('game', { query: 'symbols' });
      const shown = await colours(plain);
      assert.deepEqual(await colours(symbols), shown);
      const tiles = (page) => page.evaluate(() => {
        const context = document.getElementById('board').getContext('2d');
        return Array.from({ length: 64 }, (_, i) => Array.from(context.getImageData(24 + 48 * (i % 8), 24 + 48 * Math.floor(i / 8), 32, 32).data).join());
      });
      const [before, after] = [await tiles(plain), await tiles(symbols)];
      shown.forEach((_, i) => assert.notEqual(after[i], before[i], `ball ${i + 1}`));
      // Tiles of one colour look alike, and of two colours not.
      shown.forEach((c, i) => shown.forEach((d, j) => assert.equal(after[i] === after[j], c === d, `balls ${i + 1}, ${j + 1}`)));
    });
  });
}

for (const engine of engines)
  describe(engine, () => suite(engine));
