#!/usr/bin/env python3
"""Write the application icon (.ico) to the path given as the only argument.

Artwork: a dark blue rounded square carrying white log lines and a small
stacked level gauge. Only the standard library is used so the build needs
no extra Python packages.
"""

import struct
import sys

SIZES = (128, 48, 32, 16)
SUBSAMPLES = 4

DARK_BLUE = (0, 51, 153)
LIGHT_BLUE = (0, 108, 217)
WHITE = (255, 255, 255)

MARGIN = 1.0 / 16
CORNER = 3.0 / 16

LINE_LEFT = 3.0 / 16
LINE_PITCH = 3.0 / 16
LINE_FIRST_CENTRE = 3.5 / 16
LINE_THICKNESS = 0.085
LINE_RIGHTS = (10.0 / 16, 8.0 / 16, 9.0 / 16, 6.0 / 16)

GAUGE_LEFT = 11.0 / 16
GAUGE_RIGHT = 13.0 / 16
GAUGE_TOP = 4.0 / 16
GAUGE_SEGMENT = 2.0 / 16
GAUGE_GAP = 1.0 / 16
GAUGE_COLOURS = (LIGHT_BLUE, WHITE, WHITE)


class RoundedRect:
    def __init__(self, x0, y0, x1, y1, radius, colour):
        self.x0, self.y0, self.x1, self.y1 = x0, y0, x1, y1
        self.r = min(radius, (x1 - x0) / 2.0, (y1 - y0) / 2.0)
        self.colour = colour

    def contains(self, x, y):
        if x < self.x0 or x >= self.x1 or y < self.y0 or y >= self.y1:
            return False
        r = self.r
        if r <= 0:
            return True
        cx = min(max(x, self.x0 + r), self.x1 - r)
        cy = min(max(y, self.y0 + r), self.y1 - r)
        dx, dy = x - cx, y - cy
        return dx * dx + dy * dy <= r * r


def snap(lo, hi):
    """Round an extent to whole pixels but never let it vanish.

    Crisp pixel-aligned strokes stay legible at 16 px, where anti-aliased
    sub-pixel lines would smear into the background.
    """
    a = int(lo + 0.5)
    b = int(hi + 0.5)
    if b <= a:
        b = a + 1
    return float(a), float(b)


def layout(size):
    s = float(size)
    detailed = size >= 48
    shapes = [RoundedRect(MARGIN * s, MARGIN * s, (1 - MARGIN) * s,
                          (1 - MARGIN) * s, CORNER * s, DARK_BLUE)]

    half = LINE_THICKNESS * s / 2.0
    for i, right in enumerate(LINE_RIGHTS):
        centre = (LINE_FIRST_CENTRE + i * LINE_PITCH) * s
        y0, y1 = snap(centre - half, centre + half)
        x0, x1 = snap(LINE_LEFT * s, right * s)
        cap = (y1 - y0) / 2.0 if detailed else 0.0
        shapes.append(RoundedRect(x0, y0, x1, y1, cap, WHITE))

    gx0, gx1 = snap(GAUGE_LEFT * s, GAUGE_RIGHT * s)
    for i, colour in enumerate(GAUGE_COLOURS):
        top = GAUGE_TOP + i * (GAUGE_SEGMENT + GAUGE_GAP)
        y0, y1 = snap(top * s, (top + GAUGE_SEGMENT) * s)
        bevel = s / 48.0 if detailed else 0.0
        shapes.append(RoundedRect(gx0, y0, gx1, y1, bevel, colour))
    return shapes


def render(size):
    """Return rows top-down of straight-alpha (r, g, b, a) tuples."""
    shapes = layout(size)
    n = SUBSAMPLES
    offsets = [(k + 0.5) / n for k in range(n)]
    total = n * n
    rows = []
    for py in range(size):
        # Only shapes overlapping this row need testing for its samples.
        row_shapes = [sh for sh in shapes if sh.y0 < py + 1 and sh.y1 > py]
        row = []
        for px in range(size):
            cand = [sh for sh in row_shapes if sh.x0 < px + 1 and sh.x1 > px]
            cand.reverse()
            hits = 0
            rs = gs = bs = 0
            for oy in offsets:
                y = py + oy
                for ox in offsets:
                    x = px + ox
                    for sh in cand:
                        if sh.contains(x, y):
                            r, g, b = sh.colour
                            rs += r
                            gs += g
                            bs += b
                            hits += 1
                            break
            if hits == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(((rs + hits // 2) // hits, (gs + hits // 2) // hits,
                            (bs + hits // 2) // hits,
                            (255 * hits + total // 2) // total))
        rows.append(row)
    return rows


def dib(size, rows):
    mask_stride = ((size + 31) // 32) * 4
    pixels = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (r, g, b, a) in enumerate(row):
            pixels += bytes((b, g, r, a))
            if a == 0:
                bits[x >> 3] |= 0x80 >> (x & 7)
        mask += bits
    header = struct.pack('<IiiHHIIiiII', 40, size, 2 * size, 1, 32, 0,
                         len(pixels) + len(mask), 0, 0, 0, 0)
    return header + bytes(pixels) + bytes(mask)


def build_ico():
    images = [dib(size, render(size)) for size in SIZES]
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        dim = size if size < 256 else 0
        out += struct.pack('<BBBBHHII', dim, dim, 0, 0, 1, 32, len(data),
                           offset)
        offset += len(data)
    for data in images:
        out += data
    return bytes(out)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write('usage: %s OUTPUT.ico\n' % argv[0])
        return 2
    with open(argv[1], 'wb') as fh:
        fh.write(build_ico())
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
