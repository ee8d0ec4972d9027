#!/usr/bin/env python3
"""Checks for ASCII8X14.BMP and make_reference_bitmap.py (standard library).

Run:  python3 reference/test_reference_bitmap.py
"""

import gzip
import os
import random
import struct
import sys
import tempfile
import unicodedata
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import make_reference_bitmap as mk  # noqa: E402

BMP_PATH = os.path.join(HERE, "ASCII8X14.BMP")


def parse_bmp(data):
    """Independent reader: returns (width, height, pixel(x, y) -> is_black)."""
    assert data[:2] == b"BM", "signature"
    file_size, _, offset = struct.unpack_from("<IIi", data, 2)
    assert file_size == len(data), "file size field"
    (hsize, width, height, planes, bpp, compression,
     _, _, _, used, _) = struct.unpack_from("<IiiHHIIiiII", data, 14)
    assert (hsize, planes, bpp, compression) == (40, 1, 1, 0)
    assert height > 0, "bottom-up rows"
    colours = used or 2
    palette = [data[54 + 4 * i:54 + 4 * i + 3] for i in range(colours)]
    stride = (width * bpp + 31) // 32 * 4
    assert offset + stride * height <= len(data)

    def black(x, y):
        row = offset + (height - 1 - y) * stride
        bit = (data[row + x // 8] >> (7 - x % 8)) & 1
        return palette[bit] == b"\0\0\0"
    return width, height, palette, black


def cell(black, k):
    return tuple(sum(1 << (7 - i) for i in range(8) if black(8 * k + i, y))
                 for y in range(14))


class CommittedBitmap(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with open(BMP_PATH, "rb") as f:
            cls.data = f.read()
        cls.width, cls.height, cls.palette, black = parse_bmp(cls.data)
        cls.cells = [cell(black, k) for k in range(256)]

    def test_format(self):
        self.assertEqual((self.width, self.height), (2048, 14))
        self.assertEqual(self.palette, [b"\0\0\0", b"\xff\xff\xff"])
        self.assertEqual(len(self.data), 14 + 40 + 8 + 256 * 14)

    def test_blank_and_drawn_cells(self):
        for k in (0, 32, 255):
            self.assertEqual(self.cells[k], mk.BLANK, k)
        for k in set(range(1, 255)) - {32}:
            self.assertNotEqual(self.cells[k], mk.BLANK, k)
        self.assertEqual(self.cells[219], (0xFF,) * 14)      # full block
        self.assertEqual(self.cells[223][:7], (0xFF,) * 7)   # upper half
        self.assertEqual(self.cells[223][7:], (0,) * 7)
        self.assertEqual(self.cells[220], self.cells[223][::-1])
        self.assertEqual([r & 0xF0 for r in self.cells[221]], [0xF0] * 14)
        ink = [sum(bin(r).count("1") for r in self.cells[k])
               for k in (176, 177, 178)]
        self.assertTrue(ink[0] < ink[1] < ink[2], ink)        # shades

    def test_no_cell_copies_another(self):
        # Fonts that approximate a character reuse another one's glyph.
        seen = {}
        for k in range(1, 255):
            if k != 32:
                self.assertNotIn(self.cells[k], seen,
                                 "%d duplicates %d" % (k, seen.get(
                                     self.cells[k], -1)))
                seen[self.cells[k]] = k

    def test_box_lines_join_neighbours(self):
        # Every arm must leave the cell where the straight lines do.
        v = {1: self.cells[179], 2: self.cells[186]}
        h = {1: self.cells[196], 2: self.cells[205]}
        for code, arms in mk.BOX_ARMS.items():
            up, down, left, right = (int(a) for a in arms)
            g = self.cells[code]
            self.assertEqual(g[0], v[up][0] if up else 0, code)
            self.assertEqual(g[-1], v[down][-1] if down else 0, code)
            self.assertEqual(mk.column(g, 0), mk.column(h[left], 0)
                             if left else (False,) * 14, code)
            self.assertEqual(mk.column(g, 7), mk.column(h[right], 7)
                             if right else (False,) * 14, code)

    @unittest.skipUnless(os.path.exists(mk.DEFAULT_FONT), "font not installed")
    def test_regenerates_byte_identical(self):
        cells, _ = mk.build_cells(mk.read_psf(mk.DEFAULT_FONT))
        self.assertEqual(mk.bmp_bytes(cells), self.data)


class Tables(unittest.TestCase):
    def test_code_page(self):
        self.assertEqual(len(mk.CP437), 256)
        self.assertEqual(mk.CP437[1], "\u263A")
        self.assertEqual(mk.CP437[31], "\u25BC")
        self.assertEqual(mk.CP437[127], "\u2302")
        self.assertEqual(mk.CP437[65], "A")
        self.assertEqual(mk.CP437[224], "\u03B1")
        self.assertEqual(mk.CP437[255], "\u00A0")

    def test_box_arms_match_unicode_names(self):
        for code, arms in mk.BOX_ARMS.items():
            name = unicodedata.name(mk.CP437[code])[len("BOX DRAWINGS "):]
            want = [0, 0, 0, 0]
            weight = 0
            for part in name.split(" AND "):
                words = part.split()
                weight = {"LIGHT": 1, "DOUBLE": 2}.get(words[0], weight)
                for w in words:
                    weight = {"SINGLE": 1, "DOUBLE": 2}.get(w, weight)
                for w in words:
                    for i, d in enumerate(("UP", "DOWN", "LEFT", "RIGHT")):
                        if w == d or (w == "VERTICAL" and i < 2) or (
                                w == "HORIZONTAL" and i >= 2):
                            want[i] = weight
            self.assertEqual("".join(map(str, want)), arms, name)


def psf1(glyphs, table):
    """glyphs: list of 14-byte rows; table: per glyph list of code points,
    a list item that is a tuple is written as a combining sequence."""
    out = bytearray(b"\x36\x04" + bytes([0x03 if len(glyphs) > 256 else 0x02,
                                         14]))
    for g in glyphs:
        out += bytes(g)
    for entry in table:
        for cp in entry:
            if isinstance(cp, tuple):
                out += struct.pack("<H", 0xFFFE)
                out += struct.pack("<%dH" % len(cp), *cp)
            else:
                out += struct.pack("<H", cp)
        out += struct.pack("<H", 0xFFFF)
    return bytes(out)


def psf2(glyphs, table):
    head = struct.pack("<8I", 0x864AB572, 0, 32, 1, len(glyphs), 14, 14, 8)
    body = b"".join(bytes(g) for g in glyphs)
    uni = b""
    for entry in table:
        for cp in entry:
            uni += (b"\xfe" + "".join(map(chr, cp)).encode()
                    if isinstance(cp, tuple) else chr(cp).encode())
        uni += b"\xff"
    return head + body + uni


class FontReading(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        rng = random.Random(7)
        self.glyphs = [[rng.randrange(1, 256) for _ in range(14)]
                       for _ in range(256)]

    def tearDown(self):
        self.tmp.cleanup()

    def write(self, name, data, compress):
        path = os.path.join(self.tmp.name, name)
        with open(path, "wb") as f:
            f.write(gzip.compress(data, mtime=0) if compress else data)
        return path

    def test_psf1_and_psf2_plain_and_gzip(self):
        table = [[ord(mk.CP437[i])] if i else [] for i in range(256)]
        table[65] = [0x41, 0x391, (0x41, 0x30A)]    # sequence is skipped
        for maker in (psf1, psf2):
            for compress in (False, True):
                path = self.write("f.psf", maker(self.glyphs, table),
                                  compress)
                font = mk.read_psf(path)
                self.assertEqual((font.width, font.height), (8, 14))
                self.assertEqual(font.glyphs[200], tuple(self.glyphs[200]))
                self.assertEqual(font.code_to_glyph[0x391], 65)
                self.assertNotIn(0x30A, font.code_to_glyph)
                cells, fallbacks = mk.build_cells(font)
                self.assertEqual(cells[100], tuple(self.glyphs[100]))
                # random strokes do not meet the lines: refused, and a
                # double-double join is not assembled
                self.assertEqual(cells[200], mk.MISSING_BOX)
                self.assertEqual(cells[32], mk.BLANK)
                self.assertEqual(cells[255], mk.BLANK)

    def test_rejects_bad_fonts(self):
        with self.assertRaises(ValueError):
            mk.read_psf(self.write("x.psf", b"not a font" * 10, False))
        tall = bytearray(psf1(self.glyphs, [[] for _ in range(256)]))
        tall[3] = 7                                   # 8x7 font
        with self.assertRaises(ValueError):
            mk.build_cells(mk.read_psf(self.write("t.psf", bytes(tall),
                                                  False)))

    def test_fallbacks(self):
        table = [[] for _ in range(256)]
        table[26] = [0x2192, 0x25B6]      # arrow glyph also named triangle
        table[30] = [0x00AC]              # not sign
        table[40] = [0x25C0]              # real left triangle
        font = mk.read_psf(self.write("s.psf", psf1(self.glyphs, table),
                                      False))
        cells, fallbacks = mk.build_cells(font)
        fallbacks = dict(fallbacks)
        # 16 must not borrow the arrow's glyph; 17 may use its alias.
        self.assertEqual(cells[16], mk.MISSING_BOX)
        self.assertEqual(cells[17], tuple(self.glyphs[40]))
        self.assertIn("alias", fallbacks[17])
        self.assertEqual(cells[169], mk.mirror_h(tuple(self.glyphs[30])))
        self.assertEqual(cells[236], mk.DRAWN[0x221E])
        self.assertEqual(cells[66], mk.MISSING_BOX)
        self.assertIn("empty box", fallbacks[66])


class BmpWriter(unittest.TestCase):
    def test_round_trip(self):
        rng = random.Random(3)
        cells = [tuple(rng.randrange(256) for _ in range(14))
                 for _ in range(256)]
        width, height, _, black = parse_bmp(mk.bmp_bytes(cells))
        self.assertEqual((width, height), (2048, 14))
        self.assertEqual([cell(black, k) for k in range(256)], cells)

    def test_row_padding(self):
        cells = [(0xFF,) * 14] * 3                   # 24 px -> 4-byte rows
        data = mk.bmp_bytes(cells)
        self.assertEqual(len(data), 62 + 4 * 14)
        width, _, _, black = parse_bmp(data)
        self.assertEqual(width, 24)
        self.assertTrue(black(23, 13))


if __name__ == "__main__":
    unittest.main()
