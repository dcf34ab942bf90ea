#!/usr/bin/env python3
"""Draw the Vantrel artwork that windres compiles into the exe.

    python3 scripts/draw_art.py [output-folder]    (default: gui/res)

Standard library only. Shapes use plain arithmetic (no trig, pow or system
fonts), so every run and every machine gives the same bytes.
"""
import os
import struct
import sys

SS = 4  # subsamples per pixel axis, for anti-aliased edges

WHITE = (255, 255, 255)
NAVY = (16, 42, 96)        # logo outline and banner lettering
BLUE_HI = (70, 132, 222)   # shield, lit half
BLUE_LO = (22, 74, 160)    # shield, shaded half
ORANGE = (245, 150, 30)    # accent chevron


# --- shapes: (inside(x, y) -> bool, bounding box) ---------------------------

def rect(x0, y0, x1, y1):
    return (lambda x, y: x0 <= x < x1 and y0 <= y < y1), (x0, y0, x1, y1)


def polygon(*pts):
    def inside(x, y):  # even-odd ray cast
        hit = False
        for (ax, ay), (bx, by) in zip(pts, pts[1:] + pts[:1]):
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                hit = not hit
        return hit
    xs, ys = [p[0] for p in pts], [p[1] for p in pts]
    return inside, (min(xs), min(ys), max(xs), max(ys))


def shield(inset=0.0):
    """Logo outline in a 48-unit square: rounded top, parabolic sides to a point."""
    cx, top, bottom, half, r = 24.0, 2.0 + inset, 46.5 - 1.6 * inset, 19.5 - inset, 6.0 - inset
    knee = 20.0  # where the straight sides start to curve in

    def inside(x, y):
        if not top <= y < bottom:
            return False
        dx = abs(x - cx)
        if y < knee:
            ex, ey = dx - half + r, y - top - r  # from a rounded top corner's centre
            return dx < half and (ey >= 0 or ex < 0 or ex * ex + ey * ey < r * r)
        t = (y - knee) / (bottom - knee)
        return dx < half * (1 - t * t)
    return inside, (cx - half, top, cx + half, bottom)


def placed(shape, ox, oy, s):
    """Shape drawn in unit space, put at (ox, oy) scaled by s."""
    inside, (x0, y0, x1, y1) = shape
    return ((lambda x, y: inside((x - ox) / s, (y - oy) / s)),
            (ox + x0 * s, oy + y0 * s, ox + x1 * s, oy + y1 * s))


# --- canvas ------------------------------------------------------------------

class Canvas:
    def __init__(self, w, h, bg=WHITE, alpha=1.0):
        self.w, self.h = w, h
        self.rgb = [[bg] * w for _ in range(h)]
        self.alpha = [[alpha] * w for _ in range(h)]

    def fill(self, shape, colour):
        """Paint shape 'over' the canvas; colour may be a function of (x, y)."""
        inside, (x0, y0, x1, y1) = shape
        for py in range(max(0, int(y0)), min(self.h, int(y1) + 1)):
            for px in range(max(0, int(x0)), min(self.w, int(x1) + 1)):
                hits = sum(inside(px + (i + .5) / SS, py + (j + .5) / SS)
                           for j in range(SS) for i in range(SS))
                if not hits:
                    continue
                a, old_a = hits / SS ** 2, self.alpha[py][px]
                c = colour(px + .5, py + .5) if callable(colour) else colour
                out_a = a + old_a * (1 - a)
                self.rgb[py][px] = tuple((n * a + o * old_a * (1 - a)) / out_a
                                         for n, o in zip(c, self.rgb[py][px]))
                self.alpha[py][px] = out_a

    def pixels(self):
        return [[tuple(min(255, int(v + .5)) for v in c) for c in row] for row in self.rgb]


def mix(c0, c1, t):
    t = min(1.0, max(0.0, t))
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


# --- the Morvel logo ------------------------------------------------------------

def draw_logo(cv, ox, oy, size):
    """Blue shield, split-shaded, with a white M over an orange V (Morvel Vantrel)."""
    s = size / 48.0
    put = lambda shape, colour: cv.fill(placed(shape, ox, oy, s), colour)
    # Lit left half, shaded right half, each darkening towards the point.
    body = lambda x, y: mix(BLUE_HI if x < ox + 24 * s else BLUE_LO, NAVY,
                            (y - oy) / (48 * s) * 0.55)
    put(shield(), NAVY)
    put(shield(2.2), body)
    put(polygon((12, 28), (12, 9), (18, 9), (24, 17), (30, 9), (36, 9),
                (36, 28), (31, 28), (31, 17.5), (24, 26), (17, 17.5), (17, 28)), WHITE)
    put(polygon((14, 30), (19, 30), (24, 35), (29, 30), (34, 30), (24, 40)), ORANGE)


# --- a small pixel font (7 rows; only the letters we need) -----------------------

FONT = {
    'M': "X...X XX.XX X.X.X X.X.X X...X X...X X...X",
    'V': "X...X X...X X...X X...X X...X .X.X. ..X..",
    'a': "..... ..... .XXX. ....X .XXXX X...X .XXXX",
    'e': "..... ..... .XXX. X...X XXXXX X.... .XXX.",
    'l': "XX. .X. .X. .X. .X. .X. XXX",
    'n': "..... ..... X.XX. XX..X X...X X...X X...X",
    'o': "..... ..... .XXX. X...X X...X X...X .XXX.",
    'r': "..... ..... X.XX. XX..X X.... X.... X....",
    't': ".X.. .X.. XXX. .X.. .X.. .X.X ..X.",
    'v': "..... ..... X...X X...X X...X .X.X. ..X..",
    ' ': "... ... ... ... ... ... ...",
}


def advance(ch, scale):
    return (len(FONT[ch].split()[0]) + 1) * scale + 1


def text_width(text, scale):
    return sum(advance(ch, scale) for ch in text) - scale  # no gap after the last letter


def draw_text(cv, text, x, y, scale, colour):
    """Font cells become scale-sized squares; lone diagonal steps are bridged by
    half-cell triangles so slopes and round letters look smooth, and everything
    is struck twice, one pixel apart, for a bold stroke."""
    for ch in text:
        on = {(i, j) for j, row in enumerate(FONT[ch].split())
              for i, bit in enumerate(row) if bit == 'X'}
        shapes = [[(i, j), (i + 1, j), (i + 1, j + 1), (i, j + 1)] for i, j in on]
        for i, j in on:
            if (i + 1, j + 1) in on and not {(i + 1, j), (i, j + 1)} & on:
                shapes += [[(i + 1, j), (i + 2, j + 1), (i + 1, j + 1)],
                           [(i, j + 1), (i + 1, j + 1), (i + 1, j + 2)]]
            if (i + 1, j - 1) in on and not {(i + 1, j), (i, j - 1)} & on:
                shapes += [[(i, j), (i + 1, j - 1), (i + 1, j)],
                           [(i + 1, j), (i + 2, j), (i + 1, j + 1)]]
        for pts in sorted(shapes):  # fixed order: overlapping soft edges blend alike
            for dx in (0, 1):
                cv.fill(polygon(*[(x + dx + u * scale, y + v * scale) for u, v in pts]), colour)
        x += advance(ch, scale)


# --- the pictures ---------------------------------------------------------------

def icon():
    cv = Canvas(48, 48, alpha=0.0)
    draw_logo(cv, 0, 0, 48)
    return cv


def banner():
    cv = Canvas(497, 57)
    scale, margin, gap, logo = 3, 8, 10, 42
    words = "Morvel Vantrel"
    x = 497 - margin - text_width(words, scale)
    draw_text(cv, words, x, (57 - 7 * scale) // 2, scale, NAVY)
    draw_logo(cv, x - gap - logo, (57 - logo) // 2, logo)  # whole pixels: crisper
    return cv


def report():
    """A page of text with a folded corner: 'save the report'."""
    cv = Canvas(24, 24)
    edge, fold, grey = (88, 104, 132), (214, 222, 236), (150, 158, 172)
    cv.fill(polygon((6, 3), (15, 3), (20, 8), (20, 23), (6, 23)), (208, 208, 208))  # shadow
    cv.fill(polygon((4, 1), (14, 1), (19, 6), (19, 22), (4, 22)), edge)
    cv.fill(polygon((5, 2), (13.6, 2), (18, 6.4), (18, 21), (5, 21)),
            lambda x, y: mix(WHITE, (232, 238, 248), y / 24))
    cv.fill(polygon((13, 1), (19, 7), (13, 7)), edge)
    cv.fill(polygon((14, 2.4), (17.6, 6), (14, 6)), fold)
    cv.fill(rect(7, 4, 12, 6), BLUE_LO)  # heading
    for y, x1 in ((9, 16), (11, 15), (13, 16), (15, 14), (17, 16), (19, 12)):
        cv.fill(rect(7, y, x1, y + 1), grey)
    return cv


def rep_clear():
    """A waste bin with lid and ribs: 'clear the report'."""
    cv = Canvas(24, 24)
    edge, rib = (60, 78, 110), (92, 114, 152)
    steel = lambda x, y: mix((214, 226, 244), (128, 152, 192), (x - 6) / 12)
    cv.fill(polygon((6, 8), (18, 8), (16.8, 22), (7.2, 22)), edge)
    cv.fill(polygon((7, 8), (17, 8), (15.9, 21), (8.1, 21)), steel)
    for top, bottom in ((9.5, 10), (12, 12), (14.5, 14)):
        cv.fill(polygon((top - .5, 10), (top + .5, 10), (bottom + .5, 19), (bottom - .5, 19)), rib)
    cv.fill(rect(9, 2, 15, 5), edge)  # handle
    cv.fill(rect(10, 3, 14, 5), (184, 200, 226))
    cv.fill(rect(4, 5, 20, 9), edge)  # lid
    cv.fill(rect(5, 6, 19, 8), steel)
    return cv


# --- file formats ------------------------------------------------------------------

def palette_of(pix, first=()):
    """The colours used (after any forced ones), padded to 256, and indexed rows."""
    pal = list(first) + sorted({c for row in pix for c in row} - set(first))
    if len(pal) > 256:
        sys.exit('too many colours for an 8-bit image: %d' % len(pal))
    index = {c: i for i, c in enumerate(pal)}
    rows = [bytes(index[c] for c in row) for row in pix]
    pal += [(0, 0, 0)] * (256 - len(pal))
    return b''.join(struct.pack('<4B', b, g, r, 0) for r, g, b in pal), rows


BI_RGB, BI_RLE8 = 0, 1


def info_header(w, h, bits, image_size, colours, compression=BI_RGB):
    return struct.pack('<IiiHHIIiiII', 40, w, h, 1, bits, compression, image_size, 2835, 2835,
                       colours, 0)


def pad4(row):
    return row + b'\0' * (-len(row) % 4)


def rle8_row(row):
    """One row in RLE8: runs of a colour as (count, index); stretches with no
    run of three as one literal block (0, count, indices, padded to a word)."""
    out, i = bytearray(), 0
    def run_at(j):  # how many pixels from j have its colour, at most 255
        most = min(255, len(row) - j)
        return next((k for k in range(1, most) if row[j + k] != row[j]), most)
    while i < len(row):
        if run_at(i) >= 3:
            n = run_at(i)
            out += bytes((n, row[i]))
            i += n
            continue
        j = i
        while j < len(row) and j - i < 255 and run_at(j) < 3:
            j += 1
        if j - i < 3:  # too short for a literal block
            out += b''.join(bytes((1, v)) for v in row[i:j])
        else:
            out += bytes((0, j - i)) + row[i:j] + b'\0' * ((j - i) % 2)
        i = j
    return bytes(out)


def bmp(cv, bits):
    """A BMP file: 24-bit colour as is; 8-bit with its palette, stored RLE8
    (mostly one colour, so a fraction of the size; LoadImage reads it)."""
    pix = cv.pixels()
    if bits == 8:
        pal, rows = palette_of(pix)
        lines = [rle8_row(row) for row in reversed(rows)]  # bottom-up
        data = b'\0\0'.join(lines) + b'\0\1'  # end of line between rows, end of bitmap after
        compression = BI_RLE8
    else:
        pal, rows = b'', [bytes(v for r, g, b in row for v in (b, g, r)) for row in pix]
        data = b''.join(pad4(row) for row in reversed(rows))  # bottom-up
        compression = BI_RGB
    offset = 14 + 40 + len(pal)
    return (struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)
            + info_header(cv.w, cv.h, bits, len(data), 256 if pal else 0, compression) + pal + data)


def ico(cv):
    pix = cv.pixels()
    clear = [[a < .5 for a in row] for row in cv.alpha]
    # Masked pixels must be black in the colour image so they show the desktop.
    pix = [[(0, 0, 0) if m else c for c, m in zip(prow, mrow)] for prow, mrow in zip(pix, clear)]
    pal, rows = palette_of(pix, first=[(0, 0, 0)])
    xor = b''.join(pad4(row) for row in reversed(rows))
    bits = lambda row: bytes(sum(0x80 >> i for i in range(8) if row[x + i])
                             for x in range(0, cv.w, 8))
    mask = b''.join(pad4(bits(row)) for row in reversed(clear))  # 1 = transparent
    image = info_header(cv.w, cv.h * 2, 8, len(xor) + len(mask), 0) + pal + xor + mask
    return (struct.pack('<HHH', 0, 1, 1)
            + struct.pack('<BBBBHHII', cv.w, cv.h, 0, 0, 1, 8, len(image), 6 + 16) + image)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, 'gui', 'res')
    os.makedirs(out, exist_ok=True)
    for name, data in (('vantrel.ico', ico(icon())), ('banner.bmp', bmp(banner(), 8)),
                       ('report.bmp', bmp(report(), 24)), ('rep_clear.bmp', bmp(rep_clear(), 24))):
        with open(os.path.join(out, name), 'wb') as f:
            f.write(data)
        print('%-14s %6d bytes' % (name, len(data)))


if __name__ == '__main__':
    main()
