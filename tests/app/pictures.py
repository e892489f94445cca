"""Finds the game's board in a screenshot: its tiles in the design's face
colours, on the design's pitch, with black between them."""

import subprocess

# A compositor may hand back colours a few levels off what the game drew.
TOLERANCE = 6


def near_faces(design):
    return {(min(255, max(0, r + dr)), min(255, max(0, g + dg)), min(255, max(0, b + db)))
            for r, g, b in design["faces"] for dr in range(-TOLERANCE, TOLERANCE + 1)
            for dg in range(-TOLERANCE, TOLERANCE + 1) for db in range(-TOLERANCE, TOLERANCE + 1)}


def read_rgb(path):
    """(width, height, bytes) of a picture, through ImageMagick."""
    size = subprocess.run(["identify", "-format", "%w %h", str(path)], capture_output=True, text=True, check=True).stdout
    width, height = map(int, size.split())
    data = subprocess.run(["convert", str(path), "-depth", "8", "rgb:-"], capture_output=True, check=True).stdout
    return width, height, data


def find_board(path, design):
    """The first face pixel of ball 1 in the picture (inside its tile's
    outline and highlight), or None when no whole board of tiles on black is
    to be seen."""
    width, height, data = read_rgb(path)
    board = design["board"]
    pitch, rows, columns, tile = board["pitch"], board["rows"], board["columns"], board["tileSize"]
    faces_near = near_faces(design)

    def pixel(x, y):
        if 0 <= x < width and 0 <= y < height:
            i = 3 * (y * width + x)
            return tuple(data[i:i + 3])
        return None

    # The top-left pixel of every face colour run is a candidate for the
    # first face pixel of ball 1. A face starts a few pixels into its tile,
    # fewer than half the gap, so half a gap back from the next tile's face
    # is black.
    faces = {(i // 3 % width, i // 3 // width) for i in range(0, len(data), 3) if tuple(data[i:i + 3]) in faces_near}
    half_gap = (pitch - tile) // 2
    for x, y in sorted(faces, key=lambda p: (p[1], p[0])):
        if all((x + pitch * c, y + pitch * r) in faces for r in range(rows) for c in range(columns)):
            gaps = [(x + pitch * c - half_gap, y + pitch * r + tile // 4) for r in range(rows) for c in range(1, columns)]
            gaps += [(x + pitch * c + tile // 4, y + pitch * r - half_gap) for r in range(1, rows) for c in range(columns)]
            if all(pixel(*g) == (0, 0, 0) for g in gaps):
                return x, y
    return None
