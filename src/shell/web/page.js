// The page of the web game: starts the game and hands it the page's
// drawing, cursor, timers, cues, speech and closing; the modules beside this
// one draw the board, build the menu, deliver the pointer and the keys, run
// the timers, play the cues and speak to a screen reader.
import * as boardView from './board.js';
import { board, gameArea } from './board.js';
import * as input from './input.js';
import { buildMenu, closeMenu, listenToMenu } from './menu.js';
import { announce, buildGrid, focusCell, listenForFocus, nameCell } from './screenreader.js';
import { listenForGestures, play } from './sound.js';
import { startTicking, stopTicking } from './ticker.js';

const params = new URLSearchParams(location.search);

// What the game calls in the page (page-imports.js).
const page = {
  ...boardView.drawing,
  cursor: input.setCursor,
  startTicking,
  stopTicking,
  play,
  announce,
  focusCell,
  nameCell,
  close() {
    closeMenu();
    gameArea.hidden = true;
    document.getElementById('ended').hidden = false;
    document.getElementById('again').focus();
  },
};

document.getElementById('again').addEventListener('click', () => location.reload());

createPellorin({ page }).then((game) => {
  const design = JSON.parse(game.UTF8ToString(game._pellorin_design()));
  boardView.useGame(game, design);
  input.useGame(game, design);
  listenForGestures(design.cues);
  game._pellorin_create(Number(params.get('seed')) >>> 0, params.has('symbols') ? 1 : 0);
  buildMenu(design);
  buildGrid(game, design);
  boardView.fit();
  game._pellorin_load();
  listenToMenu((command) => game._pellorin_command(command));
  input.listen();
  board.focus({ preventScroll: true });
  listenForFocus();
  boardView.watchViewport();
  window.pellorin = game; // for looking at a game from outside
  // The site is kept for playing offline; a browser without workers, or a
  // page not served over HTTPS, plays on without.
  navigator.serviceWorker?.register('sw.js').catch(() => {});
  navigator.serviceWorker?.controller?.postMessage('drawn');
  // Once the board is on the screen: the pictures it does not show yet, so
  // that no swap paints one.
  requestAnimationFrame(() => setTimeout(boardView.paintRemainingTiles));
}).catch((error) => {
  console.error(error);
  gameArea.hidden = true;
  document.getElementById('ended-text').textContent = 'Pellorin kunde inte starta i den här webbläsaren.';
  document.getElementById('ended').hidden = false;
});
