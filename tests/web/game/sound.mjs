// The cues in every engine: good, missing and broken files, a replaced
// file, offline, and a suspended or interrupted audio context.
import assert from 'node:assert/strict';
import { describe, test } from 'node:test';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { builtSite, click, cuesSettled, errors, idle } from '../harness.mjs';
import { assertBoardAtHome } from './checks.mjs';

export function soundSuite(harness) {
  describe('sound', () => {
    const good = readFileSync(join(builtSite, 'Swap.wav'));

    // A first swap, which only sets sound up, then a swap and a new game;
    // returns the lengths in ms of the cues that started after the first.
    async function playCues(page) {
      await click(page, 40, 64);
      await idle(page);
      await cuesSettled(page);
      const before = await page.evaluate(() => window.watched.played.length);
      await click(page, 40, 64);
      await idle(page);
      await click(page, 20, -10);
      await page.click('#mnuNytt');
      await cuesSettled(page);
      return page.evaluate((before) => window.watched.played.slice(before), before);
    }

    test('good cues play, and a newer one cuts off the one still playing', async () => {
      harness.site('good');
      const page = await harness.open('good');
      assert.deepEqual(await playCues(page), [120, 300]);
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

    test('offline, the kept cue plays at the press', async () => {
      harness.site('kept');
      const server = await harness.serve('kept');
      const page = await harness.open('kept', { url: server.url });
      // The first swap sets sound up and loads the cues.
      await click(page, 40, 64);
      await idle(page);
      await cuesSettled(page);
      const before = (await started(page)).length;
      await server.stop();
      await click(page, 64, 40);
      await idle(page);
      await cuesSettled(page);
      assert.deepEqual((await started(page)).slice(before), [[120, 'pointerdown']]);
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
}
