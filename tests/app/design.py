"""The design's values as the core gives them (pellorin-design prints them as
JSON), for the scripts that must not type a size, a colour or a word again."""

import json
import subprocess


def read_design(program):
    return json.loads(subprocess.run([str(program)], check=True, capture_output=True, text=True).stdout)


def cell_centre(design, row, column):
    """The client point in the middle of the cell at row and column (from 1)."""
    board = design["board"]
    centre = lambda index: board["margin"] + board["pitch"] * (index - 1) + board["tileSize"] // 2
    return centre(column), centre(row)


def gap_point(design, row, column, down=False):
    """The client point in the middle of the gap between the cell at row and
    column (from 1) and its neighbour to the right, or below when down."""
    x, y = cell_centre(design, row, column)
    half = design["board"]["pitch"] // 2
    return (x, y + half) if down else (x + half, y)
