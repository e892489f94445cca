"""The Windows program for a screen reader, under Wine: the board's MSAA
table as a client reads it, and the WinEvents a screen reader hooks while a
game is played by keys, by repeated keys and by a reader's activation. Names
and words are checked against the colours on the screen and the core's colour
words."""

import re
import shutil
from pathlib import Path

from servers import eventually, wait_until
from wine_support import (ARGS, BLACK, DEADLINE, ROLE_SYSTEM_CELL, ROLE_SYSTEM_TABLE, WHITE, ProbeSession, WineGame,
                          board, cell_corner, centre, check, colour_word, menu_keys, prepare, probe, read_board,
                          swapped)

E_INVALIDARG, E_NOTIMPL, DISP_E_MEMBERNOTFOUND = "80070057", "80004001", "80020003"


def names_cell(text, k, word):
    """Whether a text names cell k by its row and column, in that order, and
    ends with the colour word."""
    row, column = divmod(k - 1, board()["columns"])
    return re.findall(r"\d+", text)[:2] == [str(row + 1), str(column + 1)] and text.endswith(word)


def says(text, *words):
    """Whether the words come in the text in this order."""
    return re.search(".*".join(re.escape(word) for word in words), text) is not None


def differing_pair(game, first, last):
    """A cell k from first to last whose right neighbour shows another colour,
    so that their swap shows on the screen and in their names."""
    faces = game.faces()
    return next((k for k in range(first, last) if faces[k - 1] != faces[k]), first)


def keyboard_and_reader(x11, wine, root):
    """Keys play the board and show its frame; a screen reader's client reads
    the table, its 64 cells, the focus and the last words through MSAA, gets
    errors for cells that do not exist and for what the board does not do,
    and again after the game has ended."""
    game = WineGame(x11, wine, prepare(root, "keys"))
    k = differing_pair(game, 9, 16)
    column = k - 8
    game.keys("Right", *["Right"] * (column - 1), "Down")  # shown on cell 1, then along row 1 and down
    # The frame's left bar, in the gap left of cell k's tile.
    frame = ARGS.design["frame"]
    left, top = cell_corner(k)
    bar = (left - frame["gap"] - 1, top + board()["tileSize"] / 2)
    check(eventually(lambda: game.at(*bar) == WHITE, DEADLINE), "the arrow keys show the keyboard's frame")
    words = [colour_word(face) for face in game.faces()]
    table = read_board(game)
    cells = table["cells"]
    named = all(role == ROLE_SYSTEM_CELL and names_cell(name, k, words[k - 1]) for k, (role, name) in cells.items())
    check(len(cells) == 64 and named and table["count"] == "00000000 64",
          f"MSAA: 64 cells, each a ROLE_SYSTEM_CELL named by row, column and the colour on the screen "
          f"({cells.get(1)}, {cells.get(64)})")
    check(table["table"] == (ROLE_SYSTEM_TABLE, ARGS.design["boardName"]),
          f"MSAA: the board is a table named {table['table']}")
    check(table["focus"] == f"00000000 {k}", f"MSAA: the focus is on cell {k}, where the keys moved it ({table['focus']})")
    check(all(table["outside"][k] == "error " + E_INVALIDARG for k in ("65", "-1", "1000", "text")),
          f"MSAA: cells out of range are refused with E_INVALIDARG: {table['outside']}")
    check(table["self"] == "00000000 same", f"MSAA: the table's child CHILDID_SELF is the table ({table['self']})")
    refused = {name: code for name, code in table["refuses"].items()}
    check(refused.pop("put_accName", None) == E_NOTIMPL and set(refused.values()) == {DISP_E_MEMBERNOTFOUND},
          f"MSAA: what the board does not do is DISP_E_MEMBERNOTFOUND, put_accName E_NOTIMPL: {table['refuses']}")

    before = game.faces()
    game.keys("shift+Right")
    check(eventually(lambda: swapped(game, k, k + 1, before) and game.at(*centre(k, k + 1)) == BLACK, DEADLINE),
          f"Shift+Right swaps the cursor's tile with its right neighbour ({words[k - 1]}, {words[k]})")
    after = read_board(game)
    check(names_cell(after["cells"][k][1], k, words[k]) and names_cell(after["cells"][k + 1][1], k + 1, words[k - 1]),
          f"MSAA: the two cells' names follow the swap ({after['cells'][k][1]}; {after['cells'][k + 1][1]})")
    check(says(after["value"], words[k - 1], words[k]), f"MSAA: the board's value says the swap: {after['value']!r}")
    ARGS.said_after_swap = after["value"]

    closed = {line.split(maxsplit=1)[0] + (" count" if "count" in line else ""): line
              for line in probe(game.env, "msaa-close").splitlines()}
    status = game.wait_end()
    check(closed.get("ended") == "ended yes" and closed.get("closed", "").startswith("closed error")
          and closed.get("closed count", "").startswith("closed count 8"),
          f"MSAA: asked after the game ended, the client gets errors, not a crash ({list(closed.values())})")
    check(status == 0, f"the game closed by its client's WM_CLOSE ends with status 0 (status {status})")


def reader_events(x11, wine, root):
    """What a screen reader hears through WinEvents while a game is played:
    each move as the focus on its cell, every other change as words on the
    focused cell (Wine has no UI Automation notifications)."""
    game = WineGame(x11, wine, prepare(root, "events"))
    listener = ProbeSession(game, "listen", "listening")
    try:
        cursor = moves_and_words(game, listener)
        repeated_keys(game, listener, cursor)
        activation(game, listener)
    except TimeoutError as missing:  # a step that never came: the rest cannot follow
        check(False, f"heard: {missing}")
    finally:
        heard = listener.rest()
    game.keys(*menu_keys("mnuAvsluta"))
    game.wait_end()
    ARGS.heard = listener.heard
    check(not [line for line in heard if "error" in line], f"every event's object answered ({heard[-3:]})")


def spoken(lines):
    """The events a reader speaks from: focus and description changes."""
    return [line for line in lines if line.startswith(("focus ", "description "))]


def focus_on(listener, k, what):
    """Waits for the focus on cell k; returns the events that came before,
    and the focused cell's name."""
    came = listener.next(lambda line: line.startswith(f"focus {k} "), what)
    return came[:-1], came[-1].split(" ok ", 1)[-1]


def description(listener, what):
    """Waits for the next description change; returns the events before it,
    and its words."""
    came = listener.next(lambda line: line.startswith("description "), what)
    return came[:-1], came[-1].split(" ok ", 1)[-1]


def moves_and_words(game, listener):
    words = lambda: [colour_word(face) for face in game.faces()]
    game.keys("Right")
    _, focus = focus_on(listener, 1, "the focus on cell 1 as the cursor shows")
    check(names_cell(focus, 1, words()[0]), f"the first key puts the focus on cell 1, named: {focus!r}")
    k = differing_pair(game, 9, 14)
    game.keys("Down", *["Right"] * (k - 9))
    before, focus = focus_on(listener, k, f"the focus on cell {k}")
    moved = [line.split()[1] for line in spoken(before)] + [str(k)]
    check(moved == [str(n) for n in range(9, k + 1)] and names_cell(focus, k, words()[k - 1]),
          f"each move is heard once, as the focus on its cell, and nothing else: cells {moved}, {focus!r}")

    shown = words()
    game.keys("shift+Right")
    _, said = description(listener, "the swap's words")
    check(says(said, shown[k - 1], shown[k]), f"a swap is heard on the focused cell: {said!r}")
    game.keys("space")
    _, said = description(listener, "the hold's words")
    check(names_cell(said, k, words()[k - 1]), f"a hold is heard: {said!r}")
    game.keys("Escape")
    _, let_go = description(listener, "the let go's words")
    check(let_go != said and re.findall(r"\d+", let_go)[:2] == re.findall(r"\d+", said)[:2],
          f"letting go is heard: {let_go!r}")

    # Away from the window and back: the cursor's cell has the focus again.
    game.xdotool("windowminimize", "--sync", game.window)
    game.xdotool("windowactivate", "--sync", game.window)
    _, focus = focus_on(listener, k, "the focus on the cursor's cell once the window has it again")
    check(names_cell(focus, k, words()[k - 1]), f"the window back in focus puts it on the cursor's cell: {focus!r}")

    game.keys(*menu_keys("mnuNytt"))
    _, said = description(listener, "the new game's words")
    label = next(item["label"] for item in ARGS.design["menuItems"] if item["command"] == 1)
    check(said == label, f"a new game is heard: {said!r}")
    return k


def repeated_keys(game, listener, cursor):
    """Keys sent through Windows' input queue, a key pressed again before it
    is let go coming as an auto-repeat: a repeated plain arrow moves, a
    repeated Space or Shift+arrow does nothing."""
    k = differing_pair(game, 2, 6)  # in row 1, with room on both sides
    above = cursor - board()["columns"]
    game.keys("Up", *["Right" if k > above else "Left"] * abs(k - above))
    focus_on(listener, k, f"the focus on cell {k}")
    game.input("down:right", "down:right", "up:right")
    focus_on(listener, k + 1, "the first Right")
    before, _ = focus_on(listener, k + 2, "the repeated Right")
    check(not spoken(before), f"a repeated Right moves on, as in any grid: {before}")

    game.keys("Left")
    focus_on(listener, k + 1, "the focus back")
    game.keys("Left")
    focus_on(listener, k, "the focus back")
    shown = game.faces()
    game.input("down:space", "down:space", "up:space")
    description(listener, "the hold")
    game.input("down:right", "up:right")
    came, said = description(listener, "the held tile's swap")
    check(not spoken(came) and says(said, colour_word(shown[k - 1]), colour_word(shown[k])),
          f"a repeated Space keeps the hold, and Right then swaps the held tile: {came + [said]}")
    wait_until(lambda: swapped(game, k, k + 1, shown) and game.at(*centre(k, k + 1)) == BLACK, DEADLINE, "the swap")

    shown = game.faces()
    game.input("down:shift", "down:left")
    description(listener, "Shift+Left's swap")
    wait_until(lambda: swapped(game, k - 1, k, shown) and game.at(*centre(k - 1, k)) == BLACK, DEADLINE, "the swap")
    # Left again while it is down is a repeat; then Shift+Right, a swap whose
    # words come at its end, after any the repeat might have started.
    shown = game.faces()
    game.input("down:left", "up:left", "down:right", "up:right", "up:shift")
    _, said = description(listener, "Shift+Right's swap after the repeated Shift+Left")
    wait_until(lambda: swapped(game, k, k + 1, shown) and game.at(*centre(k, k + 1)) == BLACK, DEADLINE, "the swap")
    check(says(said, colour_word(shown[k - 1]), colour_word(shown[k])) and game.face(k - 1) == shown[k - 2],
          f"a repeated Shift+Left swaps nothing once its swap is over; the next Shift+Right swaps: {said!r}")


def activation(game, listener):
    """A screen reader's activation of a cell holds it; of a neighbour, swaps
    the two."""
    k = differing_pair(game, 18, 23)
    shown = [colour_word(face) for face in game.faces()]
    printed = probe(game.env, "msaa-activate", k)
    answered = printed.split()
    focus_on(listener, k, "the focus on the activated cell")
    _, held = description(listener, "the hold of the activated cell")
    check(answered[-1:] == ["00000000"] and names_cell(held, k, shown[k - 1]),
          f"accDoDefaultAction on cell {k} moves the cursor there and holds it: {answered}, {held!r}")
    check(f"action ok {ARGS.design['cellAction']}" in printed.splitlines(),
          f"a cell names its default action in the game's words: {printed!r}")
    probe(game.env, "msaa-activate", k + 1)
    _, said = description(listener, "the swap by activation")
    check(says(said, shown[k - 1], shown[k]), f"activating its neighbour swaps the two: {said!r}")


def notifications(x11, wine, root):
    """Where Windows has UI Automation's notifications, the words go there,
    from the game's window, and not also to the focused cell. Wine has
    none: a stand-in DLL in the prefix's system folder records what the
    game asks of it."""
    system = wine.prefix / "drive_c" / "windows" / "system32"
    own = (system / "uiautomationcore.dll").read_bytes()
    record = Path(root) / "uia.txt"
    shutil.copy(Path(ARGS.program).parent / "fake-uia" / "uiautomationcore.dll", system / "uiautomationcore.dll")
    try:
        game = WineGame(x11, wine, prepare(root, "uia"), {
            "WINEDLLOVERRIDES": wine.env({})["WINEDLLOVERRIDES"] + ";uiautomationcore=n",
            "PELLORIN_UIA_RECORD": "Z:" + str(record).replace("/", "\\")})
        listener = ProbeSession(game, "listen", "listening")
        shown = [colour_word(face) for face in game.faces()]
        game.keys("Right", "shift+Right")
        # The swap's words, by one way or the other.
        eventually(lambda: record.exists() and "notification" in record.read_text(), DEADLINE)
        game.keys(*menu_keys("mnuAvsluta"))
        status = game.wait_end()
        heard = listener.rest()
    finally:
        (system / "uiautomationcore.dll").write_bytes(own)
    lines = record.read_text(encoding="utf-8").splitlines() if record.exists() else []
    said = [line for line in lines if line.startswith("notification")]
    ARGS.notifications = lines
    check(len(said) == 1 and says(said[0], "Pellorin", shown[0], shown[1]) and lines[-1] == "disconnect",
          f"a swap is a UI Automation notification from the game's window, and the provider is let go at the end: "
          f"{lines}")
    check(not [line for line in heard if line.startswith("description")] and status == 0,
          f"and is not also the focused cell's description: {spoken(heard)}")
