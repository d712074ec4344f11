#!/usr/bin/env python3
"""Draws the kit's bitmaps and cursors as PNG files beside this script.

The pictures are small pixel drawings; the colour in the bottom-left corner of
each bitmap is its transparent colour (olive for glyphs, fuchsia for the sort
markers, white for the row marks), as the kit's drawing code expects. The
cursors carry an alpha channel instead. Run it again after changing a picture:
    python3 kit/res/draw_resources.py
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

OLIVE = (128, 128, 0, 255)
FUCHSIA = (255, 0, 255, 255)
WHITE = (255, 255, 255, 255)
BLACK = (0, 0, 0, 255)
GREY = (128, 128, 128, 255)
SILVER = (192, 192, 192, 255)
RED = (200, 0, 0, 255)
GREEN = (0, 128, 0, 255)
NAVY = (0, 0, 128, 255)
CLEAR = (0, 0, 0, 0)


def write_png(name, pixels):
    height = len(pixels)
    width = len(pixels[0])
    raw = b"".join(b"\x00" + b"".join(struct.pack("BBBB", *p) for p in row) for row in pixels)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    png = (b"\x89PNG\r\n\x1a\n"
           + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
           + chunk(b"IDAT", zlib.compress(raw, 9))
           + chunk(b"IEND", b""))
    with open(os.path.join(HERE, name + ".png"), "wb") as f:
        f.write(png)


def canvas(width, height, colour):
    return [[colour] * width for _ in range(height)]


def art(rows, palette, background):
    """Pixels from text rows; characters missing from the palette are background."""
    return [[palette.get(ch, background) for ch in row] for row in rows]


def side_by_side(*cells):
    return [sum((cell[y] for cell in cells), []) for y in range(len(cells[0]))]


def mirrored(pixels):
    return [list(reversed(row)) for row in pixels]


def embossed(pixels, background):
    """The greyed look of a disabled glyph: white ink shifted by one, grey ink on top."""
    h, w = len(pixels), len(pixels[0])
    out = canvas(w, h, background)
    ink = [[pixels[y][x] not in (background, WHITE) for x in range(w)] for y in range(h)]
    for y in range(h):
        for x in range(w):
            if ink[y][x] and y + 1 < h and x + 1 < w:
                out[y + 1][x + 1] = WHITE
    for y in range(h):
        for x in range(w):
            if ink[y][x]:
                out[y][x] = GREY
    return out


# A 3x5 pixel font for the grid's field glyphs.
FONT = {
    "A": ["###", "#.#", "###", "#.#", "#.#"],
    "B": ["##.", "#.#", "##.", "#.#", "##."],
    "C": ["###", "#..", "#..", "#..", "###"],
    "D": ["##.", "#.#", "#.#", "#.#", "##."],
    "E": ["###", "#..", "##.", "#..", "###"],
    "I": ["###", ".#.", ".#.", ".#.", "###"],
    "J": ["..#", "..#", "..#", "#.#", "###"],
    "L": ["#..", "#..", "#..", "#..", "###"],
    "M": ["#.#", "###", "###", "#.#", "#.#"],
    "O": ["###", "#.#", "#.#", "#.#", "###"],
    "P": ["###", "#.#", "###", "#..", "#.."],
    "T": ["###", ".#.", ".#.", ".#.", ".#."],
    "+": ["...", ".#.", "###", ".#.", "..."],
}


def label_glyph(text, width=21, height=11):
    """A white tag with a black border and the text in navy, on olive."""
    px = canvas(width, height, OLIVE)
    for y in range(1, height - 1):
        for x in range(1, width - 1):
            border = y in (1, height - 2) or x in (1, width - 2)
            px[y][x] = BLACK if border else WHITE
    text_width = len(text) * 4 - 1
    left = (width - text_width) // 2
    for i, ch in enumerate(text):
        for y, row in enumerate(FONT[ch]):
            for x, bit in enumerate(row):
                if bit == "#":
                    px[3 + y][left + i * 4 + x] = NAVY
    return px


def date_cell():
    px = canvas(15, 15, OLIVE)
    for y in range(1, 14):
        for x in range(1, 14):
            edge = y in (1, 13) or x in (1, 13)
            px[y][x] = BLACK if edge else (RED if y < 5 else WHITE)
    for y in (6, 8, 10):
        for x in (3, 5, 7, 9, 11):
            px[y][x] = BLACK
    return px


def calc_cell():
    px = canvas(15, 15, OLIVE)
    for y in range(1, 14):
        for x in range(2, 13):
            edge = y in (1, 13) or x in (2, 12)
            px[y][x] = BLACK if edge else SILVER
    for y in range(3, 6):
        for x in range(4, 11):
            px[y][x] = (190, 230, 190, 255) if y == 4 else BLACK
    for y in (7, 9, 11):
        for x in (4, 6, 8, 10):
            px[y][x] = NAVY
            px[y][x + 1 if x < 10 else x] = NAVY
    return px


ARROW = ["   #", "  ##", " ###", "####", " ###", "  ##", "   #", "    "]


def arrow_cell():
    return art(ARROW, {"#": BLACK}, OLIVE)


def check_cell():
    rows = ["                ",
            "                ",
            "             ## ",
            "            ### ",
            "           ###  ",
            "          ###   ",
            " ##      ###    ",
            " ###    ###     ",
            "  ###  ###      ",
            "   ######       ",
            "    ####        ",
            "     ##         ",
            "                ",
            "                ",
            "                ",
            "                "]
    return art(rows, {"#": GREEN}, OLIVE)


def cross_cell():
    rows = ["                ",
            "                ",
            "  ##        ##  ",
            "  ###      ###  ",
            "   ###    ###   ",
            "    ###  ###    ",
            "     ######     ",
            "      ####      ",
            "      ####      ",
            "     ######     ",
            "    ###  ###    ",
            "   ###    ###   ",
            "  ###      ###  ",
            "  ##        ##  ",
            "                ",
            "                "]
    return art(rows, {"#": RED}, OLIVE)


def sort_marker(down):
    rows = ["#######", " ##### ", "  ###  ", "   #   "]
    if not down:
        rows = list(reversed(rows))
    rows.append("       ")
    return art(rows, {"#": GREY}, FUCHSIA)


def row_mark(arrow):
    rows = ["            ",
            "            ",
            "            ",
            "       ##   ",
            "      ####  ",
            "      ####  ",
            "       ##   ",
            "            ",
            "            ",
            "            "]
    if arrow:
        rows = ["            ",
                " #          ",
                " ##         ",
                " ###   ##   ",
                " #### ####  ",
                " #### ####  ",
                " ###   ##   ",
                " ##         ",
                " #          ",
                "            "]
    return art(rows, {"#": BLACK}, WHITE)


HAND = ["     ##         ",
        "    #..#        ",
        "    #..#        ",
        "    #..#        ",
        "    #..###      ",
        "    #..#..###   ",
        "    #..#..#..## ",
        " ## #..#..#..#.#",
        "#..##........#.#",
        "#...#..........#",
        " #.............#",
        "  #............#",
        "  #...........# ",
        "   #..........# ",
        "    #........#  ",
        "    ##########  "]

FIST = ["                ",
        "                ",
        "                ",
        "    ## ## ##    ",
        "   #..#..#..##  ",
        "   #........#.# ",
        " ###..........# ",
        "#..#..........# ",
        "#.............# ",
        " #............# ",
        "  #...........# ",
        "   #.........#  ",
        "    #........#  ",
        "    ##########  ",
        "                ",
        "                "]


def cursor(rows):
    small = art(rows, {"#": BLACK, ".": WHITE}, CLEAR)
    return [[p for p in row for _ in range(2)] for row in small for _ in range(2)]


def main():
    write_png("DEDITBMP", side_by_side(date_cell(), embossed(date_cell(), OLIVE)))
    write_png("CEDITBMP", side_by_side(calc_cell(), embossed(calc_cell(), OLIVE)))
    write_png("PREV1", arrow_cell())
    write_png("NEXT1", mirrored(arrow_cell()))
    write_png("PREV2", side_by_side(arrow_cell(), arrow_cell()))
    write_png("NEXT2", mirrored(side_by_side(arrow_cell(), arrow_cell())))
    write_png("CALCBTNS", side_by_side(check_cell(), cross_cell()))
    for name, text in (("DBG_BLOB", "BLOB"), ("DBG_MEMO", "MEMO"), ("DBG_PICT", "PICT"),
                       ("DBG_OLE", "OLE"), ("DBG_OBJECT", "OBJ"), ("DBG_DATA", "DATA"),
                       ("DBG_NOTEMPTY", "+")):
        write_png(name, label_glyph(text))
    write_png("DBG_SMDOWN", sort_marker(True))
    write_png("DBG_SMUP", sort_marker(False))
    write_png("DBG_MSDOT", row_mark(False))
    write_png("DBG_MSARROW", row_mark(True))
    write_png("KIT_HANDCUR", cursor(HAND))
    write_png("KIT_DRAGCUR", cursor(FIST))


if __name__ == "__main__":
    main()
