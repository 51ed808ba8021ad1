#!/usr/bin/env python3
"""Writes QXEdit's images: res/Toolbar.bmp, res/Toolbar24.bmp,
res/Toolbar32.bmp and res/QXEdit.ico.

The pictures are drawn below as pixel art, one character per pixel, in the
standard 16-colour palette. The toolbar's images at 16 x 15 are the design;
those for screens of 144 and 192 DPI (24 x 23 and 32 x 30) are made from it
by pixel-art scaling (Scale3x sampled every other pixel, and Scale2x): only
the design's own colours, no blurred edges, the diagonals smoothed. Run from
anywhere; the files are written next to this script. Python 3 standard
library only.

    python3 res/make_images.py
"""

import os
import struct

# Standard 16-colour (VGA) palette, as (R, G, B).
PALETTE = [
    (0, 0, 0),        # 0 black
    (128, 0, 0),      # 1 dark red
    (0, 128, 0),      # 2 dark green
    (128, 128, 0),    # 3 dark yellow
    (0, 0, 128),      # 4 dark blue
    (128, 0, 128),    # 5 dark magenta
    (0, 128, 128),    # 6 dark cyan
    (192, 192, 192),  # 7 light grey
    (128, 128, 128),  # 8 dark grey
    (255, 0, 0),      # 9 red
    (0, 255, 0),      # 10 green
    (255, 255, 0),    # 11 yellow
    (0, 0, 255),      # 12 blue
    (255, 0, 255),    # 13 magenta
    (0, 255, 255),    # 14 cyan
    (255, 255, 255),  # 15 white
]

# Characters of the pixel art and their palette indices.
COLOURS = {
    '.': 7,   # light grey: the toolbar's ground
    'k': 0, 'r': 1, 'G': 2, 'o': 3, 'n': 4, 's': 8,
    'R': 9, 'g': 10, 'y': 11, 'b': 12, 'w': 15,
    ' ': 0,   # icons: transparent (masked out)
}

# Toolbar images, 16 x 15 each, left to right.

OPEN = [  # green arrow pointing up and left
    "................",
    ".GGGGGGGGG......",
    ".GggggggG.......",
    ".GgggggG........",
    ".GggggG.........",
    ".GgggggG........",
    ".GggggggG.......",
    ".GggGGgggG......",
    ".GgG..GgggG.....",
    ".GG....GgggG....",
    "........GgggG...",
    ".........GgggG..",
    "..........GggG..",
    "...........GG...",
    "................",
]

SAVE = [  # red arrow pointing down and right
    "................",
    "...rr...........",
    "..rRRRr.........",
    "..rRRRRr........",
    "...rRRRRr.......",
    "....rRRRRr....rr",
    ".....rRRRRr..rRr",
    "......rRRRrr.RRr",
    ".......rRRRRRRRr",
    "........rRRRRRRr",
    ".........rRRRRRr",
    "........rRRRRRRr",
    ".......rRRRRRRRr",
    "......rrrrrrrrrr",
    "................",
]

ZEROS = [  # "00" in white, outlined
    "................",
    "................",
    "..kkkkk..kkkkk..",
    ".kkwwwkkkkwwwkk.",
    ".kwwkwwkkwwkwwk.",
    ".kwwkwwkkwwkwwk.",
    ".kwwkwwkkwwkwwk.",
    ".kwwkwwkkwwkwwk.",
    ".kwwkwwkkwwkwwk.",
    ".kwwkwwkkwwkwwk.",
    ".kwwkwwkkwwkwwk.",
    ".kkwwwkkkkwwwkk.",
    "..kkkkk..kkkkk..",
    "................",
    "................",
]

EFFS = [  # "FF" in yellow, outlined
    "................",
    "................",
    ".kkkkkkkkkkkkkk.",
    ".kyyyyykkyyyyyk.",
    ".kyyyyykkyyyyyk.",
    ".kyykkkkkyykkkk.",
    ".kyykk..kyykk...",
    ".kyyyykkkyyyyk..",
    ".kyyyykkkyyyyk..",
    ".kyykkk.kyykkk..",
    ".kyyk...kyyk....",
    ".kyyk...kyyk....",
    ".kkkk...kkkk....",
    "................",
    "................",
]

ABOUT = [  # yellow question mark, outlined
    "................",
    "....kkkkkkk.....",
    "...kkyyyyykk....",
    "...kyykkkyyk....",
    "...kyyk.kyyk....",
    "...kkkk.kyyk....",
    "......kkyykk....",
    ".....kkyykk.....",
    ".....kyykk......",
    ".....kyyk.......",
    ".....kkkk.......",
    ".....kyyk.......",
    ".....kyyk.......",
    ".....kkkk.......",
    "................",
]

# Application icon: a page of hex digits with a folded corner; the first
# cell of the top row stands out in red, like a caret cell.

ICON32 = [
    "                                ",
    "    kkkkkkkkkkkkkkkkkkkk        ",
    "    kwwwwwwwwwwwwwwwwwwkkk      ",
    "    kwwwwwwwwwwwwwwwwwwksk      ",
    "    kwwwwwwwwwwwwwwwwwwkwsk     ",
    "    kwwwwwwwwwwwwwwwwwwkwwsk    ",
    "    kwwwwwwwwwwwwwwwwwwkwwwsk   ",
    "    kwwwwwwwwwwwwwwwwwwkkkkkkk  ",
    "    kwwwwwwwwwwwwwwwwwwwsssssk  ",
    "    kwwwwwwwwwwwwwwwwwwwwwwwwk  ",
    "    kwwwwwwwwwwwwwwwwwwwwwwwwk  ",
    "    kwwwwwwwwwwwwwwwwwwwwwwwwk  ",
    "    kwwwwwwwwwwwwwwwwwwwwwwwwk  ",
    "    kwwwwwwwwwwwwwwwwwwwwwwwwk  ",
    "    kwwwwwwwwwwwwwwwwwwwwwwwwk  ",
    "    kwwwwwwwwwwwwwwwwwwwwwwwwk  ",
    "    kwwwwwwwwwwwwwwwwwwwwwwwwk  ",
    "    kwwwwwwwwwwwwwwwwwwwwwwwwk  ",
    "    kwwwwwwwwwwwwwwwwwwwwwwwwk  ",
    "    kwwwwwwwwwwwwwwwwwwwwwwwwk  ",
    "    kwwwwwwwwwwwwwwwwwwwwwwwwk  ",
    "    kwwwwwwwwwwwwwwwwwwwwwwwwk  ",
    "    kwwwwwwwwwwwwwwwwwwwwwwwwk  ",
    "    kwwwwwwwwwwwwwwwwwwwwwwwwk  ",
    "    kwwwwwwwwwwwwwwwwwwwwwwwwk  ",
    "    kwwwwwwwwwwwwwwwwwwwwwwwwk  ",
    "    kwwwwwwwwwwwwwwwwwwwwwwwwk  ",
    "    kwwwwwwwwwwwwwwwwwwwwwwwwk  ",
    "    kwwwwwwwwwwwwwwwwwwwwwwwwk  ",
    "    kwwwwwwwwwwwwwwwwwwwwwwwwks ",
    "    kkkkkkkkkkkkkkkkkkkkkkkkkks ",
    "     sssssssssssssssssssssssss  ",
]

ICON16 = [
    "                ",
    " kkkkkkkkkk     ",
    " kwwwwwwwwkk    ",
    " kwwwwwwwwksk   ",
    " kwwwwwwwwkkkk  ",
    " kwwwwwwwwwwwk  ",
    " kwwwwwwwwwwwk  ",
    " kwwwwwwwwwwwk  ",
    " kwwwwwwwwwwwk  ",
    " kwwwwwwwwwwwk  ",
    " kwwwwwwwwwwwk  ",
    " kwwwwwwwwwwwk  ",
    " kwwwwwwwwwwwk  ",
    " kwwwwwwwwwwwk  ",
    " kkkkkkkkkkkkk  ",
    "                ",
]

# 3 x 5 hex digits for the icons' text.
DIGITS = {
    '0': ["###", "#.#", "#.#", "#.#", "###"],
    '1': [".#.", "##.", ".#.", ".#.", "###"],
    '2': ["###", "..#", "###", "#..", "###"],
    '3': ["###", "..#", ".##", "..#", "###"],
    '4': ["#.#", "#.#", "###", "..#", "..#"],
    '5': ["###", "#..", "###", "..#", "###"],
    '6': ["###", "#..", "###", "#.#", "###"],
    '7': ["###", "..#", ".#.", ".#.", ".#."],
    '8': ["###", "#.#", "###", "#.#", "###"],
    '9': ["###", "#.#", "###", "..#", "###"],
    'A': [".#.", "#.#", "###", "#.#", "#.#"],
    'B': ["##.", "#.#", "##.", "#.#", "##."],
    'C': ["###", "#..", "#..", "#..", "###"],
    'D': ["##.", "#.#", "#.#", "#.#", "##."],
    'E': ["###", "#..", "##.", "#..", "###"],
    'F': ["###", "#..", "##.", "#..", "#.."],
}


def put_text(rows, x, y, text, colour):
    """Draws text in the 3 x 5 digits into rows (a list of lists)."""
    for ch in text:
        if ch != ' ':
            for dy, line in enumerate(DIGITS[ch]):
                for dx, c in enumerate(line):
                    if c == '#':
                        rows[y + dy][x + dx] = colour
        x += 4


def icon32():
    rows = [list(r) for r in ICON32]
    put_text(rows, 6, 3, "0F", 'R')
    for i, line in enumerate(["A4 7C", "E2 9B", "30 D8"]):
        put_text(rows, 6, 10 + 7 * i, line, 'n')
    return [''.join(r) for r in rows]


def icon16():
    rows = [list(r) for r in ICON16]
    put_text(rows, 3, 3, "0F", 'R')
    put_text(rows, 3, 9, "A7", 'n')
    return [''.join(r) for r in rows]


def neighbour(art, x, y):
    """The pixel at (x, y), the nearest edge pixel outside the picture."""
    y = min(max(y, 0), len(art) - 1)
    x = min(max(x, 0), len(art[0]) - 1)
    return art[y][x]


def scale2x(art):
    """Doubles a picture with Scale2x: each pixel becomes four, a corner
    taking the colour of the two neighbours it lies between where they agree
    (and the other two do not)."""
    out = []
    for y in range(len(art)):
        top, bottom = [], []
        for x in range(len(art[0])):
            p = art[y][x]
            a, b = neighbour(art, x, y - 1), neighbour(art, x + 1, y)
            c, d = neighbour(art, x - 1, y), neighbour(art, x, y + 1)
            top += [a if c == a and c != d and a != b else p,
                    b if a == b and a != c and b != d else p]
            bottom += [c if d == c and d != b and c != a else p,
                       d if b == d and b != a and d != c else p]
        out += [''.join(top), ''.join(bottom)]
    return out


def scale3x(art):
    """Triples a picture with Scale3x, Scale2x's rule on a 3 x 3 block."""
    out = []
    for y in range(len(art)):
        rows = [[], [], []]
        for x in range(len(art[0])):
            a, b, c = (neighbour(art, x + dx, y - 1) for dx in (-1, 0, 1))
            d, e, f = (neighbour(art, x + dx, y) for dx in (-1, 0, 1))
            g, h, i = (neighbour(art, x + dx, y + 1) for dx in (-1, 0, 1))
            db, bf, dh, hf = d == b, b == f, d == h, h == f
            rows[0] += [d if db and not bf and not dh else e,
                        b if (db and not bf and not dh and e != c)
                        or (bf and not db and not hf and e != a) else e,
                        f if bf and not db and not hf else e]
            rows[1] += [d if (db and not bf and not dh and e != g)
                        or (dh and not db and not hf and e != a) else e,
                        e,
                        f if (bf and not db and not hf and e != i)
                        or (hf and not dh and not bf and e != c) else e]
            rows[2] += [d if dh and not db and not hf else e,
                        h if (dh and not db and not hf and e != i)
                        or (hf and not dh and not bf and e != g) else e,
                        f if hf and not dh and not bf else e]
        out += [''.join(r) for r in rows]
    return out


def scale_image(art, width, height):
    """A toolbar image of the design at width x height: 32 x 30 by Scale2x,
    24 x 23 by Scale3x taking every other pixel."""
    if (width, height) == (32, 30):
        return scale2x(art)
    if (width, height) == (24, 23):
        big = scale3x(art)
        return [row[0::2] for row in big[0::2]]
    raise ValueError((width, height))


def check(art, width, height):
    assert len(art) == height, (len(art), height)
    for row in art:
        assert len(row) == width, (row, width)
        for c in row:
            assert c in COLOURS, c


def pixels(art):
    return [[COLOURS[c] for c in row] for row in art]


def palette_bytes():
    return b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)


def pack_4bpp(px):
    """Bottom-up 4-bit rows, each padded to a multiple of 4 bytes."""
    out = b''
    for row in reversed(px):
        if len(row) % 2:
            row = row + [0]
        data = bytes((row[i] << 4) | row[i + 1] for i in range(0, len(row), 2))
        out += data + b'\0' * (-len(data) % 4)
    return out


def pack_mask(art):
    """Bottom-up 1-bit AND mask (1 = transparent), rows padded to 4 bytes."""
    out = b''
    for row in reversed(art):
        bits = [1 if c == ' ' else 0 for c in row]
        bits += [0] * (-len(bits) % 8)
        data = bytes(int(''.join(map(str, bits[i:i + 8])), 2)
                     for i in range(0, len(bits), 8))
        out += data + b'\0' * (-len(data) % 4)
    return out


def info_header(width, height, image_size):
    return struct.pack('<IiiHHIIiiII', 40, width, height, 1, 4, 0,
                       image_size, 0, 0, 16, 0)


def write_bmp(path, px):
    height, width = len(px), len(px[0])
    image = pack_4bpp(px)
    offset = 14 + 40 + 64
    header = struct.pack('<2sIHHI', b'BM', offset + len(image), 0, 0, offset)
    with open(path, 'wb') as f:
        f.write(header + info_header(width, height, len(image))
                + palette_bytes() + image)


def write_ico(path, arts):
    images = []
    for art in arts:
        size = len(art)
        xor = pack_4bpp(pixels(art))
        mask = pack_mask(art)
        images.append((size, info_header(size, 2 * size, len(xor) + len(mask))
                       + palette_bytes() + xor + mask))
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4,
                           len(data), offset)
        offset += len(data)
    out += b''.join(data for _, data in images)
    with open(path, 'wb') as f:
        f.write(out)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    strip = [OPEN, SAVE, ZEROS, EFFS, ABOUT]
    for art in strip:
        check(art, 16, 15)
    toolbar = [''.join(art[y] for art in strip) for y in range(15)]
    write_bmp(os.path.join(here, 'Toolbar.bmp'), pixels(toolbar))
    for width, height in ((24, 23), (32, 30)):
        scaled = [scale_image(art, width, height) for art in strip]
        for art in scaled:
            check(art, width, height)
        toolbar = [''.join(art[y] for art in scaled) for y in range(height)]
        write_bmp(os.path.join(here, 'Toolbar%d.bmp' % width), pixels(toolbar))

    big, small = icon32(), icon16()
    check(big, 32, 32)
    check(small, 16, 16)
    write_ico(os.path.join(here, 'QXEdit.ico'), [big, small])


if __name__ == '__main__':
    main()
