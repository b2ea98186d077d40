#!/usr/bin/env python3
"""Area and volume of ellipsoids with semi-axes a, b, c.

The area comes two ways that must agree: Carlson's symmetric integral
S = 4 pi a b c R_G(1/a^2, 1/b^2, 1/c^2), and Legendre's incomplete integrals
for a >= b >= c. The volume is 4 pi a b c / 3.
Writes ellipsoid_reference.txt: a b c area volume, one ellipsoid a line.
"""
import os

from mpmath import mp, mpf, pi, elliprg, ellipf, ellipe, acos, sin, cos

mp.dps = 30

AXES = [(1.5, 1.0, 0.7), (1.2, 1.2, 0.5), (0.9, 1.3, 1.6)]


def carlson_area(a, b, c):
    return 4 * pi * a * b * c * elliprg(1 / a**2, 1 / b**2, 1 / c**2)


def legendre_area(a, b, c):
    a, b, c = sorted((a, b, c), reverse=True)
    phi = acos(c / a)
    m = (a**2 * (b**2 - c**2)) / (b**2 * (a**2 - c**2))
    s = sin(phi)
    return 2 * pi * c**2 + 2 * pi * a * b / s * (ellipe(phi, m) * s**2 + ellipf(phi, m) * cos(phi) ** 2)


def main():
    lines = []
    for a, b, c in AXES:
        a, b, c = mpf(a), mpf(b), mpf(c)
        area = carlson_area(a, b, c)
        assert abs(area - legendre_area(a, b, c)) < mpf(10) ** -20
        volume = 4 * pi * a * b * c / 3
        lines.append(f"{mp.nstr(a, 6)} {mp.nstr(b, 6)} {mp.nstr(c, 6)} {mp.nstr(area, 20)} {mp.nstr(volume, 20)}")
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "ellipsoid_reference.txt")
    with open(out, "w") as f:
        f.write("# a b c area volume\n")
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
