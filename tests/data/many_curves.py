#!/usr/bin/env python3
"""Documents of many function graphs: many_curves_100.zlf (exported in the
tests and compared pixel for pixel with many_curves_100.png, which the
drawing before compositing followed the ink wrote) and, for timing only,
many_curves_1000.zlf. Curves of every shape a view holds: waves, parabolas,
bumps, steep curves, poles (unbounded columns) and curves of y, each from a
fixed seed."""
import random


def curve(rng):
    a, b, c, d = (round(rng.uniform(lo, hi), 2) for lo, hi in ((0.2, 4), (0.3, 5), (-3, 3), (-6, 6)))
    shapes = [
        f'y = {a}*sin({b}*x + {c}) + {d}',
        f'y = x^2/{a} + {d}',
        f'y = {a}*exp(-(x - {c})^2) + {d}',
        f'y = {b}*x + {d}',
        f'y = tan({b}*x/4 + {c})',
        f'y = 1/(x - {c}) + {d}',
        f'x = {a}*cos({b}*y) + {c}',
        f'y = sqrt(abs(x - {c}))*{a} + {d}',
    ]
    return shapes[rng.randrange(len(shapes))]


for count in (100, 1000):
    rng = random.Random(count)
    lines = ['Zentrolabworksheet 4;'] + [f'Expr {curve(rng)};' for _ in range(count)]
    with open(__file__.replace('many_curves.py', f'many_curves_{count}.zlf'), 'w') as out:
        out.write('\n'.join(lines) + '\n')
