"""Finds the game's board in a screenshot: 64 tiles of the six face colours
on a 48-pixel pitch, with black between them."""

import subprocess

FACES = {(255, 0, 0), (206, 206, 0), (0, 156, 0), (33, 41, 255), (206, 0, 206), (255, 156, 0)}
# A compositor may hand back colours a few levels off what the game drew.
TOLERANCE = 6
NEAR_FACES = {(min(255, max(0, r + dr)), min(255, max(0, g + dg)), min(255, max(0, b + db)))
              for r, g, b in FACES for dr in range(-TOLERANCE, TOLERANCE + 1)
              for dg in range(-TOLERANCE, TOLERANCE + 1) for db in range(-TOLERANCE, TOLERANCE + 1)}


def read_rgb(path):
    """(width, height, bytes) of a picture, through ImageMagick."""
    size = subprocess.run(["identify", "-format", "%w %h", str(path)], capture_output=True, text=True, check=True).stdout
    width, height = map(int, size.split())
    data = subprocess.run(["convert", str(path), "-depth", "8", "rgb:-"], capture_output=True, check=True).stdout
    return width, height, data


def find_board(path):
    """The top-left corner of ball 1's cell in the picture, or None when no
    whole board of tiles on black is to be seen."""
    width, height, data = read_rgb(path)

    def pixel(x, y):
        if 0 <= x < width and 0 <= y < height:
            i = 3 * (y * width + x)
            return tuple(data[i:i + 3])
        return None

    # The top-left pixel of every face colour run is a candidate for the
    # first face pixel of ball 1; the face starts 4 pixels into its tile,
    # inside the outline and the highlight.
    faces = {(i // 3 % width, i // 3 // width) for i in range(0, len(data), 3) if tuple(data[i:i + 3]) in NEAR_FACES}
    for x, y in sorted(faces, key=lambda p: (p[1], p[0])):
        if all((x + 48 * c, y + 48 * r) in faces for r in range(8) for c in range(8)):
            left, top = x - 4, y - 4
            gaps = [(left + 48 * c + 40, top + 48 * r + 16) for r in range(8) for c in range(7)]
            if all(pixel(*g) == (0, 0, 0) for g in gaps):
                return left, top
    return None
