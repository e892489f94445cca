#!/usr/bin/env python3
"""Writes the fuzzers' seed inputs: small cue files in every WAV encoding the
game reads, cut short and with headers that lie, and a few event sequences.

    make_seeds.py OUTDIR     writes OUTDIR/cue/*.wav and OUTDIR/events/*
"""
import math
import random
import struct
import sys
from pathlib import Path

RATE = 8000


def chunk(tag, body):
    return tag + struct.pack('<I', len(body)) + body + (b'\0' if len(body) % 2 else b'')


def riff(*chunks, tag=b'RIFF', size=None):
    body = b'WAVE' + b''.join(chunks)
    return tag + struct.pack('<I', len(body) if size is None else size) + body


def fmt(code, channels, bits, rate=RATE, extra=b'', block=None):
    block = block if block is not None else channels * bits // 8
    return chunk(b'fmt ', struct.pack('<HHIIHH', code, channels, rate, rate * block, block, bits) + extra)


def tone(frames=160):
    return [math.sin(2 * math.pi * 440 * i / RATE) for i in range(frames)]


def pcm(bits, channels=1, frames=160):
    out = bytearray()
    for x in tone(frames):
        for _ in range(channels):
            if bits == 8:
                out += struct.pack('<B', int(128 + 127 * x))
            else:
                out += int(x * (2 ** (bits - 1) - 1)).to_bytes(bits // 8, 'little', signed=True)
    return bytes(out)


def mulaw(x):
    sign = 0x80 if x < 0 else 0
    magnitude = min(int(abs(x) * 32635) + 132, 32767)
    exponent = max(0, magnitude.bit_length() - 8)
    return ~(sign | exponent << 4 | (magnitude >> (exponent + 3)) & 0x0F) & 0xFF


def extensible(channels, bits, subformat):
    guid = struct.pack('<H', subformat) + bytes.fromhex('000000001000800000aa00389b71')
    return fmt(0xFFFE, channels, bits, extra=struct.pack('<HHI', 22, bits, 0) + guid)


def cues():
    good16 = riff(fmt(1, 1, 16), chunk(b'data', pcm(16)))
    floats = struct.pack('<160f', *tone()) + struct.pack('<3f', math.inf, -math.inf, math.nan)
    ima = struct.pack('<hBB', 0, 0, 0) + bytes(random.Random(7).randrange(256) for _ in range(252))
    yield 'pcm8', riff(fmt(1, 1, 8), chunk(b'data', pcm(8)))
    yield 'pcm16', good16
    yield 'pcm24-stereo', riff(fmt(1, 2, 24), chunk(b'data', pcm(24, 2)))
    yield 'pcm32', riff(fmt(1, 1, 32), chunk(b'data', pcm(32)))
    yield 'float32', riff(fmt(3, 1, 32), chunk(b'fact', struct.pack('<I', 163)), chunk(b'data', floats))
    yield 'float64', riff(fmt(3, 1, 64), chunk(b'data', struct.pack('<160d', *tone())))
    yield 'mulaw', riff(fmt(7, 1, 8), chunk(b'data', bytes(mulaw(x) for x in tone())))
    yield 'alaw', riff(fmt(6, 1, 8), chunk(b'data', bytes(0x55 ^ int(64 + 63 * x) for x in tone())))
    yield 'ima-adpcm', riff(fmt(0x11, 1, 4, block=256, extra=struct.pack('<HH', 2, 505)),
                            chunk(b'fact', struct.pack('<I', 505)), chunk(b'data', ima))
    yield 'extensible-pcm-3ch', riff(extensible(3, 16, 1), chunk(b'data', pcm(16, 3)))
    yield 'extensible-float', riff(extensible(1, 32, 3), chunk(b'data', struct.pack('<160f', *tone())))
    yield 'rf64', riff(chunk(b'ds64', struct.pack('<QQQI', 0, 320, 160, 0)), fmt(1, 1, 16),
                       chunk(b'data', pcm(16)), tag=b'RF64', size=0xFFFFFFFF)
    yield 'list-before-data', riff(fmt(1, 1, 16), chunk(b'LIST', b'INFOISFT' + struct.pack('<I', 3) + b'ab\0'),
                                   chunk(b'data', pcm(16)))
    # Cut short: inside the data, inside the format, right after the magic.
    yield 'cut-in-data', good16[:len(good16) // 2]
    yield 'cut-in-fmt', good16[:30]
    yield 'magic-only', b'RIFF'
    # Headers that lie.
    yield 'data-longer-than-file', riff(fmt(1, 1, 16), b'data' + struct.pack('<I', 1 << 30) + pcm(16))
    yield 'riff-size-wrong', riff(fmt(1, 1, 16), chunk(b'data', pcm(16)), size=12)
    yield 'no-channels', riff(fmt(1, 0, 16, block=2), chunk(b'data', pcm(16)))
    yield 'many-channels', riff(fmt(1, 1000, 16, block=2), chunk(b'data', pcm(16)))
    yield 'no-rate', riff(fmt(1, 1, 16, rate=0), chunk(b'data', pcm(16)))
    yield 'odd-bits', riff(fmt(1, 1, 13, block=2), chunk(b'data', pcm(16)))
    yield 'fmt-size-huge', riff(b'fmt ' + struct.pack('<I', 1 << 28) + fmt(1, 1, 16)[8:], chunk(b'data', pcm(16)))
    yield 'data-before-fmt', riff(chunk(b'data', pcm(16)), fmt(1, 1, 16))
    yield 'empty-data', riff(fmt(1, 1, 16), chunk(b'data', b''))
    # Not of the WAV family at all: a small AIFF file.
    comm = struct.pack('>hIh', 1, 160, 16) + bytes.fromhex('400BFA00000000000000')
    ssnd = struct.pack('>II', 0, 0) + pcm(16)[::-1]
    body = b'AIFF' + b'COMM' + struct.pack('>I', len(comm)) + comm + b'SSND' + struct.pack('>I', len(ssnd)) + ssnd
    yield 'aiff', b'FORM' + struct.pack('>I', len(body)) + body


def events():
    generator = random.Random(20261208)
    for n in (16, 64, 256, 1024, 4096):
        yield f'random-{n}', bytes(generator.randrange(256) for _ in range(n))


def main():
    out = Path(sys.argv[1])
    for folder, inputs in (('cue', cues()), ('events', events())):
        (out / folder).mkdir(parents=True, exist_ok=True)
        for name, data in inputs:
            (out / folder / name).write_bytes(data)


if __name__ == '__main__':
    main()
