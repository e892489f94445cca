#!/usr/bin/python3
"""What a blind player hears: the real program played by keys under the real
screen reader, Orca 43 (orca.py), as a new player would play it. Each move is
heard as its one cell and no other cell, a key refused at the edge says the
cell again, and a swap, the line it empties, a hold, its letting go and a new
game are each heard. Every key reaches the game, as the screen shows
independently of the words: the frame around the cursor's cell, wider while
held, and the tiles' colours.

The design's values (board geometry, frame, faces, colour words, the board's
and the menu's names) come from the core through pellorin-design.

    orca_game.py PROGRAM DESIGN_PROGRAM"""

import re
import subprocess
import sys
import tempfile
from pathlib import Path

from checks import Checks
from design import read_design
from orca import Orca
from pictures import read_rgb
from player import Player, pattern_board

check = Checks()
CELL = re.compile(r"^Rad \d+, kolumn \d+: ")


def dealt():
    """A board on which Shift+Down at cell 1 completes row 1: a line of the
    first colour but for cell 1, whose colour stands below it."""
    colours = pattern_board()
    colours[0:8] = [2] + [1] * 7
    colours[8] = 1
    return colours


class Screen:
    """The board as the window shows it now, read from a screenshot."""

    def __init__(self, game, design, folder):
        path = Path(folder) / "shot.png"
        subprocess.run(["import", "-window", game.window, str(path)], env=game.x11.env(), check=True, timeout=20)
        self.width, height, self.data = read_rgb(path)
        self.design = design
        self.top = height - design["clientHeight"]  # the menu bar stands above the board

    def pixel(self, x, y):
        i = 3 * ((self.top + y) * self.width + x)
        return list(self.data[i:i + 3])

    def tile(self, cell):
        board = self.design["board"]
        row, column = divmod(cell - 1, board["columns"])
        return board["margin"] + board["pitch"] * column, board["margin"] + board["pitch"] * row

    def colour(self, cell):
        """The bank index of the face the cell shows, 0 for none: a point left
        of the face's faint diagonal second tone."""
        left, top = self.tile(cell)
        side = self.design["board"]["tileSize"]
        seen = self.pixel(left + side * 3 // 8, top + side * 7 // 16)
        return next((i + 1 for i, face in enumerate(self.design["faces"]) if face == seen), 0)

    def frame(self, cell):
        """The width of the frame's left bar around the cell: 0 for none."""
        frame = self.design["frame"]
        left, top = self.tile(cell)
        y = top + self.design["board"]["tileSize"] // 2
        return sum(1 for x in range(left - frame["gap"] - frame["heldWidth"], left - frame["gap"])
                   if self.pixel(x, y) == frame["colour"])


def main():
    program, design = sys.argv[1], read_design(sys.argv[2])
    words = design["colours"]
    frame = design["frame"]

    def place(cell):
        row, column = divmod(cell - 1, design["board"]["columns"])
        return f"rad {row + 1}, kolumn {column + 1}"

    def name(cell, colour):
        return f"R{place(cell)[1:]}: {words[colour - 1]}"

    with Orca() as orca, tempfile.TemporaryDirectory() as folder:
        game = Player(orca.x11, program, design, ["".join(map(str, dealt()))], env=orca.env())
        orca.activate(game.window)
        orca.wait_spoken(design["boardName"])
        screen = lambda: Screen(game, design, folder)
        cursor = [1]

        def play(label, keys, heard=(), cells=(), swap=False):
            """Presses the keys, waits until Orca has said each phrase in
            heard and has handled all it had, and checks that the cells it
            named meanwhile are just cells, each once."""
            mark, ended = orca.mark(), game.count("swap-end")
            for key in keys:
                orca.key(key)
            for phrase in heard:
                orca.wait_spoken(phrase, since=mark)
            if swap:
                game.wait_for("swap-end", ended + 1)
            orca.settle()
            spoken = orca.spoken(mark)
            named = [u.rstrip(".") for u in spoken if CELL.match(u)]
            cells = cells() if callable(cells) else list(cells)
            check(named == cells, f"{label}: the cells heard are {named}, as {cells} ({spoken})")
            return spoken

        def move(label, key, to):
            before = screen()
            play(label, [key], [name(to, before.colour(to))], [name(to, before.colour(to))])
            cursor[0] = to
            check(screen().frame(to) == frame["width"], f"{label}: the frame stands around cell {to}")

        move("the first arrow shows the cursor", "Right", 1)
        move("an arrow moves it", "Right", 2)
        move("an arrow to a new row", "Down", 10)
        move("back along the row", "Left", 9)
        move("an arrow at the edge", "Left", 9)
        move("up to the line's gap", "Up", 1)

        before = screen()
        one, nine = before.colour(1), before.colour(9)
        swapped = {f"Bytte {words[one - 1]} och {words[nine - 1]}", f"Bytte {words[nine - 1]} och {words[one - 1]}"}
        spoken = play("Shift+Down", ["shift+Down"], ["Tömde rad 1"], swap=True)
        check(any(words in u for u in spoken for words in swapped), f"the swap is heard: {spoken}")
        check(screen().colour(9) == one, "the tile of cell 1 now stands in cell 9")

        play("Space", ["space"], [f"Håller {place(1)}: {words[screen().colour(1) - 1]}"])
        check(screen().frame(1) == frame["heldWidth"], "the held frame is wider")
        play("Escape", ["Escape"], [f"Släppte {place(1)}"])
        check(screen().frame(1) == frame["width"], "let go, the frame is as before")

        before = screen()
        one, two = before.colour(1), before.colour(2)
        play("Space", ["space"], [f"Håller {place(1)}: {words[one - 1]}"])
        play("an arrow swaps the held tile", ["Right"], [f"Bytte {words[one - 1]} och {words[two - 1]}"], swap=True)
        after = screen()
        check((after.colour(1), after.colour(2)) == (two, one), "the held tile and its neighbour swapped")

        menu, new_game, quit_item = design["menu"], design["menuItems"][0], design["menuItems"][-1]

        def open_menu():
            """Alt and the menu's access key. Qt holds every key back until
            Orca has answered for it, but a letter that opens a menu goes
            first, and the Alt that follows would close the menu again: the
            letter waits until the board has had the Alt."""
            mark, keys = orca.mark(), game.count("key")
            orca.key_down("alt")
            game.wait_for("key", keys + 1)
            orca.key(menu["accessKey"])
            orca.wait_spoken(new_game["label"], since=mark)
            orca.key_up("alt")

        open_menu()
        # The menu closed, the board has the focus again, and with it the
        # cursor's cell on the new board.
        play(f"the menu's {new_game['label']}", [new_game["accessKey"]], [new_game["label"], f"R{place(cursor[0])[1:]}:"],
             lambda: [name(cursor[0], screen().colour(cursor[0]))])

        open_menu()
        orca.key(quit_item["accessKey"])
        status = game.wait_end()
        check(status == 0, f"the menu's {quit_item['label']} ends the program with status 0 (status {status})"
                           + (f": {game.errors()}" if status else ""))
    return check.status()


if __name__ == "__main__":
    sys.exit(main())
