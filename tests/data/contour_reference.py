# Reference contour lines for the contour plot's tests, from matplotlib's
# contouring of each function on a fine grid (step 0.05) over the mesh of a
# 200 x 200 pixel view at 10 pixels per unit centred on the origin. The
# levels are chosen here by the rule the plot follows (sample, anchor, step),
# written independently of it; the tests check both the levels and the
# lines.
# Run with the system python: /usr/bin/python3 contour_reference.py > contour_reference.txt
import math

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt
import numpy as np

# (our formula, numpy form, whether the pieces per level can be compared:
# not where a level runs through a saddle, along the edge of the domain or
# through a corner that pokes less than a mesh cell into the view)
FUNCTIONS = [
    ("x^2 + y^2", lambda x, y: x**2 + y**2, True),
    ("x*y", lambda x, y: x * y, False),
    ("sin(x) + cos(y)", lambda x, y: np.sin(x) + np.cos(y), False),
    ("exp(-(x^2 + y^2)/20)", lambda x, y: np.exp(-(x**2 + y**2) / 20), True),
    ("x + y/3", lambda x, y: x + y / 3, True),
    ("sqrt(x) + y", lambda x, y: np.sqrt(x) + y, True),
    ("1/((x - 1)^2 + y^2)", lambda x, y: 1 / ((x - 1) ** 2 + y**2), True),
    ("ln(x^2 + y^2)", lambda x, y: np.log(x**2 + y**2), True),
    ("y - x^3/50", lambda x, y: y - x**3 / 50, True),
    ("cos(x*y/5)", lambda x, y: np.cos(x * y / 5), False),
    ("abs(x) + abs(y)", lambda x, y: np.abs(x) + np.abs(y), False),
    ("sqrt(25 - x^2 - y^2)", lambda x, y: np.sqrt(25 - x**2 - y**2), False),
]
GRAIN = 0.5
# The mesh bounds as the plot computes them from the view's pixels.
UX = 1 / 10
X0, X1 = (0 - 100 - 0.5) * UX, (200 - 100 - 0.5) * UX
Y0, Y1 = -(200 - 100 - 0.5) * UX, -(0 - 100 - 0.5) * UX


def round_one_digit(v):
    e = math.floor(math.log10(v))
    return math.floor(v / 10**e + 0.5) * 10**e


def levels_of(f):
    n = int(20 * GRAIN + 4 + 0.5)
    values = []
    for j in range(20):
        for i in range(20):
            x = X0 + (i + 0.5) * (X1 - X0) / 20
            y = Y0 + (j + 0.5) * (Y1 - Y0) / 20
            with np.errstate(all="ignore"):
                v = float(f(np.float64(x), np.float64(y)))
            if math.isfinite(v):
                values.append(v)
    lo, hi = min(values), max(values)
    span = hi - lo
    e = math.floor(math.log10(span))
    s = 10.0 ** -(e + 1)
    if math.floor(s * hi) == math.ceil(s * lo):
        anchor = math.floor(s * hi) / s
    else:
        s = 10.0**-e
        mid = (lo + hi) / 2
        candidates = [m / s for m in range(math.ceil(s * lo), math.floor(s * hi) + 1)]
        anchor = min(candidates, key=lambda c: abs(c - mid))
    step = span / n
    e2 = math.floor(math.log10(step))
    r = round_one_digit(step)
    if abs(r - step) * 10**-e2 >= 0.33:
        r = (math.trunc(step * 10**-e2) + 0.5) * 10**e2
    step = r
    above, below = math.trunc((hi - anchor) / step), math.trunc((anchor - lo) / step)
    while above + below + 1 > n:
        if (hi - anchor) - above * step > (anchor - lo) - below * step:
            below -= 1
        else:
            above -= 1
    below = max(below, 0) - min(above, 0)
    return [anchor + (k - below) * step for k in range(n)]


xs = np.linspace(X0, X1, 401)
ys = np.linspace(Y0, Y1, 401)
gx, gy = np.meshgrid(xs, ys)
for text, f, pieces in FUNCTIONS:
    with np.errstate(all="ignore"):
        z = np.ma.masked_invalid(f(gx, gy))
    levels = levels_of(f)
    print("function", text)
    print("pieces", 1 if pieces else 0)
    print("levels", " ".join(repr(v) for v in levels))
    contours = plt.contour(gx, gy, z, levels=levels)
    for k, paths in enumerate(contours.allsegs):
        for path in paths:
            print("path", k, len(path), " ".join("%.4f %.4f" % (p[0], p[1]) for p in path))
    plt.close("all")
