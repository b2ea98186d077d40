#!/usr/bin/env python3
"""Legend swatches painted from the colour-type table: every type 0 to 13 at
several sizes, the swatch placed 2 pixels inside a white port. Type 0 is
drawn in red. Output: a line "type width height", then the port's rows as
hexadecimal 0xRRGGBB pixels."""
import colorsys

BLACK, GRAY, WHITE, RED = 0x000000, 0xE5E5E5, 0xFFFFFF, 0xFF0000
MARGIN = 2
SIZES = [(10, 10), (17, 9), (1, 1), (0, 0), (6, 0)]


def hue(turns):
    r, g, b = colorsys.hsv_to_rgb(turns % 1.0, 1.0, 1.0)
    return int(r * 255) << 16 | int(g * 255) << 8 | int(b * 255)


def line(port, a, b):
    """Both end pixels; steps along the longer axis from the lower end, the
    other coordinate rounded half up."""
    (h0, v0), (h1, v1) = a, b
    along_h = abs(h1 - h0) >= abs(v1 - v0)
    if (along_h and h1 < h0) or (not along_h and v1 < v0):
        (h0, v0), (h1, v1) = (h1, v1), (h0, v0)
    major = abs(h1 - h0) if along_h else abs(v1 - v0)
    minor = (v1 - v0) if along_h else (h1 - h0)
    for i in range(major + 1):
        offset = 0 if major == 0 else (2 * i * minor + major) // (2 * major)
        h, v = (h0 + i, v0 + offset) if along_h else (h0 + offset, v0 + i)
        port[v][h] = BLACK


def swatch(kind, w, h):
    port = [[WHITE] * (w + 2 * MARGIN) for _ in range(h + 2 * MARGIN)]
    if w == 0 or h == 0:
        return port
    for row in range(h):
        for col in range(w):
            colour = None
            if kind == 0:
                colour = RED
            elif kind == 1:
                colour = BLACK if (row // 4 + col // 4) % 2 == 0 else GRAY
            elif kind == 2:
                colour = BLACK if (row // 4) % 2 == 0 else GRAY
            elif kind == 3:
                colour = BLACK if (col // 4) % 2 == 0 else GRAY
            elif kind == 4:
                colour = hue(row / h)
            elif kind == 5:
                colour = hue(col / w)
            elif kind == 6:
                colour = hue((row // 4) / 6)
            elif kind == 7:
                colour = hue((col // 4) / 6)
            elif kind == 13 and (row in (0, h - 1) or col in (0, w - 1)):
                colour = BLACK
            if colour is not None:
                port[row + MARGIN][col + MARGIN] = colour
    if kind == 13:
        left, top, right, bottom = MARGIN, MARGIN, MARGIN + w, MARGIN + h
        line(port, (left, top), (right - 1, bottom - 1))
        line(port, (right - 1, top), (left, bottom - 1))
    return port


with open("graph_color_legends.txt", "w") as out:
    for kind in range(14):
        for w, h in SIZES:
            out.write(f"{kind} {w} {h}\n")
            for row in swatch(kind, w, h):
                out.write(" ".join(f"{p:06X}" for p in row) + "\n")
