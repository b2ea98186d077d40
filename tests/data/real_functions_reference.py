#!/usr/bin/env python3
"""Reference values for the factorial and the binomial coefficient, from mpmath
and exact integer arithmetic.

Writes real_functions_reference.txt: one case a line,
  fact <x> <Gamma(x + 1)>
  choose <n> <k> <C(n, k)>
every number as the shortest round-trip repr of the double nearest the exact
value ('inf' where it overflows).
"""
import math
import mpmath

mpmath.mp.dps = 40
MAX = 1.7976931348623157e308


def d(v):
    if isinstance(v, int):
        return repr(float(v)) if v <= MAX else 'inf'
    v = mpmath.mpf(v)
    if abs(v) > MAX:
        return 'inf' if v > 0 else '-inf'
    return repr(float(v))


lines = []
for n in range(0, 172):
    lines.append(f'fact {n}.0 {d(math.factorial(n))}')
for i in range(-1699, 1707):
    x = i * 0.1 + 0.0173
    lines.append(f'fact {d(x)} {d(mpmath.gamma(mpmath.mpf(x) + 1))}')
for x in [0.5, -0.5, 1e-10, -1e-10, 170.6, 170.62, 170.7, -170.5, -2.5e-3, 29.5]:
    lines.append(f'fact {d(x)} {d(mpmath.gamma(mpmath.mpf(x) + 1))}')

for n in range(0, 61):
    for k in range(0, n + 3):
        lines.append(f'choose {n}.0 {k}.0 {d(math.comb(n, k))}')
for n, k in [(2000, 1), (1000, 0), (1000, 500), (1030, 515), (1030, 20), (1500, 600), (3000, 1499),
             (100000, 3), (100000, 70), (123456789, 4), (4000000000, 2), (1e15, 2), (61, 30),
             (200, 100), (5000, 4000), (100000, 99997)]:
    lines.append(f'choose {d(float(n))} {d(float(k))} {d(math.comb(int(n), int(k)))}')

with open(__file__.replace('.py', '.txt'), 'w') as f:
    f.write('\n'.join(lines) + '\n')
