#!/usr/bin/python3
"""What a screen reader on Linux reads of the real program: the game in an X
display with a window manager, on a private D-Bus session whose
accessibility bus (at-spi2-core) Qt joins with
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1, read through pyatspi as Orca reads it.
The board is a table named Spelplan of 8 by 8 cells named "Rad R, kolumn C:
colour"; the arrow keys move the focus from cell to cell; after Shift and an
arrow swap, the two cells' names have exchanged colours, and the swap was
said in the board's description.

Debian's python3-pyatspi is for Debian's own Python, hence /usr/bin/python3.

    atspi_game.py PROGRAM"""

import os
import sys

from checks import Checks
from orca import SessionBus
from player import DEADLINE, Player, pattern_board
from servers import X11, eventually, wait_until

check = Checks()
COLOURS = ["röd", "gul", "grön", "blå", "magenta", "orange"]


def cell_name(cell, colour):
    return f"Rad {(cell - 1) // 8 + 1}, kolumn {(cell - 1) % 8 + 1}: {COLOURS[colour - 1]}"


def main():
    colours = pattern_board()
    with X11() as x11:
        bus = SessionBus(x11.runtime, x11.display)
        try:
            # pyatspi finds its bus through the environment as it is imported.
            os.environ.update(DBUS_SESSION_BUS_ADDRESS=bus.address, DISPLAY=x11.display,
                              XDG_RUNTIME_DIR=str(x11.runtime))
            import pyatspi

            game = Player(x11, sys.argv[1], ["".join(map(str, colours))],
                          env={"DBUS_SESSION_BUS_ADDRESS": bus.address, "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"})
            desktop = pyatspi.Registry.getDesktop(0)

            def board():
                for app in desktop:
                    if app is not None and app.name.lower().startswith("pellorin"):
                        found = pyatspi.findDescendant(app, lambda a: a.getRole() == pyatspi.ROLE_TABLE)
                        if found is not None:
                            return found
                return None
            wait_until(lambda: board() is not None, DEADLINE, "the board on the accessibility bus")
            table = board()
            check(table.name == "Spelplan" and table.childCount == 64,
                  f"the board is a table named {table.name!r} of {table.childCount} cells")
            grid = table.queryTable()
            check((grid.nRows, grid.nColumns) == (8, 8), f"of {grid.nRows} rows and {grid.nColumns} columns")
            names = [table.getChildAtIndex(i).name for i in range(64)]
            wrong = [i + 1 for i in range(64) if names[i] != cell_name(i + 1, colours[i])]
            check(not wrong, f"every cell is named by its row, column and colour, as {names[9]!r} (wrong: {wrong})")
            check(grid.getAccessibleAt(1, 2).name == cell_name(11, colours[10]), "the table finds a cell by row and column")

            def focused():
                return [i + 1 for i in range(64)
                        if table.getChildAtIndex(i).getState().contains(pyatspi.STATE_FOCUSED)]
            game.keys("Right")
            check(eventually(lambda: focused() == [1], DEADLINE), f"the first arrow focuses cell 1 ({focused()})")
            game.keys("Right")
            check(eventually(lambda: focused() == [2], DEADLINE), f"the next moves the focus to cell 2 ({focused()})")

            ended = game.count("swap-end")
            game.keys("shift+Down")
            game.wait_for("swap-end", ended + 1)
            swapped = {2: cell_name(2, colours[9]), 10: cell_name(10, colours[1])}
            check(eventually(lambda: all(table.getChildAtIndex(c - 1).name == n for c, n in swapped.items()), DEADLINE),
                  f"after Shift+Down cells 2 and 10 read {[table.getChildAtIndex(c - 1).name for c in swapped]}")
            check(table.description.startswith("Bytte"), f"the swap was said: {table.description!r}")
            check(focused() == [2], "the focus stays on cell 2")
            status = game.quit_by_menu()
            check(status == 0, f"quit with status 0 (status {status})")
        finally:
            bus.stop()
    return check.status()


if __name__ == "__main__":
    sys.exit(main())
