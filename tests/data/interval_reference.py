#!/usr/bin/env python3
"""Reference ends for interval functions that map the ends of their operand.

For random operands [lo, hi] (doubles, written exactly) each line gives the
lower and upper end of f([lo, hi]) computed with mpmath at 60 digits and
rounded once to the nearest double: the ends an ideal implementation would
return. Run: python3 interval_reference.py > interval_reference.txt
"""
import random

import mpmath as mp

mp.mp.dps = 60
random.seed(20261206)


def nearest(x):
    return float(mp.nstr(x, 40, strip_zeros=False))


def rnd(lo, hi):
    return random.uniform(lo, hi)


def wide(lo, hi):
    # Log-uniform magnitudes inside [lo, hi] with lo > 0.
    return float(mp.exp(random.uniform(float(mp.log(lo)), float(mp.log(hi)))))


# name: (operand generator, function, increasing)
FUNCTIONS = {
    "Exp": (lambda: rnd(-700, 700), mp.exp, True),
    "Log": (lambda: wide(1e-300, 1e300), mp.log, True),
    "Log10": (lambda: wide(1e-300, 1e300), mp.log10, True),
    "Sqrt": (lambda: wide(1e-300, 1e300), mp.sqrt, True),
    "Sinh": (lambda: rnd(-700, 700), mp.sinh, True),
    "Tanh": (lambda: rnd(-20, 20), mp.tanh, True),
    "Asinh": (lambda: random.choice([-1, 1]) * wide(1e-10, 1e300), mp.asinh, True),
    "Acosh": (lambda: 1 + wide(1e-12, 1e300), mp.acosh, True),
    "Atanh": (lambda: rnd(-0.999999, 0.999999), mp.atanh, True),
    "Asin": (lambda: rnd(-1, 1), mp.asin, True),
    "Acos": (lambda: rnd(-1, 1), mp.acos, False),
    "Atan": (lambda: random.choice([-1, 1]) * wide(1e-10, 1e300), mp.atan, True),
    "Cosh": (lambda: rnd(0, 700), mp.cosh, True),
}


def main():
    print("# name lo hi lower upper")
    for name, (draw, f, increasing) in FUNCTIONS.items():
        for _ in range(300):
            lo, hi = sorted((draw(), draw()))
            flo, fhi = f(mp.mpf(lo)), f(mp.mpf(hi))
            lower, upper = (flo, fhi) if increasing else (fhi, flo)
            print(name, repr(lo), repr(hi), repr(nearest(lower)), repr(nearest(upper)))


if __name__ == "__main__":
    main()
