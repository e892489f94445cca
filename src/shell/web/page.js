// The page of the web game: draws what the game hands it, delivers the
// pointer, the keys and the menu to the game, shows its cursor, plays its cues
// and hands what it says to a screen reader.
'use strict';

// The page's look of each of the game's cursors, by the name the game gives it.
const CursorStyles = { default: 'default', sizeNS: 'ns-resize', sizeWE: 'ew-resize', noDrop: 'not-allowed' };

const params = new URLSearchParams(location.search);
const board = document.getElementById('board');
const context = board.getContext('2d', { alpha: false });
const menuBar = document.querySelector('.menubar');
let game = null;
let design = null; // the game's design values: sizes, codes, pictures, keys and the menu
let dealt = false; // the board is there: the menu and the pointer may reach it

// --- Fit and drawing ----------------------------------------------------
// The game area keeps its shape at the largest size the viewport holds under
// the menu bar; unless a finger leads (a coarse pointer), it grows no larger
// than 1x, so a desktop with a mouse keeps the page it has always had. The
// canvas holds one pixel per device pixel and stands on whole device pixels,
// so nothing is resampled on the way to the screen. The game is told the
// exact scale, any fraction of device pixels per client pixel, and draws
// every tile unscaled on whole device pixels, as its painter paints it at
// that scale's size.
const gameArea = document.getElementById('game');
const coarsePointer = matchMedia('(pointer: coarse)');
let boardScale = 0; // device pixels per client pixel that the board is drawn at

// The tiles as the game paints them, by their side in device pixels: for
// each size a canvas per picture, made once, so that a rotation or a zoom back
// to a size seen before paints nothing again. A few sizes are kept, the
// latest, since a window resized by hand passes through many.
const tiles = new Map();
const KeptTileSizes = 4;

function tilesAt(size) {
  if (!tiles.has(size)) {
    if (tiles.size === KeptTileSizes)
      tiles.delete(tiles.keys().next().value);
    tiles.set(size, design.pictures.map((_, i) => {
      const at = game._pellorin_tile(i + 1, size);
      const bytes = new Uint8ClampedArray(game.HEAPU8.buffer, at, size * size * 4);
      const tile = document.createElement('canvas');
      tile.width = size;
      tile.height = size;
      tile.getContext('2d').putImageData(new ImageData(bytes.slice(), size, size), 0, 0);
      return tile;
    }));
  }
  return tiles.get(size);
}

// Places the game and sizes its canvas for the viewport. Returns whether the
// board's scale changed, which leaves the canvas cleared for a repaint.
function fit() {
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
    tilesAt(game._pellorin_tile_size());
  }
  const deviceWidth = game._pellorin_canvas_width();
  const deviceHeight = game._pellorin_canvas_height();
  // The board's top left corner on a whole device pixel, the whole centred.
  const left = Math.floor((roomWidth - deviceWidth) / 2);
  const boardTop = menuDevice + Math.floor((roomHeight - deviceHeight) / 2);
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

// Fits the board to the viewport again and draws it whole at its new scale.
function refit() {
  if (fit())
    game._pellorin_repaint();
}

function watchViewport() {
  window.addEventListener('resize', refit);
  const ratio = window.devicePixelRatio || 1;
  matchMedia(`(resolution: ${ratio}dppx)`).addEventListener('change', () => { refit(); watchViewport(); },
                                                            { once: true });
}

// --- Sound ---------------------------------------------------------------
// A cue is fetched beside the page at every request; the browser revalidates
// its copy, so a replaced file is heard and an unchanged one is not fetched
// again, nor decoded again. Every failure is silent.
let audio = null;
let playing = null; // the cue that sounds now
let lastRequest = 0;
const decoded = new Map(); // file name -> { version, buffer }

function audioContext() {
  // Before the player's first gesture the browser allows no sound at all; a
  // browser that cannot tell gets a context that waits to be resumed.
  const activation = navigator.userActivation;
  if (!audio && (!activation || activation.hasBeenActive))
    audio = new AudioContext();
  if (audio && audio.state === 'suspended')
    audio.resume().catch(() => {});
  return audio;
}

async function decodedCue(file, audio) {
  const response = await fetch(file, { cache: 'no-cache' });
  if (!response.ok)
    return null;
  const version = response.headers.get('ETag') || response.headers.get('Last-Modified');
  const known = decoded.get(file);
  if (version && known && known.version === version) {
    response.body?.cancel();
    return known.buffer;
  }
  const buffer = await audio.decodeAudioData(await response.arrayBuffer()).catch(() => null);
  decoded.set(file, { version, buffer });
  return buffer;
}

// A touch counts as the player's gesture only when the finger lifts, which is
// after its press has asked for a cue: the sound is let in then.
for (const type of ['pointerup', 'keydown'])
  document.addEventListener(type, () => { if (game) audioContext(); }, true);

function play(file) {
  // A newer request cuts off whatever still plays, even when it fails.
  if (playing) {
    playing.stop();
    playing = null;
  }
  const request = ++lastRequest;
  const audio = audioContext();
  if (!audio)
    return 0;
  decodedCue(file, audio).then((buffer) => {
    if (!buffer || request !== lastRequest)
      return;
    playing = audio.createBufferSource();
    playing.buffer = buffer;
    playing.connect(audio.destination);
    playing.start();
  }).catch(() => {});
  return 1;
}

// --- The menu ------------------------------------------------------------
// Built from the game's design: a caption marks its access key with "&",
// shown underlined, and an item without a command is a separator.
let menuButton = null;
let menu = null;
let menuItems = []; // the items that choose a command, in order

// A caption as the page shows it: the access key's letter underlined.
function captionNodes(caption) {
  const at = caption.indexOf('&');
  if (at < 0 || at + 1 >= caption.length)
    return [caption];
  const key = document.createElement('u');
  key.textContent = caption[at + 1];
  return [caption.slice(0, at), key, caption.slice(at + 2)].filter((part) => part !== '');
}

function accessKeyOf(caption) {
  const at = caption.indexOf('&');
  return at >= 0 ? caption[at + 1] : '';
}

// Whether a key event types an access key.
function accessKeyPressed(event, key) {
  return key !== '' && event.code === `Key${key.toUpperCase()}`;
}

function buildMenu() {
  menuButton = document.createElement('button');
  menuButton.id = design.menu.name;
  menuButton.setAttribute('aria-haspopup', 'menu');
  menuButton.setAttribute('aria-controls', 'menu');
  menuButton.setAttribute('aria-expanded', 'false');
  menuButton.append(...captionNodes(design.menu.caption));
  menu = document.createElement('div');
  menu.id = 'menu';
  menu.setAttribute('role', 'menu');
  menu.hidden = true;
  for (const { name, caption, command } of design.menuItems) {
    const entry = document.createElement(command ? 'button' : 'hr');
    entry.id = name;
    if (command) {
      entry.setAttribute('role', 'menuitem');
      entry.tabIndex = -1;
      entry.dataset.command = command;
      entry.dataset.key = accessKeyOf(caption);
      entry.append(...captionNodes(caption));
    }
    menu.append(entry);
  }
  menuBar.append(menuButton, menu);
  menuItems = [...menu.querySelectorAll('[role=menuitem]')];
  listenToMenu();
}

function menuOpen() {
  return menu !== null && !menu.hidden;
}

function openMenu() {
  menu.hidden = false;
  menuButton.setAttribute('aria-expanded', 'true');
  menuItems[0].focus();
}

// Closes the menu; the keys it held go back to the board.
function closeMenu() {
  if (!menu)
    return;
  const hadFocus = menu.contains(document.activeElement);
  menu.hidden = true;
  menuButton.setAttribute('aria-expanded', 'false');
  if (hadFocus)
    board.focus({ preventScroll: true });
}

function choose(item) {
  closeMenu();
  if (dealt && item)
    game._pellorin_command(Number(item.dataset.command));
}

function listenToMenu() {
  menuButton.addEventListener('click', () => (menuOpen() ? closeMenu() : openMenu()));
  menu.addEventListener('click', (event) => choose(event.target.closest('[role=menuitem]')));
  // A press outside the open menu closes it and goes no further, as on the
  // desktop; cancelling the pointer's press holds back the mouse's as well.
  document.addEventListener('pointerdown', (event) => {
    if (menuOpen() && !event.target.closest('.menubar')) {
      closeMenu();
      event.stopPropagation();
      event.preventDefault();
    }
  }, true);

  const menuKey = accessKeyOf(design.menu.caption);
  document.addEventListener('keydown', (event) => {
    if (!dealt)
      return;
    const item = menuItems.find((entry) => accessKeyPressed(event, entry.dataset.key));
    if (event.altKey && accessKeyPressed(event, menuKey))
      menuOpen() ? closeMenu() : openMenu();
    else if (!menuOpen())
      return;
    else if (item)
      choose(item);
    else if (event.key === 'Escape')
      closeMenu();
    else if (event.key === 'ArrowDown' || event.key === 'ArrowUp') {
      const at = menuItems.indexOf(document.activeElement);
      const step = event.key === 'ArrowDown' ? 1 : menuItems.length - 1;
      menuItems[(at + step) % menuItems.length].focus();
    } else
      return;
    event.preventDefault();
  });
}

// --- The board -----------------------------------------------------------
function shiftCode(event) {
  const keys = design.keys;
  return (event.shiftKey ? keys.shift : 0) | (event.ctrlKey ? keys.control : 0) | (event.altKey ? keys.alt : 0);
}

// The game's cursor shows while a mouse is in use; a finger has no hover,
// and the page shows no cursor for it.
let gameCursor = 0;
let mouseInUse = !coarsePointer.matches;

function showCursor() {
  board.style.cursor = mouseInUse ? cursorStyles.get(gameCursor) || 'default' : '';
}

// Notes which kind of pointer the player uses now; true for a mouse.
function mouseUsed(event) {
  const mouse = event.pointerType === 'mouse';
  if (mouse !== mouseInUse) {
    mouseInUse = mouse;
    showCursor();
  }
  return mouse;
}

// The canvas pixel under a pointer event, unrounded: the canvas holds a
// device pixel per pixel, and the game knows its scale.
function devicePoint(event) {
  const ratio = window.devicePixelRatio || 1;
  return { x: event.offsetX * ratio, y: event.offsetY * ratio };
}

// The mouse comes through pointer events as a finger does, so that the mouse
// events a browser makes up after a tap never reach the game.
function listen() {
  const { left, right, middle } = design.buttons;
  const pressed = [left, middle, right]; // by the page's number of the button that changed
  const bits = [1, 4, 2]; // the page's bit in buttons, by that number
  const press = (button, shift, { x, y }) => game._pellorin_press(button, shift, x, y);
  // A finger or a pen: where it goes down is a press, as a click is, and
  // where it lifts ends a swipe, which the game turns into the press it
  // stands for. There is no hover, so no move. Only the first finger plays.
  let stroke = null; // { id, from }
  board.addEventListener('pointerdown', (event) => {
    event.preventDefault(); // no selection, no autoscroll, no mouse events made up
    board.focus({ preventScroll: true }); // which the cancelled press would not give: the keys play on
    if (mouseUsed(event))
      press(pressed[event.button] || 0, shiftCode(event), devicePoint(event));
    else if (!stroke) {
      stroke = { id: event.pointerId, from: devicePoint(event) };
      press(left, 0, stroke.from);
    }
  });
  board.addEventListener('pointermove', (event) => {
    if (!mouseUsed(event))
      return;
    // A further button pressed while the first is held comes as a move.
    if (event.button >= 0 && event.buttons & bits[event.button]) {
      press(pressed[event.button], shiftCode(event), devicePoint(event));
      return;
    }
    const held = (event.buttons & 1 ? left : 0) | (event.buttons & 2 ? right : 0) | (event.buttons & 4 ? middle : 0);
    const { x, y } = devicePoint(event);
    game._pellorin_move(held, shiftCode(event), x, y);
  });
  board.addEventListener('pointerup', (event) => {
    if (stroke?.id !== event.pointerId)
      return;
    const { from } = stroke;
    stroke = null;
    const to = devicePoint(event);
    game._pellorin_swipe(from.x, from.y, to.x, to.y);
  });
  board.addEventListener('pointercancel', (event) => {
    if (stroke?.id === event.pointerId)
      stroke = null;
  });
  gameArea.addEventListener('contextmenu', (event) => event.preventDefault()); // no long-press menu
  listenToKeys();
}

// --- Keys and speech -----------------------------------------------------
// The board's keys, by the page's name of each, to the game's names of them
// (design boardKeys). The game decides what they do and draws its frame.
const BoardKeys = { ArrowLeft: 'left', ArrowRight: 'right', ArrowUp: 'up', ArrowDown: 'down', ' ': 'space',
                    Enter: 'enter', Escape: 'escape' };

// The focused board takes its keys, with Shift or without, while the menu is
// closed; they do nothing else on the page, so the arrows never scroll it.
// Keys with Alt, Control or Meta stay the browser's and the menu's.
function listenToKeys() {
  board.addEventListener('keydown', (event) => {
    const key = design.boardKeys[BoardKeys[event.key]];
    if (!key || menuOpen() || event.altKey || event.ctrlKey || event.metaKey)
      return;
    event.preventDefault();
    game._pellorin_key(key, event.shiftKey ? design.keys.shift : 0);
  });
}

// The live region that a screen reader reads out whenever its words change.
// Words said again, such as at an edge, still change it: a no-break space
// comes and goes at their end.
const speech = document.getElementById('speech');

function announce(words) {
  speech.textContent = speech.textContent === words ? `${words}\u00a0` : words;
}

// The board is named by the game. It is an application to a screen reader:
// its keys go to the page, not to the reader's own browsing, and the live
// region says what they did.
function nameBoard() {
  board.setAttribute('aria-label', game.UTF8ToString(game._pellorin_board_name()));
}

// What the game calls in the page, in the canvas's device pixels. A repaint
// is begin(area), fills and tiles clipped to the area, end().
const page = {
  begin(left, top, width, height) {
    context.save();
    context.beginPath();
    context.rect(left, top, width, height);
    context.clip();
    context.fillStyle = '#000';
    context.fillRect(left, top, width, height);
  },
  fill(left, top, width, height, red, green, blue) {
    context.fillStyle = `rgb(${red}, ${green}, ${blue})`;
    context.fillRect(left, top, width, height);
  },
  drawTile(picture, left, top, size) {
    const tile = tiles.get(size)?.[picture - 1];
    if (tile)
      context.drawImage(tile, left, top);
  },
  end() {
    context.restore();
  },
  cursor(code) {
    gameCursor = code;
    showCursor();
  },
  play,
  announce,
  close() {
    closeMenu();
    gameArea.hidden = true;
    document.getElementById('ended').hidden = false;
    document.getElementById('again').focus();
  },
};
let cursorStyles = new Map(); // cursor code -> CSS cursor

document.getElementById('again').addEventListener('click', () => location.reload());

createPellorin({ page }).then((instance) => {
  game = instance;
  design = JSON.parse(game.UTF8ToString(game._pellorin_design()));
  cursorStyles = new Map(Object.entries(design.cursors).map(([name, code]) => [code, CursorStyles[name]]));
  game._pellorin_create(Number(params.get('seed')) >>> 0, params.has('symbols') ? 1 : 0);
  buildMenu();
  nameBoard();
  fit();
  game._pellorin_load();
  dealt = true;
  listen();
  board.focus({ preventScroll: true });
  watchViewport();
  window.pellorin = game; // for looking at a game from outside
  // The site is kept for playing offline; a browser without workers, or a
  // page not served over HTTPS, plays on without.
  navigator.serviceWorker?.register('sw.js').catch(() => {});
  navigator.serviceWorker?.controller?.postMessage('drawn');
}).catch((error) => {
  console.error(error);
  gameArea.hidden = true;
  document.getElementById('ended-text').textContent = 'Pellorin kunde inte starta i den här webbläsaren.';
  document.getElementById('ended').hidden = false;
});
