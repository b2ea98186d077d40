# Packed RGB of hue, saturation, value by Python's colorsys, the reference
# for the colour plot's HSV cells. Hue in turns; colorsys takes only [0, 1),
# so the hue's fraction is handed to it (negative hues included).
# Run: python3 hsv_colorsys.py > hsv_colorsys.txt
import colorsys
import math

hues = [-2.75, -1.0, -0.6, -0.25, -0.01, 0.0, 0.1, 1 / 6, 0.25, 1 / 3, 0.5, 0.55, 2 / 3, 0.8, 0.999, 1.0, 1.25, 3.4]
for h in hues:
    for s in (0.0, 0.3, 1.0):
        for v in (0.0, 0.5, 1.0):
            r, g, b = colorsys.hsv_to_rgb(h - math.floor(h), s, v)
            packed = int(r * 255) << 16 | int(g * 255) << 8 | int(b * 255)
            print(repr(h), repr(s), repr(v), packed)
