#!/usr/bin/env python3
"""Generates TORVA's small pictures: the three play cursors, the two hands and
the two blinking pointers (Python 3 standard library only).

    python3 tools/gen_pictures.py            # writes into resources/
    python3 tools/gen_pictures.py --preview  # also prints the pictures as text

Outputs (paths relative to the repository root):
    resources/cursors/CURSOR1.png .. CURSOR3.png   32 x 32 RGBA, hot spot (16, 16)
    resources/pictures/hand_left.png, hand_right.png  32 x 32 RGBA
    resources/pictures/pointer_down.png, pointer_right.png  16 x 16, 1 bit

Text pictures use one character a pixel:
    '.'  fully transparent      '#'  black      'o'  white
"""

import os
import sys

sys.dont_write_bytecode = True  # keep tools/ free of __pycache__
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pngio  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RES = os.path.join(ROOT, "resources")

COLOURS = {
    ".": (0, 0, 0, 0),
    "#": (0, 0, 0, 255),
    "o": (255, 255, 255, 255),
}


def parse_art(text, size):
    rows = [line for line in text.strip("\n").split("\n")]
    assert len(rows) == size, f"picture has {len(rows)} rows, wants {size}"
    for i, row in enumerate(rows):
        assert len(row) == size, f"row {i} is {len(row)} wide, wants {size}: {row!r}"
        assert set(row) <= set(COLOURS), f"row {i} has unknown characters"
    return [list(row) for row in rows]


def to_rgba(grid):
    return [[COLOURS[c] for c in row] for row in grid]


def mirror(grid):
    return [list(reversed(row)) for row in grid]


# ---------------------------------------------------------------------------
# Cursors of the play field: three white, black-outlined triangles
# pointing down, stacked in a column centred on x = 16.  One is large (20 px
# wide, 10 rows high), two are small (10 px wide, 5 rows high); each row is
# one pixel narrower on both sides than the row above.  The triangles are 2
# rows apart and the column is centred vertically, so the hot spot (16, 16)
# is at the centre of the picture.  CURSOR1 has the large triangle on top,
# CURSOR2 in the middle, CURSOR3 at the bottom: shown in turn, the large
# triangle moves down.  Outline = every triangle pixel with a 4-neighbour
# outside the triangle; all other pixels are fully transparent.

CURSOR_SIZE = 32
CURSOR_HOTSPOT = (16, 16)
LARGE, SMALL = 20, 10
GAP = 2


def triangle_down(grid, top, width):
    """Draws a down-pointing triangle whose top row is `width` px wide."""
    centre = CURSOR_SIZE // 2
    rows = width // 2
    inside = set()
    for i in range(rows):
        for x in range(centre - width // 2 + i, centre + width // 2 - i):
            inside.add((x, top + i))
    for (x, y) in inside:
        edge = any((x + dx, y + dy) not in inside
                   for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
        grid[y][x] = "#" if edge else "o"
    return top + rows


def make_cursor(large_index):
    grid = [["."] * CURSOR_SIZE for _ in range(CURSOR_SIZE)]
    widths = [SMALL, SMALL, SMALL]
    widths[large_index] = LARGE
    total = sum(w // 2 for w in widths) + GAP * (len(widths) - 1)
    y = (CURSOR_SIZE - total) // 2
    for w in widths:
        y = triangle_down(grid, y, w) + GAP
    return grid


# ---------------------------------------------------------------------------
# Hands: Image1's hand reaches to the right, over the
# paper's left edge (the picture sits across the edge, so the fingers lie on
# the paper); Image2's is its mirror image.  A cuff on the left, the back of
# the hand with the thumb raised, four fingers pointing right.

HAND_LEFT = """
................................
................................
...................###..........
..................#oo#..........
.................#oooo#.........
...............##oooo#..........
..............#ooooo#...........
.............#oooo##............
............#ooooooo########....
......######oooooooooooooooo#...
######oooooooooooooooooooooo#...
#oooo#oooooooooooooooooooooo#...
#oooo#oooooooooooooo########o#..
#oooo#oooooooooooooooooooooooo#.
#oooo#ooooooooooooooooooooooooo#
#oooo#oooooooooooooooooooooooo#.
#oooo#oooooooooooooo##########..
#oooo#ooooooooooooooooooooooo#..
#oooo#oooooooooooooooooooooooo#.
#oooo#ooooooooooooooooooooooo#..
#oooo#oooooooooooooo#########...
#oooo#oooooooooooooooooooo#.....
#oooo#oooooooooooooooooooo#.....
#######ooooooooooo#########.....
.......###########..............
................................
................................
................................
................................
................................
................................
................................
"""


# ---------------------------------------------------------------------------
# Pointers, two-colour 16 x 16 (1 bit a pixel).
#
# pointer_down (story window): a white triangle pointing down on
# black, two pixel rows per step, 16 px wide at the top and 2 at the bottom:
# rows 2k and 2k+1 are white from x = k to x = 15 - k.
#
# pointer_right (choice dialogs): row r is white from the left edge
# for 2 * (r + 1) px when r < 8 and 2 * (16 - r) px when r >= 8; rest black.

def make_pointer_down():
    bits = []
    for r in range(16):
        k = r // 2
        bits.append([1 if k <= x <= 15 - k else 0 for x in range(16)])
    return bits


def make_pointer_right():
    bits = []
    for r in range(16):
        n = 2 * (r + 1) if r < 8 else 2 * (16 - r)
        bits.append([1 if x < n else 0 for x in range(16)])
    return bits


def show(name, grid):
    print(name)
    for row in grid:
        print("   " + "".join(str(c) for c in row).replace("0", "#").replace("1", "o"))
    print()


def main():
    preview = "--preview" in sys.argv[1:]
    os.makedirs(os.path.join(RES, "cursors"), exist_ok=True)
    os.makedirs(os.path.join(RES, "pictures"), exist_ok=True)

    for i in range(3):
        grid = make_cursor(i)
        path = os.path.join(RES, "cursors", f"CURSOR{i + 1}.png")
        pngio.write_rgba(path, to_rgba(grid))
        if preview:
            show(path, grid)

    left = parse_art(HAND_LEFT, 32)
    for name, grid in (("hand_left", left), ("hand_right", mirror(left))):
        path = os.path.join(RES, "pictures", name + ".png")
        pngio.write_rgba(path, to_rgba(grid))
        if preview:
            show(path, grid)

    for name, bits in (("pointer_down", make_pointer_down()),
                       ("pointer_right", make_pointer_right())):
        path = os.path.join(RES, "pictures", name + ".png")
        pngio.write_mono(path, bits)
        if preview:
            show(path, bits)


if __name__ == "__main__":
    main()
