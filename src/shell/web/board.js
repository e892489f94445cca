// The board's canvas: fits the game to the viewport on whole device pixels,
// keeps the tiles as the game paints them, and draws what the game hands it.

// The game area keeps its shape at the largest size the viewport holds under
// the menu bar; unless a finger leads (a coarse pointer), it grows no larger
// than 1x, so a desktop with a mouse keeps the page it has always had. The
// canvas holds one pixel per device pixel and stands on whole device pixels,
// so nothing is resampled on the way to the screen. The game is told the
// exact scale, any fraction of device pixels per client pixel, and draws
// every tile unscaled on whole device pixels, as its painter paints it at
// that scale's size.
export const board = document.getElementById('board');
export const gameArea = document.getElementById('game');
export const coarsePointer = matchMedia('(pointer: coarse)');
const context = board.getContext('2d', { alpha: false });
const menuBar = document.querySelector('.menubar');
let game = null;
let design = null;
let boardScale = 0; // device pixels per client pixel that the board is drawn at

// The tiles as the game paints them, by their side in device pixels: for
// each size one sheet, a canvas of the six pictures side by side, each painted
// the first time a board shows it, so that a rotation or a zoom back to a size
// seen before paints nothing again. A few sizes are kept, the latest, since a
// window resized by hand passes through many.
const sheets = new Map(); // size -> { canvas, painted: [picture - 1] }
const KeptTileSizes = 4;

function sheetAt(size) {
  let sheet = sheets.get(size);
  if (!sheet) {
    if (sheets.size === KeptTileSizes)
      sheets.delete(sheets.keys().next().value);
    const canvas = document.createElement('canvas');
    canvas.width = size * design.pictures.length;
    canvas.height = size;
    sheet = { canvas, painted: design.pictures.map(() => false) };
    sheets.set(size, sheet);
  }
  return sheet;
}

// Paints a picture into its sheet, unless it is there. A picture the
// painter refuses stays blank.
function paintTile(sheet, picture, size) {
  if (sheet.painted[picture - 1])
    return;
  sheet.painted[picture - 1] = true;
  const at = game._pellorin_tile(picture, size);
  if (!at)
    return;
  const bytes = new Uint8ClampedArray(game.HEAPU8.buffer, at, size * size * 4);
  sheet.canvas.getContext('2d').putImageData(new ImageData(bytes, size, size), (picture - 1) * size, 0);
}

// Paints the pictures no board has shown yet at the board's size, so that
// none is painted during a swap.
export function paintRemainingTiles() {
  const size = game._pellorin_tile_size();
  const sheet = sheetAt(size);
  design.pictures.forEach((_, i) => paintTile(sheet, i + 1, size));
}

// A layout keeps a place in whole 64ths (Blink, WebKit) or 60ths (Gecko) of a
// CSS pixel, both whole quarters, so a place that is a whole device pixel but
// no whole quarter of a CSS pixel (169 at 1.5 is 112 2/3) lands beside it.
// The places that are both come every step device pixels.
function layoutStep(ratio) {
  for (let quarters = 1; quarters <= 64; ++quarters) {
    const device = (quarters / 4) * ratio;
    if (Math.abs(device - Math.round(device)) < 1e-6)
      return Math.round(device);
  }
  return 1; // no such place near: the nearest device pixel
}

// The place on a step nearest below a device place, or above it, within
// [lowest, highest]; the place itself when no step lies there.
function onStep(place, lowest, highest, step) {
  const below = Math.floor(place / step) * step;
  if (below >= lowest)
    return below;
  return below + step <= highest ? below + step : place;
}

// Places the game and sizes its canvas for the viewport. Returns whether the
// board's scale changed, which leaves the canvas cleared for a repaint.
export function fit() {
  const ratio = window.devicePixelRatio || 1;
  const viewport = document.documentElement;
  // What the viewport holds, in whole device pixels, under the menu bar.
  const menuHeight = menuBar.offsetHeight;
  const menuDevice = Math.ceil(menuHeight * ratio);
  const roomWidth = Math.floor(viewport.clientWidth * ratio);
  const roomHeight = Math.floor(viewport.clientHeight * ratio) - menuDevice;
  let perClient = Math.min(roomWidth / design.clientWidth, roomHeight / design.clientHeight);
  if (!coarsePointer.matches)
    perClient = Math.min(perClient, ratio);
  const changed = perClient !== boardScale;
  if (changed) {
    boardScale = perClient;
    game._pellorin_scale(perClient);
  }
  const deviceWidth = game._pellorin_canvas_width();
  const deviceHeight = game._pellorin_canvas_height();
  // The board's top left corner on a whole device pixel, the whole centred.
  const step = layoutStep(ratio);
  const left = onStep(Math.floor((roomWidth - deviceWidth) / 2), 0, roomWidth - deviceWidth, step);
  const boardTop = onStep(menuDevice + Math.floor((roomHeight - deviceHeight) / 2), menuDevice,
                          menuDevice + roomHeight - deviceHeight, step);
  gameArea.style.visibility = 'visible';
  gameArea.style.left = `${left / ratio}px`;
  gameArea.style.top = `${boardTop / ratio - menuHeight}px`;
  gameArea.style.width = `${deviceWidth / ratio}px`;
  board.style.width = `${deviceWidth / ratio}px`;
  board.style.height = `${deviceHeight / ratio}px`;
  if (changed) {
    board.width = deviceWidth; // which clears it: the caller draws it whole
    board.height = deviceHeight;
  }
  return changed;
}

// Fits the board to the viewport again and draws it whole at its new scale,
// with every picture painted at it.
function refit() {
  if (fit()) {
    game._pellorin_repaint();
    paintRemainingTiles();
  }
}

export function watchViewport() {
  window.addEventListener('resize', refit);
  const ratio = window.devicePixelRatio || 1;
  matchMedia(`(resolution: ${ratio}dppx)`).addEventListener('change', () => { refit(); watchViewport(); },
                                                            { once: true });
}

// Takes the game and its design values, before the first fit.
export function useGame(instance, values) {
  game = instance;
  design = values;
}

// The fill colours as the canvas takes them, made once each.
const fillStyles = new Map(); // 0xrrggbb -> CSS colour

// What the game calls to draw, in the canvas's device pixels. A repaint is
// begin(area), fills and tiles clipped to the area, end(). Nothing here
// allocates once each picture and colour has been seen: a swap's ticks draw
// through it.
export const drawing = {
  begin(left, top, width, height) {
    context.save();
    context.beginPath();
    context.rect(left, top, width, height);
    context.clip();
    context.fillStyle = '#000';
    context.fillRect(left, top, width, height);
  },
  fill(left, top, width, height, red, green, blue) {
    const key = (red << 16) | (green << 8) | blue;
    let style = fillStyles.get(key);
    if (style === undefined) {
      style = `rgb(${red}, ${green}, ${blue})`;
      fillStyles.set(key, style);
    }
    context.fillStyle = style;
    context.fillRect(left, top, width, height);
  },
  drawTile(picture, left, top, size) {
    const sheet = sheetAt(size);
    paintTile(sheet, picture, size);
    context.drawImage(sheet.canvas, (picture - 1) * size, 0, size, size, left, top, size, size);
  },
  end() {
    context.restore();
  },
};
