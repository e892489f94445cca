// What a screen reader finds of the game: the named board and a live region
// for what the game says.
import { board } from './board.js';
import { outsideTick } from './ticker.js';

// The live region that a screen reader reads out whenever its words change.
// Words said again, such as at an edge, still change it: a no-break space
// comes and goes at their end.
const speech = document.getElementById('speech');

// Said after the tick that brought it, if one did: a tick writes nothing to
// the page but the board.
export function announce(words) {
  outsideTick(() => {
    speech.textContent = speech.textContent === words ? `${words}\u00a0` : words;
  });
}

// The board is named by the game. It is an application to a screen reader:
// its keys go to the page, not to the reader's own browsing, and the live
// region says what they did.
export function nameBoard(game) {
  board.setAttribute('aria-label', game.UTF8ToString(game._pellorin_board_name()));
}
