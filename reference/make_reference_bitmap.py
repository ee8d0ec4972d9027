#!/usr/bin/env python3
"""Make ASCII8X14.BMP, Glyphora's reference strip of the IBM PC character set.

The bitmap is 2048 x 14 pixels: one row of 256 cells, each 8 x 14 pixels.
Cell k (x = 8k .. 8k+7) shows code-page-437 character k in black on white.
It is drawn from a public-domain Linux console font shipped by Debian:

    /usr/share/consolefonts/FullGreek-VGA14.psf.gz
    (package console-setup-linux: "apt-get install console-setup-linux")

Regenerate it (from the repository root) with

    python3 reference/make_reference_bitmap.py

or name the font and the output explicitly:

    python3 reference/make_reference_bitmap.py \\
        /usr/share/consolefonts/FullGreek-VGA14.psf.gz reference/ASCII8X14.BMP

The output depends only on the font file: the same font gives a
byte-identical BMP.  `--survey [DIR]` lists how well every 8x14 console font
in DIR (default /usr/share/consolefonts) covers code page 437.

Code page 437 as used here
--------------------------
  0         blank
  1-31      the PC graphic symbols  (smileys, card suits, arrows, ...)
  32-126    ASCII
  127       HOUSE (U+2302)
  128-255   as Python's 'cp437' codec decodes them; 255 (no-break space)
            is drawn blank, like 0 and 32.

Which glyph a code gets
-----------------------
1. The font's own glyph for the Unicode character, if it is a real glyph for
   it.  A glyph is refused when
     - the font's Unicode table gives it to another code-page-437 character
       first (for example a font that draws the double box line U+2554 with
       the single-line U+250C glyph, or BLACK RIGHT-POINTING TRIANGLE with
       the RIGHTWARDS ARROW glyph): such a cell would duplicate its
       neighbour; or
     - its shape cannot be that character, which means the slot holds
       some other drawing.  The VGA 8x14 console faces have twelve such
       slots, and these checks catch them:
         U+207F, U+00B2  superscripts: no ink in the lowest third of the
                         cell (the faces draw a copyright sign for U+207F);
         U+00B7          middle dot: ink only in the middle third (the
                         faces draw a dot above);
         U+00BC          one quarter: the same numerator "1" as the font's
                         one half (the faces draw an OE ligature);
         box drawing     (codes 179-218) its lines must leave the cell
                         exactly where the font's straight lines U+2500,
                         U+2502, U+2550 and U+2551 do, so that neighbouring
                         cells join (the faces draw the nine joins of a
                         double vertical with a single horizontal line one
                         pixel off).
2. Otherwise a fallback, in this order (first one that works):
     - alias: another code point naming the same shape
         16 U+25BA -> U+25B6 / U+25B8,   17 U+25C4 -> U+25C0 / U+25C2,
         239 U+2229 -> U+22C2,           240 U+2261 -> U+2630;
     - derived from the font's own glyphs:
         134 a-ring   = a from a-grave + ring of the degree sign above it
         141 i-grave  = i-acute with the acute mirrored into a grave
         143 A-ring   = A with the ring of the degree sign sitting on its apex
                        (or, where that does not fit, the A of A-diaeresis)
         149 o-grave  = o-acute with the acute mirrored into a grave
         169 U+2310   = NOT SIGN mirrored left-right
         239 U+2229   = U turned upside down
         240 U+2261   = three bars of '=' two rows apart
         box drawing  = refused joins assembled from the font's straight
                        lines (182 183 189 199 208 210 211 214 215 here)
     - drawn here (the font has nothing to build them from), in the VGA
       style: 158 PESETA SIGN, 172 ONE QUARTER, 236 INFINITY,
       250 MIDDLE DOT, 252 SUPERSCRIPT N;
     - last resort for any other font: an empty box (8 x 14 outline inset).
   The script prints every code that fell back and how.
"""

import argparse
import glob
import gzip
import os
import struct
import sys

CELL_W = 8
CELL_H = 14
CELLS = 256

DEFAULT_FONT = "/usr/share/consolefonts/FullGreek-VGA14.psf.gz"
DEFAULT_OUTPUT = os.path.join(os.path.dirname(os.path.abspath(__file__)),
                              "ASCII8X14.BMP")

# Code-page-437 positions 1-31 (the PC's graphic control symbols).
PC_SYMBOLS_1_31 = ("\u263A\u263B\u2665\u2666\u2663\u2660\u2022\u25D8\u25CB"
                   "\u25D9\u2642\u2640\u266A\u266B\u263C\u25BA\u25C4\u2195"
                   "\u203C\u00B6\u00A7\u25AC\u21A8\u2191\u2193\u2192\u2190"
                   "\u221F\u2194\u25B2\u25BC")
BLANK_CODES = (0, 32, 255)


def cp437_table():
    """Return the 256 characters of code page 437 (index = code)."""
    table = ["\0"] + list(PC_SYMBOLS_1_31)
    table += [chr(c) for c in range(32, 127)] + ["\u2302"]
    table += [bytes([c]).decode("cp437") for c in range(128, 256)]
    assert len(table) == CELLS
    return table


CP437 = cp437_table()

# ---------------------------------------------------------------- PSF reader


class PsfFont:
    """A PSF1/PSF2 console font: glyph rows plus its Unicode table."""

    def __init__(self, kind, width, height, glyphs, glyph_codes):
        self.kind = kind                # "PSF1" or "PSF2"
        self.width = width
        self.height = height
        self.glyphs = glyphs            # list of tuples of row ints, MSB left
        self.glyph_codes = glyph_codes  # per glyph: its code points, in order
        self.code_to_glyph = {}
        for index, codes in enumerate(glyph_codes):
            for cp in codes:
                self.code_to_glyph.setdefault(cp, index)


def _rows(data, width, height):
    row_bytes = (width + 7) // 8
    rows = []
    for r in range(height):
        chunk = data[r * row_bytes:(r + 1) * row_bytes]
        rows.append(int.from_bytes(chunk, "big") >> (row_bytes * 8 - width))
    return tuple(rows)


def read_psf(path):
    """Read a (possibly gzip-compressed) PSF1 or PSF2 font file."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] == b"\x1f\x8b":
        data = gzip.decompress(data)
    if data[:2] == b"\x36\x04":
        mode, height = data[2], data[3]
        count = 512 if mode & 0x01 else 256
        width, offset, size = 8, 4, height
        has_table = bool(mode & 0x06)
        kind = "PSF1"
    elif data[:4] == b"\x72\xb5\x4a\x86":
        (_, _, offset, flags, count, size, height,
         width) = struct.unpack("<8I", data[:32])
        has_table = bool(flags & 0x01)
        kind = "PSF2"
    else:
        raise ValueError("%s: not a PSF1 or PSF2 font" % path)
    end = offset + count * size
    if len(data) < end:
        raise ValueError("%s: truncated glyph data" % path)
    glyphs = [_rows(data[offset + i * size:offset + (i + 1) * size],
                    width, height) for i in range(count)]
    codes = [[] for _ in range(count)]
    if has_table:
        table = data[end:]
        if kind == "PSF1":
            entries = struct.unpack("<%dH" % (len(table) // 2),
                                    table[:len(table) // 2 * 2])
            index, in_sequence = 0, False
            for value in entries:
                if index >= count:
                    break
                if value == 0xFFFF:
                    index, in_sequence = index + 1, False
                elif value == 0xFFFE:
                    in_sequence = True   # combining sequences are skipped
                elif not in_sequence:
                    codes[index].append(value)
        else:
            for index, entry in enumerate(table.split(b"\xff")[:count]):
                singles = entry.split(b"\xfe")[0]
                codes[index].extend(
                    ord(c) for c in singles.decode("utf-8", "replace"))
    return PsfFont(kind, width, height, glyphs, codes)


# ----------------------------------------------------------- glyph helpers
# A glyph is a tuple of CELL_H ints; bit 7 of each is the leftmost pixel.

BLANK = (0,) * CELL_H


def ink_rows(glyph):
    return [r for r, bits in enumerate(glyph) if bits]


def ink_cols(glyph):
    mask = 0
    for bits in glyph:
        mask |= bits
    cols = [c for c in range(CELL_W) if mask & (0x80 >> c)]
    if not cols:
        raise LookupError("blank glyph")
    return cols[0], cols[-1]


def mirror_row(bits, axis_sum):
    """Mirror one row so that column c goes to axis_sum - c."""
    out = 0
    for c in range(CELL_W):
        if bits & (0x80 >> c):
            nc = axis_sum - c
            if not 0 <= nc < CELL_W:
                raise LookupError("mirrored pixel leaves the cell")
            out |= 0x80 >> nc
    return out


def shift_row(bits, dx):
    return (bits >> dx if dx >= 0 else bits << -dx) & 0xFF


def mirror_h(glyph):
    """Mirror left-right inside the glyph's own ink box."""
    lo, hi = ink_cols(glyph)
    return tuple(mirror_row(bits, lo + hi) for bits in glyph)


def flip_v(glyph):
    """Turn upside down inside the glyph's own ink rows."""
    rows = ink_rows(glyph)
    out = list(glyph)
    for r in rows:
        out[r] = glyph[rows[0] + rows[-1] - r]
    return tuple(out)


def split_accent(glyph):
    """Split an accented glyph at its first blank row below the top ink:
    return (accent rows {row: bits}, body rows {row: bits})."""
    rows = ink_rows(glyph)
    gap = next((r for r in range(rows[0], CELL_H) if not glyph[r]), None)
    if gap is None or gap > rows[-1]:
        raise LookupError("no separate accent")
    accent = {r: glyph[r] for r in rows if r < gap}
    body = {r: glyph[r] for r in rows if r > gap}
    return accent, body


def compose(parts):
    out = [0] * CELL_H
    for part in parts:
        for r, bits in part.items():
            if not 0 <= r < CELL_H:
                raise LookupError("part leaves the cell")
            out[r] |= bits
    return tuple(out)


def cols_of(rows):
    return ink_cols(compose([rows]))


def ring_rows(degree):
    """The ring of the degree sign, with repeated rows squeezed out."""
    rows = []
    for r in ink_rows(degree):
        if not rows or rows[-1] != degree[r]:
            rows.append(degree[r])
    return rows


def centred(rows_list, top, over_cols):
    """Place rows starting at row `top`, centred over column range."""
    glyph = compose([{i: b for i, b in enumerate(rows_list)}])
    lo, hi = ink_cols(glyph)
    dx = ((over_cols[0] + over_cols[1]) - (lo + hi)) // 2
    return {top + i: shift_row(b, dx) for i, b in enumerate(rows_list)}


def grave_from_acute(acute_letter):
    """ò / ì: the letter-with-acute, its acute mirrored about the letter."""
    accent, body = split_accent(acute_letter)
    lo, hi = cols_of(body)
    grave = {r: mirror_row(b, lo + hi) for r, b in accent.items()}
    return compose([grave, body])


def ring_over_small(grave_letter, degree):
    """å: the body of à with the degree-sign ring where the grave was."""
    accent, body = split_accent(grave_letter)
    ring = ring_rows(degree)
    body_top = min(body)
    return compose([body, centred(ring, body_top - 1 - len(ring),
                                  cols_of(body))])


def ring_on_capital(capital, degree):
    """Å: the ring of the degree sign resting on the apex of A."""
    ring = ring_rows(degree)
    top = ink_rows(capital)[0] - len(ring)
    body = {r: capital[r] for r in ink_rows(capital)}
    return compose([body, centred(ring, top, ink_cols(capital))])


def ring_on_accented_capital(capital_with_accent, degree):
    """Å, second way: the A of A-diaeresis with the ring in place of dots."""
    _, body = split_accent(capital_with_accent)
    return ring_on_capital(compose([body]), degree)


def triple_bar(equals):
    """≡: the bar of '=' three times, two rows apart, centred like '='."""
    rows = ink_rows(equals)
    centre = (rows[0] + rows[-1]) // 2
    bar = equals[rows[0]]
    return compose([{centre - 2: bar, centre: bar, centre + 2: bar}])


def drawn(*rows):
    """A glyph written out as CELL_H strings of '#' and '.'."""
    assert len(rows) == CELL_H and all(len(r) == CELL_W for r in rows)
    return tuple(int(r.replace("#", "1").replace(".", "0"), 2) for r in rows)


# Drawn for this bitmap; the VGA 8x14 faces have nothing to build them from.
DRAWN = {
    0x20A7: drawn("........", "........", "........",   # PESETA SIGN
                  "####....", "##.##...", "##.##...", "####.#..",
                  "##..###.", "##...#..", "##...#..", "##...#.#",
                  "##....#.", "........", "........"),
    0x221E: drawn("........", "........", "........",   # INFINITY
                  "........", "........", "........", ".##.##..",
                  "#..#..#.", "#..#..#.", ".##.##..", "........",
                  "........", "........", "........"),
    0x00BC: drawn("........", ".##.....", "###.....",   # ONE QUARTER
                  ".##...#.", ".##..##.", ".##.##..", "...##...",
                  "..##....", ".##.....", "##..##..", "#..###..",
                  "..#.##..", "..#####.", "....##.."),
    0x00B7: drawn("........", "........", "........",   # MIDDLE DOT
                  "........", "........", "........", "........",
                  "...##...", "........", "........", "........",
                  "........", "........", "........"),
    0x207F: drawn("........", "........", "........",   # SUPERSCRIPT N
                  ".##.##..", "..##.##.", "..##.##.", "..##.##.",
                  "........", "........", "........", "........",
                  "........", "........", "........"),
}

MISSING_BOX = drawn("........", "........", ".######.", ".#....#.",
                    ".#....#.", ".#....#.", ".#....#.", ".#....#.",
                    ".#....#.", ".#....#.", ".#....#.", ".######.",
                    "........", "........")

# Fallbacks per Unicode code point, tried in order:
#   ("alias", cp)                    another code point for the same shape
#   ("derive", text, fn, cps)        fn(*glyphs of cps) from the font
#   ("drawn",)                       the pattern in DRAWN
FALLBACKS = {
    0x25BA: [("alias", 0x25B6), ("alias", 0x25B8)],
    0x25C4: [("alias", 0x25C0), ("alias", 0x25C2)],
    0x00E5: [("derive", "a-grave body + ring of the degree sign",
              ring_over_small, (0x00E0, 0x00B0))],
    0x00EC: [("derive", "i-acute with the acute mirrored",
              grave_from_acute, (0x00ED,))],
    0x00C5: [("derive", "A + ring of the degree sign on the apex",
              ring_on_capital, (0x0041, 0x00B0)),
             ("derive", "A-diaeresis with the ring in place of the dots",
              ring_on_accented_capital, (0x00C4, 0x00B0))],
    0x00F2: [("derive", "o-acute with the acute mirrored",
              grave_from_acute, (0x00F3,))],
    0x20A7: [("drawn",)],
    0x2310: [("derive", "NOT SIGN mirrored", mirror_h, (0x00AC,))],
    0x221E: [("drawn",)],
    0x2229: [("alias", 0x22C2),
             ("derive", "U upside down", flip_v, (0x0055,))],
    0x2261: [("alias", 0x2630),
             ("derive", "three bars of '='", triple_bar, (0x003D,))],
    0x207F: [("drawn",)],
    0x00BC: [("drawn",)],
    0x00B7: [("drawn",)],
}



def _superscript_ok(glyph, font):
    return all(r < CELL_H * 2 // 3 for r in ink_rows(glyph))


def _middle_dot_ok(glyph, font):
    rows = ink_rows(glyph)
    return bool(rows) and rows[0] >= CELL_H // 3 and rows[-1] < CELL_H * 2 // 3


def _quarter_ok(glyph, font):
    half = font.code_to_glyph.get(0x00BD)
    if half is None:
        return True
    return glyph[:CELL_H // 2] == font.glyphs[half][:CELL_H // 2]


# Shape checks for glyphs that some console fonts put in the wrong slot.
SHAPE_CHECKS = {
    0x207F: _superscript_ok,   # no ink in the lowest third of the cell
    0x00B2: _superscript_ok,
    0x00B7: _middle_dot_ok,    # ink only in the middle third
    0x00BC: _quarter_ok,       # same numerator "1" as the font's 1/2
}

# Box drawing: arms of codes 179-218 as up, down, left, right with
# 0 = none, 1 = single line, 2 = double line.
BOX_ARMS = {
    179: "1100", 180: "1110", 181: "1120", 182: "2210", 183: "0210",
    184: "0120", 185: "2220", 186: "2200", 187: "0220", 188: "2020",
    189: "2010", 190: "1020", 191: "0110", 192: "1001", 193: "1011",
    194: "0111", 195: "1101", 196: "0011", 197: "1111", 198: "1102",
    199: "2201", 200: "2002", 201: "0202", 202: "2022", 203: "0222",
    204: "2202", 205: "0022", 206: "2222", 207: "1022", 208: "2011",
    209: "0122", 210: "0211", 211: "2001", 212: "1002", 213: "0102",
    214: "0201", 215: "2211", 216: "1122", 217: "1010", 218: "0101",
}
VERTICAL_LINE = {1: 0x2502, 2: 0x2551}     # the font's straight lines
HORIZONTAL_LINE = {1: 0x2500, 2: 0x2550}
STRAIGHT_LINES = set(VERTICAL_LINE.values()) | set(HORIZONTAL_LINE.values())


def arms_of(cp):
    code = CP437.index(chr(cp))
    return tuple(int(a) for a in BOX_ARMS[code])


def column(glyph, col):
    return tuple(bool(bits & (0x80 >> col)) for bits in glyph)


def box_edges(glyph):
    """What a box glyph shows at its top, bottom, left and right edges."""
    return (glyph[0], glyph[-1], column(glyph, 0), column(glyph, CELL_W - 1))


def expected_box_edges(font, arms):
    """The edges a box glyph with these arms must have so that it joins
    the font's straight lines; None if the font lacks one of them."""
    up, down, left, right = arms
    lines = {}
    for kind, table in (("v", VERTICAL_LINE), ("h", HORIZONTAL_LINE)):
        for weight, cp in table.items():
            index = font.code_to_glyph.get(cp)
            if index is None:
                return None
            lines[kind, weight] = font.glyphs[index]
    none_col = (False,) * CELL_H
    return (lines["v", up][0] if up else 0,
            lines["v", down][-1] if down else 0,
            column(lines["h", left], 0) if left else none_col,
            column(lines["h", right], CELL_W - 1) if right else none_col)


def _box_ok(glyph, font, cp):
    if cp in STRAIGHT_LINES:
        return True
    expected = expected_box_edges(font, arms_of(cp))
    return expected is None or box_edges(glyph) == expected


def column_runs(glyph):
    """Runs of inked columns as (first, last) pairs, left to right."""
    runs, start = [], None
    for c in range(CELL_W + 1):
        inked = c < CELL_W and any(column(glyph, c))
        if inked and start is None:
            start = c
        elif not inked and start is not None:
            runs.append((start, c - 1))
            start = None
    return runs


def assemble_box(arms, vline, hline):
    """Build a box glyph from the font's straight vertical and horizontal
    line (one of them single): arms end on the lines they meet, and a line
    that goes straight through is drawn across the whole cell."""
    up, down, left, right = arms
    if 2 in (up, down) and 2 in (left, right):
        raise LookupError("double crossings are not assembled")
    hrows = ink_rows(hline)
    runs = column_runs(vline)
    lo, hi = runs[0][0], runs[-1][1]
    left_end, right_start = runs[0][1], runs[-1][0]
    through_v, through_h = bool(up and down), bool(left and right)
    mask = 0
    if through_h:
        mask = 0xFF
    else:
        if left:
            mask |= (0xFF << (CELL_W - 1 - (left_end if through_v else hi)))
        if right:
            mask |= 0xFF >> (right_start if through_v else lo)
    out = [0] * CELL_H
    for r in hrows:
        out[r] |= hline[r] & mask & 0xFF
    if up:
        for r in range(0, (hrows[0] if through_h else hrows[-1]) + 1):
            out[r] |= vline[r]
    if down:
        for r in range(hrows[-1] if through_h else hrows[0], CELL_H):
            out[r] |= vline[r]
    return tuple(out)


def _box_fallback(cp):
    up, down, left, right = arms = arms_of(cp)
    weight_v, weight_h = max(up, down), max(left, right)
    return [("derive", "assembled from the font's straight box lines",
             lambda v, h: assemble_box(arms, v, h),
             (VERTICAL_LINE[weight_v], HORIZONTAL_LINE[weight_h]))]


for _code in BOX_ARMS:
    _cp = ord(CP437[_code])
    if _cp not in STRAIGHT_LINES:
        SHAPE_CHECKS[_cp] = (lambda cp: lambda g, f: _box_ok(g, f, cp))(_cp)
        FALLBACKS[_cp] = _box_fallback(_cp)

# -------------------------------------------------------------- glyph choice


def own_glyph(font, cp):
    """The font's real glyph for cp, or None (see the module docstring)."""
    index = font.code_to_glyph.get(cp)
    if index is None:
        return None
    first = font.glyph_codes[index][0]
    if first != cp and chr(first) in CP437:
        return None   # approximated with another PC character's glyph
    glyph = font.glyphs[index]
    check = SHAPE_CHECKS.get(cp)
    if check is not None and not check(glyph, font):
        return None   # the slot holds some other drawing
    return glyph


def glyph_for(font, code):
    """Return (glyph, None) or (glyph, description of the fallback used)."""
    if code in BLANK_CODES:
        return BLANK, None
    cp = ord(CP437[code])
    glyph = own_glyph(font, cp)
    if glyph is not None:
        return glyph, None
    for how in FALLBACKS.get(cp, []):
        if how[0] == "alias":
            glyph = own_glyph(font, how[1])
            if glyph is not None:
                return glyph, "alias U+%04X %s" % (how[1], chr(how[1]))
        elif how[0] == "derive":
            sources = [own_glyph(font, c) for c in how[3]]
            if None in sources:
                continue
            try:
                return how[2](*sources), "derived: " + how[1]
            except LookupError:
                continue
        elif how[0] == "drawn":
            return DRAWN[cp], "drawn in the script"
    return MISSING_BOX, "not in the font: empty box"


def build_cells(font):
    """Return (256 glyphs, list of (code, fallback description))."""
    if (font.width, font.height) != (CELL_W, CELL_H):
        raise ValueError("need an 8x14 font, got %dx%d"
                         % (font.width, font.height))
    cells, fallbacks = [], []
    for code in range(CELLS):
        glyph, note = glyph_for(font, code)
        cells.append(glyph)
        if note:
            fallbacks.append((code, note))
    return cells, fallbacks


# ---------------------------------------------------------------- BMP writer


def bmp_bytes(cells):
    """A 1-bit Windows BMP (BITMAPINFOHEADER, bottom-up) of the strip.
    Palette index 0 is black (glyph), 1 is white (background)."""
    width, height = CELL_W * len(cells), CELL_H
    stride = (width + 31) // 32 * 4
    pixels = bytearray()
    for r in reversed(range(height)):          # bottom row first
        row = bytes(0xFF ^ glyph[r] for glyph in cells)
        pixels += row + b"\0" * (stride - len(row))
    palette = b"\x00\x00\x00\x00" + b"\xff\xff\xff\x00"
    offset = 14 + 40 + len(palette)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels),
                              0, 0, offset)
    info_header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 1, 0,
                              len(pixels), 2835, 2835, 2, 2)
    return file_header + info_header + palette + bytes(pixels)


# -------------------------------------------------------------------- survey


def survey(directory):
    """Print, for every 8x14 font in directory, which codes it cannot give:
    'absent' ones are not in its Unicode table, 'refused' ones are but fail
    the checks in own_glyph()."""
    results = []
    for path in sorted(glob.glob(os.path.join(directory, "*.psf*"))):
        try:
            font = read_psf(path)
        except (OSError, ValueError):
            continue
        if (font.width, font.height) != (CELL_W, CELL_H):
            continue
        absent, refused = [], []
        for code in range(CELLS):
            cp = ord(CP437[code])
            if code in BLANK_CODES or own_glyph(font, cp) is not None:
                continue
            (refused if cp in font.code_to_glyph else absent).append(code)
        results.append((len(absent) + len(refused), len(absent),
                        os.path.basename(path), absent, refused))
    print("unusable absent  font")
    for total, count, name, absent, refused in sorted(results):
        print("%8d %6d  %s\n        absent: %s\n        refused: %s"
              % (total, count, name, " ".join(map(str, absent)) or "-",
                 " ".join(map(str, refused)) or "-"))


def main(argv=None):
    parser = argparse.ArgumentParser(
        description="Draw the 2048x14 code-page-437 reference strip "
                    "ASCII8X14.BMP from an 8x14 PSF console font.")
    parser.add_argument("font", nargs="?", default=DEFAULT_FONT,
                        help="PSF1/PSF2 font, gzip or plain "
                             "(default: %(default)s)")
    parser.add_argument("output", nargs="?", default=DEFAULT_OUTPUT,
                        help="BMP to write (default: ASCII8X14.BMP "
                             "beside this script)")
    parser.add_argument("--survey", nargs="?", const="/usr/share/consolefonts",
                        metavar="DIR", help="list code-page-437 coverage of "
                        "the 8x14 fonts in DIR instead")
    args = parser.parse_args(argv)
    if hasattr(sys.stdout, "reconfigure"):
        sys.stdout.reconfigure(errors="backslashreplace")
    if args.survey:
        survey(args.survey)
        return 0
    font = read_psf(args.font)
    cells, fallbacks = build_cells(font)
    data = bmp_bytes(cells)
    with open(args.output, "wb") as f:
        f.write(data)
    print("font: %s (%s, %d glyphs, %dx%d)" % (args.font, font.kind,
          len(font.glyphs), font.width, font.height))
    print("fell back: %d code(s)" % len(fallbacks))
    for code, note in fallbacks:
        cp = ord(CP437[code])
        print("  %3d  U+%04X %s  %s" % (code, cp, chr(cp), note))
    print("wrote %s (%dx%d, %d bytes)" % (args.output, CELL_W * CELLS,
                                          CELL_H, len(data)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
