#!/usr/bin/env python3
"""Draws TORVA's main icon, a toilet-paper roll, at every icon size and writes
a matching hand-readable SVG (Python 3 standard library only).

    python3 tools/gen_icon.py

Outputs: resources/icons/torva_{16,24,32,48,64,128,256}.png (RGBA, transparent
background) and resources/icons/torva.svg.

The roll lies on its side, seen from the front right: its right end shows the
paper's face with the cardboard core, and a sheet hangs from its underside
down to a torn edge.  The picture is a few shapes (ellipses, a rectangle, a
polygon) given in unit coordinates (0..1, y downwards).  Each pixel is
supersampled; every sample is coloured by painting the shapes in order, each
with a fill and an outline centred on its edge, using signed distances.  The
outline never gets thinner than one pixel, and details that would only blur
a tiny icon (paper rings, the perforation, the torn teeth) are left out of
the small sizes.
"""

import math
import os
import sys

sys.dont_write_bytecode = True  # keep tools/ free of __pycache__
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pngio  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "resources", "icons")
SIZES = (16, 24, 32, 48, 64, 128, 256)

# Geometry (unit square, y down).
CY, RY, RX = 0.345, 0.265, 0.125      # roll axis height, radius, end-ellipse half-width
XL, XR = 0.260, 0.740                 # left and right ends of the axis
SHEET_BOTTOM = 0.925                  # lowest point of the hanging sheet
TEETH = 5                             # teeth of the torn edge (large sizes)
TOOTH = 0.028                         # their height
PERF_Y = 0.775                        # perforation line across the sheet
CORE = 0.42                           # cardboard core, fraction of the end face
HOLE = 0.27                           # hole in the core, fraction of the end face
RINGS = (0.62, 0.80)                  # faint paper rings on the end face

# Outline width in whole pixels for each size, growing slowly so the big
# icons don't look heavy.
OUTLINE_PX = {16: 1, 24: 1, 32: 1, 48: 2, 64: 2, 128: 4, 256: 7}

# Colours (r, g, b).
INK = (0x26, 0x2e, 0x3b)
PAPER_LIGHT = (0xff, 0xff, 0xff)
PAPER_SHADE = (0xbf, 0xc8, 0xd5)
FACE = (0xf3, 0xf5, 0xf8)
RING = (0xd5, 0xdb, 0xe3)
CARD = (0xd0, 0x9a, 0x5c)
CARD_EDGE = (0x8a, 0x58, 0x28)
HOLE_DARK = (0x4e, 0x33, 0x1c)
HOLE_WALL = (0x9c, 0x6a, 0x36)
PERF = (0xb8, 0xc1, 0xcd)


# At 16 px a drawing by hand is sharper than any rendering: the same roll,
# one character a pixel.
ICON_16 = """
................
..###########...
.#llllllll#ff#..
.#wwwwwww#ffff#.
.#wwwwwww#fccf#.
.#wwwwwww#chhc#.
.#lllllll#chhc#.
.#lllllll#fccf#.
.#sssssss#ffff#.
.#ssssssss#ff#..
..###########...
...#sssssss#....
...#wwwwwww#....
...#wwwwwww#....
...#########....
................
"""
ICON_16_COLOURS = {
    ".": None, "#": INK, "w": PAPER_LIGHT, "l": (0xe4, 0xe8, 0xee),
    "s": (0xcc, 0xd3, 0xdd), "f": FACE, "c": CARD, "h": HOLE_DARK,
}


def icon_16():
    rows = ICON_16.strip("\n").split("\n")
    assert len(rows) == 16 and all(len(r) == 16 for r in rows)
    return [[(0, 0, 0, 0) if ICON_16_COLOURS[c] is None else ICON_16_COLOURS[c] + (255,)
             for c in row] for row in rows]


def lerp(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


# Signed distances: negative inside.

def sd_ellipse(x, y, cx, cy, rx, ry):
    px, py = x - cx, y - cy
    k0 = math.hypot(px / rx, py / ry)
    k1 = math.hypot(px / (rx * rx), py / (ry * ry))
    if k1 == 0:
        return -min(rx, ry)
    return k0 * (k0 - 1.0) / k1


def sd_box(x, y, x0, y0, x1, y1):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2, (y1 - y0) / 2
    dx, dy = abs(x - cx) - hx, abs(y - cy) - hy
    outside = math.hypot(max(dx, 0.0), max(dy, 0.0))
    return outside + min(max(dx, dy), 0.0)


def sd_polygon(x, y, pts):
    d = float("inf")
    inside = False
    n = len(pts)
    for i in range(n):
        ax, ay = pts[i]
        bx, by = pts[(i + 1) % n]
        ex, ey = bx - ax, by - ay
        wx, wy = x - ax, y - ay
        t = clamp((wx * ex + wy * ey) / (ex * ex + ey * ey))
        d = min(d, math.hypot(wx - ex * t, wy - ey * t))
        if (ay > y) != (by > y) and x < ax + (y - ay) * ex / ey:
            inside = not inside
    return -d if inside else d


def sheet_points(detail, xl=XL, xr=XR, top=CY, bottom=SHEET_BOTTOM):
    """The hanging sheet: its top is hidden under the roll."""
    pts = [(xl, top), (xr, top), (xr, bottom)]
    if detail:
        step = (xr - xl) / TEETH
        for i in range(TEETH, 0, -1):
            pts.append((xl + (i - 0.5) * step, bottom - TOOTH))
            pts.append((xl + (i - 1) * step, bottom))
    else:
        pts.append((xl, bottom))
    return pts


class Icon:
    def __init__(self, size):
        self.size = size
        px = 1.0 / size
        w = OUTLINE_PX[size]
        self.lw = w * px
        self.px = px
        self.detail = size >= 32
        self.rings = size >= 64

        # Snap the long straight edges to the pixel grid, so that outlines of
        # a whole number of pixels fall on whole pixels and stay sharp.
        def snap(v):
            return (round(v * size - w / 2) + w / 2) / size

        top, bottom = snap(CY - RY), snap(CY + RY)
        self.cy, self.ry = (top + bottom) / 2, (bottom - top) / 2
        self.xl, self.xr = snap(XL), snap(XR)
        self.rx = snap(XR + RX) - self.xr
        self.sheet_bottom = snap(SHEET_BOTTOM)
        self.perf_y = (math.floor(PERF_Y * size) + 0.5) / size
        self.sheet = sheet_points(self.detail, self.xl, self.xr, self.cy, self.sheet_bottom)

    def paint(self, col, alpha, colour, a=1.0):
        """Source-over of an opaque colour with coverage a."""
        na = alpha + a * (1 - alpha)
        if na <= 0:
            return col, 0.0
        out = tuple((colour[i] * a + col[i] * alpha * (1 - a)) / na for i in range(3))
        return out, na

    def layer(self, col, alpha, d, fill, ink=INK, lw=None):
        """Fill inside the shape, outline of width lw centred on its edge."""
        lw = self.lw if lw is None else lw
        if d <= -lw / 2:
            return self.paint(col, alpha, fill)
        if d <= lw / 2:
            return self.paint(col, alpha, ink)
        return col, alpha

    def sample(self, x, y):
        col, alpha = (0.0, 0.0, 0.0), 0.0

        # 1. The sheet, behind the roll, darker just below it.
        d = sd_polygon(x, y, self.sheet)
        t = clamp((y - (self.cy + self.ry)) / 0.12)
        fill = lerp(PAPER_SHADE, PAPER_LIGHT, 0.35 + 0.65 * t)
        col, alpha = self.layer(col, alpha, d, fill)
        if self.detail and d < -self.lw and abs(y - self.perf_y) < max(self.px * 0.75, 0.008):
            # Perforation: short dashes across the sheet.
            if (x - self.xl) % 0.06 < 0.035:
                col, alpha = self.paint(col, alpha, PERF)

        # 2. The roll's body: left end, middle and right end as one shape,
        #    shaded like a cylinder lit from above.
        d = min(sd_ellipse(x, y, self.xl, self.cy, self.rx, self.ry),
                sd_box(x, y, self.xl, self.cy - self.ry, self.xr, self.cy + self.ry),
                sd_ellipse(x, y, self.xr, self.cy, self.rx, self.ry))
        t = (y - (self.cy - self.ry)) / (2 * self.ry)
        shade = clamp((t - 0.3) / 0.7) ** 1.4 * 0.95 + clamp((0.22 - t) / 0.22) * 0.25
        col, alpha = self.layer(col, alpha, d, lerp(PAPER_LIGHT, PAPER_SHADE, shade))

        # 3. The end face with faint rings of paper.
        d = sd_ellipse(x, y, self.xr, self.cy, self.rx, self.ry)
        col, alpha = self.layer(col, alpha, d, FACE)
        if self.rings and d < -self.lw:
            for r in RINGS:
                dr = abs(sd_ellipse(x, y, self.xr, self.cy, self.rx * r, self.ry * r))
                if dr < max(self.px * 0.6, self.lw * 0.18):
                    col, alpha = self.paint(col, alpha, RING)

        # 4. The cardboard core and the hole into it.
        d = sd_ellipse(x, y, self.xr, self.cy, self.rx * CORE, self.ry * CORE)
        col, alpha = self.layer(col, alpha, d, CARD, CARD_EDGE, max(self.px, self.lw * 0.6))
        d = sd_ellipse(x, y, self.xr - self.rx * 0.05, self.cy, self.rx * HOLE, self.ry * HOLE)
        if d <= 0:
            # Inside the tube: the far wall is lit on the right, dark on the left.
            u = clamp((x - (self.xr - self.rx * HOLE)) / (2 * self.rx * HOLE))
            col, alpha = self.paint(col, alpha, lerp(HOLE_DARK, HOLE_WALL, u ** 2))
        return col, alpha

    def render(self, ss):
        n = self.size
        rows = []
        for py in range(n):
            row = []
            for px in range(n):
                r = g = b = a = 0.0
                for sy in range(ss):
                    for sx in range(ss):
                        x = (px + (sx + 0.5) / ss) / n
                        y = (py + (sy + 0.5) / ss) / n
                        c, al = self.sample(x, y)
                        r += c[0] * al
                        g += c[1] * al
                        b += c[2] * al
                        a += al
                k = ss * ss
                if a > 0:
                    pix = (round(r / a), round(g / a), round(b / a), round(a / k * 255))
                else:
                    pix = (0, 0, 0, 0)
                row.append(pix)
            rows.append(row)
        return rows


def svg():
    """The same picture as a 256 x 256 SVG, written out by hand below."""
    s = 256.0

    def f(v):
        return f"{v * s:.1f}".rstrip("0").rstrip(".")

    top, bot = CY - RY, CY + RY
    sheet = " ".join(f"{f(x)},{f(y)}" for x, y in sheet_points(True))
    lw = f(7.0 / 256)
    core_lw = f(7.0 / 256 * 0.6)
    rings = "\n".join(
        f'  <ellipse cx="{f(XR)}" cy="{f(CY)}" rx="{f(RX * r)}" ry="{f(RY * r)}" '
        f'fill="none" stroke="#d5dbe3" stroke-width="{f(7.0 / 256 * 0.36)}"/>' for r in RINGS)
    return f"""<?xml version="1.0" encoding="UTF-8"?>
<!-- TORVA main icon: a roll of toilet paper. Generated by tools/gen_icon.py. -->
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">
  <defs>
    <linearGradient id="sheet" x1="0" y1="{f(bot)}" x2="0" y2="{f(bot + 0.12)}" gradientUnits="userSpaceOnUse">
      <stop offset="0" stop-color="#dfe4eb"/>
      <stop offset="1" stop-color="#ffffff"/>
    </linearGradient>
    <linearGradient id="body" x1="0" y1="{f(top)}" x2="0" y2="{f(bot)}" gradientUnits="userSpaceOnUse">
      <stop offset="0" stop-color="#f0f2f5"/>
      <stop offset="0.22" stop-color="#ffffff"/>
      <stop offset="0.30" stop-color="#ffffff"/>
      <stop offset="0.65" stop-color="#e9edf1"/>
      <stop offset="1" stop-color="#c1cad6"/>
    </linearGradient>
    <linearGradient id="hole" x1="{f(XR - RX * 1.05 * HOLE)}" y1="0" x2="{f(XR + RX * 0.95 * HOLE)}" y2="0" gradientUnits="userSpaceOnUse">
      <stop offset="0" stop-color="#4e331c"/>
      <stop offset="0.5" stop-color="#5d3e22"/>
      <stop offset="1" stop-color="#9c6a36"/>
    </linearGradient>
  </defs>
  <g stroke="#262e3b" stroke-width="{lw}" stroke-linejoin="round">
    <!-- the hanging sheet with its torn edge -->
    <polygon points="{sheet}" fill="url(#sheet)"/>
    <!-- the body of the roll -->
    <path d="M {f(XL)},{f(top)} H {f(XR)} A {f(RX)},{f(RY)} 0 0 1 {f(XR)},{f(bot)} H {f(XL)} A {f(RX)},{f(RY)} 0 0 1 {f(XL)},{f(top)} Z" fill="url(#body)"/>
    <!-- its end face -->
    <ellipse cx="{f(XR)}" cy="{f(CY)}" rx="{f(RX)}" ry="{f(RY)}" fill="#f3f5f8"/>
  </g>
{rings}
  <!-- perforation -->
  <line x1="{f(XL + 0.03)}" y1="{f(PERF_Y)}" x2="{f(XR - 0.02)}" y2="{f(PERF_Y)}" stroke="#b8c1cd" stroke-width="{f(0.011)}" stroke-dasharray="{f(0.035)} {f(0.025)}"/>
  <!-- cardboard core and the hole -->
  <ellipse cx="{f(XR)}" cy="{f(CY)}" rx="{f(RX * CORE)}" ry="{f(RY * CORE)}" fill="#d09a5c" stroke="#8a5828" stroke-width="{core_lw}"/>
  <ellipse cx="{f(XR - RX * 0.05)}" cy="{f(CY)}" rx="{f(RX * HOLE)}" ry="{f(RY * HOLE)}" fill="url(#hole)"/>
</svg>
"""


def main():
    os.makedirs(OUT, exist_ok=True)
    only = [int(a) for a in sys.argv[1:]] or SIZES
    for size in only:
        if size == 16:
            pixels = icon_16()
        else:
            ss = 8 if size <= 32 else 6 if size <= 64 else 4 if size <= 128 else 3
            pixels = Icon(size).render(ss)
        path = os.path.join(OUT, f"torva_{size}.png")
        pngio.write_rgba(path, pixels)
        print(os.path.relpath(path, ROOT))
    with open(os.path.join(OUT, "torva.svg"), "w", encoding="utf-8") as fh:
        fh.write(svg())
    print(os.path.relpath(os.path.join(OUT, "torva.svg"), ROOT))


if __name__ == "__main__":
    main()
