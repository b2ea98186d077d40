#!/usr/bin/env python3
"""Deep nests of functions and products in x, with the value of their x
derivative at one point, worked out by mpmath's numerical differentiation
at 50 digits. Writes
nest_derivatives_reference.txt: one line per formula: text, x, derivative.
Levels repeat factors (x, cos x, the level below) so that differentiation
meets long products whose factors group."""
import random

import mpmath

COUNT = 60
rng = random.Random(55)
mpmath.mp.dps = 50

# (our text, the level as a function of x and the level below's value).
LEVELS = [
    ('sin(U)', lambda x, u: mpmath.sin(u)), ('cos(U)', lambda x, u: mpmath.cos(u)),
    ('atan(U)', lambda x, u: mpmath.atan(u)), ('tanh(U)', lambda x, u: mpmath.tanh(u)),
    ('(x)*(U)', lambda x, u: x * u), ('(U)*(cos(x))*(cos(x))', lambda x, u: u * mpmath.cos(x) ** 2),
    ('(sin(U))*(x)*(x)', lambda x, u: mpmath.sin(u) * x ** 2), ('(U)^(2)', lambda x, u: u ** 2),
]


def nest(depth):
    ours, levels = 'x', []
    for _ in range(depth):
        text, level = rng.choice(LEVELS)
        ours = text.replace('U', ours)
        levels.append(level)

    def value(x):
        u = x
        for level in levels:
            u = level(x, u)
        return u
    return ours, value


with open('nest_derivatives_reference.txt', 'w') as out:
    for n in range(COUNT):
        ours, theirs = nest(rng.randint(5, 60))
        at = round(rng.uniform(0.2, 1.2), 3)
        derivative = mpmath.diff(theirs, mpmath.mpf(str(at)))
        out.write(f'{ours}\t{at}\t{mpmath.nstr(derivative, 17)}\n')
