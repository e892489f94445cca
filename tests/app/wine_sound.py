"""The Windows program's sound under Wine, heard through a private
PulseAudio server's null sink: the shipped cues whole, in every encoding the
encoder writes, and silence without a crash for broken cue files."""

import subprocess
from pathlib import Path

import sound_game
from servers import Pulse, eventually
from wine_support import ARGS, DEADLINE, WineGame, centre, check, menu_keys, prepare, swap


def sounds(x11, wine, root):
    """The cues as heard through the null sink, per encoding."""
    with Pulse() as pulse:
        encoder = Path(ARGS.encoder) if ARGS.encoder else None
        for encoding in ["pcm16"] + (["mulaw", "pcm24", "float", "extensible16"] if encoder else []):
            convert = lambda source, target: subprocess.run([str(encoder), str(source), str(target), encoding],
                                                           check=True)
            cues = None if encoding == "pcm16" else {"Bort.wav": convert, "Swap.wav": convert}
            recording = pulse.record()
            game = WineGame(x11, wine, prepare(root, f"sound-{encoding}", cues), {"PULSE_SERVER": pulse.address})
            deal = sound_game.Step("start-up deal", "Bort", 0)
            heard = eventually(lambda: deal.done(recording), DEADLINE)
            mark = recording.frames()
            swap(game, 1, 9, centre(1, 9))
            step = sound_game.Step("swap", "Swap", mark)
            heard = eventually(lambda: step.done(recording), DEADLINE) and heard
            game.keys(*menu_keys("mnuAvsluta"))
            status = game.wait_end()
            recording.stop()
            ARGS.encodings[encoding] = heard
            if encoding == "pcm16":
                check(heard and status == 0, f"the shipped cues are heard whole through PulseAudio (status {status})")
        print("heard whole under Wine: " + ", ".join(f"{e} {'yes' if h else 'no'}" for e, h in ARGS.encodings.items()))


def broken_cues(x11, wine, root):
    def write(data):
        return lambda source, target: target.write_bytes(data)

    good = (Path(ARGS.program).parent / "Bort.wav").read_bytes()
    variants = {
        "missing": {},
        "empty": {"Bort.wav": write(b""), "Swap.wav": write(b"")},
        "header only": {"Bort.wav": write(good[:44]), "Swap.wav": write(good[:44])},
        "random bytes": {"Bort.wav": write(bytes(range(256)) * 40), "Swap.wav": write(b"RIFF" + bytes(4000))},
        "very large": {"Bort.wav": write(good + bytes(5 * 1024 * 1024)), "Swap.wav": write(good + bytes(5 << 20))},
        "folders": {"Bort.wav": lambda s, t: t.mkdir(), "Swap.wav": lambda s, t: t.mkdir()},
    }
    for name, cues in variants.items():
        game = WineGame(x11, wine, prepare(root, "broken-" + name.replace(" ", "-"), cues))
        duration = swap(game, 1, 9, centre(1, 9))
        game.keys(*menu_keys("mnuAvsluta"))
        status = game.wait_end()
        check(duration is not None and status == 0, f"{name} cue files: silent, the swap ends, status {status}")
