#!/usr/bin/env python3
"""Definite integrals by mpmath quad, 30 digits: integrand, variable x,
lower and upper bound, value. Writes simpson_reference.txt."""
import mpmath as m

m.mp.dps = 30
CASES = [
    ('exp(x)', m.exp, 0, 1),
    ('sin(x)', m.sin, 0, 1),
    ('1/(1+x^2)', lambda x: 1 / (1 + x * x), 0, 1),
    ('sqrt(x)', m.sqrt, 0, 1),
    ('exp(-x^2)', lambda x: m.exp(-x * x), -2, 3),
    ('cos(3*x)', lambda x: m.cos(3 * x), 1, 0),
]
with open('simpson_reference.txt', 'w') as out:
    for text, f, a, b in CASES:
        out.write(f'{text}\t{a}\t{b}\t{m.nstr(m.quad(f, [a, b]), 20)}\n')
