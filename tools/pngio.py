"""Minimal PNG writer (Python 3 standard library only).

Used by gen_pictures.py and gen_icon.py.  The output is deterministic: no
time stamps or other ancillary chunks, so regenerating gives identical bytes.
"""

import struct
import zlib


def _chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def _write(path, width, height, bit_depth, colour_type, raw_rows):
    header = struct.pack(">IIBBBBB", width, height, bit_depth, colour_type, 0, 0, 0)
    # Filter type 0 (none) in front of every row.
    raw = b"".join(b"\x00" + row for row in raw_rows)
    png = (b"\x89PNG\r\n\x1a\n"
           + _chunk(b"IHDR", header)
           + _chunk(b"IDAT", zlib.compress(raw, 9))
           + _chunk(b"IEND", b""))
    with open(path, "wb") as f:
        f.write(png)


def write_rgba(path, pixels):
    """pixels: list of rows, each a list of (r, g, b, a) tuples, 0..255."""
    height = len(pixels)
    width = len(pixels[0])
    rows = [bytes(v for px in row for v in px) for row in pixels]
    _write(path, width, height, 8, 6, rows)


def write_mono(path, bits):
    """bits: list of rows, each a list of 0 (black) / 1 (white).

    Written as a 1-bit greyscale PNG, the same look as a 1 bpp bitmap."""
    height = len(bits)
    width = len(bits[0])
    rows = []
    for row in bits:
        out = bytearray((width + 7) // 8)
        for x, bit in enumerate(row):
            if bit:
                out[x // 8] |= 0x80 >> (x % 8)
        rows.append(bytes(out))
    _write(path, width, height, 1, 0, rows)
