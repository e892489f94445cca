#!/usr/bin/env python3
"""The real program on Wayland, in a headless weston behind a proxy that
plays the compositor's part for what headless weston cannot do by itself:

- with only WAYLAND_DISPLAY set the game picks Wayland by itself, gives its
  window equal minimum and maximum sizes, and its first frame, seen in a
  screenshot of the compositor, shows the board on black;
- a maximise request from the compositor is refused at once, and no buffer
  or opaque region of another size follows;
- with an X display beside a compositor that draws no frames it prefers the
  X display; a player's QT_QPA_PLATFORM=wayland still wins;
- closed by the compositor CLOSES times in a row, with every processor kept
  busy, it ends every time, with status 0, within a few seconds.

    wayland_game.py PROGRAM DESIGN [--closes N] [--screenshot FILE]

The screenshot of the first frame is kept in FILE when one is named."""

import argparse
import contextlib
import os
import random
import subprocess
import sys
import time

from checks import Checks
from design import read_design
from pictures import find_board
from servers import X11, Weston, WaylandProxy, eventually, program_env, wait_until

check = Checks()


def start(program, env):
    return subprocess.Popen([program], env=program_env(env), stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)


def first_buffer(proxy, mark, timeout=20):
    wait_until(lambda: any(line.startswith("buffer") for line in proxy.since(mark)), timeout, "a first frame")


def stack_of(process):
    trace = subprocess.run(["gdb", "-p", str(process.pid), "-batch", "-ex", "thread apply all bt 12"],
                           capture_output=True, text=True).stdout
    return "\n".join(line for line in trace.splitlines() if line.startswith(("#", "Thread")))


def ends(process, timeout):
    try:
        return process.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        print(stack_of(process))
        process.kill()
        process.wait()
        return None


def native(program, design, weston, proxy, screenshot):
    mark = proxy.mark()
    game = start(program, proxy.env())
    first_buffer(proxy, mark)
    # The compositor shows the frame once it has composed it.
    screenshot = screenshot or weston.runtime / "first-frame.png"
    shown = lambda: weston.screenshot(screenshot) or find_board(screenshot, design) is not None
    check(eventually(shown, 20), f"the first frame shows the board on black ({screenshot})")
    log = proxy.since(mark)
    sizes = {line.split()[2]: tuple(line.split()[3:]) for line in log if line.split()[2:3] in (["set_min_size"], ["set_max_size"])}
    check(sizes.get("set_min_size") is not None and sizes.get("set_min_size") == sizes.get("set_max_size"),
          f"picks Wayland by itself; minimum and maximum size are equal: {sizes}")
    width = design["clientWidth"]
    check(sizes.get("set_min_size", ("",))[0] == str(width), f"the window is {width} wide")

    buffers = {line for line in log if line.startswith(("buffer", "opaque"))}
    mark = proxy.mark()
    proxy.maximize()
    wait_until(lambda: "unset_maximized" in " ".join(proxy.since(mark)), 20, "the maximised state refused")
    # Whatever the client does about the configure, it has done once it
    # answers a ping sent after its refusal.
    proxy.round_trip()
    after = {line for line in proxy.since(mark) if line.startswith(("buffer", "opaque"))}
    check(after <= buffers, f"a maximise request leaves buffers and opaque region as they were: {sorted(buffers)} then {sorted(after)}")

    proxy.close()
    status = ends(game, 20)
    check(status == 0, f"a close ends the program with status 0 (status {status})")


@contextlib.contextmanager
def busy_processors():
    """Every processor kept busy: the shutdown race that hangs Qt 6.4's
    Wayland teardown shows far more often when the threads must wait for one."""
    spinners = [subprocess.Popen(["sh", "-c", "while :; do :; done"]) for _ in range(os.cpu_count() or 2)]
    try:
        yield
    finally:
        for spinner in spinners:
            spinner.kill()
            spinner.wait()


def closes(program, proxy, count):
    hung, statuses = 0, set()
    started = time.monotonic()
    chance = random.Random(1)
    with busy_processors():
        for _ in range(count):
            mark = proxy.mark()
            game = start(program, proxy.env())
            first_buffer(proxy, mark)
            # The close comes at a moment drawn at random from the first 50 ms
            # after the first frame: the race lies somewhere in there. Nothing
            # here waits for anything or asserts a time.
            time.sleep(chance.uniform(0, 0.05))
            proxy.close()
            status = ends(game, 20)
            hung += status is None
            statuses.add(status)
    seconds = time.monotonic() - started
    check(hung == 0 and statuses == {0},
          f"{count} closes by the compositor: {hung} hung, exit statuses {sorted(map(str, statuses))} ({seconds:.0f} s)")


def platform_choice(program, weston, proxy):
    with X11() as x11:
        both = {**proxy.env(), "DISPLAY": x11.display}
        mark = proxy.mark()
        game = start(program, both)
        wait_until(lambda: x11.windows("Pellorin"), 10, "a window on the X display")
        check(not any(line.startswith("toplevel") for line in proxy.since(mark)),
              "beside a compositor that draws no frames it prefers the X display")
        game.terminate()
        game.wait()

        mark = proxy.mark()
        game = start(program, {**both, "QT_QPA_PLATFORM": "wayland"})
        first_buffer(proxy, mark)
        check(not x11.windows("Pellorin"), "the player's QT_QPA_PLATFORM=wayland wins")
        proxy.close()
        check(ends(game, 20) == 0, "and a close ends it with status 0")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("design")
    parser.add_argument("--closes", type=int, default=100)
    parser.add_argument("--screenshot")
    args = parser.parse_args()
    with Weston(screenshots=True) as weston:
        proxy = WaylandProxy(weston)
        native(args.program, read_design(args.design), weston, proxy, args.screenshot)
        platform_choice(args.program, weston, proxy)
        closes(args.program, proxy, args.closes)
    return check.status()


if __name__ == "__main__":
    sys.exit(main())
