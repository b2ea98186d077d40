# Red, green and blue (0 to 255, unrounded) of hue, saturation and value
# bytes by Python's colorsys, the reference for the OpenGL HSV pass; the
# bytes are what an RGBA8 frame holds. Hue 255/255 is a whole turn.
# Run: python3 hsv_pass.py > hsv_pass.txt
import colorsys

triples = [(0, 255, 255), (43, 255, 255), (85, 255, 255), (128, 255, 255), (170, 255, 255), (213, 255, 255),
           (255, 255, 255), (42, 200, 100), (127, 0, 180), (0, 0, 0)]
i = 0
while len(triples) < 240:
    triples.append(((i * 37 + 11) % 256, (i * 91 + 13) % 256, (i * 53 + 200) % 256))
    i += 1
for h, s, v in triples:
    r, g, b = colorsys.hsv_to_rgb(h / 255 % 1.0, s / 255, v / 255)
    print(h, s, v, repr(r * 255), repr(g * 255), repr(b * 255))
