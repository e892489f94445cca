"""The browser game's board as the screen shows it, read from screenshots of
an X display with nothing but the design's values: where the board stands,
each tile's colour (a bank picture, 1 to 6, by its face colour), and where
the keyboard's frame stands and whether it holds its tile. The page's own
state is never asked, so what this reads is what a player sees."""

import subprocess

from servers import wait_until


def cells(design):
    """The board's cells, numbered from 1 row by row."""
    return range(1, design["board"]["rows"] * design["board"]["columns"] + 1)


def place(design, cell):
    """A cell's row and column, each from 1."""
    columns = design["board"]["columns"]
    return (cell - 1) // columns + 1, (cell - 1) % columns + 1


class Shot:
    """One screenshot of the whole display, as RGB bytes."""

    def __init__(self, env):
        data = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=env, capture_output=True, check=True,
                              timeout=60).stdout
        # "P6\n<width> <height>\n<max>\n" and the samples.
        fields, at = [], 0
        while len(fields) < 4:
            while data[at:at + 1].isspace():
                at += 1
            end = at
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[at:end])
            at = end
        self.width, self.height = int(fields[1]), int(fields[2])
        self.data = data[at + 1:]

    def pixel(self, x, y):
        if 0 <= x < self.width and 0 <= y < self.height:
            i = 3 * (y * self.width + x)
            return tuple(self.data[i:i + 3])
        return None


class Board:
    """The board's cells as they stand on the screen."""

    def __init__(self, colours, cursor, held, columns):
        self.columns = columns
        self.colours = colours  # by cell - 1: the picture, 0 where no face shows
        self.cursor = cursor  # the cell the frame stands around, or 0
        self.held = held

    def __eq__(self, other):
        return isinstance(other, Board) and (self.colours, self.cursor, self.held) == (other.colours, other.cursor, other.held)

    def __repr__(self):
        rows = [" ".join(map(str, self.colours[at:at + self.columns])) for at in range(0, len(self.colours), self.columns)]
        return f"cursor {self.cursor}{' held' if self.held else ''}; " + " / ".join(rows)


class Screen:
    def __init__(self, env, design):
        self.env = env
        self.design = design
        self.faces = {tuple(face): i + 1 for i, face in enumerate(design["faces"])}
        self.geometry = design["board"]
        self.origin = None  # the board canvas's top left corner on the screen

    def locate(self, shot):
        """The board's top left corner: the first screen row with a run of
        black as long as the client area is wide, whose tiles all show a
        face. None while no such board is to be seen."""
        run = bytes(3 * self.design["clientWidth"])
        at = shot.data.find(run)
        while at >= 0:
            if at % 3:  # within a pixel: the next one may start the run
                at = shot.data.find(run, at + 1)
                continue
            self.origin = (at // 3 % shot.width, at // 3 // shot.width)
            if all(self.colour(shot, cell) for cell in cells(self.design)):
                return self.origin
            at = shot.data.find(run, (self.origin[1] + 1) * 3 * shot.width)
        self.origin = None
        return None

    def tile(self, cell):
        """Cell's tile square on the screen: left, top, size."""
        g = self.geometry
        row, column = place(self.design, cell)
        return (self.origin[0] + round(g["margin"] + (column - 1) * g["pitch"]),
                self.origin[1] + round(g["margin"] + (row - 1) * g["pitch"]), round(g["tileSize"]))

    def colour(self, shot, cell):
        """The face colour most seen in the tile's middle, or 0."""
        left, top, size = self.tile(cell)
        counts = {}
        for y in range(top + size // 4, top + 3 * size // 4):
            for x in range(left + size // 4, left + 3 * size // 4):
                if (face := self.faces.get(shot.pixel(x, y))) is not None:
                    counts[face] = counts.get(face, 0) + 1
        return max(counts, key=counts.get) if counts else 0

    def framed(self, shot, cell, out):
        """Whether the frame's colour shows on all four sides of the tile,
        out pixels beyond its edge."""
        left, top, size = self.tile(cell)
        middle = size // 2
        points = [(left - out, top + middle), (left + size - 1 + out, top + middle), (left + middle, top - out),
                  (left + middle, top + size - 1 + out)]
        colour = tuple(self.design["frame"]["colour"])
        return all(shot.pixel(x, y) == colour for x, y in points)

    def read(self):
        shot = Shot(self.env)
        if self.origin is None and self.locate(shot) is None:
            return None
        frame = self.design["frame"]
        colours = [self.colour(shot, cell) for cell in cells(self.design)]
        cursor = next((cell for cell in cells(self.design) if self.framed(shot, cell, frame["gap"] + 1)), 0)
        held = bool(cursor) and self.framed(shot, cursor, frame["gap"] + frame["heldWidth"])
        return Board(colours, cursor, held, self.geometry["columns"])

    def settled(self, condition=lambda board: all(board.colours), timeout=30):
        """The board once two screenshots in a row agree and the condition
        holds (by default: every tile shows a face); past the deadline, the
        last reading (or None) and False."""
        last = [None, None]

        def steady():
            board = self.read()
            last[0], last[1] = last[1], board
            return board is not None and board == last[0] and condition(board)
        try:
            wait_until(steady, timeout, "the board at rest", interval=0.05)
            return last[1], True
        except TimeoutError:
            return last[1], False
