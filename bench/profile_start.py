#!/usr/bin/env python3
"""Where a program's start-up goes: perf samples (cpu-clock, as hardware
counters may be missing) of several starts from exec to the first painted
frame, added up by shared object and by symbol. The program reports the
moment as "first-paint NANOSECONDS" on its error output (pellorin-scripted
always, the floor with PELLORIN_MEASURE set) and is ended there.

    profile_start.py PROGRAM [--runs N] [--top N]"""

import argparse
import collections
import os
import subprocess
import sys
import tempfile
from pathlib import Path


def record(program, data):
    """One start under perf, until the first frame is reported."""
    env = dict(os.environ, PELLORIN_MEASURE="1")
    perf = subprocess.Popen(["perf", "record", "-q", "-e", "cpu-clock", "-F", "20000", "-o", str(data), "--",
                             program], env=env, stderr=subprocess.PIPE, text=True)
    for line in perf.stderr:
        if line.startswith("first-paint "):
            break
    else:
        raise RuntimeError(f"{program} ended before its first frame")
    # The program is perf's child: ending it ends the recording.
    children = Path(f"/proc/{perf.pid}/task/{perf.pid}/children").read_text().split()
    for child in children:
        os.kill(int(child), 15)
    perf.stderr.close()
    perf.wait()


def samples(data, key):
    """Samples per dso or symbol in one recording."""
    report = subprocess.run(["perf", "report", "-i", str(data), "--stdio", "-q", "--sort", key, "-F",
                             f"sample,{key}"], capture_output=True, text=True, check=True).stdout
    counts = collections.Counter()
    for line in report.splitlines():
        parts = line.split()
        if len(parts) >= 2 and parts[0].isdigit():
            # perf pads columns to their widest entry, and ends a line with
            # "-" for fields it has no value for.
            while parts[-1] == "-":
                parts.pop()
            counts[" ".join(parts[1:])] += int(parts[0])
    return counts


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("--runs", type=int, default=10)
    parser.add_argument("--top", type=int, default=15)
    args = parser.parse_args()
    by_dso, by_symbol = collections.Counter(), collections.Counter()
    with tempfile.TemporaryDirectory() as folder:
        for run in range(args.runs):
            data = Path(folder) / f"run{run}.data"
            record(args.program, data)
            by_dso += samples(data, "dso")
            by_symbol += samples(data, "dso,symbol")
    total = sum(by_dso.values())
    # At 20 kHz a sample stands for 50 microseconds of CPU.
    print(f"{args.program}: {total / args.runs / 20:.1f} ms of CPU per start, {args.runs} starts")
    for title, counts in (("shared object", by_dso), ("symbol", by_symbol)):
        print(f"\n{'%':>6}  {'ms/start':>8}  {title}")
        for name, count in counts.most_common(args.top):
            print(f"{100 * count / total:6.1f}  {count / args.runs / 20:8.2f}  {name}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
