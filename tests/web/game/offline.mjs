// Offline play and a new build taking over in every engine, the service
// worker's tidying racing an update included.
import assert from 'node:assert/strict';
import { describe, test } from 'node:test';
import { readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { click, colours, cuesSettled, idle, workerActivated } from '../harness.mjs';
import { assertBoardAtHome } from './checks.mjs';

export function offlineSuite(harness) {
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
        assert.equal(await page.evaluate(() => window.watched.compiled), 'streaming', 'the worker\'s module compiled as it came');
        const was = await colours(page);
        await click(page, 64, 40);
        await idle(page);
        await cuesSettled(page);
        const expected = [...was];
        [expected[0], expected[1]] = [was[1], was[0]];
        assert.deepEqual(await colours(page), expected);
        // The first swap set sound up; the second is heard.
        await click(page, 64, 40);
        await idle(page);
        await cuesSettled(page);
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
}
