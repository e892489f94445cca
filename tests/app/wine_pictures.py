"""The Windows program's pictures under Wine: the core's tiles on whole
device pixels at 100 to 200 %, with and without symbols."""

from servers import X11
from wine_support import ARGS, WineGame, board, centre, check, menu_keys, prepare, swap


def high_density(_, wine, root):
    with X11(size="1280x720") as x11:
        for dpi in (120, 144):
            fractional_dpi(x11, wine, root, dpi)
    # A screen large enough for the window at 200 %.
    with X11(size="1280x1024") as x11:
        dpi_200(x11, wine, root)


def fractional_dpi(x11, wine, root, dpi):
    """At 125 % and 150 % the client area is the design's times the scale,
    rounded, and a swap plays. (Where the window first opens, the window
    manager decides here: the shell's own rule is tested in the core's suite
    for Windows.)"""
    scale = dpi / 96
    wine.set_dpi(dpi)
    try:
        game = WineGame(x11, wine, prepare(root, f"dpi-{dpi}"), scale=scale)
        client = tuple(map(int, game.probe("client")["client"]))
        crisp = all(game.crisp(k) for k in (1, 10, 64))
        duration = swap(game, 1, 9, centre(1, 9))
        game.keys(*menu_keys("mnuAvsluta"))
        status = game.wait_end()
    finally:
        wine.set_dpi(96)
    wanted = (game.device(ARGS.design["clientWidth"]), game.device(ARGS.design["clientHeight"]))
    check(client == wanted, f"at {dpi} DPI the client area is {wanted[0]}x{wanted[1]} ({client[0]}x{client[1]})")
    check(crisp, f"at {dpi} DPI the tiles are the painter's at {game.device(board()['tileSize'])} pixels, every edge crisp")
    check(duration is not None and status == 0, f"at {dpi} DPI a swap plays ({duration or 0:.0f} ms), status {status}")


def dpi_200(x11, wine, root):
    wine.set_dpi(192)
    try:
        game = WineGame(x11, wine, prepare(root, "dpi-192"), scale=2)
        _, _, width, height = game.geometry()
        crisp = all(game.crisp(k) for k in (1, 10, 64))
        game.keys(*menu_keys("mnuAvsluta"))
        game.wait_end()
    finally:
        wine.set_dpi(96)
    wanted = game.device(ARGS.design["clientWidth"])
    check(width == wanted and height > game.device(ARGS.design["clientHeight"]) and crisp,
          f"at 192 DPI the client area is {wanted} wide and the tiles are the painter's at "
          f"{game.device(board()['tileSize'])} pixels ({width}x{height})")


def symbols(x11, wine, root):
    option = "--" + ARGS.design["symbols"]
    game = WineGame(x11, wine, prepare(root, "symbols"), options=[option])
    marked = all(game.crisp(k, "symbols") for k in (1, 2, 3))
    game.keys(*menu_keys("mnuAvsluta"))
    status = game.wait_end()
    check(marked and status == 0, f"{option} shows the painter's tiles with symbols")
