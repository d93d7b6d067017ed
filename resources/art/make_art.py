#!/usr/bin/env python3
"""Draws the installer's logo and icon and the stand-in viewer's images.

Run once by hand (python3, standard library only) when the artwork changes; the
build uses the files it writes, which are checked in:

  resources/art/logo.bmp            88 x 31, 4 bits per pixel, 16-colour palette
  resources/art/setup.ico           32 x 32 and 16 x 16, 8 bits per pixel
  payload/viewer/icons/viewer_NN.ico  the viewer's ten icons (index 0 to 9)
  payload/content/Toolbars/*.png    the four toolbar skins (16, 24, 32, 48 pixels)

The motif is a sun partly covered by a dark disc: a crescent of light with a
soft half-shadow along the edge of the cover.
"""

import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))


# ---------------------------------------------------------------- shapes ---
# A shape is a function (x, y) -> bool in the picture's unit square.

def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r1, r2):
    return lambda x, y: r1 * r1 <= (x - cx) ** 2 + (y - cy) ** 2 <= r2 * r2


def arc(cx, cy, r1, r2, a0, a1):
    def inside(x, y):
        d2 = (x - cx) ** 2 + (y - cy) ** 2
        if not (r1 * r1 <= d2 <= r2 * r2):
            return False
        a = math.degrees(math.atan2(cy - y, x - cx)) % 360
        return (a0 <= a <= a1) if a0 <= a1 else (a >= a0 or a <= a1)
    return inside


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def rounded(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def segment(ax, ay, bx, by, w):
    def inside(x, y):
        dx, dy = bx - ax, by - ay
        t = ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)
        t = min(1.0, max(0.0, t))
        px, py = ax + t * dx, ay + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= (w / 2) ** 2
    return inside


def polygon(points):
    def inside(x, y):
        c = False
        n = len(points)
        for i in range(n):
            x1, y1 = points[i]
            x2, y2 = points[(i + 1) % n]
            if (y1 > y) != (y2 > y):
                if x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
                    c = not c
        return c
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def intersect(a, b):
    return lambda x, y: a(x, y) and b(x, y)


def in_pixels(layers, w, h):
    """Layers drawn in pixel coordinates of a w x h picture, for render()."""
    out = []
    for shape, paint in layers:
        s = (lambda sh: lambda x, y: sh(x * w, y * h))(shape)
        p = paint if not callable(paint) else (lambda pt: lambda x, y: pt(x * w, y * h))(paint)
        out.append((s, p))
    return out


# A layer is (shape, colour) or (shape, function (x, y) -> colour).
def render(layers, w, h, samples=4):
    """RGBA rows (top-down), each pixel averaged over samples x samples points."""
    rows = []
    for py in range(h):
        row = []
        for px in range(w):
            r = g = b = a = 0.0
            for sy in range(samples):
                for sx in range(samples):
                    x = (px + (sx + 0.5) / samples) / w
                    y = (py + (sy + 0.5) / samples) / h
                    col = None
                    for shape, paint in layers:
                        if shape(x, y):
                            col = paint(x, y) if callable(paint) else paint
                    if col is not None:
                        r += col[0]
                        g += col[1]
                        b += col[2]
                        a += 1
            n = samples * samples
            if a:
                row.append((r / a, g / a, b / a, a / n))
            else:
                row.append((0.0, 0.0, 0.0, 0.0))
        rows.append(row)
    return rows


def mix(c1, c2, t):
    t = min(1.0, max(0.0, t))
    return tuple(c1[i] + (c2[i] - c1[i]) * t for i in range(3))


def hexcol(s):
    return (int(s[0:2], 16), int(s[2:4], 16), int(s[4:6], 16))


# ------------------------------------------------------------ the motif ---

SUN_CORE = hexcol("FFE16B")
SUN_RIM = hexcol("F08A24")
COVER = hexcol("2B3142")
HALF_SHADOW = hexcol("6E6A7C")
HALO = hexcol("FFF3C4")


def eclipse_layers(cx, cy, r, halo=True):
    """Sun of radius r at (cx, cy), covered by a dark disc up and to the right."""
    sun = circle(cx, cy, r)
    ox, oy, orad = cx + 0.42 * r, cy - 0.30 * r, 0.80 * r

    def sun_paint(x, y):
        d = math.hypot(x - cx, y - cy) / r
        return mix(SUN_CORE, SUN_RIM, d * d)

    layers = []
    if halo:
        layers.append((ring(cx, cy, r, r * 1.22), HALO))
    layers.append((sun, sun_paint))
    layers.append((intersect(circle(ox, oy, orad * 1.16), sun), HALF_SHADOW))
    layers.append((circle(ox, oy, orad), COVER))
    return layers


# ------------------------------------------------------------- writers ---

def nearest(palette, c):
    best, bi = None, 0
    for i, p in enumerate(palette):
        d = (p[0] - c[0]) ** 2 + (p[1] - c[1]) ** 2 + (p[2] - c[2]) ** 2
        if best is None or d < best:
            best, bi = d, i
    return bi


def adaptive_palette(pixels, size=256):
    """Up to size colours: the most frequent 4-bit-per-channel buckets, averaged."""
    buckets = {}
    for c in pixels:
        key = (int(c[0]) >> 4, int(c[1]) >> 4, int(c[2]) >> 4)
        e = buckets.setdefault(key, [0, 0.0, 0.0, 0.0])
        e[0] += 1
        e[1] += c[0]
        e[2] += c[1]
        e[3] += c[2]
    top = sorted(buckets.values(), key=lambda e: -e[0])[: size - 1]
    pal = [(0, 0, 0)] + [(round(e[1] / e[0]), round(e[2] / e[0]), round(e[3] / e[0]))
                         for e in top]
    while len(pal) < size:
        pal.append((0, 0, 0))
    return pal


def icon_image(rgba):
    """BITMAPINFOHEADER + 256-colour palette + XOR bits + AND mask (bottom-up)."""
    h = len(rgba)
    w = len(rgba[0])
    opaque = [c[:3] for row in rgba for c in row if c[3] >= 0.5]
    pal = adaptive_palette(opaque)
    xor = bytearray()
    for row in reversed(rgba):
        for c in row:
            xor.append(nearest(pal, c) if c[3] >= 0.5 else 0)
    mask = bytearray()
    mask_stride = ((w + 31) // 32) * 4
    for row in reversed(rgba):
        bits = bytearray(mask_stride)
        for x, c in enumerate(row):
            if c[3] < 0.5:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 8, 0, len(xor) + len(mask), 0, 0,
                         256, 0)
    palette = b"".join(struct.pack("<BBBB", p[2], p[1], p[0], 0) for p in pal)
    return header + palette + bytes(xor) + bytes(mask)


def write_ico(path, images):
    """images: list of (size, image bytes), largest first."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    data = b""
    for size, img in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 8, len(img), offset)
        offset += len(img)
        data += img
    with open(path, "wb") as f:
        f.write(out + data)


def write_png(path, rgba):
    h = len(rgba)
    w = len(rgba[0])
    raw = bytearray()
    for row in rgba:
        raw.append(0)
        for c in row:
            a = c[3]
            raw += bytes((round(c[0]), round(c[1]), round(c[2]), round(a * 255)))

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body
                + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    png = (b"\x89PNG\r\n\x1a\n"
           + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
           + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
           + chunk(b"IEND", b""))
    with open(path, "wb") as f:
        f.write(png)


def write_bmp4(path, indices, palette):
    """4 bits per pixel, bottom-up, BI_RGB, 2835 pixels per metre, 16 colours."""
    h = len(indices)
    w = len(indices[0])
    stride = ((w * 4 + 31) // 32) * 4
    bits = bytearray()
    for row in reversed(indices):
        line = bytearray(stride)
        for x, i in enumerate(row):
            line[x // 2] |= (i << 4) if x % 2 == 0 else i
        bits += line
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 4, 0, len(bits), 2835, 2835, 16, 16)
    pal = b"".join(struct.pack("<BBBB", p[2], p[1], p[0], 0) for p in palette)
    offset = 14 + len(info) + len(pal)
    filehdr = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(filehdr + info + pal + bytes(bits))


# ---------------------------------------------------------------- logo ---

LOGO_PALETTE = [hexcol(c) for c in (
    "000000", "FFFFFF", "1F3A5F", "2B3142", "FFE16B", "F5B342", "F08A24", "6E6A7C",
    "E9EEF5", "C9D3E1", "8A96A8", "FFF3C4", "F7F9FC", "3C78C8", "B04A12", "4A5568")]

# A 5 x 7 pixel face for the word on the logo ("#" = ink).
GLYPHS = {
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    "e": [".....", ".....", ".###.", "#...#", "#####", "#....", ".####"],
    "l": ["##.", ".#.", ".#.", ".#.", ".#.", ".#.", "###"],
    "u": [".....", ".....", "#...#", "#...#", "#...#", "#..##", ".##.#"],
    "m": [".....", ".....", "##.#.", "#.#.#", "#.#.#", "#.#.#", "#.#.#"],
    "b": ["#....", "#....", "####.", "#...#", "#...#", "#...#", "####."],
    "r": ["....", "....", "#.##", "##..", "#...", "#...", "#..."],
    "a": [".....", ".....", ".###.", "....#", ".####", "#...#", ".####"],
}


def make_logo(path):
    w, h = 88, 31
    frame = rounded(0.0, 0.0, 1.0, 1.0, 0.06)
    inner = rounded(1.0 / w, 1.0 / h, 1.0 - 1.0 / w, 1.0 - 1.0 / h, 0.05)

    def backdrop(x, y):
        return mix(hexcol("F7F9FC"), hexcol("E9EEF5"), y)

    # The sun sits on the left, drawn in pixel coordinates.
    sun_layers = in_pixels(eclipse_layers(16.0, 15.5, 10.0), w, h)
    layers = [(frame, hexcol("1F3A5F")), (inner, backdrop)] + sun_layers
    rgba = render(layers, w, h)
    idx = [[nearest(LOGO_PALETTE, c[:3]) if c[3] >= 0.5 else 1 for c in row] for row in rgba]

    # The word, then an accent line under it.
    x = 34
    top = 9
    for ch in "Pellumbra":
        g = GLYPHS[ch]
        for gy, line in enumerate(g):
            for gx, v in enumerate(line):
                if v == "#":
                    idx[top + gy][x + gx] = 2
        x += len(g[0]) + 1
    for lx in range(34, x - 1):
        idx[top + 10][lx] = 6 if lx < 34 + (x - 35) * 2 // 3 else 5
    write_bmp4(path, idx, LOGO_PALETTE)


# ---------------------------------------------------------------- icons ---

def setup_icon(size):
    tile = rounded(0.02, 0.02, 0.98, 0.98, 0.18)

    def tile_paint(x, y):
        return mix(hexcol("3C78C8"), hexcol("1F3A5F"), y)

    layers = [(tile, tile_paint)] + eclipse_layers(0.5, 0.52, 0.30)
    return render(layers, size, size)


VIEWER_TINTS = ["3C78C8", "2E8B57", "8E44AD", "C0392B", "16A085", "D35400", "7F8C8D",
                "2C3E50", "B03A7A", "1E5AA8"]


def viewer_icon(index, size):
    tint = hexcol(VIEWER_TINTS[index])
    if index == 0:
        # The viewer itself: the motif on a photo frame.
        frame = rounded(0.04, 0.10, 0.96, 0.90, 0.08)
        photo = rect(0.12, 0.18, 0.88, 0.82)
        hill = polygon([(0.12, 0.82), (0.40, 0.50), (0.62, 0.70), (0.74, 0.60), (0.88, 0.78),
                        (0.88, 0.82)])
        layers = [(frame, hexcol("F7F9FC")), (photo, lambda x, y: mix(tint, hexcol("BFD7F2"),
                                                                       y * 1.2)),
                  (hill, hexcol("2E6B3A"))] + eclipse_layers(0.64, 0.38, 0.14, halo=False)
        return render(layers, size, size)
    # Documents: a page with a folded corner and a coloured band (not for 7).
    page = polygon([(0.18, 0.04), (0.66, 0.04), (0.84, 0.22), (0.84, 0.96), (0.18, 0.96)])
    fold = polygon([(0.66, 0.04), (0.84, 0.22), (0.66, 0.22)])
    band = rect(0.18, 0.62, 0.84, 0.86)
    layers = [(page, hexcol("FFFFFF")), (fold, hexcol("C9D3E1")), (band, tint)]
    if index == 8:
        # Sound: a note.
        layers += [(circle(0.40, 0.50, 0.09), hexcol("2B3142")),
                   (rect(0.46, 0.18, 0.52, 0.50), hexcol("2B3142")),
                   (polygon([(0.46, 0.18), (0.66, 0.26), (0.66, 0.34), (0.52, 0.28)]),
                    hexcol("2B3142"))]
    elif index == 7:
        # Thumbnails: a grid of small pictures.
        layers = [(rounded(0.04, 0.04, 0.96, 0.96, 0.10), hexcol("F7F9FC"))]
        for row in range(3):
            for col in range(3):
                x0, y0 = 0.12 + col * 0.27, 0.12 + row * 0.27
                layers.append((rect(x0, y0, x0 + 0.22, y0 + 0.22),
                               tint if (row + col) % 2 else hexcol("F08A24")))
    elif index == 9:
        # Video: a film strip with a play mark.
        layers += [(rect(0.26, 0.16, 0.76, 0.54), hexcol("2B3142"))]
        for i in range(4):
            y = 0.19 + i * 0.09
            layers += [(rect(0.29, y, 0.33, y + 0.04), hexcol("FFFFFF")),
                       (rect(0.69, y, 0.73, y + 0.04), hexcol("FFFFFF"))]
        layers += [(polygon([(0.45, 0.26), (0.60, 0.35), (0.45, 0.44)]), hexcol("FFE16B"))]
    else:
        # Pictures: a small sun over a hill.
        layers += eclipse_layers(0.40, 0.34, 0.11, halo=False)
        layers += [(polygon([(0.24, 0.58), (0.46, 0.40), (0.62, 0.52), (0.78, 0.44),
                             (0.78, 0.58)]), tint)]
    return render(layers, size, size)


# ------------------------------------------------------------- toolbars ---

SKINS = [
    ("Slate_16.png", 16, ("5A6B7D", "2F3B48", "9FB3C8")),
    ("Ember_24.png", 24, ("E2702A", "8C2F12", "FFC56B")),
    ("gnome-colors-wise_32.png", 32, ("5F9E3A", "2F5A1C", "B7DF8A")),
    ("gnome-colors-human_48.png", 48, ("D98B3A", "6B4423", "F3D3A0")),
]

# The viewer's toolbar buttons, in skin order.
BUTTONS = ["open", "save", "prev", "next", "zoom_in", "zoom_out", "rotate", "fullscreen",
           "slideshow", "print", "info", "exit"]


def button_layers(name, main, dark, light):
    if name == "open":
        return [(polygon([(0.08, 0.22), (0.38, 0.22), (0.46, 0.32), (0.90, 0.32),
                          (0.90, 0.84), (0.08, 0.84)]), dark),
                (polygon([(0.16, 0.44), (0.96, 0.44), (0.86, 0.84), (0.08, 0.84)]), main)]
    if name == "save":
        return [(rounded(0.12, 0.12, 0.88, 0.88, 0.06), dark),
                (rect(0.26, 0.16, 0.74, 0.40), light), (rect(0.26, 0.56, 0.74, 0.86), main)]
    if name == "prev":
        return [(polygon([(0.70, 0.14), (0.70, 0.86), (0.18, 0.50)]), main)]
    if name == "next":
        return [(polygon([(0.30, 0.14), (0.30, 0.86), (0.82, 0.50)]), main)]
    if name in ("zoom_in", "zoom_out"):
        layers = [(segment(0.58, 0.58, 0.88, 0.88, 0.16), dark),
                  (circle(0.42, 0.42, 0.30), light), (ring(0.42, 0.42, 0.24, 0.32), main),
                  (rect(0.28, 0.38, 0.56, 0.46), dark)]
        if name == "zoom_in":
            layers.append((rect(0.38, 0.28, 0.46, 0.56), dark))
        return layers
    if name == "rotate":
        return [(arc(0.5, 0.5, 0.22, 0.36, 100, 20), main),
                (polygon([(0.70, 0.50), (0.96, 0.50), (0.83, 0.72)]), dark)]
    if name == "fullscreen":
        w = 0.10
        return [(union(rect(0.10, 0.10, 0.40, 0.10 + w), rect(0.10, 0.10, 0.10 + w, 0.40),
                       rect(0.60, 0.10, 0.90, 0.10 + w), rect(0.90 - w, 0.10, 0.90, 0.40),
                       rect(0.10, 0.90 - w, 0.40, 0.90), rect(0.10, 0.60, 0.10 + w, 0.90),
                       rect(0.60, 0.90 - w, 0.90, 0.90), rect(0.90 - w, 0.60, 0.90, 0.90)),
                 main), (rect(0.32, 0.32, 0.68, 0.68), light)]
    if name == "slideshow":
        return [(rounded(0.06, 0.14, 0.94, 0.78, 0.05), dark), (rect(0.12, 0.20, 0.88, 0.72),
                                                                light),
                (polygon([(0.40, 0.30), (0.66, 0.46), (0.40, 0.62)]), main),
                (rect(0.44, 0.78, 0.56, 0.90), dark)]
    if name == "print":
        return [(rect(0.26, 0.08, 0.74, 0.40), light),
                (rounded(0.08, 0.36, 0.92, 0.74, 0.06), dark),
                (rect(0.26, 0.60, 0.74, 0.92), light), (rect(0.76, 0.44, 0.84, 0.50), main)]
    if name == "info":
        return [(circle(0.5, 0.5, 0.42), main), (circle(0.5, 0.30, 0.07), light),
                (rect(0.44, 0.42, 0.56, 0.76), light)]
    if name == "exit":
        return [(circle(0.5, 0.5, 0.42), dark),
                (segment(0.32, 0.32, 0.68, 0.68, 0.12), light),
                (segment(0.32, 0.68, 0.68, 0.32, 0.12), light)]
    raise ValueError(name)


def make_toolbar(path, size, colours):
    main, dark, light = (hexcol(c) for c in colours)
    n = len(BUTTONS)
    layers = []
    for i, name in enumerate(BUTTONS):
        for shape, paint in button_layers(name, main, dark, light):
            def placed(x, y, shape=shape, i=i):
                bx = x * n - i
                return 0.0 <= bx < 1.0 and shape(bx, y)
            layers.append((placed, paint))
    write_png(path, render(layers, size * n, size))


def main():
    make_logo(os.path.join(HERE, "logo.bmp"))
    write_ico(os.path.join(HERE, "setup.ico"),
              [(32, icon_image(setup_icon(32))), (16, icon_image(setup_icon(16)))])
    icons = os.path.join(ROOT, "payload", "viewer", "icons")
    os.makedirs(icons, exist_ok=True)
    for i in range(10):
        write_ico(os.path.join(icons, "viewer_%02d.ico" % i),
                  [(32, icon_image(viewer_icon(i, 32))), (16, icon_image(viewer_icon(i, 16)))])
    bars = os.path.join(ROOT, "payload", "content", "Toolbars")
    os.makedirs(bars, exist_ok=True)
    for name, size, colours in SKINS:
        make_toolbar(os.path.join(bars, name), size, colours)


if __name__ == "__main__":
    main()
