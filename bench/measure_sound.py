#!/usr/bin/env python3
"""Sound figures through a private PulseAudio null sink: how long a cue
request holds up the game (per encoding, first and repeated, from
pellorin_sound_bench run against the server), and how long after the press
the swap cue is heard, beside paplay's own start-up for the same file.

    measure_sound.py SOUND_BENCH SCRIPTED_GAME DESIGN [RUNS]"""

import statistics
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "app"))
from servers import X11, Pulse  # noqa: E402
import sound_game  # noqa: E402
from design import read_design  # noqa: E402


def onsets_of_game(x11, pulse, program, design, runs):
    import shutil
    import tempfile
    onsets = []
    with tempfile.TemporaryDirectory() as scratch:
        folder = Path(scratch)
        shutil.copy(program, folder / "pellorin-scripted")
        for cue in ("Bort.wav", "Swap.wav"):
            shutil.copy(sound_game.SOUNDS / cue, folder / cue)
        for _ in range(runs):
            recording, game, steps, _, _ = sound_game.play(x11, pulse, folder, design)
            rows = sound_game.analyse(recording, game, steps)
            onsets += [row[5] for row in rows if row[0].startswith("swap") and row[5] is not None]
    return onsets


def onsets_of_paplay(pulse, runs):
    onsets = []
    for _ in range(runs):
        recording = pulse.record()
        time.sleep(0.3)
        started = time.monotonic()
        subprocess.run(["paplay", str(sound_game.SOUNDS / "Swap.wav")], env=pulse.env(), check=True)
        time.sleep(0.2)
        recording.stop()
        left = [l for l, _ in recording.samples()]
        first = next(i for i, x in enumerate(left) if abs(x) > 1e-3)
        onsets.append((recording.moment(first) - started) * 1000)
    return onsets


def main():
    bench, program, design = sys.argv[1], sys.argv[2], read_design(sys.argv[3])
    runs = int(sys.argv[4]) if len(sys.argv) > 4 else 3
    with X11() as x11, Pulse() as pulse:
        print("Cue requests with a PulseAudio output (a sink is opened for each):")
        subprocess.run([bench, "--benchmark_filter=SoundRequestByEncoding"], env=pulse.env(), check=True)
        game = onsets_of_game(x11, pulse, program, design, runs)
        paplay = onsets_of_paplay(pulse, 10)
    print()
    for name, values in (("swap cue after the press (ms)", game), ("paplay Swap.wav after its start (ms)", paplay)):
        print(f"{name:40} median {statistics.median(values):6.1f}   range {min(values):.1f} to {max(values):.1f}   n={len(values)}")


if __name__ == "__main__":
    main()
