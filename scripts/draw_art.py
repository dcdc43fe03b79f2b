#!/usr/bin/env python3
"""Draws the program's pictures and writes them to res/art/.

Every picture is pixel art made here: 16 x 16 grids drawn by hand (one letter per
pixel, see PALETTE), a few shapes computed per pixel (broom, globe, X) so that
they can be drawn natively at every size, and Scale2x for the 32 x 32 copies of
the hand-drawn icons. Only the standard library is used; the files are written
byte by byte (.ico with 32-bit colour and an AND mask, 24-bit .bmp).

Usage: draw_art.py [--preview PNG]   (the preview is an enlarged contact sheet)
"""
import math
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "res", "art")

PALETTE = {
    "K": (44, 52, 68),      # outline
    "k": (110, 120, 136),   # soft outline, shackle
    "W": (255, 255, 255),
    "w": (228, 234, 242),   # paper shade
    "g": (176, 186, 200),   # text lines
    "E": (140, 150, 166),   # steel
    "Y": (244, 196, 78),    # folder front
    "y": (255, 224, 138),   # folder highlight
    "o": (214, 160, 52),    # folder back
    "O": (150, 100, 28),    # folder outline
    "B": (46, 110, 200),    # blue
    "b": (120, 176, 238),   # light blue
    "n": (26, 58, 128),     # navy outline
    "G": (52, 150, 70),     # green
    "h": (126, 204, 118),   # light green
    "H": (24, 96, 40),      # dark green
    "R": (214, 50, 46),     # red
    "r": (248, 118, 104),   # light red
    "D": (134, 22, 22),     # dark red
    "T": (210, 150, 80),    # cookie
    "t": (236, 194, 126),   # cookie light
    "C": (96, 54, 26),      # chocolate
    "M": (132, 80, 36),     # wood dark
    "m": (190, 126, 66),    # wood light
    "S": (232, 188, 80),    # straw
    "s": (250, 226, 146),   # straw light
    "A": (234, 178, 40),    # gold
    "a": (254, 220, 110),   # gold light
    "L": (150, 102, 16),    # gold dark
    "c": (90, 200, 250),    # sparkle cyan
    "p": (255, 246, 170),   # sparkle pale
}
MAGENTA = (255, 0, 255)


# ---------------------------------------------------------------- images
# An image is a list of rows; a pixel is an (r, g, b) tuple or None (transparent).

def blank(w, h):
    return [[None] * w for _ in range(h)]


def grid(text):
    rows = [r.strip() for r in text.strip("\n").splitlines()]
    width = len(rows[0])
    for r in rows:
        if len(r) != width:
            raise ValueError("ragged grid row %r" % r)
    return [[None if ch == "." else PALETTE[ch] for ch in r] for r in rows]


def overlay(base, top, ox=0, oy=0):
    out = [row[:] for row in base]
    for y, row in enumerate(top):
        for x, px in enumerate(row):
            if px is not None and 0 <= y + oy < len(out) and 0 <= x + ox < len(out[0]):
                out[y + oy][x + ox] = px
    return out


def scale2x(img):
    """Scale2x (EPX): doubles pixel art while keeping diagonals smooth."""
    h, w = len(img), len(img[0])
    out = blank(2 * w, 2 * h)
    at = lambda x, y: img[min(max(y, 0), h - 1)][min(max(x, 0), w - 1)]
    for y in range(h):
        for x in range(w):
            p, a, b, c, d = at(x, y), at(x, y - 1), at(x + 1, y), at(x - 1, y), at(x, y + 1)
            e0 = e1 = e2 = e3 = p
            if c == a and c != d and a != b:
                e0 = a
            if a == b and a != c and b != d:
                e1 = b
            if d == c and d != b and c != a:
                e2 = c
            if b == d and b != a and d != c:
                e3 = d
            out[2 * y][2 * x], out[2 * y][2 * x + 1] = e0, e1
            out[2 * y + 1][2 * x], out[2 * y + 1][2 * x + 1] = e2, e3
    return out


def outlined(mask, fill, edge):
    """Colours a boolean mask: pixels next to the outside get the edge colour."""
    h, w = len(mask), len(mask[0])
    img = blank(w, h)
    for y in range(h):
        for x in range(w):
            if not mask[y][x]:
                continue
            border = any(
                not (0 <= y + dy < h and 0 <= x + dx < w) or not mask[y + dy][x + dx]
                for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            img[y][x] = edge if border else fill(x, y)
    return img


def flatten(img, background):
    return [[background if px is None else px for px in row] for row in img]


# ---------------------------------------------------------------- computed shapes

def broom(size):
    """A broom lying from the top right to the bottom left, bristles down-left."""
    s = size / 16.0
    img = blank(size, size)
    P = PALETTE
    c = 16 / math.sqrt(2)                         # the diagonal through both corners
    for y in range(size):
        for x in range(size):
            cx, cy = (x + 0.5) / s, (y + 0.5) / s
            u = (cy - cx) / math.sqrt(2)          # along the handle, towards the bristles
            v = (cx + cy) / math.sqrt(2) - c      # across the handle
            if u < -2.6:                          # handle
                if abs(v) <= 0.85 and u > -10.6:
                    img[y][x] = P["m"] if v < 0 else P["M"]
            elif u < -0.9:                        # binding
                if abs(v) <= 1.6:
                    img[y][x] = P["R"] if abs(v) < 1.6 - 0.7 / s and u > -2.6 + 0.5 / s \
                        else P["D"]
            else:                                 # bristles widen towards the tips
                half = 1.8 + 0.5 * (u + 0.9)
                if abs(v) <= half and u <= 5.6:
                    if half - abs(v) < 0.75 / s or u > 5.6 - 0.75 / s:
                        img[y][x] = P["O"]
                    else:
                        img[y][x] = P["S"] if (x + y) % 3 == 0 else P["s"]
    return img


def sparkle(img, cx, cy, r, colour, core):
    """A four-pointed star centred at (cx, cy) in pixels."""
    size = len(img)
    for y in range(size):
        for x in range(size):
            dx, dy = abs(x + 0.5 - cx), abs(y + 0.5 - cy)
            if dx + dy <= 0.01:
                continue
            # astroid-like star: thin arms along the axes
            if (dx ** 0.5 + dy ** 0.5) <= r ** 0.5:
                img[y][x] = core if dx + dy < r * 0.35 else colour
    return img


def globe(size):
    s = size / 16.0
    img = blank(size, size)
    P = PALETTE
    continents = [  # rough land masses on a 16 x 16 disc, as circles (cx, cy, r)
        (5.2, 5.0, 2.3), (6.4, 7.4, 1.6), (5.6, 11.2, 1.5),
        (10.8, 6.2, 1.9), (11.6, 9.2, 1.7), (9.9, 11.9, 1.1)]
    for y in range(size):
        for x in range(size):
            cx, cy = (x + 0.5) / s, (y + 0.5) / s
            d = math.hypot(cx - 8, cy - 8)
            if d > 7.0:
                continue
            if d > 7.0 - 1.0 / s:
                img[y][x] = P["n"]
                continue
            on_land = any(math.hypot(cx - a, cy - b) <= r for a, b, r in continents)
            dark = (cx - 8) + (cy - 8) > 6.0
            if on_land:
                img[y][x] = P["H"] if dark else P["G"]
            else:
                img[y][x] = P["B"] if dark else P["b"]
    return img


def cross(size):
    s = size / 16.0
    mask = [[False] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            cx, cy = (x + 0.5) / s, (y + 0.5) / s
            if not (2.0 <= cx <= 14.0 and 2.0 <= cy <= 14.0):
                continue
            d1 = abs(cx - cy) / math.sqrt(2)
            d2 = abs(cx + cy - 16) / math.sqrt(2)
            mask[y][x] = min(d1, d2) <= 1.75
    P = PALETTE
    return outlined(mask, lambda x, y: P["r"] if (x + y) < size * 0.55 and abs(x - y) < 2 * s
                    else P["R"], P["D"])


def magnifier(size):
    s = size / 16.0
    P = PALETTE
    img = blank(size, size)
    c0, r = 6.5, 5.6
    for y in range(size):
        for x in range(size):
            cx, cy = (x + 0.5) / s, (y + 0.5) / s
            d = math.hypot(cx - c0, cy - c0)
            t = ((cx - c0) + (cy - c0)) / math.sqrt(2)
            q = ((cx - c0) - (cy - c0)) / math.sqrt(2)
            if d <= r:
                if d > r - 1.0:
                    img[y][x] = P["K"]
                elif r - 3.2 < d < r - 2.0 and cx < c0 - 0.5 and cy < c0 - 0.5 and abs(q) < 2.6:
                    img[y][x] = P["W"]
                else:
                    img[y][x] = P["B"] if t > 1.5 else P["b"]
            elif r - 0.2 < t <= 12.4 and abs(q) <= 1.45:
                edge = abs(q) > 1.45 - 1.0 / s or t > 12.4 - 1.0 / s
                img[y][x] = P["M"] if edge else (P["m"] if q < 0 else P["M"])
    return img


def key(size):
    s = size / 16.0
    mask = [[False] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            cx, cy = (x + 0.5) / s, (y + 0.5) / s
            d = math.hypot(cx - 4.6, cy - 4.6)
            bow = 1.25 < d <= 4.0
            t = ((cx - 4.6) + (cy - 4.6)) / math.sqrt(2)   # along the shaft
            q = ((cx - 4.6) - (cy - 4.6)) / math.sqrt(2)   # across it
            shaft = 3.0 < t <= 14.0 and abs(q) <= 1.1
            teeth = any(a <= t <= a + 1.6 and 0 <= q <= 3.3 for a in (9.0, 12.2))
            mask[y][x] = bow or shaft or teeth
    P = PALETTE
    return outlined(mask, lambda x, y: P["a"] if (x + 0.5) / s + (y + 0.5) / s < 9.2 else P["A"],
                    P["L"])


# ---------------------------------------------------------------- hand-drawn 16 x 16

FOLDER = grid("""
................
................
................
.OOOOO..........
OoooooO.........
OoooooOOOOOOOOO.
OoooooooooooooO.
OOOOOOOOOOOOOOO.
OyyyyyyyyyyyyyO.
OYYYYYYYYYYYYYO.
OYYYYYYYYYYYYYO.
OYYYYYYYYYYYYYO.
OYYYYYYYYYYYYYO.
OoooooooooooooO.
OOOOOOOOOOOOOOO.
................
""")

FILE = grid("""
..KKKKKKKKK.....
..KWWWWWWWKK....
..KWWWWWWWKwK...
..KWWWWWWWKKKK..
..KWWWWWWWWWWK..
..KWggggggWWWK..
..KWWWWWWWWWWK..
..KWggggggggWK..
..KWWWWWWWWWWK..
..KWgggggggWWK..
..KWWWWWWWWWWK..
..KWggggggggWK..
..KWWWWWWWWWWK..
..KWWWWWWWWWWK..
..KKKKKKKKKKKK..
................
""")

LOCK = grid("""
..kkk..
.k...k.
.k...k.
KKKKKKK
KaaaaaK
KAAKAAK
KAAKAAK
KKKKKKK
""")

CLOCK = grid("""
..nnn..
.nWWWn.
nWWKWWn
nWWKKWn
nWWWWWn
.nWWWn.
..nnn..
""")

COOKIE = grid("""
................
.....MMMMMM.....
...MMttttttMM...
..MttTTTTTTTtM..
.MtTTCCTTTTTTTM.
.MtTTCCTTTTCTTM.
MtTTTTTTTTTTTTTM
MtTTTTTTTCCTTTTM
MtTTCTTTTCCTTTTM
MtTTTTTTTTTTTCTM
MTTTTTCTTTTTTTTM
.MTTTTTTTTTCTTM.
.MTTCCTTTTTTTTM.
..MTTTTTTTTTTM..
...MMTTTTTTMM...
.....MMMMMM.....
""")

RECYCLE_BIN = grid("""
................
.....KKKKKK.....
.KKKKKwwwwKKKKK.
KwwwwwwwwwwwwwwK
KEEEEEEEEEEEEEEK
.KKKKKKKKKKKKKK.
.KWwwwwwwwwwwgK.
.KWwwwwGwwwwwgK.
.KWwwwGhGwwwwgK.
..KWwGhwhGwwgK..
..KWGhwwwhGwgK..
..KWGGGGGGGwgK..
..KWwwwwwwwwgK..
..KWwwwwwwwwgK..
...KKKKKKKKKK...
................
""")

RUN_WINDOW = grid("""
................
.nnnnnnnnnnnnnn.
.nbbbbbbbbbbbbn.
.nBBBBBBBBBBBBn.
.nnnnnnnnnnnnnn.
.nWWWWWWWWWWWWn.
.nWWWHWWWWWWWWn.
.nWWWHGHWWWWWWn.
.nWWWHGGGHWWWWn.
.nWWWHGGGGGHWWn.
.nWWWHGGGHWWWWn.
.nWWWHGHWWWWWWn.
.nWWWHWWWWWWWWn.
.nWWWWWWWWWWWWn.
.nnnnnnnnnnnnnn.
................
""")

ADDRESS_BAR = grid("""
................
nnnnnnnnnnnnnnnn
nWbbWWWWWWKWWWWn
nWBBWgggggKWWWWn
nWWWWWWWWWKWWWWn
nnnnnnnnnnnnnnnn
.kwwwwwwwwwwwwk.
.kwBBwgggggwwwk.
.kwwwwwwwwwwwwk.
.kbbbbbbbbbbbbk.
.kbBBbWWWWWWbbk.
.kbbbbbbbbbbbbk.
.kwwwwwwwwwwwwk.
.kwBBwgggwwwwwk.
.kkkkkkkkkkkkkk.
................
""")

PAGES = grid("""
.KKKKKKK........
.KwwwwwKK.......
.KwKKKKKKKK.....
.KwKWWWWWWKK....
.KwKWggggWKWK...
.KwKWWWWWWKKKK..
.KwKWggggggWWK..
.KwKWWWWWWWWWK..
.KwKWgggggWWWK..
.KKKWWWWWWWWWK..
...KWggggggWWK..
...KWWWWWWWWWK..
...KWWWWWWWWWK..
...KWWWWWWWWWK..
...KKKKKKKKKKK..
................
""")


def list_rows(selected):
    """A list with four rows; `selected` tells which rows carry the selection colour."""
    P = PALETTE
    img = blank(16, 16)
    for y in range(1, 15):
        for x in range(1, 15):
            img[y][x] = P["K"] if y in (1, 14) or x in (1, 14) else P["W"]
    lengths = (6, 5, 7, 4)
    for i, on in enumerate(selected):
        top = 3 + 3 * i
        for y in (top, top + 1):
            for x in range(2, 14):
                img[y][x] = P["B"] if on else P["W"]
            for x in (3, 4):
                img[y][x] = P["A"]
        for x in range(6, 6 + lengths[i]):
            img[top][x] = P["W"] if on else P["g"]
    return img


# ---------------------------------------------------------------- the pictures

def at(size, art16):
    """A hand-drawn picture at 16 x 16 or, Scale2x'd, at 32 x 32."""
    if size == 16:
        return art16
    if size == 32:
        return scale2x(art16)
    raise ValueError(size)


def with_badge(base16, badge, size):
    """Base picture with a small badge (lock, clock) in its lower right corner."""
    img16 = overlay(base16, badge, 16 - len(badge[0]), 16 - len(badge))
    return img16 if size == 16 else scale2x(img16)


def broom16():
    """The broom drawn pixel by pixel for 16 x 16, where the computed one gets too thin."""
    P = PALETTE
    img = blank(16, 16)
    for r in range(5):                            # handle, light side up-left
        img[r][14 - r], img[r][15 - r] = P["m"], P["M"]
    for y, xs in ((5, "DRRD"), (6, "DRRD")):      # binding
        for i, ch in enumerate(xs):
            img[y][8 - (y - 5) + i] = P[ch]
    spans = {7: (5, 9), 8: (2, 9), 9: (0, 8), 10: (1, 8), 11: (2, 8), 12: (3, 7), 13: (4, 7),
             14: (5, 6), 15: (6, 6)}
    mask = [[y in spans and spans[y][0] <= x <= spans[y][1] for x in range(16)]
            for y in range(16)]
    head = outlined(mask, lambda x, y: P["S"] if (x + y) % 3 == 0 else P["s"], P["O"])
    return overlay(img, head)


def sparkles16(img):
    P = PALETTE
    for (cx, cy, arm) in ((4, 3, 2), (12, 11, 1)):
        for d in range(1, arm + 1):
            for x, y in ((cx + d, cy), (cx - d, cy), (cx, cy + d), (cx, cy - d)):
                img[y][x] = P["c"]
        img[cy][cx] = P["W"]
    return img


def main_icon(size):
    if size == 16:
        return sparkles16(broom16())
    img = broom(size)
    s = size / 16.0
    sparkle(img, 4.0 * s, 4.2 * s, 3.3 * s, PALETTE["c"], PALETTE["W"])
    sparkle(img, 10.6 * s, 2.6 * s, 2.0 * s, PALETTE["c"], PALETTE["W"])
    sparkle(img, 13.2 * s, 8.8 * s, 1.6 * s, PALETTE["c"], PALETTE["W"])
    return img


def category(name, size):
    if name == "url_history":
        return with_badge(globe(16), CLOCK, 16) if size == 16 else \
            overlay(globe(32), scale2x(CLOCK), 18, 18)
    if name == "find_history":
        lens = [row[::-1] for row in magnifier(size)]     # handle to the lower left
        return overlay(lens, CLOCK if size == 16 else scale2x(CLOCK),
                       size - (7 if size == 16 else 14), size - (7 if size == 16 else 14))
    if name == "autocomplete":
        return key(size)
    if name == "run_history":
        return at(size, RUN_WINDOW)
    if name == "typed_url":
        return at(size, ADDRESS_BAR)
    if name == "recent_documents":
        return with_badge(PAGES, CLOCK, size)
    raise ValueError(name)


def toolbar_images():
    return [COOKIE, globe(16), main_icon(16), RECYCLE_BIN, cross(16),
            list_rows((1, 1, 1, 1)), list_rows((0, 0, 0, 0)), list_rows((1, 0, 1, 0))]


# ---------------------------------------------------------------- the logo

FONT_BIG = {  # bold letters, 9 rows: ascenders from row 0, x-height from row 3
    "K": ["KK...KK", "KK..KK.", "KK.KK..", "KKKK...", "KKK....", "KKKK...", "KK.KK..",
          "KK..KK.", "KK...KK"],
    "l": ["KK"] * 9,
    "a": [".KKKK.", "....KK", ".KKKKK", "KK..KK", "KK..KK", ".KKKKK"],
    "r": ["KK.KKK", "KKKK..", "KKK...", "KK....", "KK....", "KK...."],
    "e": [".KKKK.", "KK..KK", "KKKKKK", "KK....", "KK...K", ".KKKK."],
    "x": ["KK..KK", ".KKKK.", "..KK..", "..KK..", ".KKKK.", "KK..KK"],
}
FONT_SMALL = {  # 7 rows, one-pixel strokes
    ".": ["..", "..", "..", "..", "..", "KK", "KK"],
    "N": ["K...K", "KK..K", "K.K.K", "K..KK", "K...K", "K...K", "K...K"],
    "E": ["KKKK", "K...", "K...", "KKK.", "K...", "K...", "KKKK"],
    "T": ["KKKKK", "..K..", "..K..", "..K..", "..K..", "..K..", "..K.."],
}


def text(img, x, top, word, font, colour, height=None):
    for ch in word:
        glyph = font[ch]
        y0 = top + (height - len(glyph) if height else 0)
        for dy, row in enumerate(glyph):
            for dx, c in enumerate(row):
                if c == "K":
                    img[y0 + dy][x + dx] = colour
        x += len(glyph[0]) + 1
    return x


def logo():
    w, h = 75, 45
    top, bottom = (252, 253, 255), (196, 220, 248)
    img = [[tuple(round(a + (b - a) * y / (h - 1)) for a, b in zip(top, bottom))] * w
           for y in range(h)]
    img = [row[:] for row in img]
    img = overlay(img, main_icon(32), 0, 8)
    # Text over the background: draw onto a transparent layer, then shadow under it.
    layer = blank(w, h)
    text(layer, 34, 9, "Klarex", FONT_BIG, PALETTE["n"], height=9)
    text(layer, 49, 24, ".NET", FONT_SMALL, PALETTE["B"])
    shade = blank(w, h)
    for y in range(h - 1):
        for x in range(w - 1):
            if layer[y][x] == PALETTE["n"]:
                shade[y + 1][x + 1] = (150, 180, 222)
    img = overlay(overlay(img, shade), layer)
    # a thin rule under the name
    for x in range(34, 72):
        img[34][x] = (150, 180, 222)
    return img


# ---------------------------------------------------------------- file writers

def write_ico(path, images):
    """An .ico with one 32-bit BGRA image (plus AND mask) per size."""
    blobs = []
    for img in images:
        h, w = len(img), len(img[0])
        header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, 0, 0, 0, 0, 0)
        xor = bytearray()
        for row in reversed(img):
            for px in row:
                xor += bytes((px[2], px[1], px[0], 255)) if px else b"\0\0\0\0"
        stride = ((w + 31) // 32) * 4
        mask = bytearray()
        for row in reversed(img):
            bits = bytearray(stride)
            for x, px in enumerate(row):
                if px is None:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        blobs.append((w, h, header + xor + mask))
    out = struct.pack("<HHH", 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for w, h, data in blobs:
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, _, data in blobs:
        out += data
    with open(path, "wb") as f:
        f.write(out)


def write_bmp(path, img):
    """A bottom-up 24-bit .bmp; every pixel must be opaque."""
    h, w = len(img), len(img[0])
    stride = (w * 3 + 3) // 4 * 4
    pixels = bytearray()
    for row in reversed(img):
        line = bytearray()
        for px in row:
            line += bytes((px[2], px[1], px[0]))
        pixels += line + bytes(stride - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(head + info + pixels)


def write_png(path, img):
    h, w = len(img), len(img[0])
    raw = b"".join(b"\0" + b"".join(bytes(px) for px in row) for row in img)
    chunk = lambda t, d: struct.pack(">I", len(d)) + t + d + struct.pack(
        ">I", zlib.crc32(t + d) & 0xFFFFFFFF)
    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
    data += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(data)


# ---------------------------------------------------------------- output

ICONS = {  # file name: (sizes, picture at a size)
    "klarex.ico": ((16, 32, 48), main_icon),
    "folder.ico": ((16, 32), lambda n: at(n, FOLDER)),
    "file.ico": ((16, 32), lambda n: at(n, FILE)),
    "folder_locked.ico": ((16, 32), lambda n: with_badge(FOLDER, LOCK, n)),
    "file_locked.ico": ((16, 32), lambda n: with_badge(FILE, LOCK, n)),
    "find_history.ico": ((32, 16), lambda n: category("find_history", n)),
    "autocomplete.ico": ((32, 16), lambda n: category("autocomplete", n)),
    "run_history.ico": ((32, 16), lambda n: category("run_history", n)),
    "typed_url.ico": ((32, 16), lambda n: category("typed_url", n)),
    "url_history.ico": ((32, 16), lambda n: category("url_history", n)),
    "recent_documents.ico": ((32, 16), lambda n: category("recent_documents", n)),
}


def toolbar_strip():
    strip = blank(16 * 8, 16)
    for i, img in enumerate(toolbar_images()):
        strip = overlay(strip, img, 16 * i, 0)
    strip = flatten(strip, MAGENTA)
    assert strip[0][0] == MAGENTA
    return strip


def preview(path):
    """Every picture enlarged 6 times on a light grey sheet, the toolbar on magenta."""
    scale, pad = 6, 8
    pics = [toolbar_strip()]
    for name, (sizes, draw) in ICONS.items():
        for n in sizes:
            pics.append(flatten(draw(n), (236, 236, 236)))
    pics.append(logo())
    rows, row, width = [], [], 0
    for p in pics:
        if row and width + len(p[0]) * scale + pad > 1400:
            rows.append(row)
            row, width = [], 0
        row.append(p)
        width += len(p[0]) * scale + pad
    rows.append(row)
    sheet_w = 1400
    sheet = []
    for r in rows:
        hgt = max(len(p) for p in r) * scale + pad
        band = [[(200, 200, 200)] * sheet_w for _ in range(hgt)]
        x = pad
        for p in r:
            for y in range(len(p) * scale):
                for xx in range(len(p[0]) * scale):
                    band[pad // 2 + y][x + xx] = p[y // scale][xx // scale]
            x += len(p[0]) * scale + pad
        sheet += band
    write_png(path, sheet)


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, (sizes, draw) in ICONS.items():
        write_ico(os.path.join(OUT, name), [draw(n) for n in sizes])
    write_bmp(os.path.join(OUT, "toolbar.bmp"), toolbar_strip())
    write_bmp(os.path.join(OUT, "logo.bmp"), logo())
    if len(sys.argv) == 3 and sys.argv[1] == "--preview":
        preview(sys.argv[2])


if __name__ == "__main__":
    main()
