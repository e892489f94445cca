// The page of the web game: draws what the game hands it, delivers the
// pointer and the menu to the game, shows its cursor and plays its cues.
'use strict';

const ClientWidth = 414;
const ClientHeight = 413;
const Cursors = { 0: 'default', 7: 'ns-resize', 9: 'ew-resize', 12: 'not-allowed' };
const ButtonCodes = [1, 4, 2]; // left, middle and right, numbered as the handlers take them

const params = new URLSearchParams(location.search);
const measuring = params.has('measure');
const board = document.getElementById('board');
const context = board.getContext('2d', { alpha: false });
const menuButton = document.getElementById('mnuMeny');
const menu = document.getElementById('menu');
let game = null;
let dealt = false; // the board is there: the menu and the pointer may reach it

// --- Drawing -------------------------------------------------------------
// The canvas holds one pixel per device pixel, and the tiles come from the
// rendering the game names for the ratio, drawn one to one at 2x and 3x.
const pictures = [];
let scale = 1;

function fitCanvas() {
  const ratio = window.devicePixelRatio || 1;
  scale = game._pellorin_rendering_scale(ratio);
  board.width = Math.round(ClientWidth * ratio);
  board.height = Math.round(ClientHeight * ratio);
  context.setTransform(ratio, 0, 0, ratio, 0, 0);
  matchMedia(`(resolution: ${ratio}dppx)`).addEventListener('change', rescale, { once: true });
}

function loadPictures() {
  const suffix = scale === 1 ? '' : `@${scale}x`;
  return Promise.all(pictures.map(async (picture) => {
    const image = new Image();
    image.src = `tiles/${picture.name}${suffix}.png`;
    await image.decode();
    picture.image = image;
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
  return (event.shiftKey ? 1 : 0) | (event.ctrlKey ? 2 : 0) | (event.altKey ? 4 : 0);
}

function listen() {
  board.addEventListener('mousedown', (event) => {
    event.preventDefault(); // no text selection, no middle-button scrolling
    game._pellorin_press(ButtonCodes[event.button] || 0, shiftCode(event),
                         Math.floor(event.offsetX), Math.floor(event.offsetY));
  });
  board.addEventListener('mousemove', (event) => {
    // The buttons held are numbered 1, 2 and 4 for left, right and middle in
    // the page as in the handlers.
    game._pellorin_move(event.buttons & 7, shiftCode(event), Math.floor(event.offsetX), Math.floor(event.offsetY));
  });
  board.addEventListener('contextmenu', (event) => event.preventDefault());
}

// What the game calls in the page.
const page = {
  picture(index, name) {
    pictures[index - 1] = { name, image: null };
  },
  clear(left, top, width, height) {
    context.save();
    context.beginPath();
    context.rect(left, top, width, height);
    context.clip();
    context.fillStyle = '#000';
    context.fillRect(left, top, width, height);
  },
  draw(index, left, top, width, height) {
    const image = pictures[index - 1]?.image;
    if (image)
      context.drawImage(image, left, top, width, height);
  },
  done() {
    context.restore();
  },
  cursor(code) {
    board.style.cursor = Cursors[code] || 'default';
  },
  play,
  ticking(running) {
    if (measuring)
      performance.mark(running ? 'swap-start' : 'swap-end');
  },
  unload() {
    closeMenu();
    document.getElementById('game').hidden = true;
    document.getElementById('ended').hidden = false;
    document.getElementById('again').focus();
  },
};

document.getElementById('again').addEventListener('click', () => location.reload());

createPellorin({ page }).then(async (instance) => {
  game = instance;
  game._pellorin_create(Number(params.get('seed')) >>> 0);
  fitCanvas();
  await loadPictures();
  game._pellorin_load();
  dealt = true;
  listen();
  window.pellorin = game; // for looking at a game from outside
  if (measuring)
    requestAnimationFrame(() => performance.mark('first-paint'));
}).catch(() => {
  document.getElementById('game').hidden = true;
  document.getElementById('ended-text').textContent = 'Pellorin kunde inte starta i den här webbläsaren.';
  document.getElementById('ended').hidden = false;
});
