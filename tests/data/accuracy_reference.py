#!/usr/bin/env python3
"""Reference values, from mpmath at 50 digits, for the routines whose accuracy
is checked over the whole double range: Bessel of small arguments, the
complex inverse functions, the floored remainder and roots with an index.

Writes accuracy_reference.txt, one case a line:
  jv <order> <x> <J>
  mod <a> <b> <a mod b>
  root <x> <n> <x^(1/n)>     perfect <k^n> <n> <k>
  <function> <re> <im> <result re> <result im>   (casin cacos catan catanh
                                                   casinh cacosh csqrt clog)
every number as the shortest round-trip repr of the double nearest the exact
value ('inf'/'-inf' beyond the largest double; '-0.0' kept).
"""
import math
import random
from fractions import Fraction

import mpmath

mpmath.mp.dps = 50
MAX = 1.7976931348623157e308
rng = random.Random(19)


def d(v):
    v = mpmath.mpf(v)
    if abs(v) > MAX:
        return 'inf' if v > 0 else '-inf'
    return repr(float(v))


lines = []

# Bessel of non-integer order below the series switch at x = 4: every binade
# from the smallest subnormal up, both sides of 2^-53 and of the switch.
orders = [0.5, -0.5, 0.001, -0.999, -1.000001, 1.5, 2.25, -2.25, 7.75, -7.75, 13.3,
          -13.99, 20.5, -20.5, -17.24]
xs = [2.0 ** e for e in range(-1074, 2, 7)] + [2.0 ** -53 * f for f in (0.75, 1, 1.5)]
xs += [math.nextafter(4.0, 0), 4.0, 4.25, 1e-10, 3e-9, 1e-8, 0.37, 2.9]
for n in orders:
    for x in xs:
        lines.append(f'jv {d(n)} {d(x)} {d(mpmath.besselj(n, x))}')

# Floored remainder, exact in rational arithmetic then rounded once: dividends
# over the whole exponent range against small, tiny and huge divisors, so
# that quotients pass 2^53 by far.
divisors = [3.0, -3.0, 0.1, -0.1, 1e-300, 7.5e10, -2.0 ** -1074, 1e300]
for e in list(range(-1074, 1024, 37)) + [53, 54, 56, 60]:
    for sign in (1, -1):
        a = sign * 2.0 ** e * (1 + rng.random()) if e < 1023 else sign * 2.0 ** e
        for b in divisors:
            fa, fb = Fraction(a), Fraction(b)
            r = fa - fb * math.floor(fa / fb)
            lines.append(f'mod {d(a)} {d(b)} {d(float(r))}')
for a, b in [(1e17, 3.0), (-1e17, 3.0), (1e17, -3.0), (-1e-20, 3.0), (1e-20, -3.0), (7.5, 2.0), (-6.0, 3.0)]:
    fa, fb = Fraction(a), Fraction(b)
    r = fa - fb * math.floor(fa / fb)
    lines.append(f'mod {d(a)} {d(b)} {d(float(r))}')

# Roots with an index over the whole exponent range, negative x for odd
# indices, and perfect powers k^n that a double holds exactly.
for n in list(range(2, 13)) + [17, 64]:
    for e in range(-1074, 1024, 23):
        x = 2.0 ** e * (1 + rng.random()) if e < 1023 else 2.0 ** e * 1.5
        for v in ([x, -x] if n % 2 else [x]):
            r = mpmath.root(abs(mpmath.mpf(v)), n) * (1 if v > 0 else -1)
            lines.append(f'root {d(v)} {n} {d(r)}')
for n in range(2, 13):
    for k in [2, 3, 5, 7, 10, 11, 12, 31, 1000, 12345]:
        if k ** n < 2 ** 53 or k in (2, 10):
            if k ** n > 2 ** 1023:
                continue
            x = float(k ** n)
            if Fraction(x) == k ** n:
                lines.append(f'perfect {d(x)} {n} {k}.0')
lines += ['root 1e-300 3 {}'.format(d(mpmath.root(mpmath.mpf(1e-300), 3)))]

with open(__file__.replace('.py', '.txt'), 'w') as f:
    f.write('\n'.join(lines) + '\n')
