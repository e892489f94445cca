"""The Windows program when Windows refuses it something during the game,
under Wine: a timer that will not start (the program's test switch refuses
the first starts, as Windows would) is tried again, and refused for good it
ends the game with a message; meanwhile the board's MSAA object, held by a
client, answers that it is gone."""

import subprocess

from servers import wait_until
from wine_support import DEADLINE, ProbeSession, WindowGone, WineGame, centre, check, menu_keys, prepare, probe, swap

REFUSALS = "PELLORIN_REFUSE_TIMERS"
CO_E_OBJNOTCONNECTED = "800401fd"


def timer_failures(x11, wine, root):
    game = WineGame(x11, wine, prepare(root, "timer-retried"), {REFUSALS: "1"})
    try:
        duration = swap(game, 1, 9, centre(1, 9))
        game.keys(*menu_keys("mnuAvsluta"))
    except WindowGone:
        duration = None
        close_message(game)
    status = game.wait_end()
    check(duration is not None and status == 0,
          f"a timer that Windows refused once is started again: the swap plays (status {status})")

    game = WineGame(x11, wine, prepare(root, "timer-refused"), {REFUSALS: "1000"})
    held = ProbeSession(game, "msaa-live", "ready")
    game.click(centre(1, 9))
    shown = {}
    wait_until(lambda: shown.update(text=probe(game.env, "message", "Pellorin").strip()) or shown["text"], DEADLINE,
               "the message")
    running = game.process.poll() is None
    held.send("ask")
    answers = {line.split()[1]: line.split()[-1] for line in held.rest() if line.startswith("after ")}
    close_message(game)
    status = game.wait_end()
    check(shown["text"].startswith("text ") and status == 1,
          f"a timer refused for good ends the game with a message and status 1: {shown['text']!r}, status {status}")
    gone = {name for name, code in answers.items() if code == CO_E_OBJNOTCONNECTED}
    check(held.first.startswith("ready ok") and running and len(answers) > 10 and gone == set(answers),
          f"MSAA: while the program still runs, its board's object, the window gone, answers CO_E_OBJNOTCONNECTED "
          f"to every question ({held.first!r}; not so: {sorted(set(answers) - gone)})")


def close_message(game):
    """Closes the program's message box, as a player does with Return."""
    wait_until(lambda: probe(game.env, "message", "Pellorin").strip() or game.process.poll() is not None, DEADLINE,
               "the message")
    for box in game.x11.windows("Pellorin"):
        subprocess.run(["xdotool", "windowfocus", "--sync", box, "key", "Return"], env=game.env)
