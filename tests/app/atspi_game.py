#!/usr/bin/python3
"""What a screen reader on Linux reads of the real program, and the events it
hears: the game in an X display with a window manager, on a private D-Bus
session whose accessibility bus (at-spi2-core) Qt joins with
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1, read through pyatspi as Orca reads it.
The board, named Spelplan, answers as a table of 8 by 8 cells named "Rad R,
kolumn C: colour" after the board that was dealt; an arrow key focuses its
cell, and the focus event carries the cell; after Shift and an arrow the
two cells are renamed with exchanged colours and the swap shows as a
notification in a status bar; a cell's action holds it, and the action of
its neighbour swaps the two. The words and geometry come from the core
through pellorin-design.

Debian's python3-pyatspi is for Debian's own Python, hence /usr/bin/python3.

    atspi_game.py PROGRAM DESIGN_PROGRAM"""

import os
import sys

from checks import Checks
from design import read_design
from orca import SessionBus
from player import DEADLINE, Player, pattern_board
from servers import X11, eventually, wait_until

check = Checks()


def main():
    program, design = sys.argv[1], read_design(sys.argv[2])
    columns, words = design["board"]["columns"], design["colours"]

    def place(cell):
        return f"rad {(cell - 1) // columns + 1}, kolumn {(cell - 1) % columns + 1}"

    def cell_name(cell, colour):
        return f"R{place(cell)[1:]}: {words[colour - 1]}"

    colours = pattern_board()
    with X11() as x11:
        bus = SessionBus(x11.runtime, x11.display)
        try:
            # pyatspi finds its bus through the environment as it is imported.
            os.environ.update(DBUS_SESSION_BUS_ADDRESS=bus.address, DISPLAY=x11.display,
                              XDG_RUNTIME_DIR=str(x11.runtime))
            import pyatspi
            from gi.repository import GLib

            heard = []

            def listen(event):
                source = event.source
                try:
                    parent = source.parent
                    heard.append((event.type, event.detail1, source.getRole(), source.name,
                                  parent.getRole() if parent is not None else None))
                except GLib.GError:
                    pass  # from a program that has ended
            pyatspi.Registry.registerEventListener(listen, "object:state-changed:focused", "object:state-changed:showing",
                                                   "object:property-change:accessible-name")

            def hears(*wanted, since=0):
                """Whether events like these (type, detail, role, name, parent's
                role; None for any) came after the mark, taking in what has
                arrived."""
                while GLib.MainContext.default().iteration(False):
                    pass
                return all(any(all(w is None or w == h for w, h in zip(want, event)) for event in heard[since:])
                           for want in wanted)

            def hear(label, *wanted, since=0):
                check(eventually(lambda: hears(*wanted, since=since), DEADLINE),
                      f"{label}: {[w[3] for w in wanted]} (heard {[h[3] for h in heard[since:]]})")

            game = Player(x11, program, design, ["".join(map(str, colours))],
                          env={"DBUS_SESSION_BUS_ADDRESS": bus.address, "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"})
            desktop = pyatspi.Registry.getDesktop(0)

            def board():
                for app in desktop:
                    if app is not None and app.name.lower().startswith("pellorin"):
                        found = pyatspi.findDescendant(app, lambda a: a.name == design["boardName"])
                        if found is not None:
                            return found
                return None
            wait_until(lambda: board() is not None, DEADLINE, "the board on the accessibility bus")
            table = board()
            rows = design["board"]["rows"]
            check(table.childCount == rows * columns, f"the board has {table.childCount} cells")
            grid = table.queryTable()
            check((grid.nRows, grid.nColumns) == (rows, columns), f"of {grid.nRows} rows and {grid.nColumns} columns")
            names = [table.getChildAtIndex(i).name for i in range(64)]
            wrong = [i + 1 for i in range(64) if names[i] != cell_name(i + 1, colours[i])]
            check(not wrong, f"every cell is named by its row, column and colour, as {names[9]!r} (wrong: {wrong})")
            check(grid.getAccessibleAt(1, 2).name == cell_name(11, colours[10]), "the table finds a cell by row and column")

            def focused():
                return [i + 1 for i in range(64)
                        if table.getChildAtIndex(i).getState().contains(pyatspi.STATE_FOCUSED)]
            focus, shown, renamed = "object:state-changed:focused", "object:state-changed:showing", \
                "object:property-change:accessible-name"
            cell, notice, status_bar = pyatspi.ROLE_TABLE_CELL, pyatspi.ROLE_NOTIFICATION, pyatspi.ROLE_STATUS_BAR
            for key, to in (("Right", 1), ("Right", 2)):
                mark = len(heard)
                game.keys(key)
                hear(f"{key} focuses cell {to}", (focus, 1, cell, cell_name(to, colours[to - 1]), None), since=mark)
            check(focused() == [2], f"cell 2 alone is focused ({focused()})")

            mark, ended = len(heard), game.count("swap-end")
            game.keys("shift+Down")
            game.wait_for("swap-end", ended + 1)
            said = f"Bytte {words[colours[1] - 1]} och {words[colours[9] - 1]}"
            hear("after Shift+Down cells 2 and 10 are renamed, and the swap shows in a status bar",
                 (renamed, None, cell, cell_name(2, colours[9]), None),
                 (renamed, None, cell, cell_name(10, colours[1]), None),
                 (shown, 1, notice, said, status_bar), since=mark)
            check(focused() == [2], "the focus stays on cell 2")

            action = table.getChildAtIndex(2).queryAction()
            check(action.getDescription(0) == design["cellAction"],
                  f"a cell's action is told in the game's words: {action.getDescription(0)!r}")
            mark = len(heard)
            action.doAction(0)
            hear("the action of cell 3 holds it", (focus, 1, cell, cell_name(3, colours[2]), None),
                 (shown, 1, notice, f"Håller {place(3)}: {words[colours[2] - 1]}", status_bar), since=mark)
            mark, ended = len(heard), game.count("swap-end")
            table.getChildAtIndex(10).queryAction().doAction(0)
            game.wait_for("swap-end", ended + 1)
            hear("the action of cell 11 below swaps the two",
                 (shown, 1, notice, f"Bytte {words[colours[2] - 1]} och {words[colours[10] - 1]}", status_bar),
                 since=mark)
            # Quit as a screen reader's user may: the menu item's own action.
            quit_label = design["menuItems"][-1]["label"]
            app = table.getApplication()
            item = pyatspi.findDescendant(app, lambda a: a.getRole() == pyatspi.ROLE_MENU_ITEM and a.name == quit_label)
            item.queryAction().doAction(0)
            status = game.wait_end()
            check(status == 0, f"the menu's {quit_label} ends the program with status 0 (status {status})")
        finally:
            bus.stop()
    return check.status()


if __name__ == "__main__":
    sys.exit(main())
