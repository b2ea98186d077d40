#!/usr/bin/env python3
"""Advances and inked tops of the pinned font files, as an independent
shaper (hb-shape from libharfbuzz-bin) reports them in font units.
Run once; writes font_advances.txt beside this script.

Line format: family|bold|italic|unitsPerEm|code points (hex)|advance|ink top
"""
import json
import pathlib
import struct
import subprocess

STIX = "/usr/share/fonts/opentype/stix/"
DEJAVU = "/usr/share/fonts/truetype/dejavu/"
FACES = [
    ("STIXGeneral", 0, 0, STIX + "STIXGeneral-Regular.otf"),
    ("STIXGeneral", 1, 0, STIX + "STIXGeneral-Bold.otf"),
    ("STIXGeneral", 0, 1, STIX + "STIXGeneral-Italic.otf"),
    ("STIXGeneral", 1, 1, STIX + "STIXGeneral-BoldItalic.otf"),
    ("DejaVu Sans", 0, 0, DEJAVU + "DejaVuSans.ttf"),
    ("DejaVu Sans", 1, 0, DEJAVU + "DejaVuSans-Bold.ttf"),
    ("DejaVu Sans Mono", 0, 0, DEJAVU + "DejaVuSansMono.ttf"),
]
TEXTS = [
    "Hello, World",
    "AVAT WAVE To Ty",
    "office fluff ffi",
    "x\u00b2 + y\u00b2 = r\u00b2",
    "sin \u03b8 + cos \u03c6",
    "\u03b1\u03b2\u03b3 \u2211\u220f\u221a\u221e",
    "f(x) = 3.14159 \u00d7 10",
    "trailing  ",
    "W",
    "\u00e9t\u00e9 na\u00efve",
]


def units_per_em(path):
    data = pathlib.Path(path).read_bytes()
    tables = struct.unpack(">H", data[4:6])[0]
    for i in range(tables):
        tag, _, offset, _ = struct.unpack(">4sIII", data[12 + 16 * i: 28 + 16 * i])
        if tag == b"head":
            return struct.unpack(">H", data[offset + 18: offset + 20])[0]
    raise ValueError("no head table in " + path)


def shape(path, text):
    out = subprocess.run(["hb-shape", "--output-format=json", "--show-extents", "--no-glyph-names", path, text],
                         check=True, capture_output=True, text=True).stdout
    glyphs = json.loads(out)
    if any(g["g"] == 0 for g in glyphs):
        return None  # the face lacks a character: fallback is not measured here
    advance = sum(g["ax"] for g in glyphs)
    top = max((g["dy"] + g["yb"] for g in glyphs if g["h"] != 0), default=0)
    return advance, top


lines = []
for family, bold, italic, path in FACES:
    upem = units_per_em(path)
    for text in TEXTS:
        shaped = shape(path, text)
        if shaped is None:
            continue
        advance, top = shaped
        points = " ".join("%04X" % ord(c) for c in text)
        lines.append("%s|%d|%d|%d|%s|%d|%d" % (family, bold, italic, upem, points, advance, top))
pathlib.Path(__file__).with_name("font_advances.txt").write_text("\n".join(lines) + "\n")
