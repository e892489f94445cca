// The swap's ticks in every engine: ticks that came due while the page was
// busy are delivered at once, so a busy moment never pushes the rest of a
// swap later, and a tick draws the board and writes nothing else to the page.
import assert from 'node:assert/strict';
import { describe, test } from 'node:test';
import { click, colours, idle } from '../harness.mjs';

export function tempoSuite(harness) {
  describe('the tempo', () => {
    test('ticks that came due while the page was busy arrive together in its next task', async () => {
      const page = await harness.open('game');
      const was = await colours(page);
      // After the second tick the page is kept busy for four intervals; the
      // first task that ticks after that counts the ticks it delivered.
      await page.evaluate(() => {
        let stalled = false;
        let stallOver = false;
        window.watched.afterTick = () => {
          const watched = window.watched;
          if (watched.ticks === 2 && !stalled) {
            stalled = true;
            for (const until = performance.now() + 100; performance.now() < until;);
            queueMicrotask(() => { stallOver = true; }); // at the end of this task
          } else if (stallOver && watched.caughtUp === undefined) {
            watched.caughtUp = null;
            queueMicrotask(() => { watched.caughtUp = watched.ticks; });
          }
        };
      });
      await click(page, 40, 64);
      await idle(page);
      const caughtUp = await page.evaluate(() => window.watched.caughtUp);
      // Two ticks before, and at least the four intervals' worth after.
      assert.ok(caughtUp >= 6, `${caughtUp} ticks by the end of the task after the busy moment`);
      assert.equal(await page.evaluate(() => window.watched.ticks), 11);
      const expected = [...was];
      [expected[0], expected[8]] = [was[8], was[0]];
      assert.deepEqual(await colours(page), expected);
    });

    test('a tick writes nothing to the page but the board; what a swap says and renames comes after it', async () => {
      const page = await harness.open('game');
      // Every attribute and text the page writes, noted with whether a tick
      // was under way.
      await page.evaluate(() => {
        const writes = [];
        window.writes = writes;
        const setAttribute = Element.prototype.setAttribute;
        Element.prototype.setAttribute = function (name, value) {
          writes.push({ what: `${this.id} ${name}`, inTick: Boolean(window.watched.inTick) });
          return setAttribute.call(this, name, value);
        };
        const text = Object.getOwnPropertyDescriptor(Node.prototype, 'textContent');
        Object.defineProperty(Node.prototype, 'textContent', {
          get() { return text.get.call(this); },
          set(value) {
            writes.push({ what: `${this.id} text`, inTick: Boolean(window.watched.inTick) });
            text.set.call(this, value);
          },
        });
      });
      const was = await colours(page);
      await click(page, 40, 64);
      await idle(page);
      await page.waitForFunction(() => window.writes.some(({ what }) => what === 'speech text'), { timeout: 5000 });
      const writes = await page.evaluate(() => window.writes);
      assert.deepEqual(writes.filter(({ inTick }) => inTick), []);
      // Balls 1 and 9 changed places: their cells are named anew, if they differ.
      assert.equal(writes.some(({ what }) => what === 'cell-1 aria-label'), was[0] !== was[8], JSON.stringify(writes));
    });
  });
}
