#!/usr/bin/env python3
"""The sound a player hears: the real program (with a known board) in an X
display, playing through a private PulseAudio server whose only sink is a
null sink, whose monitor is recorded. Played: the start-up deal, two swaps, a
third swap that completes column 1 (eight clear requests in one tick), and a
new game; each step waits until its cue has been heard. Each step's last cue
must arrive whole, judged by its energy against the cue file's (the server
may resample, so no sample is compared), and nothing may play twice: before
it only cut-off fragments of earlier requests. How many of the eight clear
requests reach the server as streams depends on the machine; what is heard
does not. No stream stays open once the cues have played.

Run once per encoding of the cue files: the shipped 16-bit PCM, and files
the test writes in mu-law, 24-bit PCM, 32-bit float and
WAVE_FORMAT_EXTENSIBLE.

    sound_game.py SCRIPTED_PROGRAM ENCODE_TOOL DESIGN [--encodings a,b,...] [--table]"""

import argparse
import array
import subprocess
import sys
import tempfile
import wave
from pathlib import Path

from design import read_design
from player import Player, copy_program
from servers import X11, Pulse, eventually, wait_until

ENCODINGS = ["pcm16", "mulaw", "pcm24", "float", "extensible16", "extensible24"]
SOUNDS = Path(__file__).resolve().parents[2] / "assets" / "sounds"
DEADLINE = 20  # seconds; only a hang waits this long for a cue


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
        samples = array.array("h", w.readframes(w.getnframes()))
        return sum((s / 32768.0) ** 2 for s in samples), w.getframerate(), len(samples) / w.getframerate()


CUES = {name: cue_energy(SOUNDS / f"{name}.wav") for name in ("Bort", "Swap")}


def segments(samples, rate):
    """(first, last) frames of each stretch of sound, in 5 ms windows; quiet
    of less than 40 ms inside a cue does not split it, and a stretch counts
    only once 40 ms of quiet have followed it."""
    window = rate // 200
    loud = []
    for start in range(0, len(samples) - window, window):
        energy = sum(samples[i] * samples[i] for i in range(start, start + window)) / window
        loud.append(energy > 1e-6)  # about -60 dBFS
    found, run_start, quiet = [], None, 0
    for i, is_loud in enumerate(loud):
        if is_loud:
            run_start = i if run_start is None else run_start
            quiet = 0
        elif run_start is not None:
            quiet += 1
            if quiet >= 8:
                found.append((run_start * window, (i - quiet + 1) * window))
                run_start, quiet = None, 0
    return found


def judge(samples, first, last, cue):
    """The energy heard in a stretch against the cue file's, and its length
    against the file's; whole when both match."""
    energy, rate, seconds = CUES[cue]
    margin = Pulse.RATE // 50
    heard = sum(x * x for x in samples[max(0, first - margin):last + margin])
    ratio = heard / (energy * Pulse.RATE / rate)
    length = (last - first) / Pulse.RATE
    return ratio, length, 0.9 <= ratio <= 1.25 and abs(length - seconds) < 0.06


class Step:
    """One thing the player does and the cue it must bring, heard from the
    recording's frame start on."""

    def __init__(self, what, cue, start, moment=None):
        self.what, self.cue, self.start, self.moment = what, cue, start, moment

    def heard(self, recording, end=None):
        samples = recording.left(self.start, end)
        return samples, segments(samples, Pulse.RATE)

    def done(self, recording):
        """Whether a whole cue has been heard, and quiet after it."""
        samples, found = self.heard(recording)
        return any(judge(samples, first, last, self.cue)[2] for first, last in found)


def play(x11, pulse, folder, design):
    """Plays the session; returns the recording, the game, its steps, the
    streams open once it was idle and its exit status."""
    recording = pulse.record()
    game = Player(x11, folder / "pellorin-scripted", design, [board()], env={"PULSE_SERVER": pulse.address})
    steps = []

    def step(what, cue, start, moment=None):
        steps.append(Step(what, cue, start, moment))
        if not eventually(lambda: steps[-1].done(recording), DEADLINE):
            print(f"{what}: no whole {cue} cue heard within {DEADLINE} s")

    step("start-up deal", "Bort", 0)
    gaps = [game.gap(4, 4, down=True), game.gap(4, 4), game.gap(2, 1)]
    for number, (x, y) in enumerate(gaps, start=1):
        ended = game.count("swap-end")
        mark = recording.frames()
        game.click(x, y)
        game.wait_for("swap-end", ended + 1)
        if number < 3:
            step(f"swap {number}", "Swap", mark, "press")
        else:
            # The swap's cue is over before its end; the clear comes with it.
            steps.append(Step("swap 3", "Swap", mark, "press"))
            step("line clear", "Bort", recording.frame_at(game.last("swap-end")))
    mark = recording.frames()
    game.new_game()
    step("new game", "Bort", mark)
    eventually(lambda: pulse.streams() == 0, DEADLINE)
    streams = pulse.streams()
    subprocess.run(["wmctrl", "-c", "Pellorin"], env=x11.env(), check=True)
    status = game.wait_end()
    recording.stop()
    return recording, game, steps, streams, status


def analyse(recording, game, steps):
    """A row per step: what, cue, energy ratio and length of the last cue
    heard, the cue file's length, the onset after the step's moment, and
    what went wrong."""
    rows = []
    for index, step in enumerate(steps):
        end = steps[index + 1].start if index + 1 < len(steps) else None
        samples, found = step.heard(recording, end)
        seconds = CUES[step.cue][2]
        if not found:
            rows.append((step.what, step.cue, 0.0, 0.0, seconds, None, "nothing heard"))
            continue
        judged = [judge(samples, first, last, step.cue) for first, last in found]
        ratio, length, whole = judged[-1]
        wrong = []
        if not whole:
            wrong.append("NOT WHOLE")
        if any(earlier[2] for earlier in judged[:-1]):
            wrong.append("PLAYED TWICE")
        onset = None
        if step.moment:
            # From the last such moment of the game before the cue was heard;
            # the cue starts at its first sample above -60 dBFS.
            first, last = found[-1]
            begin = next(i for i in range(first, last) if abs(samples[i]) > 1e-3)
            heard_at = recording.moment(step.start + begin)
            before = [t for n, t in game.moments if n == step.moment and t <= heard_at + 0.05]
            if before:
                onset = (heard_at - before[-1]) * 1000
        fragments = f" after {len(found) - 1} cut-off" if len(found) > 1 else ""
        rows.append((step.what, step.cue, ratio, length, seconds, onset, " ".join(wrong) + fragments))
    return rows


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("encoder")
    parser.add_argument("design")
    parser.add_argument("--encodings", default=",".join(ENCODINGS))
    args = parser.parse_args()
    failed = False
    with X11() as x11, Pulse() as pulse, tempfile.TemporaryDirectory() as scratch:
        print(f"{'cue files':14} {'step':13} {'energy':>7} {'length':>13} {'onset':>9}")
        for encoding in args.encodings.split(","):
            folder = Path(scratch) / encoding
            folder.mkdir()
            copy_program(args.program, folder, "pellorin-scripted")
            for cue in ("Bort.wav", "Swap.wav"):
                subprocess.run([args.encoder, str(SOUNDS / cue), str(folder / cue), encoding], check=True)
            recording, game, steps, streams, status = play(x11, pulse, folder, read_design(args.design))
            for what, name, ratio, length, expected, onset, wrong in analyse(recording, game, steps):
                failed |= "NOT" in wrong or "TWICE" in wrong or "nothing" in wrong
                print(f"{encoding:14} {what:13} {ratio * 100:6.1f}% {length * 1000:5.0f}/{expected * 1000:3.0f} ms "
                      f"{'' if onset is None else f'{onset:6.1f} ms':>9}   {wrong}")
            if streams or status != 0:
                print(f"{encoding:14} {streams} streams open while idle; exit status {status}")
                failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
