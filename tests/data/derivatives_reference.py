#!/usr/bin/env python3
"""Random formulas in x, y and a with the value of their x derivative at one
point, worked out by GiNaC (ginsh). Writes derivatives_reference.txt: one
line per formula: text, x, y, a, derivative. Kinds GiNaC has no function for
are handed to it in an equal form (sec u as 1/cos u, acot u as atan(1/u),
abs u as sqrt(u^2), log u as log(u)/log(10)); only points where GiNaC gives a
finite real value are kept."""
import random
import subprocess
import sys
from concurrent.futures import ThreadPoolExecutor

COUNT = 5000
rng = random.Random(22)

# name: (our text, GiNaC text); U is the operand.
UNARY = {
    'sin': ('sin(U)', 'sin(U)'), 'cos': ('cos(U)', 'cos(U)'), 'tan': ('tan(U)', 'tan(U)'),
    'cot': ('cot(U)', '(1/tan(U))'), 'csc': ('csc(U)', '(1/sin(U))'), 'sec': ('sec(U)', '(1/cos(U))'),
    'asin': ('asin(U)', 'asin(U)'), 'acos': ('acos(U)', 'acos(U)'), 'atan': ('atan(U)', 'atan(U)'),
    'acot': ('acot(U)', '(Pi/2-atan(U))'), 'acsc': ('acsc(U)', 'asin(1/(U))'), 'asec': ('asec(U)', 'acos(1/(U))'),
    'sinh': ('sinh(U)', 'sinh(U)'), 'cosh': ('cosh(U)', 'cosh(U)'), 'tanh': ('tanh(U)', 'tanh(U)'),
    'coth': ('coth(U)', '(1/tanh(U))'), 'csch': ('csch(U)', '(1/sinh(U))'), 'sech': ('sech(U)', '(1/cosh(U))'),
    'asinh': ('asinh(U)', 'asinh(U)'), 'acosh': ('acosh(U)', 'acosh(U)'), 'atanh': ('atanh(U)', 'atanh(U)'),
    'acoth': ('acoth(U)', 'atanh(1/(U))'), 'acsch': ('acsch(U)', 'asinh(1/(U))'),
    'asech': ('asech(U)', 'acosh(1/(U))'),
    'sqrt': ('sqrt(U)', 'sqrt(U)'), 'ln': ('ln(U)', 'log(U)'), 'log': ('log(U)', '(log(U)/log(10))'),
    'exp': ('exp(U)', 'exp(U)'), 'epow': ('e^(U)', 'exp(U)'), 'abs': ('abs(U)', 'sqrt((U)^2)'),
    'neg': ('-(U)', '-(U)'), 'cbrt': ('sqrt(U,3)', '(U)^(1/3)'),
}
BINARY = ['+', '*', '/', '^n', '^', 'logb']


def leaf():
    r = rng.random()
    if r < 0.6:
        v = rng.choice('xxxya')
        return v, v
    n = str(rng.randint(1, 5))
    return n, n


def tree(depth):
    if depth == 0 or rng.random() < 0.25:
        return leaf()
    if rng.random() < 0.5:
        ours, theirs = UNARY[rng.choice(sorted(UNARY))]
        u, g = tree(depth - 1)
        return ours.replace('U', u), theirs.replace('U', g)
    op = rng.choice(BINARY)
    u, g = tree(depth - 1)
    if op == '^n':
        n = str(rng.randint(2, 4))
        return f'({u})^{n}', f'({g})^{n}'
    v, h = tree(depth - 1)
    if op == '^':
        return f'({u})^({v})', f'({g})^({h})'
    if op == 'logb':
        return f'log({u},{v})', f'(log({g})/log({h}))'
    return f'({u}){op}({v})', f'({g}){op}({h})'


def ginac_values(theirs, x, y, a):
    """The derivative and the value at the point; None where GiNaC refuses
    or the values are not finite reals."""
    point = f'{{x=={x},y=={y},a=={a}}}'
    script = f'Digits=30;\nevalf(subs(diff({theirs},x),{point}));\nevalf(subs({theirs},{point}));\nquit;\n'
    result = subprocess.run(['ginsh'], input=script, capture_output=True, text=True)
    lines = [line.strip() for line in result.stdout.splitlines() if line.strip()]
    if result.stderr.strip() or len(lines) != 3:
        return None
    try:
        d, f = float(lines[1]), float(lines[2])
    except ValueError:
        return None  # complex, undefined or infinite there
    # A derivative of exactly 0 comes from a formula GiNaC collapsed to a
    # constant (x/x, 1^x), whose written rule may meet 0/0.
    return (d, f) if 0 < abs(d) < 1e6 and abs(f) < 1e6 else None


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else 'derivatives_reference.txt'
    rows = []
    while len(rows) < COUNT * 2:
        ours, theirs = tree(4)
        if 'x' in ours and ours != 'x':
            rows.append((ours, theirs) + tuple(round(rng.uniform(0.2, 1.8), 3) for _ in range(3)))
    with ThreadPoolExecutor(4) as pool:
        values = list(pool.map(lambda r: ginac_values(*r[1:]), rows))
    kept = [f'{r[0]}\t{r[2]}\t{r[3]}\t{r[4]}\t{v[0]!r}' for r, v in zip(rows, values) if v][:COUNT]
    with open(out, 'w') as f:
        f.write('\n'.join(kept) + '\n')


if __name__ == '__main__':
    main()
