#!/usr/bin/env python3
"""Random chains of invertible operations around x, the equation y = chain,
a value y0 the chain takes, and sympy's real solutions for x at y0. Writes
solve_reference.txt: chain, y0, then the solutions."""
import random
import signal
from multiprocessing import Pool

import sympy as sp

COUNT = 1000
x, y = sp.symbols('x y')

# (our text, sympy form) of one step around u.
STEPS = [
    ('(U)+C', lambda u, c: u + c), ('C+(U)', lambda u, c: c + u), ('(U)*C', lambda u, c: u * c),
    ('C*(U)', lambda u, c: c * u), ('(U)/C', lambda u, c: u / c), ('C/(U)', lambda u, c: c / u),
    ('-(U)', lambda u, c: -u), ('(U)^3', lambda u, c: u**3), ('(U)^2', lambda u, c: u**2),
    ('sqrt(U)', lambda u, c: sp.sqrt(u)), ('e^(U)', lambda u, c: sp.exp(u)), ('C^(U)', lambda u, c: c**u),
    ('ln(U)', lambda u, c: sp.log(u)), ('log(U)', lambda u, c: sp.log(u, 10)), ('sin(U)', lambda u, c: sp.sin(u)),
    ('tan(U)', lambda u, c: sp.tan(u)), ('sinh(U)', lambda u, c: sp.sinh(u)), ('atan(U)', lambda u, c: sp.atan(u)),
    ('asinh(U)', lambda u, c: sp.asinh(u)),
]


def chain(seed):
    rng = random.Random(seed)
    text, form = 'x', x
    for _ in range(rng.randint(1, 4)):
        pattern, make = rng.choice(STEPS)
        c = rng.randint(2, 5)
        text, form = pattern.replace('U', text).replace('C', str(c)), make(form, sp.Integer(c))
    return text, form


def timed_out(signum, frame):
    raise TimeoutError


def reference(seed):
    """The row of one chain; None when sympy gives no real solution there
    or takes more than 5 seconds."""
    signal.signal(signal.SIGALRM, timed_out)
    signal.alarm(5)
    try:
        return solved_row(seed)
    except (TimeoutError, NotImplementedError, TypeError, ValueError):
        return None
    finally:
        signal.alarm(0)


def solved_row(seed):
    text, form = chain(seed)
    x0 = sp.Rational(random.Random(seed).randint(2, 9), 10)
    y0 = sp.N(form.subs(x, x0), 30)
    if not y0.is_real or abs(y0) > 1e6:
        return None
    solutions = sp.solve(sp.Eq(form, y), x)
    values = []
    for s in solutions:
        v = sp.N(s.subs(y, y0), 30)
        if v.is_real:
            values.append(repr(float(v)))
    return f'{text}\t{float(y0)!r}\t' + '\t'.join(values) if values else None


def main():
    with Pool(4) as pool:
        rows = []
        for r in pool.imap(reference, range(COUNT * 2), chunksize=4):
            if r:
                rows.append(r)
            if len(rows) == COUNT:
                break
    with open('solve_reference.txt', 'w') as out:
        out.write('\n'.join(rows) + '\n')


if __name__ == '__main__':
    main()
