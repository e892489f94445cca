// The page of the web game: draws what the game hands it, delivers the
// pointer and the menu to the game, shows its cursor and plays its cues.
'use strict';

// The page's look of each of the game's cursors, by the name the game gives it.
const CursorStyles = { default: 'default', sizeNS: 'ns-resize', sizeWE: 'ew-resize', noDrop: 'not-allowed' };

const params = new URLSearchParams(location.search);
const board = document.getElementById('board');
const context = board.getContext('2d', { alpha: false });
const menuButton = document.getElementById('mnuMeny');
const menu = document.getElementById('menu');
let game = null;
let design = null; // the game's design values: sizes, codes and pictures
let dealt = false; // the board is there: the menu and the pointer may reach it

// --- Fit and drawing ----------------------------------------------------
// The game area keeps its shape at the largest size the viewport holds under
// the menu bar; unless a finger leads (a coarse pointer), it grows no larger
// than 1x, so a desktop with a mouse keeps the page it has always had. The
// canvas holds one pixel per device pixel and stands on whole device pixels,
// so nothing is resampled on the way to the screen. The tiles come from the
// rendering the game names for the device pixels per client pixel.
const gameArea = document.getElementById('game');
const menuBar = document.querySelector('.menubar');
const coarsePointer = matchMedia('(pointer: coarse)');
const pictures = []; // the bank's pictures, 1 to 6, at the rendering in use
let scale = 0; // the rendering in use, 1 to 3

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
  const deviceWidth = Math.max(1, Math.floor(design.clientWidth * perClient));
  const deviceHeight = Math.max(1, Math.floor(design.clientHeight * perClient));
  // The board's top left corner on a whole device pixel, the whole centred.
  const left = Math.floor((roomWidth - deviceWidth) / 2);
  const boardTop = menuDevice + Math.floor((roomHeight - deviceHeight) / 2);
  gameArea.style.visibility = 'visible';
  gameArea.style.left = `${left / ratio}px`;
  gameArea.style.top = `${boardTop / ratio - menuHeight}px`;
  gameArea.style.width = `${deviceWidth / ratio}px`;
  board.style.width = `${deviceWidth / ratio}px`;
  board.style.height = `${deviceHeight / ratio}px`;
  if (board.width === deviceWidth && board.height === deviceHeight)
    return false;
  board.width = deviceWidth; // which clears it: the caller draws it whole
  board.height = deviceHeight;
  context.setTransform(deviceWidth / design.clientWidth, 0, 0, deviceHeight / design.clientHeight, 0, 0);
  context.imageSmoothingQuality = 'high';
  return true;
}

// Loads the pictures of the rendering that the board's size needs, unless
// they are in use or a later call has asked for others. Returns whether the
// pictures changed.
let loading = 0;
async function loadRendering() {
  const wanted = game._pellorin_rendering_scale(board.width / design.clientWidth);
  if (wanted === scale)
    return false;
  const request = ++loading;
  const images = await Promise.all(design.pictures.map(async (picture) => {
    const image = new Image();
    image.src = picture.renderings[wanted];
    await image.decode();
    return image;
  }));
  if (request !== loading)
    return false;
  scale = wanted;
  pictures.splice(0, images.length, ...images);
  return true;
}

// Fits the board to the viewport again and draws it whole, at once with the
// pictures at hand and again when those of a better rendering have arrived.
async function refit() {
  if (!fit())
    return;
  game._pellorin_repaint();
  if (await loadRendering())
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
const menuItems = [...menu.querySelectorAll('[role=menuitem]')];

function menuOpen() {
  return !menu.hidden;
}

function openMenu() {
  menu.hidden = false;
  menuButton.setAttribute('aria-expanded', 'true');
  menuItems[0].focus();
}

function closeMenu() {
  menu.hidden = true;
  menuButton.setAttribute('aria-expanded', 'false');
}

function choose(item) {
  closeMenu();
  if (!dealt)
    return;
  if (item === 'mnuNytt')
    game._pellorin_new_game();
  else if (item === 'mnuAvsluta')
    game._pellorin_quit();
}

menuButton.addEventListener('click', () => (menuOpen() ? closeMenu() : openMenu()));
menu.addEventListener('click', (event) => choose(event.target.closest('[role=menuitem]')?.id));
// A press outside the open menu closes it and goes no further, as on the
// desktop; cancelling the pointer's press holds back the mouse's as well.
document.addEventListener('pointerdown', (event) => {
  if (menuOpen() && !event.target.closest('.menubar')) {
    closeMenu();
    event.stopPropagation();
    event.preventDefault();
  }
}, true);

document.addEventListener('keydown', (event) => {
  if (!dealt)
    return;
  if (event.altKey && event.code === 'KeyM')
    menuOpen() ? closeMenu() : openMenu();
  else if (!menuOpen())
    return;
  else if (event.code === 'KeyN')
    choose('mnuNytt');
  else if (event.code === 'KeyA')
    choose('mnuAvsluta');
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

// The client point under a pointer event, unrounded: the board's canvas
// holds a device pixel per pixel, so its size gives the scale.
function clientPoint(event) {
  const ratio = window.devicePixelRatio || 1;
  return { x: (event.offsetX * ratio * design.clientWidth) / board.width,
           y: (event.offsetY * ratio * design.clientHeight) / board.height };
}

// The mouse comes through pointer events as a finger does, so that the mouse
// events a browser makes up after a tap never reach the game.
function listen() {
  const { left, right, middle } = design.buttons;
  const pressed = [left, middle, right]; // by the page's number of the button that changed
  const bits = [1, 4, 2]; // the page's bit in buttons, by that number
  const press = (button, shift, { x, y }) => game._pellorin_press(button, shift, Math.floor(x), Math.floor(y));
  // A finger or a pen: where it goes down is a press, as a click is, and
  // where it lifts ends a swipe, which the game turns into the press it
  // stands for. There is no hover, so no move. Only the first finger plays.
  let stroke = null; // { id, from }
  board.addEventListener('pointerdown', (event) => {
    event.preventDefault(); // no selection, no autoscroll, no mouse events made up
    if (mouseUsed(event))
      press(pressed[event.button] || 0, shiftCode(event), clientPoint(event));
    else if (!stroke) {
      stroke = { id: event.pointerId, from: clientPoint(event) };
      press(left, 0, stroke.from);
    }
  });
  board.addEventListener('pointermove', (event) => {
    if (!mouseUsed(event))
      return;
    // A further button pressed while the first is held comes as a move.
    if (event.button >= 0 && event.buttons & bits[event.button]) {
      press(pressed[event.button], shiftCode(event), clientPoint(event));
      return;
    }
    const held = (event.buttons & 1 ? left : 0) | (event.buttons & 2 ? right : 0) | (event.buttons & 4 ? middle : 0);
    const { x, y } = clientPoint(event);
    game._pellorin_move(held, shiftCode(event), Math.floor(x), Math.floor(y));
  });
  board.addEventListener('pointerup', (event) => {
    if (stroke?.id !== event.pointerId)
      return;
    const { from } = stroke;
    stroke = null;
    const to = clientPoint(event);
    game._pellorin_swipe(from.x, from.y, to.x, to.y);
  });
  board.addEventListener('pointercancel', (event) => {
    if (stroke?.id === event.pointerId)
      stroke = null;
  });
  gameArea.addEventListener('contextmenu', (event) => event.preventDefault()); // no long-press menu
}

// What the game calls in the page. A repaint is begin(area), draws clipped to
// the area, end().
const page = {
  begin(left, top, width, height) {
    context.save();
    context.beginPath();
    context.rect(left, top, width, height);
    context.clip();
    context.fillStyle = '#000';
    context.fillRect(left, top, width, height);
  },
  draw(index, left, top, width, height) {
    const image = pictures[index - 1];
    if (image)
      context.drawImage(image, left, top, width, height);
  },
  end() {
    context.restore();
  },
  cursor(code) {
    gameCursor = code;
    showCursor();
  },
  play,
  close() {
    closeMenu();
    gameArea.hidden = true;
    document.getElementById('ended').hidden = false;
    document.getElementById('again').focus();
  },
};
let cursorStyles = new Map(); // cursor code -> CSS cursor

document.getElementById('again').addEventListener('click', () => location.reload());

createPellorin({ page }).then(async (instance) => {
  game = instance;
  design = JSON.parse(game.UTF8ToString(game._pellorin_design()));
  cursorStyles = new Map(Object.entries(design.cursors).map(([name, code]) => [code, CursorStyles[name]]));
  game._pellorin_create(Number(params.get('seed')) >>> 0);
  fit();
  await loadRendering();
  game._pellorin_load();
  dealt = true;
  listen();
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
