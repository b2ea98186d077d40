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
    if isinstance(v, float):
        return repr(v)  # already a double; keeps the sign of a zero
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
# Orders past 21 take the series up to x = 3.6 sqrt(|order|): both sides.
for n in [30.3, -30.3, 100.25, -100.25, 180.5, -180.5]:
    edge = 3.6 * math.sqrt(abs(n))
    for x in [1e-300, 1e-20, 0.5, 3.9, 10.0, math.nextafter(edge, 0), edge, edge * 1.01]:
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

# Complex inverse functions, square root and logarithm. On a branch cut a
# zero part stands for one side, the side each function has always taken:
# the value there is mpmath's limit from that side.
FUNCTIONS = {'casin': mpmath.asin, 'cacos': mpmath.acos, 'casinh': mpmath.asinh, 'cacosh': mpmath.acosh,
             'catan': mpmath.atan, 'catanh': mpmath.atanh, 'csqrt': mpmath.sqrt, 'clog': mpmath.log}
ABOVE, BELOW, RIGHT, LEFT = (0, 1), (0, -1), (1, 0), (-1, 0)


def cut_side(name, x, y):
    if y == 0 and x != 0:
        if name in ('casin', 'catanh') and abs(x) > 1:
            return BELOW if x > 1 else ABOVE
        if name == 'cacos' and abs(x) > 1:
            return ABOVE if x > 1 else BELOW
        if name == 'cacosh' and x < 1:
            return BELOW if x < -1 else ABOVE
        if name == 'csqrt' and x < 0:
            return ABOVE
        if name == 'clog' and x < 0:
            return BELOW if math.copysign(1, y) < 0 else ABOVE
    if x == 0 and abs(y) > 1 and name in ('casinh', 'catan'):
        return RIGHT if y > 1 else LEFT
    return None


def complex_reference(name, x, y):
    with mpmath.workdps(800):  # tiny parts next to 1 need the digits
        return nudged_reference(name, x, y)


def nudged_reference(name, x, y):
    z = mpmath.mpc(x, y)
    side = cut_side(name, x, y)
    if side is not None:
        z += mpmath.mpc(*side) * mpmath.mpf(10) ** -700
    w = FUNCTIONS[name](z)
    if side is not None:  # the nudge must not show in a part that is 0 on the cut
        w = mpmath.mpc(0 if abs(w.real) < 1e-600 else w.real, 0 if abs(w.imag) < 1e-600 else w.imag)
    return w


points = {}  # keyed by repr, so that -0.0 and 0.0 both stay


def add(x, y):
    points[(repr(x), repr(y))] = (x, y)


angles = [0.1, 0.7, 1.3, 1.5707, 2.0, 2.9, -0.4, -1.6, -2.5, 3.1]
for e in range(-1074, 1024, 19):
    for t in angles:
        r = 2.0 ** e * 1.37
        if r < 1.7e308:
            add(r * math.cos(t), r * math.sin(t))
# One part large or tiny next to the other, mixing the whole exponent range.
mags = [0.0, 5e-324, 1e-300, 1e-150, 2.0 ** -53, 1e-10, 1e-8, 0.3, 1.0, 1.5, 2.0, 1e8, 1e10, 1e150, 1e200, 1e300,
        1.7e308]
for a in mags:
    for b in mags:
        for sa, sb in ((1, 1), (-1, 1), (1, -1), (-1, -1)):
            add(sa * a, sb * b)
# Near and on the cuts, both signs of zero; around the branch points.
near = [1.0, math.nextafter(1.0, 2), 1 + 2.0 ** -30, 1.25, 2.0, 1e8, 1e300, math.nextafter(1.0, 0), 0.5]
offs = [0.0, -0.0, 5e-324, 1e-300, 1e-20, 2.0 ** -53, 1e-8]
for a in near:
    for b in offs:
        for sa in (1, -1):
            for sb in (1, -1):
                add(sa * a, sb * b)
                add(sb * b, sa * a)
# Route switches: |z| about 2^-27, 2^28 and 2^500, y about 2^-500, the
# crossover of the modulus sum at 1.5 and of x/A at 0.6417.
for v in (2.0 ** -27, 2.0 ** 28, 2.0 ** 500, 2.0 ** -500, 2.0 ** -900):
    for f in (math.nextafter(1.0, 0), 1.0, math.nextafter(1.0, 2)):
        for pair in ((v * f, 0.5), (0.5, v * f), (v * f, v * f), (v * f, 1.0), (1.0, v * f), (2.0, v * f)):
            add(*pair)
for y in (0.1, 0.5, 1.0, 1.118, 2.0):
    for x in (0.6417 * 1.5 - 0.5, 0.46, 0.47, 0.48, 1.1):
        add(x, y)
for name in FUNCTIONS:
    for x, y in points.values():
        w = complex_reference(name, x, y)
        lines.append(f'{name} {d(x)} {d(y)} {d(w.real)} {d(w.imag)}')

with open(__file__.replace('.py', '.txt'), 'w') as f:
    f.write('\n'.join(lines) + '\n')
