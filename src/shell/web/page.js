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
// Each cue is kept decoded, with the validator (ETag or Last-Modified) its file
// came with, and a request starts the kept one at once: no cue waits for the
// network. Each request then asks the server in the background, by a
// conditional request, whether the file changed; a changed file is decoded and
// plays from the next request on, so a cue replaced beside the page is heard.
// A cue not kept yet plays when it has arrived, unless a newer request came
// meanwhile. Offline the kept one plays; a missing or broken file is silent.
let audio = null;
let playing = null; // the cue that sounds now
let lastRequest = 0;
const cues = new Map(); // file name -> { buffer, etag, modified }; buffer null: silent
const checks = new Map(); // file name -> the question to the server under way

// The context, created at the first gesture and resumed at each later one
// when the browser has suspended it or (Safari) a call or another app has
// interrupted it; a cue started meanwhile sounds once it runs again.
function audioContext() {
  // Before the player's first gesture the browser allows no sound at all; a
  // browser that cannot tell gets a context that waits to be resumed.
  const activation = navigator.userActivation;
  if (!audio && (!activation || activation.hasBeenActive))
    audio = new AudioContext();
  if (audio && (audio.state === 'suspended' || audio.state === 'interrupted'))
    audio.resume().catch(() => {});
  return audio;
}

// Asks for a cue file, conditionally when one is kept, and keeps what comes:
// a changed file decoded (null when it is no sound), or nothing when the file
// has gone. Returns the buffer kept now; a failed request throws, and the
// kept one stays.
async function checkCue(file, audio) {
  const kept = cues.get(file);
  const headers = {};
  if (kept?.etag)
    headers['If-None-Match'] = kept.etag;
  if (kept?.modified)
    headers['If-Modified-Since'] = kept.modified;
  const response = await fetch(file, { cache: 'no-store', headers });
  if (response.status === 304)
    return kept?.buffer ?? null;
  let buffer = null;
  // WebKit decodes a file without samples to an empty buffer; it is no sound.
  if (response.ok)
    buffer = await audio.decodeAudioData(await response.arrayBuffer())
      .then((decoded) => (decoded.length ? decoded : null), () => null);
  else
    response.body?.cancel();
  cues.set(file, { buffer, etag: response.headers.get('ETag'), modified: response.headers.get('Last-Modified') });
  return buffer;
}

function startCue(audio, buffer) {
  playing = audio.createBufferSource();
  playing.buffer = buffer;
  playing.connect(audio.destination);
  playing.start();
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
  const kept = cues.get(file)?.buffer;
  if (kept)
    startCue(audio, kept);
  // One question per file at a time; requests made meanwhile share it.
  let check = checks.get(file);
  if (!check) {
    check = checkCue(file, audio).finally(() => checks.delete(file));
    checks.set(file, check);
  }
  check.then((buffer) => {
    if (!kept && buffer && request === lastRequest)
      startCue(audio, buffer);
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

// The access keys go by the letter the key types, whatever the layout: the
// key marked A quits on AZERTY as on QWERTY. A key that types a letter of
// another script, or the symbol Option types with it on a Mac, goes by its
// place instead; a key that types an ASCII sign is no access key.
function accessKey(event) {
  const typed = event.key?.length === 1 ? event.key.toLowerCase() : '';
  if (/^[a-z]$/.test(typed))
    return typed;
  return typed > '\x7f' && /^Key[A-Z]$/.test(event.code) ? event.code.slice(3).toLowerCase() : '';
}

// Whether a key event types an access key, by the letter typed.
function accessKeyPressed(event, key) {
  return key !== '' && accessKey(event) === key.toLowerCase();
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

// The canvas pixel under a pointer event, unrounded, from the board's place
// on the page: the canvas holds a device pixel per pixel, the game knows its
// scale, and a captured mouse reaches the board from outside it too.
function devicePoint(event) {
  const rect = board.getBoundingClientRect();
  return { x: ((event.clientX - rect.left) * board.width) / rect.width,
           y: ((event.clientY - rect.top) * board.height) / rect.height };
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
    if (mouseUsed(event)) {
      // The back and forward buttons (3 and 4) are the browser's, no press.
      if (!pressed[event.button])
        return;
      // Moves with a button held reach the game wherever the mouse goes, as
      // the desktop's grab of the mouse does.
      board.setPointerCapture(event.pointerId);
      press(pressed[event.button], shiftCode(event), devicePoint(event));
    } else if (!stroke) {
      stroke = { id: event.pointerId, from: devicePoint(event) };
      press(left, 0, stroke.from);
    }
  });
  board.addEventListener('pointermove', (event) => {
    if (!mouseUsed(event))
      return;
    // A further button pressed while the first is held comes as a move.
    if (pressed[event.button] && event.buttons & bits[event.button]) {
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
    game._pellorin_key(key, event.shiftKey ? design.keys.shift : 0, event.repeat ? 1 : 0);
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
