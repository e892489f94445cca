#!/usr/bin/env python3
"""The sound a player hears: the real program (with a known board) in an X
display, playing through a private PulseAudio server whose only sink is a
null sink, whose monitor is recorded. Played: the start-up deal, two swaps, a
third swap that completes column 1 (eight clear requests in one tick, of
which the last must be heard whole), and a new game. From the recording,
each cue must arrive whole, judged by its energy against the cue file's (the
server may resample, so no sample is compared), in the right order; and no
stream stays open once the cues have played.

Run once per encoding of the cue files: the shipped 16-bit PCM, and files
the test writes in mu-law, 24-bit PCM, 32-bit float and
WAVE_FORMAT_EXTENSIBLE.

    sound_game.py SCRIPTED_PROGRAM ENCODE_TOOL [--encodings a,b,...] [--table]"""

import argparse
import math
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import wave
from pathlib import Path

from servers import X11, Pulse, wait_until

ENCODINGS = ["pcm16", "mulaw", "pcm24", "float", "extensible16", "extensible24"]
SOUNDS = Path(__file__).resolve().parents[2] / "assets" / "sounds"
# The expected cues in order, with the moment each is measured from.
EXPECTED = [("Bort", "start-up deal", None), ("Swap", "swap 1", "press"), ("Swap", "swap 2", "press"),
            ("Swap", "swap 3", "press"), ("Bort", "line clear", None), ("Bort", "new game", None)]


def board():
    """No line anywhere, but column 1 is all colour 1 save ball 9, and ball
    10 beside it has colour 1: swapping balls 9 and 10 completes column 1."""
    colours = [(row + 2 * column) % 6 + 1 for row in range(1, 9) for column in range(1, 9)]
    for row in range(8):
        colours[row * 8] = 1
    colours[8], colours[9] = 2, 1
    return "".join(map(str, colours))


def cue_energy(path):
    """Sum of squared samples of a 16-bit mono file, and its rate and length."""
    with wave.open(str(path)) as w:
        frames = w.readframes(w.getnframes())
        import array
        samples = array.array("h", frames)
        return sum((s / 32768.0) ** 2 for s in samples), w.getframerate(), len(samples) / w.getframerate()


class Game:
    """The program, with the moments it reports read as they come."""

    def __init__(self, program, env):
        self.process = subprocess.Popen([str(program), board()], env={**env, "PELLORIN_MEASURE": "1"},
                                        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        self.moments = []
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        for line in self.process.stderr:
            parts = line.split()
            if len(parts) == 2 and parts[1].isdigit():
                self.moments.append((parts[0], int(parts[1]) / 1e9))

    def last(self, what):
        return [t for name, t in self.moments if name == what][-1]


def play(x11, pulse, folder):
    """Plays the session; returns the recording and the game's moments."""
    recording = pulse.record()
    game = Game(folder / "pellorin-scripted", {**x11.env(), "PULSE_SERVER": pulse.address})
    wait_until(lambda: x11.windows("Pellorin"), 10, "the window")
    window = x11.windows("Pellorin")[0]
    # The board lies below the menu bar, at the bottom of the window.
    height = int(subprocess.run(["xdotool", "getwindowgeometry", "--shell", window], env=x11.env(),
                                capture_output=True, text=True).stdout.split("HEIGHT=")[1].split()[0])
    time.sleep(1.0)
    for x, y in [(184, 208), (208, 184), (64, 88)]:
        subprocess.run(["xdotool", "mousemove", "--window", window, str(x), str(height - 413 + y), "click", "1"],
                       env=x11.env(), check=True)
        time.sleep(1.0)
    subprocess.run(["xdotool", "windowfocus", "--sync", window, "key", "alt+m"], env=x11.env(), check=True)
    time.sleep(0.3)
    subprocess.run(["xdotool", "key", "n"], env=x11.env(), check=True)
    time.sleep(1.0)
    streams = pulse.streams()
    subprocess.run(["wmctrl", "-c", "Pellorin"], env=x11.env(), check=True)
    status = game.process.wait(timeout=10)
    game.reader.join()
    recording.stop()
    return recording, game, streams, status


def segments(samples, rate):
    """(first, last) frames of each stretch of sound, in 5 ms windows; quiet
    of less than 40 ms inside a cue does not split it."""
    window = rate // 200
    loud = []
    for start in range(0, len(samples) - window, window):
        energy = sum(samples[i] * samples[i] for i in range(start, start + window)) / window
        loud.append(energy > 1e-6)  # about -60 dBFS
    found, run_start, quiet = [], None, 0
    for i, is_loud in enumerate(loud + [False] * 9):
        if is_loud:
            run_start = i if run_start is None else run_start
            quiet = 0
        elif run_start is not None:
            quiet += 1
            if quiet >= 8:
                found.append((run_start * window, (i - quiet + 1) * window))
                run_start, quiet = None, 0
    return found


def analyse(recording, game):
    left = [l for l, _ in recording.samples()]
    expected = {name: cue_energy(SOUNDS / f"{name}.wav") for name in ("Bort", "Swap")}
    found = segments(left, Pulse.RATE)
    rows = []
    for (name, what, moment), (first, last) in zip(EXPECTED, found):
        energy, rate, seconds = expected[name]
        margin = Pulse.RATE // 50
        heard = sum(x * x for x in left[max(0, first - margin):last + margin])
        ratio = heard / (energy * Pulse.RATE / rate)
        onset = None
        if moment:
            # From the last such moment of the game before the cue was heard;
            # the cue starts at its first sample above -60 dBFS.
            start = next(i for i in range(first, last) if abs(left[i]) > 1e-3)
            heard_at = recording.moment(start)
            before = [t for n, t in game.moments if n == moment and t <= heard_at + 0.05]
            if before:
                onset = (heard_at - before[-1]) * 1000
        rows.append((what, name, ratio, (last - first) / Pulse.RATE, seconds, onset))
    return rows, len(found)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("encoder")
    parser.add_argument("--encodings", default=",".join(ENCODINGS))
    args = parser.parse_args()
    failed = False
    with X11() as x11, Pulse() as pulse, tempfile.TemporaryDirectory() as scratch:
        print(f"{'cue files':14} {'cue':13} {'energy':>7} {'length':>13} {'onset':>9}")
        for encoding in args.encodings.split(","):
            folder = Path(scratch) / encoding
            folder.mkdir()
            shutil.copy(args.program, folder / "pellorin-scripted")
            for cue in ("Bort.wav", "Swap.wav"):
                subprocess.run([args.encoder, str(SOUNDS / cue), str(folder / cue), encoding], check=True)
            recording, game, streams, status = play(x11, pulse, folder)
            rows, count = analyse(recording, game)
            for what, name, ratio, seconds, expected, onset in rows:
                whole = 0.9 <= ratio <= 1.25 and abs(seconds - expected) < 0.06
                failed |= not whole
                print(f"{encoding:14} {what:13} {ratio * 100:6.1f}% {seconds * 1000:5.0f}/{expected * 1000:3.0f} ms "
                      f"{'' if onset is None else f'{onset:6.1f} ms':>9}{'' if whole else '   NOT WHOLE'}")
            if count != len(EXPECTED):
                print(f"{encoding:14} heard {count} cues, not {len(EXPECTED)}")
                failed = True
            if streams or status != 0:
                print(f"{encoding:14} {streams} streams open while idle; exit status {status}")
                failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
