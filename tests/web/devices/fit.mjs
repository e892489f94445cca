// What the device suite checks of the board: its fit to the screen in device
// pixels, and tiles drawn whole and crisp at the board's scale.
import assert from 'node:assert/strict';
import { colours, design, facePoint, home, pixels } from '../harness.mjs';

const Black = [0, 0, 0];

// Device pixels per client pixel that the board should take on a device:
// the largest that fits, on whole device pixels, under the menu bar (44 CSS
// pixels tall for a finger, 21 for a mouse); no more than 1x with a mouse.
export function expectedScale({ width, height, scale, touch }) {
  const menu = Math.ceil((touch ? 44 : 21) * scale);
  const fits = Math.min(Math.floor(width * scale) / design.clientWidth, (Math.floor(height * scale) - menu) / design.clientHeight);
  return touch ? fits : Math.min(fits, scale);
}

// Every ball shows its face in its cell, and the middles of the gaps and of
// the margins are black: the board is drawn whole, at whatever scale.
export async function assertBoardWhole(page) {
  const shown = await colours(page);
  const faces = await pixels(page, shown.map((_, i) => facePoint(i + 1)), { centre: true });
  shown.forEach((colour, i) => assert.deepEqual(faces[i], design.faces[colour - 1], `ball ${i + 1}`));
  const { tileSize: size, pitch, margin } = design.board;
  const inGap = size + (pitch - size) / 2 - 1;
  const gaps = shown.flatMap((_, i) => {
    const { left, top } = home(i + 1);
    return [[left + size / 2, top + inGap], [left + inGap, top + size / 2], [left - margin / 2, top - margin / 2]];
  });
  const corner = [design.clientWidth - margin / 2, design.clientHeight - margin / 2];
  (await pixels(page, [...gaps, corner], { centre: true })).forEach((p, i) => assert.deepEqual(p, Black, `gap point ${i}`));
}

// Every tile stands on the canvas exactly as the game's painter paints it at
// the board's tile size, unresampled, with its corner on a whole device pixel
// within one of where the board's scale puts it, and black device pixels
// right around it: every edge goes from black to the tile at once.
export async function assertCrisp(page, scale) {
  const homes = Array.from({ length: design.board.rows * design.board.columns }, (_, i) => home(i + 1));
  const faults = await page.evaluate((scale, homes) => {
    const game = window.pellorin;
    const board = document.getElementById('board');
    const canvas = board.getContext('2d').getImageData(0, 0, board.width, board.height).data;
    const size = game._pellorin_tile_size();
    const painted = [1, 2, 3, 4, 5, 6].map((picture) => {
      const at = game._pellorin_tile(picture, size);
      return game.HEAPU8.slice(at, at + size * size * 4);
    });
    const black = (x, y) => canvas[4 * (y * board.width + x)] + canvas[4 * (y * board.width + x) + 1] + canvas[4 * (y * board.width + x) + 2] === 0;
    const drawnAt = (tile, left, top) => {
      for (let y = 0; y < size; ++y) {
        for (let x = 0; x < size; ++x) {
          const c = 4 * ((top + y) * board.width + left + x);
          const t = 4 * (y * size + x);
          if (canvas[c] !== tile[t] || canvas[c + 1] !== tile[t + 1] || canvas[c + 2] !== tile[t + 2])
            return false;
        }
      }
      return true;
    };
    const faults = [];
    for (let k = 1; k <= homes.length; ++k) {
      const tile = painted[game._pellorin_colour(k) - 1];
      const exactLeft = homes[k - 1].left * scale;
      const exactTop = homes[k - 1].top * scale;
      let found = null;
      for (let top = Math.floor(exactTop) - 1; !found && top <= Math.ceil(exactTop) + 1; ++top)
        for (let left = Math.floor(exactLeft) - 1; !found && left <= Math.ceil(exactLeft) + 1; ++left)
          if (drawnAt(tile, left, top))
            found = { left, top };
      if (!found || Math.abs(found.left - exactLeft) >= 1 || Math.abs(found.top - exactTop) >= 1) {
        faults.push(`ball ${k}: not drawn as painted near ${exactLeft}, ${exactTop}`);
        continue;
      }
      for (let i = -1; i <= size; ++i) {
        for (const [x, y] of [[found.left - 1, found.top + i], [found.left + size, found.top + i],
                              [found.left + i, found.top - 1], [found.left + i, found.top + size]])
          if (!black(x, y))
            faults.push(`ball ${k}: device pixel ${x}, ${y} beside it is not black`);
      }
    }
    return { size, faults };
  }, scale, homes);
  assert.equal(faults.size, Math.round(design.board.tileSize * scale), 'the tile size');
  assert.deepEqual(faults.faults, []);
}

export function swapped(was, [a, b]) {
  const expected = [...was];
  [expected[a - 1], expected[b - 1]] = [was[b - 1], was[a - 1]];
  return expected;
}

// The board's geometry, in device pixels: its size, its place on whole
// device pixels, and where the outer tiles' edges fall in it.
export async function assertFitted(page, device) {
  // The device pixel row through the middle of the top row's tiles.
  const middle = home(1).top + design.board.tileSize / 2 + 0.5;
  const shape = await page.evaluate((clientWidth, middle) => {
    const board = document.getElementById('board');
    const game = document.getElementById('game').getBoundingClientRect();
    const caption = document.getElementById('mnuMeny').getBoundingClientRect();
    const rect = board.getBoundingClientRect();
    const context = board.getContext('2d');
    const k = board.width / clientWidth;
    const row = context.getImageData(0, Math.floor(middle * k), board.width, 1).data;
    const lit = [];
    for (let x = 0; x < board.width; ++x)
      if (row[4 * x] + row[4 * x + 1] + row[4 * x + 2] > 0)
        lit.push(x);
    const scroller = document.scrollingElement;
    return {
      ratio: devicePixelRatio, width: board.width, height: board.height, rect: { x: rect.x, y: rect.y, width: rect.width, height: rect.height },
      game: { left: game.left, top: game.top, right: game.right, bottom: game.bottom },
      caption: { left: caption.left, top: caption.top, right: caption.right, bottom: caption.bottom, height: caption.height },
      firstLit: lit[0], lastLit: lit.at(-1),
      scroll: { width: scroller.scrollWidth, height: scroller.scrollHeight },
      viewport: { width: innerWidth, height: innerHeight },
    };
  }, design.clientWidth, middle);
  assert.equal(shape.ratio, device.scale);
  const k = expectedScale(device);
  const { clientWidth, clientHeight } = design;
  assert.ok(Math.abs(shape.width - clientWidth * k) <= 1, `board ${shape.width} device pixels wide, not ${clientWidth * k}`);
  assert.ok(Math.abs(shape.height - clientHeight * k) <= 1, `board ${shape.height} device pixels high, not ${clientHeight * k}`);
  // One canvas pixel per device pixel, on whole device pixels.
  assert.ok(Math.abs(shape.rect.width * device.scale - shape.width) < 0.05, 'shown one to one across');
  assert.ok(Math.abs(shape.rect.height * device.scale - shape.height) < 0.05, 'shown one to one down');
  for (const edge of [shape.rect.x, shape.rect.y])
    assert.ok(Math.abs(edge * device.scale - Math.round(edge * device.scale)) < 0.05, `edge ${edge} on a device pixel`);
  // The tiles stand where the board's own scale puts them.
  const drawn = shape.width / clientWidth;
  const { columns, tileSize } = design.board;
  assert.ok(Math.abs(shape.firstLit - home(1).left * drawn) <= 1, `ball 1 starts at device pixel ${shape.firstLit}`);
  assert.ok(Math.abs(shape.lastLit + 1 - (home(columns).left + tileSize) * drawn) <= 1,
            `ball ${columns} ends at device pixel ${shape.lastLit + 1}`);
  // All in view, nothing to scroll.
  for (const box of [shape.game, shape.caption]) {
    assert.ok(box.left >= 0 && box.top >= 0, JSON.stringify(box));
    assert.ok(box.right <= device.width && box.bottom <= device.height, JSON.stringify(box));
  }
  assert.ok(shape.scroll.width <= device.width && shape.scroll.height <= device.height, JSON.stringify(shape.scroll));
  if (device.touch)
    assert.ok(shape.caption.height >= 44, `the menu caption is ${shape.caption.height} CSS pixels tall`);
  else
    assert.equal(shape.width, clientWidth * device.scale, 'a desktop with a mouse stays at 1x');
}
