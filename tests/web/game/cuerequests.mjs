// Sound never holds up the board, in every engine: a press's frame and its
// whole swap come before sound is set up, a cue file is asked of the server
// once per load (again only after an hour away), and a cue whose file comes
// late is kept for the next press, not played late.
import assert from 'node:assert/strict';
import { readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { describe, test } from 'node:test';
import { builtSite, click, cuesSettled, idle, workerActivated } from '../harness.mjs';

// Cues started since the page was loaded, with the event in whose handler
// each started.
const started = (page) => page.evaluate(() => window.watched.played.map((length, i) => [length, window.watched.startedIn[i]]));

async function swap(page) {
  await click(page, 40, 64);
  await idle(page);
  await cuesSettled(page);
}

export function cueRequestsSuite(harness) {
  describe('sound after the board', () => {
    test('a press\'s first frame and its whole swap come before sound is set up, however long that takes', async () => {
      const page = await harness.open('game');
      // A context that takes long to make, as a phone's may; the page notes,
      // in order, the press, each frame after it, each tick and the context.
      await page.evaluate(() => {
        const events = [];
        window.events = events;
        const Context = window.AudioContext;
        window.AudioContext = class extends Context {
          constructor(...args) {
            for (const until = performance.now() + 400; performance.now() < until;);
            super(...args);
            events.push('context');
          }
        };
        const frame = () => {
          events.push('frame');
          if (!events.includes('context'))
            requestAnimationFrame(frame);
        };
        document.addEventListener('pointerdown', () => {
          events.push('press');
          requestAnimationFrame(frame);
        }, { capture: true, once: true });
        window.watched.afterTick = () => events.push('tick');
      });
      await click(page, 40, 64);
      await page.waitForFunction(() => window.events.includes('context'), { timeout: 20000 });
      await idle(page);
      const events = await page.evaluate(() => window.events);
      const context = events.indexOf('context');
      assert.equal(events[0], 'press');
      assert.ok(events.indexOf('frame') < context, `the first frame after the press came after the context: ${events}`);
      assert.equal(events.slice(0, context).filter((event) => event === 'tick').length, 11,
                   `the swap's eleven ticks came before the context: ${events}`);
      // Sound is set up now: the next press is heard at once.
      await cuesSettled(page);
      const before = (await started(page)).length;
      await swap(page);
      assert.deepEqual((await started(page)).slice(before), [[120, 'pointerdown']]);
    });

    test('a cue file is asked of the server once per load and after an hour away; a changed one is heard from the next press on', async () => {
      const folder = harness.site('asked');
      const page = await harness.open('asked');
      await workerActivated(page);
      const load = async () => {
        await page.reload();
        await page.waitForFunction(() => window.pellorin && navigator.serviceWorker.controller, { timeout: 10000 });
      };
      await load();
      // What the server was asked for the swap cue. A request the page makes
      // after its cue requests have ended comes to the server after them.
      let sentinels = 0;
      const asked = async () => {
        const sentinel = `sentinel-${++sentinels}`;
        await page.evaluate((sentinel) => fetch(sentinel).then(() => {}), sentinel);
        await harness.logged(() => harness.requests.some((line) => line.includes(sentinel)));
        return harness.requests.filter((line) => line.includes('/asked/Swap.wav HTTP')).map((line) => line.split('" ')[1].split(' ')[0]);
      };
      // A load's first swap sets sound up, from the worker's cache; the first
      // cue played asks the server, conditionally; later ones ask nothing.
      for (let i = 0; i < 3; ++i)
        await swap(page);
      assert.deepEqual(await asked(), ['304']);
      assert.deepEqual((await started(page)), [[120, 'pointerdown'], [120, 'pointerdown']]);
      // The chime takes the swap cue's place on the server.
      writeFileSync(join(folder, 'Swap.wav'), readFileSync(join(builtSite, 'Bort.wav')));
      await swap(page);
      assert.deepEqual(await asked(), ['304'], 'asked again in the same load');
      await load();
      for (let i = 0; i < 3; ++i)
        await swap(page);
      assert.deepEqual(await asked(), ['304', '200']);
      // The kept file plays at the press that found the new one, the new one
      // from the press after.
      assert.deepEqual((await started(page)), [[120, 'pointerdown'], [300, 'pointerdown']]);
      await load();
      for (let i = 0; i < 2; ++i)
        await swap(page);
      assert.deepEqual(await asked(), ['304', '200', '304'], 'the worker kept the new file');
      assert.deepEqual((await started(page)), [[300, 'pointerdown']]);
      // Hidden for a minute, then for an hour.
      const away = (ms) => page.evaluate((ms) => {
        let state = 'hidden';
        Object.defineProperty(document, 'visibilityState', { configurable: true, get: () => state });
        document.dispatchEvent(new Event('visibilitychange'));
        const now = Date.now;
        Date.now = () => now() + ms;
        state = 'visible';
        document.dispatchEvent(new Event('visibilitychange'));
      }, ms);
      await away(60 * 1000);
      await swap(page);
      assert.deepEqual(await asked(), ['304', '200', '304']);
      await away(60 * 60 * 1000);
      await swap(page);
      await swap(page);
      assert.deepEqual(await asked(), ['304', '200', '304', '304']);
      // No answer comes any more: the kept cue plays all the same.
      await page.evaluate(() => {
        const fetch = window.fetch;
        window.fetch = (input, ...rest) => (String(input).endsWith('.wav') ? new Promise(() => {}) : fetch(input, ...rest));
      });
      await away(60 * 60 * 1000);
      await click(page, 40, 64);
      await idle(page);
      assert.deepEqual((await started(page)).at(-1), [300, 'pointerdown']);
    });

    test('a cue whose file comes later than 150 ms after its press is not played, and is heard at the next press', async () => {
      const page = await harness.open('game');
      // The swap cue's file is held back until the test lets it come; the
      // page counts it as cue work meanwhile.
      await page.evaluate(() => {
        const fetch = window.fetch;
        window.fetch = (input, ...rest) => {
          const answer = fetch(input, ...rest);
          if (!String(input).endsWith('Swap.wav'))
            return answer;
          window.watched.cueWork++;
          return new Promise((resolve) => {
            window.letCueCome = () => {
              window.watched.cueWork--;
              resolve(answer);
            };
          });
        };
      });
      await click(page, 40, 64); // sets sound up, and asks for the cues
      await idle(page);
      await page.waitForFunction(() => window.watched.contexts.length && window.letCueCome, { timeout: 10000 });
      await click(page, 40, 64); // asks for the swap cue, which is not there yet
      await page.waitForFunction(() => performance.now() - performance.getEntriesByName('press').at(-1).startTime > 200,
                                 { timeout: 10000 });
      await page.evaluate(() => window.letCueCome());
      await idle(page);
      await cuesSettled(page);
      assert.deepEqual(await started(page), [], 'the late cue played');
      await swap(page);
      assert.deepEqual(await started(page), [[120, 'pointerdown']]);
    });
  });
}
