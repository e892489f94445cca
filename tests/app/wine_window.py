"""The Windows program's window under Wine, as a player meets it: the exe's
resources, the message on an older Windows, the window's size, place, icon
and cursors, the swaps and ends by mouse, keys and the window manager."""

import re
import subprocess
from pathlib import Path

from servers import eventually, wait_until
from wine_support import ARGS, BLACK, DEADLINE, WineGame, centre, check, hex_rows, menu_keys, prepare, probe, swap, swapped
from xpeek import Display

WINDOWS_10 = "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"  # the supportedOS of Windows 10 and 11


def resources(x11, wine, root):
    """What Windows reads from the exe's resources before it runs it."""
    env = wine.env(x11.env())
    out = probe(env, "resources", ARGS.program)
    found = {line.split()[0]: line.split(maxsplit=1)[1] for line in out.splitlines() if line.strip()}
    sizes = windows_icon_sizes()
    check(found.get("icon") == sizes, f"the icon holds the images {found.get('icon')}, the generator's {sizes}")
    check(found.get("version") == "041D04B0 Pellorin", f"the version record is Swedish: {found.get('version')}")
    manifest = found.get("manifest", "")
    check('requestedExecutionLevel level="asInvoker"' in manifest, "the manifest runs the program as its invoker")
    check(f'<supportedOS Id="{WINDOWS_10}"/>' in manifest, "the manifest declares Windows 10 as supported")


def old_windows(x11, wine, root):
    """On a Windows older than the lowest supported, the program says so in a
    message box and ends with status 1 once it is closed."""
    wine.set_version("win81")
    try:
        game = subprocess.Popen(["wine", str(prepare(root, "old-windows") / "Pellorin.exe")], env=wine.env(x11.env()),
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until(lambda: x11.windows("Pellorin") or game.poll() is not None, DEADLINE, "the message box")
        env = wine.env(x11.env())
        out = probe(env, "message", "Pellorin")
        window = x11.windows("Pellorin")[0] if x11.windows("Pellorin") else None
        if window:
            subprocess.run(["xdotool", "windowfocus", "--sync", window, "key", "Return"], env=env, check=True)
        try:
            status = game.wait(timeout=DEADLINE)
        except subprocess.TimeoutExpired:
            game.kill()
            status = game.wait()
    finally:
        wine.set_version("win10")
    check(f"text {too_old_message()}" in out.splitlines(), f"on Windows 8.1 the program says: {out.strip()!r}")
    check(status == 1, f"and ends with status 1 once the message is closed (status {status})")


def windows_icon_sizes():
    """The sizes the asset generator writes into the Windows icon."""
    source = (Path(__file__).resolve().parents[2] / "tools/assetgen/artwork.h").read_text()
    return " ".join(re.search(r"WindowsIconSizes\{([^}]*)\}", source).group(1).replace(",", " ").split())


def too_old_message():
    """The words for an older Windows, as the build gives them to the program
    and the installer."""
    source = (Path(__file__).resolve().parents[2] / "src/shell/win32/CMakeLists.txt").read_text()
    return re.search(r'set\(PELLORIN_WINDOWS_TOO_OLD "([^"]*)"\)', source).group(1)


def window_and_menu(x11, wine, root):
    """The window as it opens, its cursors and swaps by mouse, its menu, and
    its ends by the menu and the window manager."""
    game = WineGame(x11, wine, prepare(root, "window"))
    check_frame(x11, game)
    check_icon(game)
    check_cursors(x11, game)
    check_swaps_and_menu(game)
    game.keys(*menu_keys("mnuAvsluta"))
    status = game.wait_end()
    check(status == 0, f'"Avsluta" by Alt+M, A ends the program with status 0 (status {status})')

    game = WineGame(x11, wine, prepare(root, "close"))
    game.click(centre(1, 9))
    subprocess.run(["wmctrl", "-c", "Pellorin"], env=game.env, check=True)
    status = game.wait_end()
    check(status == 0, f"the window manager's close during a swap ends it with status 0 (status {status})")

    game = WineGame(x11, wine, prepare(root, "quit-in-swap"))
    game.click(centre(1, 9))
    game.keys(*menu_keys("mnuAvsluta"))
    status = game.wait_end()
    check(status == 0, f'"Avsluta" during a swap ends it with status 0 (status {status})')


def check_frame(x11, game):
    """The client area's size, a frame that cannot be resized or maximised,
    and its first place, centred on the screen."""
    width_wanted, height_wanted = ARGS.design["clientWidth"], ARGS.design["clientHeight"]
    x, y, width, height = game.geometry()
    check(width == width_wanted and height_wanted < height < height_wanted + 40,
          f"the client area is {width_wanted}x{height_wanted} under the menu bar (X window {width}x{height})")
    hints = x11.properties(game.window, "WM_NORMAL_HINTS")
    check(f"minimum size: {width} by {height}" in hints and f"maximum size: {width} by {height}" in hints,
          "the window manager is told it cannot be resized")
    allowed = x11.properties(game.window, "_NET_WM_ALLOWED_ACTIONS")
    check("CLOSE" in allowed and "MAXIMIZE" not in allowed and "RESIZE" not in allowed,
          "no maximise and no resize offered")
    # A maximise request leaves it as it was: once the manager has granted a
    # later request, it has dealt with this one.
    subprocess.run(["wmctrl", "-i", "-r", game.window, "-b", "add,maximized_vert,maximized_horz"], env=game.env,
                   check=True)
    subprocess.run(["wmctrl", "-i", "-r", game.window, "-b", "add,above"], env=game.env, check=True)
    wait_until(lambda: "_NET_WM_STATE_ABOVE" in x11.properties(game.window, "_NET_WM_STATE"), DEADLINE,
               "the manager's answer to a later request")
    check(game.geometry() == (x, y, width, height) and "MAXIMIZED" not in x11.properties(game.window, "_NET_WM_STATE"),
          "a maximise request leaves the window as it was")
    work = [int(v) for v in x11.root_properties_of("_NET_WORKAREA").split("=")[1].split(",")[:4]]
    check(abs(2 * (x - work[0]) + width - work[2]) <= 1, f"centred across the screen: x {x} of {work[2]}")
    # Windows places the window by its own frame metrics, which differ from
    # the window manager's frame by a few pixels in height.
    extents = [int(v) for v in x11.properties(game.window, "_NET_FRAME_EXTENTS").split("=")[1].split(",")]
    frame_top, frame_height = y - extents[2], height + extents[2] + extents[3]
    check(abs(2 * (frame_top - work[1]) + frame_height - work[3]) <= 40,
          f"centred down the screen, within the difference of frame heights: frame at {frame_top}, {frame_height} tall")
    x11.screenshot(ARGS.screenshot or str(x11.runtime / "wine-first-frame.png"))


def check_cursors(x11, game):
    """Over a gap between two rows, a gap between two columns, a tile and the
    crossing of gaps, the cursor shows what a press there would do."""
    points = {"rows": centre(1, 9), "columns": centre(1, 2), "tile": centre(1), "crossing": centre(1, 2, 9, 10)}
    # Each point shows another cursor than the one before, so that the change
    # is the event waited for.
    cursors, images = {}, {}
    game.screen = Display(x11.display)
    for place in ("rows", "tile", "columns", "crossing"):
        was = game.screen.cursor()[0]
        game.move(*points[place])
        eventually(lambda: game.screen.cursor()[0] != was, 5)
        cursors[place] = game.screen.cursor()[0]
        images[place] = game.screen.cursor()[4]
    # Wine shows the Windows cursors as the X cursors of the same meaning,
    # under whichever of their names the cursor theme has.
    if not any(cursors.values()):  # no cursor theme: Wine's own pictures, told apart by their pixels
        cursors = {place: f"picture {digest}" for place, digest in images.items()}
        distinct = len({images["rows"], images["columns"], images["tile"]}) == 3
        check(distinct and images["tile"] == images["crossing"], f"the cursor shows what a press would do: {cursors}")
        return
    check(cursors["rows"] in ("v_double_arrow", "sb_v_double_arrow", "ns-resize", "size_ver", "row-resize")
          and cursors["columns"] in ("h_double_arrow", "sb_h_double_arrow", "ew-resize", "size_hor", "col-resize")
          and cursors["tile"] == cursors["crossing"]
          in ("not-allowed", "crossed_circle", "circle", "forbidden", "no-drop", "dnd-no-drop"),
          f"the cursor shows what a press would do: {cursors}")


def check_swaps_and_menu(game):
    below, beside = centre(1, 9), centre(1, 2)
    duration = swap(game, 1, 9, below)
    check(duration is not None, f"a press in a gap swaps the pair on screen ({duration or 0:.0f} ms from the click)")
    ARGS.figures["swap seen from outside (ms)"] = duration

    before = game.faces()
    game.click(beside, below)  # the second press comes during the swap
    wait_until(lambda: swapped(game, 1, 2, before) and game.at(*beside) == BLACK, DEADLINE, "the swap")
    check(game.face(9) == before[8], "a press during a swap is ignored")

    before = game.faces()
    game.click(below)
    game.keys(*menu_keys("mnuNytt"))  # a new game during the swap
    check(eventually(lambda: game.faces() != before and game.at(*below) == BLACK, DEADLINE)
          and all(face != BLACK for face in game.faces()), "a new game during a swap deals a fresh board, all home")

    before = game.faces()
    left, top = game.origin()
    game.xdotool("mousemove", left + 12, top - 8, "click", "1")  # "Meny" on the menu bar, as Wine lays it out
    game.xdotool("mousemove", left + 30, top + 12, "click", "1")  # its first item
    check(eventually(lambda: game.faces() != before, DEADLINE), 'the menu\'s "Nytt spel" by mouse deals')


def check_icon(game):
    """The title bar's icon, as Wine hands it to the window manager, is the
    core's icon at 32 pixels, every pixel in its own colour."""
    icons = game.screen.icons(game.window)
    painted = hex_rows(probe(game.env, "icon", 32))
    shown = icons.get((32, 32))
    wrong = [(x, y, shown[y][x], painted[y][x]) for y in range(32) for x in range(32)
             if shown and shown[y][x] != painted[y][x]]
    check(shown is not None and not wrong,
          f"the window's 32x32 icon is the core's icon, red dots red (sizes {sorted(icons)}; "
          f"{len(wrong)} pixels differ{', first ' + str(wrong[0]) if wrong else ''})")
