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

// --- Drawing -------------------------------------------------------------
// The canvas holds one pixel per device pixel, and the tiles come from the
// rendering the game names for the ratio, drawn one to one at 2x and 3x.
const pictures = []; // the bank's pictures, 1 to 6, at the rendering in use
let scale = 1;

function fitCanvas() {
  const ratio = window.devicePixelRatio || 1;
  scale = game._pellorin_rendering_scale(ratio);
  board.style.width = `${design.clientWidth}px`;
  board.style.height = `${design.clientHeight}px`;
  board.width = Math.round(design.clientWidth * ratio);
  board.height = Math.round(design.clientHeight * ratio);
  context.setTransform(ratio, 0, 0, ratio, 0, 0);
  matchMedia(`(resolution: ${ratio}dppx)`).addEventListener('change', rescale, { once: true });
}

function loadPictures() {
  return Promise.all(design.pictures.map(async (picture, index) => {
    const image = new Image();
    image.src = picture.renderings[scale];
    await image.decode();
    pictures[index] = image;
  }));
}

async function rescale() {
  fitCanvas();
  await loadPictures();
  game._pellorin_repaint();
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
// A press outside the open menu closes it and goes no further, as on the desktop.
document.addEventListener('mousedown', (event) => {
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

function listen() {
  const { left, right, middle } = design.buttons;
  const pressed = [left, middle, right]; // by the page's number of the button that changed
  board.addEventListener('mousedown', (event) => {
    event.preventDefault(); // no text selection, no middle-button scrolling
    game._pellorin_press(pressed[event.button] || 0, shiftCode(event),
                         Math.floor(event.offsetX), Math.floor(event.offsetY));
  });
  board.addEventListener('mousemove', (event) => {
    // The page's bits of the buttons held: 1 left, 2 right, 4 middle.
    const held = (event.buttons & 1 ? left : 0) | (event.buttons & 2 ? right : 0) | (event.buttons & 4 ? middle : 0);
    game._pellorin_move(held, shiftCode(event), Math.floor(event.offsetX), Math.floor(event.offsetY));
  });
  board.addEventListener('contextmenu', (event) => event.preventDefault());
}

// What the game calls in the page.
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
    board.style.cursor = cursorStyles.get(code) || 'default';
  },
  play,
  close() {
    closeMenu();
    document.getElementById('game').hidden = true;
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
  fitCanvas();
  await loadPictures();
  game._pellorin_load();
  dealt = true;
  listen();
  window.pellorin = game; // for looking at a game from outside
}).catch((error) => {
  console.error(error);
  document.getElementById('game').hidden = true;
  document.getElementById('ended-text').textContent = 'Pellorin kunde inte starta i den här webbläsaren.';
  document.getElementById('ended').hidden = false;
});
