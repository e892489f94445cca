// What the game suite checks of a board on the screen.
import assert from 'node:assert/strict';
import { Faces, colours, facePoint, home, pixels } from '../harness.mjs';

export const Black = [0, 0, 0];

// Every ball shows its colour's face at its home cell, and black lies around.
export async function assertBoardAtHome(page) {
  const shown = await colours(page);
  const faces = await pixels(page, shown.map((_, i) => facePoint(i + 1)));
  shown.forEach((colour, i) => assert.deepEqual(faces[i], Faces[colour - 1], `ball ${i + 1}`));
  const edges = shown.flatMap((_, i) => { const { left, top } = home(i + 1); return [[left - 1, top + 16], [left + 32, top + 16], [left + 16, top - 1], [left + 16, top + 32]]; });
  (await pixels(page, [...edges, [5, 5], [410, 409], [60, 60]])).forEach((p, i) => assert.deepEqual(p, Black, `point ${i}`));
}
