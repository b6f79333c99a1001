#!/usr/bin/env python3
"""make_icon.py: draws Bytescribe's icon and writes it as ui/bytescribe.ico.

A page of hex digit pairs (the bytes) with an arrow badge pointing out of it
(into source code). One 48 x 48 image, 8 bits per pixel with a 256-colour
palette, stored as the icon format wants it: BITMAPINFOHEADER, palette,
bottom-up colour rows, then the 1-bit transparency mask.

    python3 tools/make_icon.py [OUTPUT]
"""
import os
import struct
import sys

SIZE = 48

# Palette: the few colours the picture uses first, then a 6x6x6 colour cube and
# a grey ramp so the table holds 256 real colours.
COLOURS = {
    "none": (0, 0, 0),          # under the mask: transparent
    "outline": (64, 72, 88),
    "paper": (255, 255, 255),
    "fold": (206, 212, 222),
    "shade": (232, 236, 242),
    "digit": (28, 78, 160),
    "digit2": (110, 140, 190),
    "badge": (232, 120, 24),
    "badge_edge": (176, 80, 8),
    "arrow": (255, 255, 255),
}
NAMES = list(COLOURS)
INDEX = {name: i for i, name in enumerate(NAMES)}


def palette():
    table = [COLOURS[n] for n in NAMES]
    table += [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
    step = 0
    while len(table) < 256:
        step += 1
        level = min(255, step * 8)
        table.append((level, level, level))
    return table


# 3 x 5 glyphs for the hex digits, one string per row.
GLYPHS = {
    "0": ["111", "101", "101", "101", "111"],
    "1": ["010", "110", "010", "010", "111"],
    "3": ["111", "001", "011", "001", "111"],
    "4": ["101", "101", "111", "001", "001"],
    "5": ["111", "100", "111", "001", "111"],
    "8": ["111", "101", "111", "101", "111"],
    "9": ["111", "101", "111", "001", "111"],
    "A": ["010", "101", "111", "101", "101"],
    "B": ["110", "101", "110", "101", "110"],
    "C": ["111", "100", "100", "100", "111"],
    "D": ["110", "101", "101", "101", "110"],
    "E": ["111", "100", "110", "100", "111"],
    "F": ["111", "100", "110", "100", "100"],
}

# The first bytes of a program file: a fitting thing to turn into source.
ROWS = ["4D5A90", "000300", "0400", "B800"]


def draw():
    pixels = [[INDEX["none"]] * SIZE for _ in range(SIZE)]
    opaque = [[False] * SIZE for _ in range(SIZE)]

    def put(x, y, colour):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            pixels[y][x] = INDEX[colour]
            opaque[y][x] = True

    # The page with its top right corner folded down.
    left, top, right, bottom, fold = 7, 3, 38, 44, 9
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            if x - (right - fold) > y - top:
                continue  # cut off by the fold
            edge = x in (left, right) or y in (top, bottom) or x - (right - fold) == y - top
            put(x, y, "outline" if edge else "paper")
    for y in range(top + 1, top + fold):
        for x in range(right - fold + 1, right - fold + 1 + (y - top)):
            put(x, y, "fold")
    for x in range(right - fold, right + 1):
        put(x, top + fold, "outline")
    for y in range(top, top + fold + 1):
        put(right - fold, y, "outline")
    for x in range(left + 1, right):
        put(x, bottom - 1, "shade")

    # Rows of hex pairs, alternating shades so the byte pairs read apart.
    for row, text in enumerate(ROWS):
        y0 = 14 + row * 7
        x = left + 3
        for pair in range(0, len(text), 2):
            colour = "digit" if pair % 4 == 0 else "digit2"
            for ch in text[pair:pair + 2]:
                glyph = GLYPHS.get(ch, GLYPHS["0"])
                for dy, bits in enumerate(glyph):
                    for dx, bit in enumerate(bits):
                        if bit == "1":
                            put(x + dx, y0 + dy, colour)
                x += 4
            x += 2

    # Round badge at the lower right with an arrow pointing out of the page.
    cx, cy, r = 37, 37, 9
    for y in range(cy - r - 1, cy + r + 2):
        for x in range(cx - r - 1, cx + r + 2):
            d2 = (x - cx) ** 2 + (y - cy) ** 2
            if d2 <= r * (r + 1):
                put(x, y, "badge")
            elif d2 <= (r + 1) * (r + 2):
                put(x, y, "badge_edge")
    for x in range(cx - 5, cx + 2):
        for y in (cy - 1, cy, cy + 1):
            put(x, y, "arrow")
    for i in range(5):
        for y in range(cy - 4 + i, cy + 5 - i):
            put(cx + 1 + i, y, "arrow")
    return pixels, opaque


def ico_bytes(pixels, opaque):
    colours = palette()
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in colours)
    xor = b"".join(bytes(pixels[y]) for y in reversed(range(SIZE)))
    mask_stride = ((SIZE + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(SIZE)):
        row = bytearray(mask_stride)
        for x in range(SIZE):
            if not opaque[y][x]:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    image = header + table + xor + bytes(mask)
    # Width and height 48; colour count 0 stands for 256 in the directory.
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 8, len(image), 6 + 16)
    return directory + entry + image


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "ui", "bytescribe.ico")
    with open(out, "wb") as f:
        f.write(ico_bytes(*draw()))


if __name__ == "__main__":
    main()
