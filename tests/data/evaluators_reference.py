#!/usr/bin/env python3
"""Constant formulas and their complex values by mpmath, 30 digits:
formula, real part, imaginary part. Writes evaluators_reference.txt."""
import mpmath as m

m.mp.dps = 30
CASES = [
    ('sqrt(-4)', m.sqrt(-4)),
    ('ln(-2)', m.log(-2)),
    ('(1+2*i)^(1/3)', m.power(1 + 2j, m.mpf(1) / 3)),
    ('asin(3)', m.asin(3)),
    ('exp(i*pi/3)*2', 2 * m.exp(1j * m.pi / 3)),
    ('sin(1)^2+cos(1)^2+atan(2)', m.sin(1)**2 + m.cos(1)**2 + m.atan(2)),
    ('4.5!', m.gamma(5.5)),
]
with open('evaluators_reference.txt', 'w') as out:
    for text, v in CASES:
        z = m.mpc(v)
        out.write(f'{text}\t{m.nstr(z.real, 20)}\t{m.nstr(z.imag, 20)}\n')
