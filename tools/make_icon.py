#!/usr/bin/env python3
"""Draws the program icon, a processor chip with a lightning bolt, into resources/zorvik.ico.

Python 3 standard library only. Writes one icon group of three 16-colour (4 bits per pixel)
images, 16, 32 and 64 pixels square, each with its transparency mask, in the handheld's
standard 16-colour palette. Usage: make_icon.py [output.ico]
"""

import pathlib
import struct
import sys

# The handheld's 16 colours, index -> (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
TRANSPARENT = None
BLACK, OLIVE, GREY, YELLOW = 0, 3, 8, 11

# The 16-pixel image is drawn by hand so that every pixel of the bolt reads at that size.
SMALL_ART = [
    "................",
    "....8.8..8.8....",
    "....8.8..8.8....",
    "...8888888888...",
    ".88800000yy0888.",
    "...80000yy008...",
    ".888000yy000888.",
    "...800yyyyy08...",
    "...80000yy008...",
    ".888000yy000888.",
    "...800yy00008...",
    ".88800y00000888.",
    "...8888888888...",
    "....8.8..8.8....",
    "....8.8..8.8....",
    "................",
]
SMALL_ART_COLOURS = {".": TRANSPARENT, "0": BLACK, "8": GREY, "y": YELLOW}

# The larger images share the small image's layout, in sixteenths of the side.
PIN_CENTRES = (4.5, 6.5, 9.5, 11.5)
PIN_WIDTH = 1.0
PIN_REACH = (1.0, 3.0)  # from the edge of the image to the edge of the body
BODY = (3.0, 13.0)
FRAME = 1.0
BOLT = [(9.3, 4.0), (11.3, 4.0), (9.2, 6.9), (11.2, 6.9), (6.2, 11.8), (7.8, 8.1), (5.9, 8.1)]


def small_image():
    return [[SMALL_ART_COLOURS[c] for c in row] for row in SMALL_ART]


def inside_polygon(x, y, polygon):
    """Even-odd rule: whether (x, y) lies inside the polygon."""
    inside = False
    for i, (x1, y1) in enumerate(polygon):
        x2, y2 = polygon[(i + 1) % len(polygon)]
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            inside = not inside
    return inside


def bolt_coverage(px, py, unit, samples=4):
    """Share of pixel (px, py) that the bolt covers, from samples x samples points."""
    hits = 0
    for sy in range(samples):
        for sx in range(samples):
            x = (px + (sx + 0.5) / samples) / unit
            y = (py + (sy + 0.5) / samples) / unit
            hits += inside_polygon(x, y, BOLT)
    return hits / (samples * samples)


def large_image(size):
    unit = size / 16.0
    image = [[TRANSPARENT] * size for _ in range(size)]

    def fill(x0, y0, x1, y1, colour):  # in sixteenths, end exclusive
        for y in range(round(y0 * unit), round(y1 * unit)):
            for x in range(round(x0 * unit), round(x1 * unit)):
                image[y][x] = colour

    for centre in PIN_CENTRES:
        low, high = centre - PIN_WIDTH / 2, centre + PIN_WIDTH / 2
        fill(low, PIN_REACH[0], high, PIN_REACH[1], GREY)  # top
        fill(low, 16 - PIN_REACH[1], high, 16 - PIN_REACH[0], GREY)  # bottom
        fill(PIN_REACH[0], low, PIN_REACH[1], high, GREY)  # left
        fill(16 - PIN_REACH[1], low, 16 - PIN_REACH[0], high, GREY)  # right
    fill(BODY[0], BODY[0], BODY[1], BODY[1], GREY)
    fill(BODY[0] + FRAME, BODY[0] + FRAME, BODY[1] - FRAME, BODY[1] - FRAME, BLACK)
    inner = range(round((BODY[0] + FRAME) * unit), round((BODY[1] - FRAME) * unit))
    for y in inner:
        for x in inner:
            coverage = bolt_coverage(x, y, unit)
            if coverage >= 0.5:
                image[y][x] = YELLOW
            elif coverage >= 0.2:
                image[y][x] = OLIVE  # softens the bolt's slanted edges against the black
    return image


def encode_image(image):
    """One icon image: BITMAPINFOHEADER, palette, 4-bit colour rows, 1-bit mask rows."""
    size = len(image)
    colour_stride = (size * 4 + 31) // 32 * 4
    mask_stride = (size + 31) // 32 * 4
    colour_rows, mask_rows = [], []
    for row in reversed(image):  # bottom-up, as bitmaps are stored
        colour = bytearray(colour_stride)
        mask = bytearray(mask_stride)
        for x, index in enumerate(row):
            if index is TRANSPARENT:
                mask[x // 8] |= 0x80 >> (x % 8)
                index = BLACK  # transparent pixels leave the screen as it is
            colour[x // 2] |= index << (4 if x % 2 == 0 else 0)
        colour_rows.append(bytes(colour))
        mask_rows.append(bytes(mask))
    pixels = b"".join(colour_rows) + b"".join(mask_rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(pixels), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + pixels


def encode_icon(images):
    encoded = [encode_image(image) for image in images]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for image, data in zip(images, encoded):
        size = len(image)
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    return directory + entries + b"".join(encoded)


def main():
    root = pathlib.Path(__file__).resolve().parent.parent
    output = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else root / "resources" / "zorvik.ico"
    images = [small_image(), large_image(32), large_image(64)]
    output.write_bytes(encode_icon(images))
    print(f"wrote {output} ({', '.join(str(len(i)) for i in images)} px)")


if __name__ == "__main__":
    main()
