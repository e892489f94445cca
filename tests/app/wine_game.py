#!/usr/bin/env python3
"""The native Windows program under Wine, in an X display with a window
manager (metacity) and beside a private PulseAudio server: its window, menu,
icon, cursors, swaps, sounds, pictures, screen reader and ends, tried as a
player would, with real clicks and keys. Every wait is for what the screen,
the process, the sound server or the probe shows; the swap's duration is
reported, never judged. The parts, by subject, live in wine_*.py.

    wine_game.py PELLORIN_EXE [--encoder ENCODER] [--screenshot FILE] [--part NAME]..."""

import argparse
import sys
import tempfile
import time
from pathlib import Path

from servers import X11, Wine
from wine_failures import timer_failures
from wine_pictures import high_density, symbols
from wine_reader import keyboard_and_reader, notifications, reader_events
from wine_sound import broken_cues, sounds
from wine_support import ARGS, check, read_design
from wine_window import old_windows, resources, window_and_menu

PARTS = (resources, old_windows, window_and_menu, keyboard_and_reader, reader_events, notifications, timer_failures,
         symbols,
         sounds, broken_cues, high_density)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("--encoder", help="pellorin-encode-cue, to try the cues in other encodings")
    parser.add_argument("--screenshot")
    parser.add_argument("--part", action="append", choices=[part.__name__ for part in PARTS],
                        help="run only this part (again for more)")
    args = parser.parse_args()
    ARGS.program = str(Path(args.program).resolve())
    ARGS.encoder, ARGS.screenshot = args.encoder, args.screenshot
    with X11() as x11, Wine() as wine, tempfile.TemporaryDirectory() as root:
        read_design(wine.env(x11.env()))
        for part in (p for p in PARTS if not args.part or p.__name__ in args.part):
            started = time.monotonic()
            part(x11, wine, root)
            ARGS.figures[f"{part.__name__} (s)"] = time.monotonic() - started
    for name, value in ARGS.figures.items():
        print(f"{name}: {value:.0f}" if value is not None else f"{name}: -")
    if hasattr(ARGS, "said_after_swap"):
        print(f"the board's value after a swap: {ARGS.said_after_swap}")
    if hasattr(ARGS, "heard"):
        print("the WinEvents heard while playing by keys: " + "; ".join(
            line for line in ARGS.heard if not line.startswith("name ")))
    if hasattr(ARGS, "notifications"):
        print("asked of UI Automation: " + "; ".join(ARGS.notifications))
    if hasattr(ARGS, "first_paint"):
        print(f"program start to first painted board: {ARGS.first_paint * 1000:.0f} ms")
    return check.status()


if __name__ == "__main__":
    sys.exit(main())
