#!/usr/bin/env python3
"""Measures the real game beside a bare Qt program (the floor) in one run, in
the X display it is started in: start-up to the first painted frame (its
wall time, and the CPU the program had spent by then), peak
resident memory, CPU time and voluntary context switches while idle, and for
both a swap's CPU time: the game's real swap, and the floor's tick, which
repaints the area of two tiles as often as a swap does. Prints a table with
medians, ranges and the ratios game/floor.

    measure_app.py GAME FLOOR DESIGN [--runs N] [--idle SECONDS] [--swaps N] [--check]

DESIGN is pellorin-design: the board's size and gaps are the core's.

With --check it also fails when a figure could not be measured or memory is
far outside what is sane (for CI: never a timed pass or fail)."""

import argparse
import os
import selectors
import math
import statistics
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "app"))
from design import gap_point, read_design  # noqa: E402

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


def threads_of(pid):
    return os.listdir(f"/proc/{pid}/task")


def cpu_ns(pid):
    """CPU time of every thread of the process so far, in nanoseconds."""
    total = 0
    for tid in threads_of(pid):
        try:
            with open(f"/proc/{pid}/task/{tid}/schedstat") as f:
                total += int(f.read().split()[0])
        except FileNotFoundError:
            pass
    return total


def voluntary_switches(pid):
    total = 0
    for tid in threads_of(pid):
        try:
            with open(f"/proc/{pid}/task/{tid}/status") as f:
                for line in f:
                    if line.startswith("voluntary_ctxt_switches:"):
                        total += int(line.split()[1])
        except FileNotFoundError:
            pass
    return total


def peak_rss_kib(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    return 0


class Program:
    """A program whose reported moments are read: the game reports them always,
    the floor when PELLORIN_MEASURE is set."""

    def __init__(self, path):
        env = dict(os.environ, PELLORIN_MEASURE="1")
        self.started = time.monotonic_ns()
        self.process = subprocess.Popen([path], env=env, stderr=subprocess.PIPE)
        self.selector = selectors.DefaultSelector()
        self.selector.register(self.process.stderr, selectors.EVENT_READ)
        self.unread = b""  # read from the pipe, not yet looked at

    def wait_for(self, word, timeout=10.0):
        """The number of the program's next line for the word. The pipe is
        read raw: a buffered reader could hold back a line that came in the
        same block as the one before it, where select() cannot see it."""
        deadline = time.monotonic() + timeout
        while True:
            while b"\n" in self.unread:
                line, self.unread = self.unread.split(b"\n", 1)
                parts = line.split()
                if len(parts) == 2 and parts[0].decode(errors="replace") == word:
                    return int(parts[1])
            if time.monotonic() >= deadline or not self.selector.select(timeout=deadline - time.monotonic()):
                break
            block = os.read(self.process.stderr.fileno(), 65536)
            if not block:
                break
            self.unread += block
        raise RuntimeError(f"{word} never came")

    def stop(self):
        self.process.terminate()
        self.process.wait(timeout=10)


def window_origin(title, design):
    for _ in range(50):
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"], capture_output=True, text=True).stdout.split()
        if found:
            geometry = subprocess.run(["xdotool", "getwindowgeometry", "--shell", found[0]],
                                      capture_output=True, text=True).stdout
            values = dict(line.split("=") for line in geometry.split())
            # The board lies below the menu bar, at the bottom of the window.
            return int(values["X"]), int(values["Y"]) + int(values["HEIGHT"]) - design["clientHeight"]
        time.sleep(0.1)
    raise RuntimeError(f"no window {title}")


def measure(path, title, design, idle_seconds, swaps):
    program = Program(path)
    try:
        painted = program.wait_for("first-paint")
        # The CPU of every thread from exec until the first frame, as the
        # program itself read it then.
        figures = {"start-up to first paint (ms)": (painted - program.started) / 1e6,
                   "CPU from exec to first paint (ms)": program.wait_for("first-paint-cpu") / 1e6}
        time.sleep(1.0)  # let start-up settle before idling
        pid = program.process.pid
        cpu0, switches0 = cpu_ns(pid), voluntary_switches(pid)
        time.sleep(idle_seconds)
        figures[f"CPU while idle {idle_seconds:g} s (ms)"] = (cpu_ns(pid) - cpu0) / 1e6
        figures[f"voluntary switches idle {idle_seconds:g} s"] = voluntary_switches(pid) - switches0
        if swaps:
            x, y = window_origin(title, design)
            gaps = [gap_point(design, 4, 4, down=True), gap_point(design, 4, 4)]
            durations = []
            cpu_before = cpu_ns(pid)
            for i in range(swaps):
                gx, gy = gaps[i % 2]
                subprocess.run(["xdotool", "mousemove", str(x + gx), str(y + gy), "click", "1"], check=True)
                start = program.wait_for("swap-start")
                durations.append((program.wait_for("swap-end") - start) / 1e6)
                time.sleep(0.05)
            figures["swap, press to its last tick (ms)"] = statistics.median(durations)
            # The CPU of the clicks' own moves and the short pauses is included.
            figures["CPU per swap (ms)"] = (cpu_ns(pid) - cpu_before) / 1e6 / swaps
            figures["CPU per tick (ms)"] = figures["CPU per swap (ms)"] / 11
        figures["peak resident memory (MiB)"] = peak_rss_kib(pid) / 1024
        return figures
    finally:
        program.stop()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("game")
    parser.add_argument("floor")
    parser.add_argument("design")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--idle", type=float, default=10.0)
    parser.add_argument("--swaps", type=int, default=20)
    parser.add_argument("--check", action="store_true")
    args = parser.parse_args()

    design = read_design(args.design)
    results = {"game": [], "floor": []}
    for run in range(args.runs):
        results["game"].append(measure(args.game, "Pellorin", design, args.idle, args.swaps))
        results["floor"].append(measure(args.floor, "Pellorin floor", design, args.idle, args.swaps))
        print(f"run {run + 1} of {args.runs} done", file=sys.stderr)

    def summary(runs, name):
        values = [r[name] for r in runs if name in r]
        if not values:
            return None, ""
        median = statistics.median(values)
        return median, f"{median:9.3f} [{min(values):.3f}–{max(values):.3f}]"

    names = list(results["game"][0].keys())
    print(f"{'':40} {'game: median [range]':>28} {'floor: median [range]':>28} {'game/floor':>10}")
    for name in names:
        game, game_text = summary(results["game"], name)
        floor, floor_text = summary(results["floor"], name)
        ratio = f"{game / floor:10.2f}" if floor else ""
        print(f"{name:40} {game_text:>28} {floor_text:>28} {ratio}")

    if args.check:
        game = {name: statistics.median(r[name] for r in results["game"]) for name in names}
        # Every figure was measured, and memory is sane. Times are reported,
        # never judged: they depend on the machine and on what else it runs.
        sane = [all(math.isfinite(value) for value in game.values()), game["peak resident memory (MiB)"] < 500]
        if not all(sane):
            print("a figure is missing or far outside what is sane", file=sys.stderr)
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
