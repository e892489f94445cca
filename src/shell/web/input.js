// The player's pointer and keys to the game, and the game's cursor on the
// board while a mouse is in use.
import { board, coarsePointer, gameArea } from './board.js';
import { menuOpen } from './menu.js';

// The page's look of each of the game's cursors, by the name the game gives it.
const CursorStyles = { default: 'default', sizeNS: 'ns-resize', sizeWE: 'ew-resize', noDrop: 'not-allowed' };

// The board's keys, by the page's name of each, to the game's names of them
// (design boardKeys). The game decides what they do and draws its frame.
const BoardKeys = { ArrowLeft: 'left', ArrowRight: 'right', ArrowUp: 'up', ArrowDown: 'down', ' ': 'space',
                    Enter: 'enter', Escape: 'escape' };

let game = null;
let design = null;

function shiftCode(event) {
  const keys = design.keys;
  return (event.shiftKey ? keys.shift : 0) | (event.ctrlKey ? keys.control : 0) | (event.altKey ? keys.alt : 0);
}

// The game's cursor shows while a mouse is in use; a finger has no hover,
// and the page shows no cursor for it.
let gameCursor = 0;
let mouseInUse = !coarsePointer.matches;
let cursorStyles = new Map(); // cursor code -> CSS cursor

function showCursor() {
  board.style.cursor = mouseInUse ? cursorStyles.get(gameCursor) || 'default' : '';
}

// The game's cursor, by its code.
export function setCursor(code) {
  gameCursor = code;
  showCursor();
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

// Takes the game and its design values, whose cursor codes name the cursors.
export function useGame(instance, values) {
  game = instance;
  design = values;
  cursorStyles = new Map(Object.entries(design.cursors).map(([name, code]) => [code, CursorStyles[name]]));
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
export function listen() {
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
