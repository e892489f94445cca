#!/usr/bin/env python3
"""The real program in an X display with a window manager (metacity, the
frame GNOME draws for X11 windows): the whole window, frame included, stands
centred on the screen; the manager offers neither maximise nor resize for the
fixed window and refuses a maximise request; the first frame shows the board;
the manager's close ends the program with status 0.

    x11_game.py PROGRAM DESIGN [--screenshot FILE]

DESIGN is pellorin-design, which prints the core's sizes and colours."""

import argparse
import re
import subprocess
import sys

from checks import Checks
from design import read_design
from pictures import find_board
from servers import X11, eventually, program_env, wait_until

check = Checks()


def frame_geometry(x11, window):
    """The window's frame as x, y, width, height: the client's place and size
    from xwininfo, widened by the frame extents the manager announces."""
    info = subprocess.run(["xwininfo", "-id", window], env=x11.env(), capture_output=True, text=True).stdout
    field = lambda name: int(re.search(rf"{name}:\s+(-?\d+)", info).group(1))
    left, right, top, bottom = (int(v) for v in x11.properties(window, "_NET_FRAME_EXTENTS").split("=")[1].split(","))
    return (field("Absolute upper-left X") - left, field("Absolute upper-left Y") - top,
            field("Width") + left + right, field("Height") + top + bottom)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("design")
    parser.add_argument("--screenshot")
    args = parser.parse_args()
    design = read_design(args.design)
    with X11() as x11:
        game = subprocess.Popen([args.program], env=program_env(x11.env()), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until(lambda: x11.windows("Pellorin"), 10, "the window")
        window = x11.windows("Pellorin")[0]

        # The game places itself again once it knows its frame; it is given
        # until a hang would be the only reason.
        screen = [int(v) for v in x11.root_properties_of("_NET_WORKAREA").split("=")[1].split(",")[:4]]

        def offsets():
            frame = frame_geometry(x11, window)
            return frame, [2 * (frame[0] - screen[0]) + frame[2] - screen[2],
                           2 * (frame[1] - screen[1]) + frame[3] - screen[3]]
        wait_until(lambda: "_NET_FRAME_EXTENTS(" in x11.properties(window, "_NET_FRAME_EXTENTS"), 20, "the frame")
        eventually(lambda: all(abs(offset) <= 1 for offset in offsets()[1]), 20)
        frame, off = offsets()
        check(all(abs(offset) <= 1 for offset in off),
              f"the whole window stands centred on the screen: frame {frame} in the work area {screen}")

        # The window is the board's client area and the menu bar above it.
        hints = x11.properties(window, "WM_NORMAL_HINTS")
        least = re.search(r"minimum size: (\d+) by (\d+)", hints)
        most = re.search(r"maximum size: (\d+) by (\d+)", hints)
        size = least and tuple(map(int, least.groups()))
        shell = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window], env=x11.env(),
                               capture_output=True, text=True, check=True).stdout
        fields = dict(line.split("=", 1) for line in shell.split())
        now = (int(fields["WIDTH"]), int(fields["HEIGHT"]))
        check(least and most and least.groups() == most.groups() and size == now and now[0] == design["clientWidth"]
              and now[1] > design["clientHeight"],
              f"minimum and maximum size are the window's own, {design['clientWidth']} wide and taller than "
              f"{design['clientHeight']} by a menu bar: {size}, the window {now}")
        allowed = x11.properties(window, "_NET_WM_ALLOWED_ACTIONS")
        check("_NET_WM_ACTION_CLOSE" in allowed and "MAXIMIZE" not in allowed and "RESIZE" not in allowed,
              f"the window manager offers no maximise and no resize: {allowed.split('=')[-1].strip()}")

        geometry = subprocess.run(["xdotool", "getwindowgeometry", window], env=x11.env(), capture_output=True, text=True).stdout
        subprocess.run(["wmctrl", "-r", "Pellorin", "-b", "add,maximized_vert,maximized_horz"], env=x11.env(), check=True)
        # The manager handles requests in turn: once it has granted a later
        # one, it has dealt with the maximise request.
        subprocess.run(["wmctrl", "-r", "Pellorin", "-b", "add,above"], env=x11.env(), check=True)
        wait_until(lambda: "_NET_WM_STATE_ABOVE" in x11.properties(window, "_NET_WM_STATE"), 20,
                   "the manager's answer to a later request")
        state = x11.properties(window, "_NET_WM_STATE")
        after = subprocess.run(["xdotool", "getwindowgeometry", window], env=x11.env(), capture_output=True, text=True).stdout
        check("MAXIMIZED" not in state and after == geometry, "a maximise request leaves the window as it was")

        screenshot = args.screenshot or str(x11.runtime / "first-frame.png")
        x11.screenshot(screenshot)
        check(find_board(screenshot, design) is not None, f"the first frame shows the board on black ({screenshot})")

        subprocess.run(["wmctrl", "-c", "Pellorin"], env=x11.env(), check=True)
        try:
            status = game.wait(timeout=5)
        except subprocess.TimeoutExpired:
            game.kill()
            status = None
        check(status == 0, f"the window manager's close ends the program with status 0 (status {status})")
    return check.status()


if __name__ == "__main__":
    sys.exit(main())
