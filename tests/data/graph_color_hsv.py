#!/usr/bin/env python3
"""Colours of HSV colour equations from Python's colorsys: only the hue's
fraction counts; saturation and value below 0 or not a number give 0, above
1 give 1. Output: hue saturation value red green blue."""
import colorsys
import math


def clamp(c):
    if math.isnan(c) or c < 0:
        return 0.0
    return min(c, 1.0)


cases = [(1.25, 1.0, 1.0), (-0.25, 1.0, 1.0), (0.0, 1.0, 1.0), (3.5, 0.5, 0.8), (0.1, 2.0, -1.0),
         (0.7, -0.5, 0.6), (0.9, 0.4, 7.0), (-2.9, 0.75, 0.25)]
cases += [(k / 24.0 - 1.0, (k % 5) / 4.0, ((k * 7) % 9) / 8.0) for k in range(72)]

with open("graph_color_hsv.txt", "w") as out:
    out.write("# hue saturation value red green blue\n")
    for h, s, v in cases:
        r, g, b = colorsys.hsv_to_rgb(h - math.floor(h), clamp(s), clamp(v))
        out.write(" ".join(repr(x) for x in (h, s, v, r, g, b)) + "\n")
