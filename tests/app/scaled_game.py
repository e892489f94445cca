#!/usr/bin/env python3
"""The real program in an X display with a window manager, scaled by
QT_SCALE_FACTOR (1.25 or 1.5, as laptops are set): the board takes its
client pixels times the scale, within Qt's rounding of one device pixel; every tile is the painter's at
the scale's tile size, on whole device pixels with black right around it,
so tiles of one colour are the same pixels wherever they stand; a click in a
gap swaps the pair; and by keys (xdotool) the frame shows around the cursor's
cell and Shift and an arrow swap.

The sizes, the frame and the colours are the core's (pellorin-design).

    scaled_game.py PROGRAM SCALE DESIGN_PROGRAM"""

import subprocess
import sys
import tempfile
from pathlib import Path

from checks import Checks
from design import read_design
from pictures import read_rgb
from player import DEADLINE, Player, pattern_board
from servers import X11, wait_until

check = Checks()
BLACK = (0, 0, 0)


def device(client, scale):
    """A client coordinate on its nearest device pixel, as the core rounds it."""
    return int(client * scale + 0.5)


class Shot:
    """The window's client area as it shows now, in device pixels."""

    def __init__(self, game, folder):
        path = Path(folder) / "shot.png"
        subprocess.run(["import", "-window", game.window, str(path)], env=game.x11.env(), check=True, timeout=20)
        self.width, self.height, self.data = read_rgb(path)

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.data[i:i + 3])

    def box(self, x, y, side):
        return [self.pixel(x + i, y + j) for j in range(side) for i in range(side)]


def main():
    program, scale, design = sys.argv[1], float(sys.argv[2]), read_design(sys.argv[3])
    board, frame = design["board"], design["frame"]
    width_px, height_px = design["clientWidth"], design["clientHeight"]
    tile = device(board["tileSize"], scale)
    white = tuple(frame["colour"])
    colours = pattern_board()
    with X11() as x11, tempfile.TemporaryDirectory() as folder:
        game = Player(x11, program, design, ["".join(map(str, colours))], env={"QT_SCALE_FACTOR": sys.argv[2]})
        shot = Shot(game, folder)
        # Qt places the window's edges on device pixels by its own rounding,
        # which may give one pixel more than the core's.
        width = shot.width
        check(abs(width - width_px * scale) <= 1, f"the window is {width} device pixels wide, {width_px} times {scale}")
        # The board stands below the menu bar: its first row is all black.
        top = next((y for y in range(shot.height) if all(shot.pixel(x, y) == BLACK for x in range(width))), 0)
        height = shot.height - top
        check(top > 0 and abs(height - height_px * scale) <= 1,
              f"the board's {height} device pixel rows, {height_px} times {scale}, stand below a menu bar of {top}")

        def place(k):
            row, column = divmod(k - 1, board["columns"])
            return (device(board["margin"] + board["pitch"] * column, scale),
                    top + device(board["margin"] + board["pitch"] * row, scale))

        def crisp(shot, colours):
            """Every tile the same pixels as the others of its colour, with
            black on every side; the balls whose tiles are not."""
            first = {}
            soft = []
            for k in range(1, board["rows"] * board["columns"] + 1):
                x, y = place(k)
                ring = [(x - 1, y + i) for i in range(tile)] + [(x + tile, y + i) for i in range(tile)] + \
                       [(x + i, y - 1) for i in range(tile)] + [(x + i, y + tile) for i in range(tile)]
                box = shot.box(x, y, tile)
                same = first.setdefault(colours[k - 1], box) == box
                # The tile begins at once at the middle of its top and left edges.
                edges = (box[tile // 2], box[tile // 2 * tile])
                if not same or BLACK in edges or any(shot.pixel(*p) != BLACK for p in ring):
                    soft.append(k)
            return soft

        soft = crisp(shot, colours)
        check(not soft, f"all 64 tiles are {tile} device pixels on whole pixels, with crisp edges (soft: {soft})")

        before = [shot.box(*place(k), tile) for k in (1, 9)]
        ended = game.count("swap-end")
        # The middle of the gap below ball 1.
        gap = (board["margin"] + board["tileSize"] / 2, board["margin"] + (board["tileSize"] + board["pitch"]) / 2)
        subprocess.run(["xdotool", "mousemove", "--window", game.window, str(device(gap[0], scale)),
                        str(top + device(gap[1], scale)), "click", "1"], env=x11.env(), check=True)
        game.wait_for("swap-end", ended + 1)
        shot = Shot(game, folder)
        check([shot.box(*place(k), tile) for k in (9, 1)] == before, "a click in the gap below ball 1 swaps it with ball 9")
        swapped = list(colours)
        swapped[0], swapped[8] = colours[8], colours[0]
        soft = crisp(shot, swapped)
        check(not soft, f"after the swap every tile is crisp again (soft: {soft})")

        # A point of the left bar of the frame around cell 1, which stands
        # out from the tile by the frame's gap.
        left, upper = place(1)
        bar = (left - device(frame["gap"] + frame["width"] / 2, scale), upper + tile // 2)
        check(shot.pixel(*bar) == BLACK, "no frame before a key")
        game.keys("Right")
        try:
            wait_until(lambda: Shot(game, folder).pixel(*bar) == white, DEADLINE, "the frame")
            framed = True
        except TimeoutError:
            framed = False
        check(framed, "the first arrow key shows the white frame around cell 1")
        ended = game.count("swap-end")
        game.keys("shift+Down")
        game.wait_for("swap-end", ended + 1)
        shot = Shot(game, folder)
        check([shot.box(*place(k), tile) for k in (1, 9)] == before, "Shift+Down swaps cell 1 with cell 9 back")
        check(shot.pixel(*bar) == white, "the frame stays on its cell")
        status = game.quit_by_menu()
        check(status == 0, f"quit by the menu's keys with status 0 (status {status})")
    return check.status()


if __name__ == "__main__":
    sys.exit(main())
