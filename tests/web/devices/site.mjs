// The site on a device: offline play with its cue from the worker's cache, a
// new build taking over at the next load, and installability.
import assert from 'node:assert/strict';
import { readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { test } from 'node:test';
import { colours, cuesSettled, idle, workerActivated } from '../harness.mjs';
import { assertBoardWhole, swapped } from './fit.mjs';
import { press } from './pointer.mjs';

// The tests of one device, among the device's own (open() opens the game on it).
export function siteSuite(harness, device, open) {
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
      // The first swap set sound up, the cue loaded from the cache; the
      // second is heard, and its question to the server is answered by the
      // worker: unchanged.
      await press(page, device, 64, 40);
      await idle(page);
      await cuesSettled(page);
      assert.deepEqual(cues, [{ status: 200, fromWorker: true }, { status: 304, fromWorker: true }]);
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
}
