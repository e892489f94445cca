// What a screen reader finds of the page, in Chromium's accessibility tree
// (its DevTools protocol): the board as a grid of named cells whose focus
// follows the cursor, the status region's words, and a cell's activation.
// Every word and colour is checked against the design's values and the
// colours on the canvas, never against the game's own naming.
import assert from 'node:assert/strict';
import { describe, test } from 'node:test';
import { click, design, home, idle } from '../harness.mjs';

// A board on which one swap completes a line (found by dealing seeds).
const LineSeed = 17825;

export function screenReaderSuite(harness) {
  describe('a screen reader', () => {
    // The page, with a session of the DevTools protocol for its accessibility tree.
    async function open(options) {
      const page = await harness.open('game', options);
      page.session = await page.createCDPSession();
      return page;
    }
    const tree = async (page) => (await page.session.send('Accessibility.getFullAXTree')).nodes;
    const property = (node, name) => node.properties?.find((p) => p.name === name)?.value.value;
    const role = (node) => node.role?.value;

    // The tile square of cell k on the canvas, in client pixels.
    const tile = (k) => ({ ...home(k), size: design.board.tileSize });
    // What the canvas shows: each cell's picture (1 to 6) by the face colour
    // most seen in its tile's middle, and the cell the frame stands around.
    function screen(page) {
      const tiles = Array.from({ length: 64 }, (_, i) => tile(i + 1));
      return page.evaluate((design, tiles) => {
        const board = document.getElementById('board');
        const ratio = board.width / design.clientWidth;
        const context = board.getContext('2d');
        const at = (x, y) => Array.from(context.getImageData(Math.floor(x * ratio), Math.floor(y * ratio), 1, 1).data.slice(0, 3)).join();
        const faces = design.faces.map((face) => face.join());
        const colours = tiles.map(({ left, top, size }) => {
          const counts = new Map();
          for (let y = top + size / 4; y < top + (3 * size) / 4; ++y)
            for (let x = left + size / 4; x < left + (3 * size) / 4; ++x) {
              const face = faces.indexOf(at(x, y));
              if (face >= 0)
                counts.set(face + 1, (counts.get(face + 1) || 0) + 1);
            }
          return [...counts].sort((a, b) => b[1] - a[1])[0]?.[0] ?? 0;
        });
        const framed = ({ left, top, size }, out) => [[left - out, top + size / 2], [left + size - 1 + out, top + size / 2],
                                                      [left + size / 2, top - out], [left + size / 2, top + size - 1 + out]]
          .every(([x, y]) => at(x, y) === design.frame.colour.join());
        const cursor = tiles.findIndex((square) => framed(square, design.frame.gap + 1)) + 1;
        const held = cursor > 0 && framed(tiles[cursor - 1], design.frame.gap + design.frame.heldWidth);
        return { colours, cursor, held };
      }, design, tiles);
    }
    const colourWord = (page, shown, k) => design.colours[shown.colours[k - 1] - 1];
    // A cell's name names its row, its column and its colour, in that order.
    function namesCell(page, name, k, word) {
      const { columns } = design.board;
      const row = Math.floor((k - 1) / columns) + 1, column = ((k - 1) % columns) + 1;
      return new RegExp(`^\\D*\\b${row}\\b\\D+\\b${column}: ${word}$`).test(name);
    }
    // Words that end with a cell's row and column.
    function namesPlace(page, words, k) {
      const { columns } = design.board;
      return new RegExp(`\\b${Math.floor((k - 1) / columns) + 1}\\b\\D+\\b${((k - 1) % columns) + 1}$`).test(words);
    }
    // The grid node, its cell nodes row by row, and the one it points at.
    async function grid(page) {
      const nodes = await tree(page);
      const byId = new Map(nodes.map((node) => [node.nodeId, node]));
      const board = nodes.find((node) => role(node) === 'grid');
      const rows = (board.childIds || []).map((id) => byId.get(id)).filter((node) => role(node) === 'row');
      const cells = rows.map((row) => row.childIds.map((id) => byId.get(id)).filter((node) => role(node) === 'gridcell'));
      const active = board.properties?.find((p) => p.name === 'activedescendant')?.value.relatedNodes?.[0];
      return { nodes, board, rows, cells, active: active && nodes.find((node) => node.backendDOMNodeId === active.backendDOMNodeId) };
    }
    const status = (page) => page.$eval('[role=status]', (region) => region.textContent.replace(/\u00a0$/, ''));
    const said = (page, test) => page.waitForFunction(`(${test})(document.querySelector('[role=status]').textContent)`, { timeout: 5000 });

    test('the page is an application, and its board a focused grid of 8 rows of 8 cells named by row, column and colour', async () => {
      const page = await open();
      const { nodes, board, rows, cells, active } = await grid(page);
      const application = nodes.find((node) => role(node) === 'application');
      assert.equal(application?.name?.value, 'Pellorin');
      assert.equal(board.name.value, design.boardName);
      assert.equal(property(board, 'focused'), true);
      assert.equal(rows.length, design.board.rows);
      cells.forEach((row, i) => assert.equal(row.length, design.board.columns, `row ${i + 1}`));
      const shown = await screen(page);
      cells.flat().forEach((cell, i) => assert.ok(namesCell(page, cell.name.value, i + 1, colourWord(page, shown, i + 1)),
                                                  `cell ${i + 1}: ${cell.name.value}`));
      assert.equal(active, undefined, 'no cell is active before a key');
      assert.equal(shown.cursor, 0, 'and no frame shows');
    });

    test('the grid\'s active cell follows the cursor, held arrows move it on, and moves say nothing in the status region', async () => {
      const page = await open();
      const shown = await screen(page);
      const expectActive = async (k) => {
        const { active } = await grid(page);
        assert.ok(namesCell(page, active?.name?.value, k, colourWord(page, shown, k)), `active: ${active?.name?.value}, wanted cell ${k}`);
        assert.equal((await screen(page)).cursor, k, 'the frame stands there');
      };
      await page.keyboard.press('ArrowRight');
      await expectActive(1);
      await page.keyboard.press('ArrowDown');
      await expectActive(9);
      // A held arrow: the first press and the keyboard's repeats.
      for (let i = 0; i < 4; ++i)
        await page.keyboard.down('ArrowRight');
      await page.keyboard.up('ArrowRight');
      await expectActive(13);
      assert.equal(await status(page), '', 'no move in the status region');
      // A held Shift+arrow swaps once.
      await page.keyboard.down('Shift');
      for (let i = 0; i < 4; ++i)
        await page.keyboard.down('ArrowLeft');
      await page.keyboard.up('ArrowLeft');
      await page.keyboard.up('Shift');
      await idle(page);
      assert.equal(await page.evaluate(() => window.watched.started), 1, 'one swap');
      const words = await status(page);
      assert.ok(words.includes(`${colourWord(page, shown, 12)} `) && words.endsWith(colourWord(page, shown, 13)), words);
    });

    test('activating a cell holds it, activating it again lets go, and activating a neighbour of the held cell swaps', async () => {
      const page = await open();
      const shown = await screen(page);
      const activate = (k) => page.evaluate((id) => document.getElementById(id).click(), `cell-${k}`);
      // A cell of row 3 whose neighbour below shows another colour.
      const { columns } = design.board;
      const k = Array.from({ length: columns }, (_, i) => 2 * columns + i + 1)
        .find((cell) => shown.colours[cell - 1] !== shown.colours[cell + columns - 1]);
      await activate(k);
      assert.deepEqual(await screen(page), { ...shown, cursor: k, held: true });
      assert.ok(namesCell(page, (await grid(page)).active.name.value, k, colourWord(page, shown, k)));
      const hold = await status(page);
      assert.ok(namesCell(page, hold.replace(/^\S+ /, ''), k, colourWord(page, shown, k)), hold);
      await activate(k);
      assert.equal((await screen(page)).held, false, 'let go');
      const letGo = await status(page);
      assert.ok(namesPlace(page, letGo, k) && !letGo.includes(':'), letGo);
      await activate(k);
      await activate(k + columns);
      await idle(page);
      const after = await screen(page);
      assert.deepEqual([after.colours[k - 1], after.colours[k + columns - 1]], [shown.colours[k + columns - 1], shown.colours[k - 1]]);
      assert.equal(after.held, false);
      const words = await status(page);
      assert.ok(words.includes(`${colourWord(page, shown, k)} `) && words.endsWith(colourWord(page, shown, k + columns)), words);
      // A mouse's click lands on the canvas, and activates nothing.
      await click(page, 5, 5);
      assert.equal(await page.evaluate(() => window.watched.started), 1);
    });

    test('the status region says a swap with the line it emptied, a refused key and a new game', async () => {
      const page = await open({ seed: LineSeed });
      const shown = await screen(page);
      const { columns, rows } = design.board;
      // The swap that completes a row or a column, from the colours shown.
      let plan = null;
      for (let a = 1; a <= 64 && !plan; ++a)
        for (const b of [a + 1, a + columns]) {
          if (b > 64 || (b === a + 1 && a % columns === 0))
            continue;
          const after = [...shown.colours];
          [after[a - 1], after[b - 1]] = [after[b - 1], after[a - 1]];
          const lines = [...Array.from({ length: rows }, (_, r) => Array.from({ length: columns }, (_, c) => r * columns + c + 1)),
                         ...Array.from({ length: columns }, (_, c) => Array.from({ length: rows }, (_, r) => r * columns + c + 1))];
          const line = lines.findIndex((cells) => cells.every((k) => after[k - 1] === after[cells[0] - 1]));
          if (line >= 0 && lines[line].some((k) => k === a || k === b))
            plan = { a, b, number: (line % rows) + 1 };
        }
      assert.ok(plan, `seed ${LineSeed} has a swap that completes a line`);
      await page.keyboard.press('ArrowLeft');
      await page.keyboard.press('ArrowLeft'); // refused at the edge: the cell's name
      assert.ok(namesCell(page, await status(page), 1, colourWord(page, shown, 1)), await status(page));
      await page.evaluate((id) => document.getElementById(id).click(), `cell-${plan.a}`);
      await page.evaluate((id) => document.getElementById(id).click(), `cell-${plan.b}`);
      await idle(page);
      const words = await status(page);
      const [first, second] = [colourWord(page, shown, plan.a), colourWord(page, shown, plan.b)];
      assert.match(words, new RegExp(`\\b${first}\\b.*\\b${second}\\b.*\\b${plan.number}$`));
      await click(page, 20, -10);
      await page.click('#mnuNytt');
      const newGame = design.menuItems.find((item) => item.name === 'mnuNytt').label;
      await said(page, `(text) => text === ${JSON.stringify(newGame)}`);
      const { nodes } = await grid(page);
      const region = nodes.find((node) => role(node) === 'status');
      assert.equal(property(region, 'live'), 'polite');
    });

    test('the board focused by a key shows the frame; at load and by the mouse nothing shows', async () => {
      const page = await open();
      assert.equal((await screen(page)).cursor, 0);
      await page.keyboard.down('Shift');
      await page.keyboard.press('Tab'); // to the menu button
      await page.keyboard.up('Shift');
      assert.equal((await screen(page)).cursor, 0);
      await page.keyboard.press('Tab'); // back to the board
      assert.equal(await page.evaluate(() => document.activeElement.id), 'board');
      assert.equal((await screen(page)).cursor, 1, 'the frame shows where the cursor stands');
      assert.ok((await grid(page)).active, 'and the grid points at its cell');
      await page.mouse.move(page.board.x + 200, page.board.y + 200, { steps: 2 });
      assert.equal((await screen(page)).cursor, 0, 'the mouse hides it');
      await click(page, 20, -10); // the menu button, by the mouse
      await click(page, 5, 5); // and the board again
      assert.equal(await page.evaluate(() => document.activeElement.id), 'board');
      assert.equal((await screen(page)).cursor, 0, 'a press shows nothing');
    });
  });
}
