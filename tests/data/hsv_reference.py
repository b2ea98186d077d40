#!/usr/bin/env python3
"""HSV to RGB reference values from Python's colorsys (hue given as a fraction of a turn)."""
import colorsys
import math

cases = []
for i in range(0, 61):
    for s in (0.0, 0.25, 1.0):
        for v in (0.0, 0.5, 1.0):
            cases.append((i / 60.0, s, v))
cases += [(0.999999, 1.0, 1.0), (0.1666666, 0.7, 0.9), (0.5000001, 0.3, 0.6), (0.8333334, 1.0, 0.75)]

with open("hsv_reference.txt", "w") as out:
    out.write("# hue saturation value red green blue\n")
    for h, s, v in cases:
        r, g, b = colorsys.hsv_to_rgb(h - math.floor(h), s, v)
        out.write(" ".join(repr(x) for x in (h, s, v, r, g, b)) + "\n")
