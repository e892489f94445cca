#!/usr/bin/python3
"""A blind player's game of the browser page, heard through Orca 43: the page
in Firefox ESR and in Chromium (not headless, its accessibility forced on),
on the Orca harness's desktop (tests/app/orca.py), with real keys. After
each key, what Orca said is read from its debug log, and what the key did
is read from the screen (tests/app/screenboard.py), never from the page.

The scripted game: an arrow shows the cursor, an arrow at the edge is
refused, arrows go down to a new row and along it to a tile whose swap with
its neighbour completes a line, Shift and an arrow swap the two, Space holds
and Escape lets go, Space and an arrow swap, and the menu's "Nytt spel"
deals anew. Every move's cell must be heard once and no other cell, every
swap with its two colours, the emptied line, the hold and its letting go,
and "Nytt spel"; every key must show on the screen.

    orca_web.py SITE DESIGN_JSON [--engine firefox|chromium ...]
                [--transcript FILE] [--patience SECONDS] [--logs FOLDER]

--patience shortens the wait for words and for the screen, for recording
what a page that fails says (only a hang reaches the default)."""

import argparse
import json
import re
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

from checks import Checks
from orca import DEADLINE, Orca
from screenboard import Screen, cells, place
from servers import end, wait_until

HERE = Path(__file__).resolve().parent
# A seed whose board has one swap that completes a line, so that the game
# hears an emptied line; which swap it is, is read from the screen.
SEED = 17825
# A browser's first start on a loaded machine takes long; only a hang takes
# this long.
BROWSER_START = 120

check = Checks()


def lines(design):
    """Every line of the board as its cells, with its kind's cell pattern."""
    rows, columns = design["board"]["rows"], design["board"]["columns"]
    found = [[r * columns + c + 1 for c in range(columns)] for r in range(rows)]
    found += [[r * columns + c + 1 for r in range(rows)] for c in range(columns)]
    found.append([i * columns + i + 1 for i in range(rows)])
    found.append([(rows - 1 - i) * columns + i + 1 for i in range(rows)])
    return found


def completing_swap(board, design):
    """A pair of neighbours, (cell, neighbour below or right), whose swap
    completes a line, and that line; None when there is none."""
    columns = design["board"]["columns"]
    for a in cells(design):
        for b in (a + 1, a + columns):
            if b not in cells(design) or (b == a + 1 and a % columns == 0):
                continue
            after = list(board.colours)
            after[a - 1], after[b - 1] = after[b - 1], after[a - 1]
            for line in lines(design):
                if len({after[c - 1] for c in line}) == 1 and (a in line or b in line):
                    return a, b, line
    return None


def launch(engine, url, profile, env):
    """The browser, full screen on the page, with a fresh profile."""
    if engine == "chromium":
        # No offer to translate the Swedish page, which Orca would read out.
        (profile / "Default").mkdir()
        (profile / "Default" / "Preferences").write_text(json.dumps({"translate": {"enabled": False}}))
        command = ["chromium", "--no-sandbox", f"--user-data-dir={profile}", "--no-first-run",
                   "--no-default-browser-check", "--force-renderer-accessibility", "--password-store=basic",
                   "--disable-background-networking", "--disable-component-update", "--disable-sync",
                   "--disable-features=Translate,MediaRouter", "--disable-gpu", "--window-size=1000,740", url]
    else:
        (profile / "user.js").write_text("\n".join(f'user_pref("{k}", {json.dumps(v)});' for k, v in {
            "browser.shell.checkDefaultBrowser": False, "browser.aboutwelcome.enabled": False,
            "datareporting.policy.dataSubmissionEnabled": False, "toolkit.telemetry.reportingpolicy.firstRun": False,
            "browser.startup.homepage_override.mstone": "ignore", "app.update.disabledForTesting": True,
            "browser.tabs.warnOnClose": False, "accessibility.force_disabled": 0,
            "datareporting.policy.firstRunURL": "", "startup.homepage_welcome_url": "about:blank",
            "browser.startup.firstrunSkipsHomepage": True, "trailhead.firstrun.didSeeAboutWelcome": True,
            "browser.newtabpage.enabled": False, "browser.startup.page": 0}.items()) + "\n")
        command = ["firefox-esr", "--no-remote", "--new-instance", "--profile", str(profile), "-width", "1000", "-height", "740", url]
    return subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=open(profile / "browser.log", "w"))


class Game:
    """One engine's game under Orca: keys in, words and the screen out."""

    def __init__(self, orca, screen, design, patience, transcript):
        self.orca, self.screen, self.design = orca, screen, design
        self.patience, self.transcript = patience, transcript
        self.colours = design["colours"]
        self.board, _ = screen.settled(timeout=BROWSER_START)

    def words_of(self, cell):
        return self.colours[self.board.colours[cell - 1] - 1]

    def place(self, cell):
        """A cell's row and column, as the words give them."""
        return place(self.design, cell)

    def cells_heard(self, utterances):
        """Every cell an utterance names: "<row>, <word> <column>"."""
        return [(int(r), int(c)) for u in utterances for r, c in re.findall(r"(\d), \w+ (\d)\b", u)]

    def press(self, label, keys, heard, screen, whole=True):
        """Presses keys, waits until Orca says an utterance that heard()
        accepts and the screen shows what screen() accepts (with every tile
        in sight, when whole), and returns the utterances since the key
        (after Orca has settled)."""
        mark = self.orca.mark()
        for key in keys:
            self.orca.key(key)
        try:
            self.orca.wait_spoken(heard, since=mark, timeout=self.patience)
            said = True
        except TimeoutError:
            said = False
        before = self.board
        self.board, shown = self.screen.settled(lambda board: (not whole or all(board.colours)) and screen(before, board),
                                                timeout=self.patience)
        self.orca.settle()
        spoken = self.orca.spoken(mark)
        self.transcript.append(f"{label}: " + " | ".join(spoken))
        check(said, f"{label}: Orca said it ({spoken})")
        check(shown, f"{label}: the screen shows it ({self.board})")
        return spoken

    def move(self, label, key, target):
        spoken = self.press(label, [key], lambda u: self.place(target) in self.cells_heard([u]),
                            lambda _, board: board.cursor == target)
        heard = self.cells_heard(spoken)
        check(heard == [self.place(target)], f"{label}: cell {self.place(target)} heard once and no other: {heard}")
        check(any(self.words_of(target) in u for u in spoken), f"{label}: with its colour {self.words_of(target)}")


def play(orca, engine, url, design, patience, transcript):
    profile = Path(tempfile.mkdtemp(prefix=f"pellorin-{engine}-", dir=orca.runtime))
    browser = launch(engine, f"{url}?seed={SEED}", profile, orca.env())
    try:
        def window():
            if browser.poll() is not None:
                raise RuntimeError(f"{engine} ended with status {browser.returncode}: "
                                   f"{(profile / 'browser.log').read_text()[-2000:]}")
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "Pellorin"], env=orca.x11.env(),
                                   capture_output=True, text=True).stdout.split()
            return found[0] if found else None
        wait_until(window, BROWSER_START, f"{engine}'s window")
        orca.activate(window())
        screen = Screen(orca.x11.env(), design)
        game = Game(orca, screen, design, patience, transcript)
        check(game.board is not None, f"{engine}: the board shows ({game.board})")
        if game.board is None:
            return
        orca.settle()
        transcript.append("load: " + " | ".join(orca.spoken()))
        plan = completing_swap(game.board, design)
        check(plan is not None, f"seed {SEED} deals a board where one swap completes a line")
        a, b, line = plan
        row, column = place(design, a)
        columns = design["board"]["columns"]
        check(row > 1 and column > 1, f"the swap's tile {a} lies off the first row and column")

        game.move("first arrow shows the cursor", "Right", 1)
        game.move("arrow at the edge", "Left", 1)
        cell = 1
        for _ in range(row - 1):
            cell += columns
            game.move(f"down to row {place(design, cell)[0]}", "Down", cell)
        for _ in range(column - 1):
            cell += 1
            game.move(f"right to column {place(design, cell)[1]}", "Right", cell)

        first, second = game.words_of(a), game.words_of(b)
        kind = lines(design).index(line)
        # Rows come first, then columns, then the two diagonals, which have
        # no number.
        number = str(kind % columns + 1) if kind < design["board"]["rows"] + columns else None
        swapped = lambda u: re.search(rf"\b{first}\b.*\b{second}\b", u) is not None and (
            number is None or re.search(rf"\b{number}\s*$", u) is not None)
        other = b if b not in line else a
        was = game.board.colours[a - 1] if other == b else game.board.colours[b - 1]
        spoken = game.press("Shift+arrow swap, a line emptied", ["shift+Down" if b == a + columns else "shift+Right"], swapped,
                            lambda _, board: board.colours[other - 1] == was)
        check(any(swapped(u) for u in spoken), f"the swap of {first} and {second} heard with the line {number}")
        cell = game.board.cursor or cell

        r, c = place(design, cell)
        colour = game.words_of(cell)
        spoken = game.press("Space holds", ["space"], lambda u: re.search(rf"\b{r}, \w+ {c}: {colour}", u),
                            lambda _, board: board.held and board.cursor == cell)
        spoken = game.press("Escape lets go", ["Escape"],
                            lambda u: re.search(rf"\b{r}, \w+ {c}\s*$", u), lambda _, board: not board.held)
        game.press("Space holds again", ["space"], lambda u: re.search(rf"\b{r}, \w+ {c}: {colour}", u),
                   lambda _, board: board.held)
        left = cell - 1
        first, second = game.words_of(left), game.words_of(cell)
        pair = (game.board.colours[left - 1], game.board.colours[cell - 1])
        game.press("held tile and an arrow swap", ["Left"], lambda u: re.search(rf"\b{second}\b.*\b{first}\b", u)
                   or re.search(rf"\b{first}\b.*\b{second}\b", u),
                   lambda _, board: not board.held and (board.colours[left - 1], board.colours[cell - 1]) == pair[::-1])

        menu = next(item for item in design["menuItems"] if item["name"] == "mnuNytt")
        before = game.board.colours
        # The menu opens on its first item, which the player hears before
        # choosing, presented as an object; the new game is then said in the
        # item's very words by the status region. The open menu hides the
        # tiles under it, and changes no other.
        game.press("Alt+M opens the menu", [f"alt+{design['menu']['accessKey']}"],
                   lambda u: u != menu["label"] and menu["label"] in u,
                   lambda _, board: 0 in board.colours and all(c in (0, b) for c, b in zip(board.colours, before)),
                   whole=False)
        game.press("N: Nytt spel", [menu["accessKey"]], lambda u: u == menu["label"],
                   lambda _, board: board.colours != before)
        target = game.board.cursor + 1 if game.board.cursor % columns else game.board.cursor - 1
        game.move("an arrow on the new board", "Right" if target > game.board.cursor else "Left", target)
    finally:
        end(browser, timeout=20)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("site")
    parser.add_argument("design")
    parser.add_argument("--engine", action="append", choices=["firefox", "chromium"])
    parser.add_argument("--transcript")
    parser.add_argument("--patience", type=float, default=DEADLINE)
    parser.add_argument("--logs", help="a folder to keep Orca's debug log of each engine in")
    args = parser.parse_args()
    design = json.loads(Path(args.design).read_text())
    server = subprocess.Popen([sys.executable, str(HERE.parent.parent / "tools" / "serve-web"), args.site],
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    transcripts = []
    try:
        url = server.stdout.readline().strip()
        for engine in args.engine or ["firefox", "chromium"]:
            transcript = [f"== {engine}"]
            with Orca() as orca:
                try:
                    play(orca, engine, url, design, args.patience, transcript)
                finally:
                    if args.logs:
                        shutil.copy(orca.log, Path(args.logs) / f"orca-{engine}.log")
            transcripts += transcript
    finally:
        server.terminate()
        server.wait()
    print("\n".join(transcripts))
    if args.transcript:
        Path(args.transcript).write_text("\n".join(transcripts) + "\n")
    return check.status()


if __name__ == "__main__":
    sys.exit(main())
