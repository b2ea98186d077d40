"""Reference points of surfaces of revolution.

The profile point (p, f(p), 0) turns about the axis line, a line of the
x-y plane, by an axis-angle rotation matrix built here. The axis comes from
sympy's solve: through (0, y0) with slope y1 - y0, or the vertical line
x = k. The surface runs in u along the curve and in v through the angle a:
the turn is -a*v about the axis direction (1, m) / sqrt(1 + m^2), or about
(0, 1) for a vertical axis. Without a range p = u; with low < x < high,
p = low + u (high - low).

Writes surface_of_revolution.tsv: equation, u, v, X, Y, Z.
"""
import math
import random

import sympy as sp

x, y = sp.symbols("x y")

# (equation as typed, profile, axis, angle or None, range or None)
CASES = [
    ("Rotate(x, x = 2)", x, sp.Eq(x, 2), None, None),
    ("Rotate(x^2/4 + 1, y = 1)", x**2 / 4 + 1, sp.Eq(y, 1), None, None),
    ("Rotate(x^2/4 + 1, y = 2*x + 1)", x**2 / 4 + 1, sp.Eq(y, 2 * x + 1), None, None),
    ("Rotate(sin(x), 3*y = x - 2, 1.3)", sp.sin(x), sp.Eq(3 * y, x - 2), 1.3, None),
    ("Rotate(y = x/2, x + y = 3, 0 < x < 2)", x / 2, sp.Eq(x + y, 3), None, (0, 2)),
    ("Rotate(x^2, 2*x = -1, 2, -1 < x < 1)", x**2, sp.Eq(2 * x, -1), 2, (-1, 1)),
]


def rotation(k, theta):
    """Rodrigues' matrix of a turn by theta about the unit vector k."""
    kx, ky, kz = k
    c, s = math.cos(theta), math.sin(theta)
    cross = [[0, -kz, ky], [kz, 0, -kx], [-ky, kx, 0]]
    return [[c * (i == j) + s * cross[i][j] + (1 - c) * k[i] * k[j] for j in range(3)] for i in range(3)]


def apply(m, p):
    return [sum(m[i][j] * p[j] for j in range(3)) for i in range(3)]


def main():
    random.seed(39)
    rows = []
    for text, profile, axis, angle, span in CASES:
        f = sp.lambdify(x, profile, "math")
        a = angle if angle is not None else 2 * math.pi
        if axis.has(y):
            y0 = float(sp.solve(axis.subs(x, 0), y)[0])
            y1 = float(sp.solve(axis.subs(x, 1), y)[0])
            m = y1 - y0
            norm = math.hypot(1, m)
            k, origin = (1 / norm, m / norm, 0), (0, y0, 0)
        else:
            k, origin = (0, 1, 0), (float(sp.solve(axis, x)[0]), 0, 0)
        for _ in range(100):
            u, v = random.uniform(-2, 2), random.uniform(0, 1)
            p = u if span is None else span[0] + u * (span[1] - span[0])
            point = [p - origin[0], f(p) - origin[1], 0]
            turned = apply(rotation(k, -a * v), point)
            X, Y, Z = (turned[i] + origin[i] for i in range(3))
            rows.append(f"{text}\t{u!r}\t{v!r}\t{X!r}\t{Y!r}\t{Z!r}")
    with open("surface_of_revolution.tsv", "w") as out:
        out.write("# equation\tu\tv\tX\tY\tZ (from surface_of_revolution.py)\n")
        out.write("\n".join(rows) + "\n")


if __name__ == "__main__":
    main()
