"""The real program in an X display, played as a player would: real clicks
and keys through xdotool. The program reports its moments on its error
output (first-paint, press, swap-start, swap-end); a player waits for the
moment it is about, never for a fixed time. Where to press and which keys
open the menu come from the core's design (design.read_design)."""

import shutil
import subprocess
import threading
from pathlib import Path

from design import gap_point
from servers import program_env, wait_until
# Only a hang takes this long.
DEADLINE = 20


def pattern_board():
    """The colours ((row + 2 column) mod 6) + 1, row by row, as the scripted
    program takes them: no complete line anywhere."""
    return [(row + 2 * column) % 6 + 1 for row in range(1, 9) for column in range(1, 9)]


def copy_program(program, folder, name):
    """The program under another name in a folder of its own, with the
    modules it loads from beside itself (its sound), but none of its cue
    files."""
    program = Path(program)
    shutil.copy(program, Path(folder) / name)
    for module in program.parent.glob("*.so"):
        shutil.copy(module, folder)


class Player:
    def __init__(self, x11, program, design, args=(), env=None, cwd=None):
        self.x11 = x11
        self.design = design
        environment = program_env({**x11.env(QT_QPA_PLATFORM="xcb"), **(env or {})})
        self.process = subprocess.Popen([str(program), *args], env=environment, cwd=cwd,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        self.moments = []  # (name, monotonic seconds)
        self.other = []  # every other line of the error output
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()
        wait_until(lambda: self.x11.windows("Pellorin") or self.process.poll() is not None, DEADLINE, "the window")
        if self.process.poll() is not None:
            raise RuntimeError(f"the program ended with status {self.process.returncode}: {self.errors()}")
        self.window = self.x11.windows("Pellorin")[0]
        self.wait_for("first-paint")

    def _read(self):
        for line in self.process.stderr:
            parts = line.split()
            if len(parts) == 2 and parts[1].isdigit():
                self.moments.append((parts[0], int(parts[1]) / 1e9))
            else:
                self.other.append(line.rstrip("\n"))

    def count(self, name):
        return sum(1 for moment, _ in self.moments if moment == name)

    def last(self, name):
        return [t for moment, t in self.moments if moment == name][-1]

    def wait_for(self, name, count=1):
        """Until the program has reported the moment count times in all."""
        wait_until(lambda: self.count(name) >= count or self.process.poll() is not None, DEADLINE,
                   f"{name} #{count}")
        if self.count(name) < count:
            raise RuntimeError(f"the program ended with status {self.process.returncode} before {name} #{count}"
                               f" (moments: {[moment for moment, _ in self.moments]}): {self.errors()}")

    def menu_bar_height(self):
        """The board fills the bottom of the window, below the menu bar."""
        shell = subprocess.run(["xdotool", "getwindowgeometry", "--shell", self.window], env=self.x11.env(),
                               capture_output=True, text=True, check=True).stdout
        return int(dict(line.split("=", 1) for line in shell.split())["HEIGHT"]) - self.design["clientHeight"]

    def gap(self, row, column, down=False):
        return gap_point(self.design, row, column, down)

    def click(self, x, y):
        """A click at a client point of the board, placed relative to the
        window (the absolute place that xdotool reports for a framed window is
        off by the frame)."""
        subprocess.run(["xdotool", "mousemove", "--window", self.window, str(x), str(self.menu_bar_height() + y),
                        "click", "1"], env=self.x11.env(), check=True)

    def swap(self, x, y):
        """A press in a gap, and the swap it starts played to its end."""
        ended = self.count("swap-end")
        self.click(x, y)
        self.wait_for("swap-end", ended + 1)

    def keys(self, *keys):
        """Keys to the window, which is given the keyboard first."""
        subprocess.run(["xdotool", "windowfocus", "--sync", self.window, "key", "--clearmodifiers", *keys],
                       env=self.x11.env(), check=True)

    def typed(self, *keys):
        """Keys to whatever has the keyboard now: an open menu keeps it."""
        subprocess.run(["xdotool", "key", *keys], env=self.x11.env(), check=True)

    def popups(self):
        """The program's visible windows besides its main window: an open menu."""
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(self.process.pid)],
                               env=self.x11.env(), capture_output=True, text=True).stdout.split()
        return [window for window in found if window != self.window]

    def menu(self, key):
        """Alt+M, and once the menu shows, the item's access key. A key typed
        before the menu has opened would go to the window instead, and the
        menu would stay open for the next click."""
        self.keys("alt+" + self.design["menu"]["accessKey"])
        wait_until(lambda: self.popups() or self.process.poll() is not None, DEADLINE, "the menu")
        self.typed(key)
        # The item chosen, the menu closes (or the program ends).
        wait_until(lambda: not self.popups() or self.process.poll() is not None, DEADLINE, "the menu to close")

    def item_key(self, name):
        return next(item["accessKey"] for item in self.design["menuItems"] if item["name"] == name)

    def new_game(self):
        self.menu(self.item_key("mnuNytt"))

    def quit_by_menu(self):
        """Alt+M, A; returns the exit status, or None when the program is
        still running at the deadline."""
        self.menu(self.item_key("mnuAvsluta"))
        return self.wait_end()

    def wait_end(self):
        try:
            status = self.process.wait(timeout=DEADLINE)
        except subprocess.TimeoutExpired:
            print("still running; its event thread:")
            trace = subprocess.run(["gdb", "-p", str(self.process.pid), "-batch", "-ex", "thread apply 1 bt 20"],
                                   capture_output=True, text=True).stdout
            print("\n".join(line for line in trace.splitlines() if line.startswith("#")))
            self.process.kill()
            self.process.wait()
            return None
        self.reader.join()
        return status

    def errors(self):
        return "\n".join(self.other)
