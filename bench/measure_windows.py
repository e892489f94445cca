#!/usr/bin/env python3
"""Measures the Windows program under Wine beside the Linux program in the
same virtual X display: start-up to the first painted board, peak resident
memory, a swap's duration seen on screen, CPU per tick, and CPU time and
voluntary context switches while idle. Wine's own server is a process of its
own, so its CPU and wake-ups are given beside the program's. Figures only.

    measure_windows.py PELLORIN_EXE LINUX_GAME DESIGN [--runs N] [--idle SECONDS] [--swaps N]

DESIGN is pellorin-design: the board's size and places are the core's."""

import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent / "tests" / "app"))
import measure_app  # noqa: E402
from design import cell_centre, gap_point, read_design  # noqa: E402
from servers import Wine, wait_until  # noqa: E402
from xpeek import Display  # noqa: E402

BLACK = (0, 0, 0)


def wineserver_pid(env):
    found = subprocess.run(["pgrep", "-n", "wineserver"], env=env, capture_output=True, text=True).stdout
    return int(found.split()[0]) if found.strip() else None


def client_origin(window, env, design):
    info = subprocess.run(["xwininfo", "-id", window], env=env, capture_output=True, text=True).stdout
    field = lambda name: int(info.split(name + ":")[1].split()[0])
    return field("Absolute upper-left X"), field("Absolute upper-left Y") + field("Height") - design["clientHeight"]


def measure_windows(exe, wine, design, idle, swaps):
    env = wine.env(dict(os.environ))
    screen = Display(os.environ["DISPLAY"])
    started = time.monotonic()
    process = subprocess.Popen(["wine", str(exe)], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        windows = lambda: subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Pellorin$"], env=env,
                                         capture_output=True, text=True).stdout.split()
        wait_until(windows, 30, "the window", interval=0.002)
        window = windows()[0]
        left, top = client_origin(window, env, design)
        columns, tile = design["board"]["columns"], design["board"]["tileSize"]
        # A ball's face, a fifth of the way in from its left edge: clear of
        # its symbol.
        face_at = lambda x, y: screen.pixel(left + x - tile * 3 // 10, top + y)
        face = lambda k: face_at(*cell_centre(design, (k - 1) // columns + 1, (k - 1) % columns + 1))
        wait_until(lambda: all(face(k) != BLACK for k in (1, 8, 57, 64)), 30, "the first painted board",
                   interval=0.002)
        figures = {"start-up to first paint (ms)": (time.monotonic() - started) * 1000}
        pid, server = process.pid, wineserver_pid(env)
        time.sleep(1.0)  # let start-up settle before idling
        cpu0, switches0 = measure_app.cpu_ns(pid), measure_app.voluntary_switches(pid)
        server0 = (measure_app.cpu_ns(server), measure_app.voluntary_switches(server)) if server else (0, 0)
        time.sleep(idle)
        figures[f"CPU while idle {idle:g} s (ms)"] = (measure_app.cpu_ns(pid) - cpu0) / 1e6
        figures[f"voluntary switches idle {idle:g} s"] = measure_app.voluntary_switches(pid) - switches0
        if server:
            figures[f"wineserver CPU idle {idle:g} s (ms)"] = (measure_app.cpu_ns(server) - server0[0]) / 1e6
            figures[f"wineserver switches idle {idle:g} s"] = measure_app.voluntary_switches(server) - server0[1]
        durations = []
        cpu_before = measure_app.cpu_ns(pid)
        for i in range(swaps):
            # Ball 1 leaves its cell at the first tick and is home again at
            # the eleventh: the pixel just past its edge, towards its partner,
            # is covered exactly in between.
            x, y = cell_centre(design, 1, 1)
            past = tile // 2 + 2
            down = i % 2 == 0
            gap, edge = gap_point(design, 1, 1, down), ((x, y + past) if down else (x + past, y))
            edge_pixel = lambda: screen.pixel(left + edge[0], top + edge[1])
            clicked = time.monotonic()
            subprocess.run(["xdotool", "mousemove", str(left + gap[0]), str(top + gap[1]), "click", "1"], env=env,
                           check=True)
            wait_until(lambda: edge_pixel() != BLACK, 30, "the swap's first tick", interval=0.001)
            wait_until(lambda: edge_pixel() == BLACK, 30, "the swap's last tick", interval=0.001)
            durations.append((time.monotonic() - clicked) * 1000)
        figures["swap, click to last frame on screen (ms)"] = statistics.median(durations)
        figures["CPU per tick (ms)"] = (measure_app.cpu_ns(pid) - cpu_before) / 1e6 / swaps / 11
        figures["peak resident memory (MiB)"] = measure_app.peak_rss_kib(pid) / 1024
        return figures
    finally:
        process.terminate()
        process.wait(timeout=30)
        screen.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("exe")
    parser.add_argument("linux")
    parser.add_argument("design")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--idle", type=float, default=10.0)
    parser.add_argument("--swaps", type=int, default=10)
    args = parser.parse_args()
    design = read_design(args.design)
    results = {"windows": [], "linux": []}
    with Wine() as wine:
        for run in range(args.runs):
            results["windows"].append(measure_windows(Path(args.exe).resolve(), wine, design, args.idle, args.swaps))
            results["linux"].append(measure_app.measure(args.linux, "Pellorin", design, args.idle, args.swaps))
            print(f"run {run + 1} of {args.runs} done", file=sys.stderr)
    print(f"{'':44} {'Windows under Wine':>20} {'Linux (Qt)':>14}")
    names = list(dict.fromkeys(list(results["windows"][0]) + list(results["linux"][0])))
    for name in names:
        cells = []
        for side in ("windows", "linux"):
            values = [r[name] for r in results[side] if name in r]
            cells.append(f"{statistics.median(values):.3f}" if values else "-")
        print(f"{name:44} {cells[0]:>20} {cells[1]:>14}")
    folder = Path(args.exe).resolve().parent
    for package in sorted(folder.glob("pellorin-*-win64.*")) + [Path(args.exe).resolve()]:
        print(f"{package.name:44} {package.stat().st_size / 1024:>16.0f} KiB")
    return 0


if __name__ == "__main__":
    sys.exit(main())
