#!/usr/bin/env python3
"""Writes the three pictures of Vantaro's notification-area icon:

    resources/tray-disconnected.ico   grey
    resources/tray-dialling.ico       amber
    resources/tray-connected.ico      green

Each file holds a 16x16 and a 32x32 image (32-bit colour with alpha, and the AND mask older
systems draw with): a disc in the state's colour carrying three white signal bars. Drawn here
rather than in an editor so that a colour or a shape is changed in one place. Plain Python, no
package. Change the colours below and run this script again:

    python3 resources/make-tray-icons.py
"""

import struct
from pathlib import Path

# (file, fill, rim) as (red, green, blue).
STATES = [
    ("tray-disconnected.ico", (150, 150, 150), (90, 90, 90)),
    ("tray-dialling.ico", (245, 170, 20), (170, 105, 0)),
    ("tray-connected.ico", (40, 175, 60), (15, 105, 30)),
]
SIZES = [16, 32]
WHITE = (255, 255, 255)


def pixel(x, y, size, fill, rim):
    """The colour and alpha at a pixel's centre, in a size x size square (y grows downwards)."""
    centre = size / 2
    px, py = x + 0.5, y + 0.5
    distance = ((px - centre) ** 2 + (py - centre) ** 2) ** 0.5
    radius = size / 2 - 0.5
    if distance > radius:
        return (0, 0, 0), 0
    # Three bars of growing height, standing on a common base line.
    unit = size / 16
    base = 12 * unit
    for left, height in [(4, 3), (7, 5), (10, 7)]:
        if left * unit <= px < (left + 2) * unit and base - height * unit <= py < base:
            return WHITE, 255
    return (rim if distance > radius - max(1.0, unit) else fill), 255


def image(size, fill, rim):
    """One icon image: BITMAPINFOHEADER, colour rows bottom-up (BGRA), then the AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    mask = bytearray()
    mask_row_bytes = ((size + 31) // 32) * 4
    for y in reversed(range(size)):
        row = bytearray(mask_row_bytes)
        for x in range(size):
            (r, g, b), alpha = pixel(x, y, size, fill, rim)
            colour += bytes((b, g, r, alpha))
            if alpha == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    return header + bytes(colour) + bytes(mask)


def icon_file(fill, rim):
    images = [image(size, fill, rim) for size in SIZES]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    return bytes(out)


def main():
    folder = Path(__file__).resolve().parent
    for name, fill, rim in STATES:
        path = folder / name
        written = path.with_suffix(".ico.new")
        written.write_bytes(icon_file(fill, rim))
        written.replace(path)
        print(f"wrote {path}")


if __name__ == "__main__":
    main()
