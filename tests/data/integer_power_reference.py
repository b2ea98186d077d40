#!/usr/bin/env python3
"""Reference values, from mpmath at 50 digits, for real powers with whole
exponents from -8 to 8.

Writes integer_power_reference.txt, one case a line:
  pow <n> <x> <x^n>
every number as the shortest round-trip repr of the double nearest the exact
value ('inf'/'-inf' beyond the largest double; a zero keeps the sign of the
exact power). Bases are finite and nonzero: for each exponent, random bases
over every binade whose power is a normal double, bases whose power is
subnormal or rounds to zero, bases whose power overflows or just fits, and
the largest and smallest doubles.
"""
import math
import random

import mpmath

mpmath.mp.dps = 50
MAX = 1.7976931348623157e308
TINY = 5e-324
rng = random.Random(73)


def d(v, negative):
    if abs(v) > MAX:
        return '-inf' if negative else 'inf'
    f = float(v)
    if f == 0:
        return '-0.0' if negative else '0.0'
    return repr(f)


def row(n, x):
    v = mpmath.mpf(x) ** n
    return f'pow {n} {x!r} {d(v, v < 0)}'


def signed(x):
    return x if rng.random() < 0.5 else -x


lines = []
for n in range(-8, 9):
    if n == 0:
        continue
    m = abs(n)
    # Normal powers: the base's exponent over the whole range it may take.
    low, high = math.ceil(-1022 / m), math.floor(1023 / m)
    lo_e, hi_e = (low, high) if n > 0 else (-high, -low)
    for _ in range(400):
        e = rng.randint(lo_e, hi_e)
        lines.append(row(n, signed(math.ldexp(1 + rng.random(), e - 1))))
    # Near 1, where most powers are taken.
    for _ in range(200):
        lines.append(row(n, signed(rng.uniform(-10, 10))))
    # Subnormal powers, powers that round to zero, and powers that overflow
    # or just fit: the bases around each threshold.
    for target in (mpmath.mpf(2) ** -1022, mpmath.mpf(2) ** -1074, mpmath.mpf(MAX)):
        threshold = target ** (mpmath.mpf(1) / n)
        if threshold > MAX:
            continue
        for _ in range(20):
            x = float(threshold) * (1 + (rng.random() - 0.5) * 0.02)
            lines.append(row(n, signed(min(x, MAX))))
    for x in (MAX, TINY, 2.2250738585072014e-308, 1.0, 0.5, 2.0, 3.0, 10.0, 0.1):
        lines.append(row(n, x))
        lines.append(row(n, -x))

with open(__file__.replace('.py', '.txt'), 'w') as out:
    out.write('\n'.join(lines) + '\n')
