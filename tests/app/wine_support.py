"""What the Wine tests of the Windows program share: the game started under
Wine in a folder of its own and looked at on the X display, and
pellorin-probe.exe, which reads what only the Windows API shows."""

import json
import queue
import shutil
import subprocess
import threading
import time
from pathlib import Path
from types import SimpleNamespace

from checks import Checks
from servers import wait_until, eventually
from xpeek import Display

check = Checks()
DEADLINE = 60  # seconds; only a hang waits this long, even on a machine loaded many times over
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
ROLE_SYSTEM_TABLE, ROLE_SYSTEM_CELL = 24, 29
# What the run was given (the program, the encoder), the core's design values
# and what it measured, for its summary; wine_game.py fills it in.
ARGS = SimpleNamespace(program=None, encoder=None, screenshot=None, design=None, figures={}, encodings={})


def read_design(env):
    """The core's design values, as the probe prints them, once per run."""
    ARGS.design = json.loads(probe(env, "design"))
    return ARGS.design


def board():
    """The board's geometry in client pixels: rows, columns, pitch, margin,
    tileSize."""
    return ARGS.design["board"]


def cell_corner(k):
    """The top-left corner of cell k's tile at home, in client pixels."""
    b = board()
    row, column = divmod(k - 1, b["columns"])
    return b["margin"] + b["pitch"] * column, b["margin"] + b["pitch"] * row


def centre(*cells):
    """The middle of the cells' tiles: of one, its centre; of two neighbours,
    the middle of the gap between them; of four, their crossing."""
    half = board()["tileSize"] / 2
    corners = [cell_corner(k) for k in cells]
    return (sum(x for x, _ in corners) / len(cells) + half, sum(y for _, y in corners) / len(cells) + half)


def colour_word(rgb):
    """The colour word of a face colour seen on the screen, or None."""
    faces = [tuple(face) for face in ARGS.design["faces"]]
    return ARGS.design["colours"][faces.index(rgb)] if rgb in faces else None


def menu_keys(item):
    """The keys that choose a menu item by its name (mnuNytt, mnuAvsluta):
    Alt and the menu's access key, then the item's."""
    key = next(entry["accessKey"] for entry in ARGS.design["menuItems"] if entry["name"] == item)
    return "alt+" + ARGS.design["menu"]["accessKey"], key


class WindowGone(RuntimeError):
    pass


class WineGame:
    """Pellorin.exe started under Wine from a folder of its own."""

    def __init__(self, x11, wine, folder, env=None, scale=1, options=()):
        self.x11, self.wine, self.folder, self.scale = x11, wine, folder, scale
        self.env = wine.env(x11.env(**(env or {})))
        # A window of an earlier program (its message box) may not have gone
        # from the display yet: this game's window is a new one.
        earlier = set(x11.windows("Pellorin"))
        fresh = lambda: [window for window in x11.windows("Pellorin") if window not in earlier]
        self.started = time.monotonic()
        self.process = subprocess.Popen(["wine", str(folder / "Pellorin.exe"), *options], env=self.env, cwd=folder,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until(lambda: fresh() or self.process.poll() is not None, DEADLINE, "the window")
        self.window = fresh()[0]
        self.screen = Display(x11.display)
        # The first frame: every ball's face shows.
        height = ARGS.design["clientHeight"]
        wait_until(lambda: self.geometry()[3] >= self.device(height) and all(self.face(k) != BLACK for k in (1, 8)),
                   DEADLINE, "the first painted board")
        self.first_paint = time.monotonic() - self.started
        ARGS.first_paint = self.first_paint

    def geometry(self):
        """The X window (the Win32 window less what the window manager draws):
        x, y, width, height; the client area fills its bottom, below the menu."""
        info = subprocess.run(["xwininfo", "-id", self.window], env=self.env, capture_output=True, text=True).stdout
        if "Width:" not in info:
            raise WindowGone("the game's window has gone")
        field = lambda name: int(info.split(name + ":")[1].split()[0])
        return (field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"), field("Height"))

    def device(self, length):
        """Client pixels in device pixels, rounded as Windows' MulDiv does."""
        return int(length * self.scale + 0.5)

    def origin(self):
        x, y, _, height = self.geometry()
        return x, y + height - self.device(ARGS.design["clientHeight"])

    def face(self, k):
        """The colour of ball k's face, a fifth of the way in from its left
        edge: inside the bevel, and clear of the symbol in its middle."""
        x, y = centre(k)
        return self.at(x - board()["tileSize"] * 3 / 10, y)

    def faces(self):
        return [self.face(k) for k in range(1, 65)]

    def at(self, x, y):
        left, top = self.origin()
        return self.screen.pixel(left + self.device(x), top + self.device(y))

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=self.env, check=True)

    def move(self, x, y):
        left, top = self.origin()
        self.xdotool("mousemove", left + self.device(x), top + self.device(y))

    def click(self, *points):
        """Clicks at client points, one right after the other."""
        left, top = self.origin()
        args = []
        for x, y in points:
            args += ["mousemove", left + self.device(x), top + self.device(y), "click", "1"]
        self.xdotool(*args)

    def probe(self, *args):
        """What pellorin-probe.exe, run in the same prefix, prints: its lines
        split into words, by their first word."""
        return {line.split()[0]: line.split()[1:] for line in probe(self.env, *args).splitlines() if line.strip()}

    def tile_shown(self, k):
        """Ball k's tile as the screen shows it at the scale, with the ring of
        device pixels around it: rows of (r, g, b), one more on every side."""
        left, top = self.origin()
        corner_x, corner_y = cell_corner(k)
        x, y, size = self.device(corner_x), self.device(corner_y), self.device(board()["tileSize"])
        return [[self.screen.pixel(left + i, top + j) for i in range(x - 1, x + size + 1)]
                for j in range(y - 1, y + size + 1)]

    def crisp(self, k, look="plain"):
        """Whether ball k's tile is one of the core's painted tiles at the
        device size, pixel for pixel on whole device pixels, with nothing but
        black in the ring around it: no edge is soft."""
        shown = self.tile_shown(k)
        ring = shown[0] + shown[-1] + [row[0] for row in shown] + [row[-1] for row in shown]
        inside = [row[1:-1] for row in shown[1:-1]]
        return all(p == BLACK for p in ring) and inside in painted_tiles(self.env, self.device(board()["tileSize"]), look)

    def keys(self, *keys):
        self.xdotool("windowfocus", "--sync", self.window, "key", "--clearmodifiers", *keys)

    def input(self, *keys):
        """Keys sent through Windows' own input queue ("down:space",
        "up:space") to the window that has the focus, so that a key pressed
        again before it is let go comes as the keyboard's auto-repeat does.
        The X focus is left alone: setting it makes Wine read the keys' state
        from the X server again, where none of these keys is down."""
        subprocess.run(["wine", str(probe_program()), "input", *keys], env=self.env, check=True, timeout=DEADLINE)

    def wait_end(self):
        try:
            return self.process.wait(timeout=DEADLINE)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
            return None
        finally:
            self.screen.close()


def probe_program():
    return Path(ARGS.program).parent / "pellorin-probe.exe"


def probe(env, *args):
    """What pellorin-probe.exe, run in the same Wine prefix, prints."""
    return subprocess.run(["wine", str(probe_program()), *map(str, args)], env=env, capture_output=True, text=True,
                          timeout=DEADLINE).stdout


def hex_rows(line):
    """A picture printed by the probe (a name, then rows of hex pixels) as
    rows of (r, g, b)."""
    rows = line.split()[2:]
    return [[tuple(bytes.fromhex(row[i:i + 6])) for i in range(0, len(row), 6)] for row in rows]


def painted_tiles(env, size, look):
    """The six tiles as the core's painter paints them at a size, as rows of
    (r, g, b)."""
    return [hex_rows(line) for line in probe(env, "tiles", size, look).splitlines()]


def swapped(game, a, b, before):
    """Whether balls a and b have exchanged their faces and both stand home
    (the gap between them black again)."""
    return game.face(a) == before[b - 1] and game.face(b) == before[a - 1]


def swap(game, a, b, gap, others=()):
    """Clicks in the gap (and at once at other points) and waits until the pair
    has swapped; returns the time from the click to the last frame, or None."""
    before = game.faces()
    clicked = time.monotonic()
    game.click(gap, *others)
    if not eventually(lambda: swapped(game, a, b, before) and game.at(*gap) == BLACK, DEADLINE):
        return None
    return (time.monotonic() - clicked) * 1000


def prepare(root, name, cues=None):
    """A folder with the program and its cues (or the given files)."""
    folder = Path(root) / name
    folder.mkdir()
    shutil.copy(ARGS.program, folder / "Pellorin.exe")
    for cue in ("Bort.wav", "Swap.wav"):
        source = Path(ARGS.program).parent / cue
        if cues is None:
            shutil.copy(source, folder / cue)
        elif cues.get(cue) is not None:
            cues[cue](source, folder / cue)
    return folder


class ProbeSession:
    """pellorin-probe running beside a game, told things on its standard
    input, its lines kept in the order they came: "listen" hears the board's
    WinEvents as a screen reader hooks them, each a line "EVENT CHILD TEXT"
    (TEXT "ok WORDS", "none" or "error CODE"); "msaa-live" holds the board's
    object until told to ask it again."""

    def __init__(self, game, command, first):
        self.process = subprocess.Popen(["wine", str(probe_program()), command], env=game.env, text=True,
                                        encoding="utf-8", stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        self.lines = queue.Queue()
        self.heard = []
        threading.Thread(target=self._read, daemon=True).start()
        self.first = self.next(lambda line: line.startswith(first), f"the probe's {first!r}")[-1]

    def _read(self):
        for line in self.process.stdout:
            self.lines.put(line.rstrip("\n"))
        self.lines.put(None)

    def next(self, wanted, what):
        """Waits for the next line that is wanted (a test of the line) and
        returns it last, after every line that came before it since the
        last call."""
        came = []
        deadline = time.monotonic() + DEADLINE
        while True:
            try:
                line = self.lines.get(timeout=max(0.0, deadline - time.monotonic()))
            except queue.Empty:
                line = None
            if line is None:
                raise TimeoutError(f"{what} within {DEADLINE} s; heard {came}")
            came.append(line)
            self.heard.append(line)
            if wanted(line):
                return came

    def send(self, line):
        self.process.stdin.write(line + "\n")
        self.process.stdin.flush()

    def rest(self):
        """Every line still to come, once standard input has ended."""
        self.process.stdin.close()
        came = []
        while (line := self.lines.get(timeout=DEADLINE)) is not None:
            came.append(line)
            self.heard.append(line)
        self.process.wait(timeout=DEADLINE)
        return came


def read_board(game):
    """The board as the probe reads it through MSAA."""
    board = {"cells": {}, "outside": {}, "refuses": {}}
    for line in probe(game.env, "msaa").splitlines():
        word, _, rest = line.partition(" ")
        if word == "cell":
            k, role, _, name = rest.split(" ", 3)
            board["cells"][int(k)] = (int(role), name)
        elif word == "table":
            role, _, name = rest.split(" ", 2)
            board["table"] = (int(role), name)
        elif word in ("outside", "refuses"):
            k, result = rest.split(" ", 1)
            board[word][k] = result
        else:
            board[word] = rest
    return board
