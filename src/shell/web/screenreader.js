// What a screen reader finds of the game: the board as a grid of cells named
// by the game, whose focus follows the keyboard's cursor, and a live region
// for what the game says of its events.
import { board } from './board.js';
import { outsideTick } from './ticker.js';

let game = null;
const cells = []; // the grid cells, cell 1 first

// The canvas's fallback content is the grid: never drawn, read by screen
// readers. A row of the board is a row of the grid; a cell's id is what the
// canvas points at as its active descendant.
export function buildGrid(instance, design) {
  game = instance;
  board.setAttribute('aria-label', design.boardName);
  const { rows, columns } = design.board;
  for (let row = 0; row < rows; ++row) {
    const line = document.createElement('div');
    line.setAttribute('role', 'row');
    for (let column = 0; column < columns; ++column) {
      const cell = document.createElement('div');
      cell.setAttribute('role', 'gridcell');
      cell.id = `cell-${cells.length + 1}`;
      cells.push(cell);
      line.append(cell);
    }
    board.append(line);
  }
  // A screen reader's activation of a cell (a double tap, or Enter on it
  // while it reads the page) comes as a click on the cell itself; a mouse's
  // click lands on the canvas.
  board.addEventListener('click', (event) => {
    const cell = cells.indexOf(event.target.closest('[role=gridcell]'));
    if (cell >= 0)
      game._pellorin_activate(cell + 1);
  });
}

// Once the page has given the board its first focus: a later focus by a key
// (Tab, or the menu closed by a key) shows the keyboard's cursor, a press's
// shows nothing. The browser's :focus-visible alone cannot tell: the board's
// presses are cancelled, so Chromium never learns that the mouse leads, and
// takes every focus by script for a keyboard's.
export function listenForFocus() {
  let keysLead = false;
  document.addEventListener('keydown', () => { keysLead = true; }, true);
  document.addEventListener('pointerdown', () => { keysLead = false; }, true);
  board.addEventListener('focus', () => {
    if (keysLead && board.matches(':focus-visible'))
      game._pellorin_show_keyboard();
  });
}

// The game's cursor stands on a cell now: the grid's focus goes there, and
// a screen reader says the cell's name.
export function focusCell(cell) {
  outsideTick(() => board.setAttribute('aria-activedescendant', cells[cell - 1].id));
}

// A cell's name is its label, not its text: a new board renames most cells
// at once, and a changed label is one event to a screen reader where changed
// text is four. Orca drops the live region's words once its queue floods.
export function nameCell(cell, name) {
  outsideTick(() => cells[cell - 1].setAttribute('aria-label', name));
}

// The live region that a screen reader reads out whenever its words change:
// swaps, emptied lines, a hold taken or let go, a key refused, a new game.
// Words said again, such as at an edge, still change it: a no-break space
// comes and goes at their end.
const speech = document.getElementById('speech');

// Said after the tick that brought it, if one did, as are the cells' focus
// and names: a tick writes nothing to the page but the board.
export function announce(words) {
  outsideTick(() => {
    speech.textContent = speech.textContent === words ? `${words}\u00a0` : words;
  });
}
