#!/usr/bin/env python3
"""Writes fragment_fixed_points.txt: colour formulas at fixed points with
their values from mpmath, for checking fragment programs without our own
evaluator. One case a line, tab-separated: formula, x, y, z, value (r is the distance from the origin, as the graph pane
reads it in colour formulas). The
document parameters are a = 0.7, b = 1.3 and c = -0.4, as in the corpus.
Points are chosen so that each value lies inside 0 to 1, where a colour
component shows it unclamped.
"""
import mpmath as mp

mp.mp.dps = 30
a, b, c = mp.mpf("0.7"), mp.mpf("1.3"), mp.mpf("-0.4")
I = mp.mpc(0, 1)


def rho(x, y, z):
    return mp.sqrt(x * x + y * y + z * z)


CASES = [
    ("sin(x)*cos(y)", (0.6, 0.4, 0), lambda x, y, z: mp.sin(x) * mp.cos(y)),
    ("atan(x)", (0.8, 0, 0), lambda x, y, z: mp.atan(x)),
    ("asin(x)", (0.55, 0, 0), lambda x, y, z: mp.asin(x)),
    ("acos(y)/pi", (0, -0.3, 0), lambda x, y, z: mp.acos(y) / mp.pi),
    ("ln(x^2+1)", (0.9, 0, 0), lambda x, y, z: mp.log(x * x + 1)),
    ("exp(-x^2-y^2)", (0.5, -0.7, 0), lambda x, y, z: mp.exp(-x * x - y * y)),
    ("x^0.5", (0.3, 0, 0), lambda x, y, z: mp.sqrt(x)),
    ("abs(y)^1.5", (0, -0.8, 0), lambda x, y, z: abs(y) ** mp.mpf(1.5)),
    ("tanh(2*x)", (0.2, 0, 0), lambda x, y, z: mp.tanh(2 * x)),
    ("acosh(y+2)/2", (0, -0.5, 0), lambda x, y, z: mp.acosh(y + 2) / 2),
    ("atanh(x/2)+0.5", (-0.6, 0, 0), lambda x, y, z: mp.atanh(x / 2) + mp.mpf(0.5)),
    ("Re((x+i*y)^2)", (0.8, 0.5, 0), lambda x, y, z: mp.re((x + I * y) ** 2)),
    ("Im(sqrt(x*i-y))", (0.7, 0.2, 0), lambda x, y, z: mp.im(mp.sqrt(x * I - y))),
    ("abs(x+i*y)/2", (-0.9, 0.6, 0), lambda x, y, z: abs(x + I * y) / 2),
    ("arg(x+i*y)/pi", (-0.4, 0.9, 0), lambda x, y, z: mp.arg(x + I * y) / mp.pi),
    ("Re(atan(x+i*y))", (0.5, 0.3, 0), lambda x, y, z: mp.re(mp.atan(x + I * y))),
    ("Im(asin(x-i*y))+0.5", (0.3, 0.2, 0), lambda x, y, z: mp.im(mp.asin(x - I * y)) + mp.mpf(0.5)),
    ("theta/(2*pi)+0.5", (-0.5, -0.25, 0.1), lambda x, y, z: mp.atan2(y, x) / (2 * mp.pi) + mp.mpf(0.5)),
    ("phi/pi", (0.3, 0.4, -0.2), lambda x, y, z: mp.acos(z / rho(x, y, z)) / mp.pi),
    ("r/2", (0.3, -0.6, 0.9), lambda x, y, z: rho(x, y, z) / 2),
    ("sinh(x)+0.5", (-0.3, 0, 0), lambda x, y, z: mp.sinh(x) + mp.mpf(0.5)),
    ("(x+2)^(y+1)/4", (-0.5, 0.7, 0), lambda x, y, z: (x + 2) ** (y + 1) / 4),
    ("sec(x)/3", (0.9, 0, 0), lambda x, y, z: mp.sec(x) / 3),
    ("log(y^2+0.1)+1", (0, 0.6, 0), lambda x, y, z: mp.log10(y * y + mp.mpf("0.1")) + 1),
    ("a*x+b*y+c", (0.5, 0.6, 0), lambda x, y, z: a * x + b * y + c),
    ("sin(a*z)*b", (0, 0, 0.45), lambda x, y, z: mp.sin(a * z) * b),
]


def main():
    path = __file__.replace(".py", ".txt")
    with open(path, "w") as out:
        for formula, (x, y, z), f in CASES:
            value = f(mp.mpf(x), mp.mpf(y), mp.mpf(z))
            assert 0.02 < value < 0.98, (formula, value)
            out.write(f"{formula}\t{x!r}\t{y!r}\t{z!r}\t{mp.nstr(value, 17)}\n")
    print(len(CASES), "cases")


if __name__ == "__main__":
    main()
