// What the game suite checks of a board on the screen.
import assert from 'node:assert/strict';
import { colours, design, facePoint, home, pixels } from '../harness.mjs';

export const Black = [0, 0, 0];

// Every ball shows its colour's face at its home cell, and black lies around.
export async function assertBoardAtHome(page) {
  const shown = await colours(page);
  const faces = await pixels(page, shown.map((_, i) => facePoint(i + 1)));
  shown.forEach((colour, i) => assert.deepEqual(faces[i], design.faces[colour - 1], `ball ${i + 1}`));
  const { tileSize: size, margin } = design.board;
  const edges = shown.flatMap((_, i) => {
    const { left, top } = home(i + 1);
    return [[left - 1, top + size / 2], [left + size, top + size / 2], [left + size / 2, top - 1], [left + size / 2, top + size]];
  });
  // A point in the margin at each corner of the board, and one where gaps cross.
  const apart = [[margin / 4, margin / 4], [design.clientWidth - margin / 4, design.clientHeight - margin / 4],
                 [margin + size + 4, margin + size + 4]];
  (await pixels(page, [...edges, ...apart])).forEach((p, i) => assert.deepEqual(p, Black, `point ${i}`));
}
