#!/usr/bin/env python3
"""The design JSON that the page and the tests read: it parses, and its
lists and labels agree with one another. Run with the pellorin-design
program."""

import json
import subprocess
import sys


def main(program):
    design = json.loads(subprocess.run([program], check=True, capture_output=True, text=True).stdout)
    problems = []
    pictures, faces, colours = design["pictures"], design["faces"], design["colours"]
    if not (len(pictures) == len(faces) == len(colours) > 0):
        problems.append(f"{len(pictures)} pictures, {len(faces)} faces, {len(colours)} colour words")
    if any(len(face) != 3 or not all(0 <= c <= 255 for c in face) for face in faces):
        problems.append(f"faces are not RGB triples: {faces}")
    if len(set(map(tuple, faces))) != len(faces) or len(set(colours)) != len(colours):
        problems.append("two pictures share a face colour or a word")
    for item in [design["menu"], *design["menuItems"]]:
        if item["label"] != item["caption"].replace("&", "", 1):
            problems.append(f"label {item['label']!r} of caption {item['caption']!r}")
        key = item["accessKey"]
        if key and (len(key) != 1 or key != key.lower() or key not in item["label"].lower()):
            problems.append(f"access key {key!r} of {item['label']!r}")
    board = design["board"]
    width = board["margin"] + (board["columns"] - 1) * board["pitch"] + board["tileSize"]
    if not width <= design["clientWidth"]:
        problems.append(f"the board ({width} px) is wider than the client area")
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
