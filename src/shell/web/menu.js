// The game's menu on the page, built from the game's design: each item's
// label and access key, shown underlined; an item without a command is a
// separator. Chosen by mouse, finger, access keys and arrows.
import { board } from './board.js';

const menuBar = document.querySelector('.menubar');
let menuButton = null;
let menu = null;
let menuItems = []; // the items that choose a command, in order
let menuKey = '';

// A label as the page shows it: its access key's letter underlined where
// it first stands in the label.
function labelNodes({ label, accessKey }) {
  const at = accessKey ? label.toLowerCase().indexOf(accessKey) : -1;
  if (at < 0)
    return [label];
  const key = document.createElement('u');
  key.textContent = label[at];
  return [label.slice(0, at), key, label.slice(at + 1)].filter((part) => part !== '');
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
  return key !== '' && accessKey(event) === key;
}

// Builds the menu from the design; it listens once the board is dealt.
export function buildMenu(design) {
  menuButton = document.createElement('button');
  menuButton.id = design.menu.name;
  menuButton.setAttribute('aria-haspopup', 'menu');
  menuButton.setAttribute('aria-controls', 'menu');
  menuButton.setAttribute('aria-expanded', 'false');
  menuButton.append(...labelNodes(design.menu));
  menu = document.createElement('div');
  menu.id = 'menu';
  menu.setAttribute('role', 'menu');
  menu.hidden = true;
  for (const item of design.menuItems) {
    const entry = document.createElement(item.command ? 'button' : 'hr');
    entry.id = item.name;
    if (item.command) {
      entry.setAttribute('role', 'menuitem');
      entry.tabIndex = -1;
      entry.dataset.command = item.command;
      entry.dataset.key = item.accessKey;
      entry.append(...labelNodes(item));
    }
    menu.append(entry);
  }
  menuBar.append(menuButton, menu);
  menuItems = [...menu.querySelectorAll('[role=menuitem]')];
  menuKey = design.menu.accessKey;
}

export function menuOpen() {
  return menu !== null && !menu.hidden;
}

function openMenu() {
  menu.hidden = false;
  menuButton.setAttribute('aria-expanded', 'true');
  menuItems[0].focus();
}

// Closes the menu; the keys it held go back to the board.
export function closeMenu() {
  if (!menu)
    return;
  const hadFocus = menu.contains(document.activeElement);
  menu.hidden = true;
  menuButton.setAttribute('aria-expanded', 'false');
  if (hadFocus)
    board.focus({ preventScroll: true });
}

// From the board's first deal on: a chosen item's command goes to command().
export function listenToMenu(command) {
  const choose = (item) => {
    closeMenu();
    if (item)
      command(Number(item.dataset.command));
  };
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

  document.addEventListener('keydown', (event) => {
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
