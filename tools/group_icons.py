#!/usr/bin/env python3
"""Draws the product-group pictures of the sample and benchmark databases.

Each picture is a 32x32 24-bit Windows bitmap drawn from a few shapes, written
into the SQL files as binary literals between the marker lines

    -- <group-pictures> ...
    -- </group-pictures>

Usage:
    tools/group_icons.py            rewrite the marked blocks of db/sample.sql and db/bench.sql
    tools/group_icons.py --check    exit 1 when a marked block is not what this script writes
    tools/group_icons.py --png DIR  also write enlarged PNG previews to DIR

Some picture editors store a bitmap behind an 8-byte header (16-bit count 1,
16-bit type 0x0100, 32-bit length of what follows, little-endian); a few
groups are stored that way so that readers of the column meet both forms.
"""

import math
import os
import struct
import sys
import zlib

SIZE = 32
SUB = 4  # subsamples per pixel side, for smooth edges

WHITE = (255, 255, 255)


def rgb(hexcode):
    return tuple(int(hexcode[i:i + 2], 16) for i in (0, 2, 4))


class Canvas:
    def __init__(self):
        self.px = [[WHITE] * SIZE for _ in range(SIZE)]

    def fill(self, inside, colour):
        """Paints every pixel in proportion to how much of it `inside` covers;
        `inside(x, y)` takes continuous coordinates, y growing downwards."""
        colour = rgb(colour)
        for py in range(SIZE):
            for px in range(SIZE):
                hits = 0
                for sy in range(SUB):
                    for sx in range(SUB):
                        if inside(px + (sx + 0.5) / SUB, py + (sy + 0.5) / SUB):
                            hits += 1
                if hits:
                    a = hits / (SUB * SUB)
                    old = self.px[py][px]
                    self.px[py][px] = tuple(round(o * (1 - a) + c * a) for o, c in zip(old, colour))

    def rect(self, x0, y0, x1, y1, colour):
        self.fill(lambda x, y: x0 <= x < x1 and y0 <= y < y1, colour)

    def ellipse(self, cx, cy, rx, ry, colour):
        self.fill(lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1, colour)

    def ring(self, cx, cy, r_out, r_in, colour):
        self.fill(lambda x, y: r_in ** 2 <= (x - cx) ** 2 + (y - cy) ** 2 <= r_out ** 2, colour)

    def polygon(self, points, colour):
        def inside(x, y):
            # even-odd rule
            result = False
            n = len(points)
            for i in range(n):
                (xa, ya), (xb, yb) = points[i], points[(i + 1) % n]
                if (ya > y) != (yb > y) and x < xa + (y - ya) * (xb - xa) / (yb - ya):
                    result = not result
            return result
        self.fill(inside, colour)

    def line(self, xa, ya, xb, yb, width, colour):
        def inside(x, y):
            dx, dy = xb - xa, yb - ya
            t = max(0.0, min(1.0, ((x - xa) * dx + (y - ya) * dy) / (dx * dx + dy * dy)))
            return math.hypot(x - (xa + t * dx), y - (ya + t * dy)) <= width / 2
        self.fill(inside, colour)

    def bmp(self):
        """The picture as a 24-bit bottom-up Windows bitmap file."""
        rows = []
        for y in reversed(range(SIZE)):
            row = b"".join(bytes((b, g, r)) for r, g, b in self.px[y])
            rows.append(row + b"\0" * (-len(row) % 4))
        pixels = b"".join(rows)
        info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
        head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
        return head + info + pixels

    def png(self, scale):
        raw = b""
        for y in range(SIZE * scale):
            raw += b"\0" + b"".join(bytes(self.px[y // scale][x // scale]) for x in range(SIZE * scale))

        def chunk(kind, data):
            return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
        side = SIZE * scale
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", side, side, 8, 2, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


# ------------------------------------------------------------------ the icons

def beer():
    c = Canvas()
    c.ring(23.5, 17, 6, 3.6, "9E9E9E")                   # handle
    c.rect(6, 8, 24, 29, "9E9E9E")                       # glass
    c.rect(7, 9, 23, 28, "F2A900")                       # beer
    c.rect(9, 13, 11, 26, "FFD45C")                      # shine
    foam = ((9, 8.5, 3.5, 3), (14, 7, 4, 3.5), (19.5, 8, 4, 3), (22.5, 11, 1.8, 2.5))
    for x, y, rx, ry in foam:
        c.ellipse(x, y, rx + 0.8, ry + 0.8, "BDB49A")
    c.rect(5.5, 8, 24.5, 12.5, "BDB49A")
    for x, y, rx, ry in foam:
        c.ellipse(x, y, rx, ry, "FFF6DC")
    c.rect(6.3, 8, 23.7, 11.7, "FFF6DC")
    return c


def cocktail():
    c = Canvas()
    c.polygon([(4, 6), (28, 6), (16, 18)], "C8EEF5")     # glass
    c.polygon([(6.5, 8), (25.5, 8), (16, 17)], "3DBB4A")  # drink
    c.line(4, 6, 28, 6, 1.2, "7A9AA0")
    c.line(4, 6, 16, 18, 1.2, "7A9AA0")
    c.line(28, 6, 16, 18, 1.2, "7A9AA0")
    c.rect(15.2, 18, 16.8, 27, "7A9AA0")                 # stem
    c.ellipse(16, 27.5, 6, 1.8, "7A9AA0")                # foot
    c.line(20, 2, 13, 12, 1.3, "6B3E1F")                 # stick
    c.ellipse(21, 4, 3, 3, "9ACD32")                     # lime
    c.ellipse(21, 4, 1.6, 1.6, "D9F2A6")
    return c


def soda_can():
    c = Canvas()
    c.rect(9, 6, 23, 27, "D7191C")
    c.ellipse(16, 6, 7, 2.2, "C0C0C0")                   # lid
    c.ellipse(16, 27, 7, 2.2, "A0A0A0")
    c.rect(9, 26, 23, 27, "D7191C")
    c.fill(lambda x, y: 9 <= x < 23 and abs(y - 16 - 2.5 * math.sin((x - 9) / 14 * 2 * math.pi)) < 1.6, "FFFFFF")
    c.rect(11, 9, 12.5, 24, "F08080")                    # shine
    c.line(18, 4.5, 21, 1.5, 1.2, "4D4D4D")              # straw
    return c


def fries():
    c = Canvas()
    for i, x in enumerate((9, 11.5, 14, 16.5, 19, 21.5)):
        top = 4 + (i * 5) % 4
        tilt = (i - 2.5) * 0.5
        c.polygon([(x + tilt, top), (x + 2 + tilt, top), (x + 2, 18), (x, 18)], "FFD23F")
        c.line(x + 0.5 + tilt, top + 0.5, x + 0.5, 17, 0.6, "E6A800")
    c.polygon([(6, 14), (26, 14), (23, 29), (9, 29)], "E53935")  # carton
    c.polygon([(6, 14), (11, 14), (16, 18), (21, 14), (26, 14), (25.3, 17), (16, 21), (6.7, 17)], "C62828")
    c.ellipse(16, 23.5, 2.6, 2.6, "FFD23F")
    return c


def burger():
    c = Canvas()
    c.fill(lambda x, y: y <= 14 and ((x - 16) / 12) ** 2 + ((y - 14) / 9) ** 2 <= 1, "E0A040")  # top bun
    for x, y in ((11, 9), (16, 7.5), (21, 9), (13.5, 11.5), (18.5, 11.5)):
        c.ellipse(x, y, 0.9, 0.6, "FFF3C4")              # sesame
    c.fill(lambda x, y: 4 <= x <= 28 and 14 <= y <= 16.5 + 0.9 * math.sin(x * 1.4), "4CAF50")  # lettuce
    c.rect(4.5, 17, 27.5, 19, "FFC107")                  # cheese
    c.polygon([(8, 19), (12, 19), (10, 21)], "FFC107")
    c.ellipse(16, 21, 12, 2.6, "6D3B1A")                 # patty
    c.fill(lambda x, y: y >= 24 and ((x - 16) / 12) ** 2 + ((y - 24) / 4) ** 2 <= 1 or (4 <= x <= 28 and 23.5 <= y <= 24),
           "D89438")                                     # bottom bun
    return c


def plate():
    c = Canvas()
    c.ellipse(16, 16, 10, 10, "BDBDBD")
    c.ellipse(16, 16, 9, 9, "F5F5F5")
    c.ring(16, 16, 6.5, 6, "D6D6D6")
    c.rect(3, 12, 4.4, 28, "757575")                     # fork
    for x in (2, 3.1, 4.2):
        c.rect(x, 4, x + 0.8, 11, "757575")
    c.rect(2, 10, 5, 12.5, "757575")
    c.fill(lambda x, y: 27 <= x <= 30 and 4 <= y <= 16 and x <= 27 + 3 * math.sqrt(max(0, (16 - y) / 12)) + 0.2,
           "757575")                                     # knife blade
    c.rect(27.6, 16, 29, 28, "616161")
    return c


def ice_cream():
    c = Canvas()

    def cone(x, y):
        return 15 <= y <= 30 and abs(x - 16) <= 7 * (30 - y) / 15

    c.fill(cone, "D9A05B")
    c.fill(lambda x, y: cone(x, y) and (min((x + y / 2) % 3.5, (x - y / 2) % 3.5) < 0.6), "B07A35")  # waffle
    c.ellipse(12, 13, 4.5, 4, "F48FB1")                  # strawberry
    c.ellipse(20, 13, 4.5, 4, "8D5A3B")                  # chocolate
    c.ellipse(16, 8.5, 5.6, 5.1, "E0CFA8")
    c.ellipse(16, 8.5, 5, 4.5, "FFF3D6")                 # vanilla
    c.ellipse(16, 3.8, 1.8, 1.8, "D32F2F")               # cherry
    c.line(16.5, 2.5, 19, 0.5, 0.6, "5D4037")
    return c


def coffee():
    c = Canvas()
    for x in (12, 17):
        c.fill(lambda px, py, x=x: 2 <= py <= 10 and abs(px - (x + 1.3 * math.sin(py * 0.9))) < 0.7, "A0A0A0")  # steam
    c.ellipse(16, 27, 13, 2.8, "D6D6D6")                 # saucer
    c.ring(24, 18.5, 4.2, 2.4, "FFFFFF")
    c.ring(24, 18.5, 4.8, 2.0, "8D6E63")                 # handle
    c.fill(lambda x, y: 7 <= x <= 25 and 12 <= y <= 26 and ((x - 16) / 9) ** 2 + ((y - 12) / 14) ** 2 <= 1, "8D6E63")
    c.ellipse(16, 12.5, 9, 2.2, "4E2A14")                # coffee
    return c


# CODGRUPO -> (picture, stored behind the 8-byte header) for the sample bar
SAMPLE = [
    (1, beer, False),
    (2, cocktail, True),
    (3, soda_can, False),
    (4, fries, False),
    (5, burger, False),
    (6, plate, False),
    (7, ice_cream, True),
    (8, coffee, False),
]


def with_header(bmp):
    return struct.pack("<HHI", 1, 0x0100, len(bmp)) + bmp


def literal(data):
    """A binary literal for isql: the bitmap's two headers on the first line,
    then one line per pixel row, joined by ||."""
    bmp_at = data.index(b"BM")
    first = 54 + bmp_at
    row = SIZE * 3
    parts = [data[:first]] + [data[i:i + row] for i in range(first, len(data), row)]
    return "\n  || ".join("x'%s'" % p.hex().upper() for p in parts)


def sample_block():
    out = []
    for cod, draw, header in SAMPLE:
        data = draw().bmp()
        if header:
            data = with_header(data)
        out.append("-- %s, %d bytes%s\nUPDATE GRUPO SET IMG =\n  %s\nWHERE CODGRUPO = %d;"
                   % (draw.__name__, len(data), ", behind the 8-byte header" if header else "",
                      literal(data), cod))
    return "\n".join(out)


def bench_block():
    data = plate().bmp()
    return ("-- odd groups: the bare bitmap; even groups: the same behind the 8-byte header\n"
            "UPDATE GRUPO SET IMG =\n  %s\nWHERE MOD(CODGRUPO, 2) = 1;\n"
            "UPDATE GRUPO SET IMG =\n  %s\nWHERE MOD(CODGRUPO, 2) = 0;"
            % (literal(data), literal(with_header(data))))


BEGIN = "-- <group-pictures> drawn by tools/group_icons.py; run it instead of editing by hand"
END = "-- </group-pictures>"


def rewrite(path, block, check):
    text = open(path, encoding="utf-8").read()
    start = text.index(BEGIN)
    stop = text.index(END, start)
    new = text[:start] + BEGIN + "\n" + block + "\n" + text[stop:]
    if new == text:
        return True
    if check:
        print("%s: the group pictures are not what tools/group_icons.py draws" % path, file=sys.stderr)
        return False
    with open(path, "w", encoding="utf-8") as f:
        f.write(new)
    print("rewrote the group pictures of %s" % path)
    return True


def main(argv):
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    check = "--check" in argv
    if "--png" in argv:
        folder = argv[argv.index("--png") + 1]
        os.makedirs(folder, exist_ok=True)
        for cod, draw, _ in SAMPLE:
            with open(os.path.join(folder, "%d-%s.png" % (cod, draw.__name__)), "wb") as f:
                f.write(draw().png(8))
    ok = rewrite(os.path.join(root, "db", "sample.sql"), sample_block(), check)
    ok = rewrite(os.path.join(root, "db", "bench.sql"), bench_block(), check) and ok
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
