#!/usr/bin/env python3
"""The real program in an X display with a window manager, scaled by
QT_SCALE_FACTOR (1.25 or 1.5, as laptops are set): the board takes 414 by
413 client pixels times the scale, within Qt's rounding of one device pixel; every tile is the painter's at
the scale's tile size, on whole device pixels with black right around it,
so tiles of one colour are the same pixels wherever they stand; a click in a
gap swaps the pair; and by keys (xdotool) the frame shows around the cursor's
cell and Shift and an arrow swap.

    scaled_game.py PROGRAM SCALE"""

import subprocess
import sys
import tempfile
from pathlib import Path

from checks import Checks
from pictures import read_rgb
from player import DEADLINE, Player, pattern_board
from servers import X11, wait_until

check = Checks()
WHITE, BLACK = (255, 255, 255), (0, 0, 0)


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
    program, scale = sys.argv[1], float(sys.argv[2])
    tile = device(32, scale)
    colours = pattern_board()
    with X11() as x11, tempfile.TemporaryDirectory() as folder:
        game = Player(x11, program, ["".join(map(str, colours))], env={"QT_SCALE_FACTOR": sys.argv[2]})
        shot = Shot(game, folder)
        # Qt places the window's edges on device pixels by its own rounding,
        # which may give one pixel more than the core's.
        width = shot.width
        check(abs(width - 414 * scale) <= 1, f"the window is {width} device pixels wide, 414 times {scale}")
        # The board stands below the menu bar: its first row is all black.
        top = next((y for y in range(shot.height) if all(shot.pixel(x, y) == BLACK for x in range(width))), 0)
        height = shot.height - top
        check(top > 0 and abs(height - 413 * scale) <= 1,
              f"the board's {height} device pixel rows, 413 times {scale}, stand below a menu bar of {top}")

        def place(k):
            row, column = (k - 1) // 8, (k - 1) % 8
            return device(24 + 48 * column, scale), top + device(24 + 48 * row, scale)

        def crisp(shot, colours):
            """Every tile the same pixels as the others of its colour, with
            black on every side; the balls whose tiles are not."""
            first = {}
            soft = []
            for k in range(1, 65):
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
        subprocess.run(["xdotool", "mousemove", "--window", game.window, str(device(40, scale)),
                        str(top + device(64, scale)), "click", "1"], env=x11.env(), check=True)
        game.wait_for("swap-end", ended + 1)
        shot = Shot(game, folder)
        check([shot.box(*place(k), tile) for k in (9, 1)] == before, "a click in the gap below ball 1 swaps it with ball 9")
        swapped = list(colours)
        swapped[0], swapped[8] = colours[8], colours[0]
        soft = crisp(shot, swapped)
        check(not soft, f"after the swap every tile is crisp again (soft: {soft})")

        # The left bar of the frame around cell 1: 4 client pixels out from
        # the tile, 2 wide.
        bar = (device(24 - 5, scale), top + device(40, scale))
        check(shot.pixel(*bar) == BLACK, "no frame before a key")
        game.keys("Right")
        try:
            wait_until(lambda: Shot(game, folder).pixel(*bar) == WHITE, DEADLINE, "the frame")
            framed = True
        except TimeoutError:
            framed = False
        check(framed, "the first arrow key shows the white frame around cell 1")
        ended = game.count("swap-end")
        game.keys("shift+Down")
        game.wait_for("swap-end", ended + 1)
        shot = Shot(game, folder)
        check([shot.box(*place(k), tile) for k in (1, 9)] == before, "Shift+Down swaps cell 1 with cell 9 back")
        check(shot.pixel(*bar) == WHITE, "the frame stays on its cell")
        status = game.quit_by_menu()
        check(status == 0, f"quit by the menu's keys with status 0 (status {status})")
    return check.status()


if __name__ == "__main__":
    sys.exit(main())
