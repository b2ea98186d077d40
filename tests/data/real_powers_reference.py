#!/usr/bin/env python3
"""Seeded random formulas of powers, roots and logarithms with their values
at real points, negative arguments included, worked out by mpmath at 30
digits as the numeric engine defines them: a negative base to a fraction
p/q of whole numbers with q odd (in lowest terms) is the real root; to any
other exponent only when that is a whole number; sqrt, ln and log only of
what they are real for. Writes real_powers_reference.txt, lines of tab-
separated fields:

  V  formula  x  y  z  value  scale
  D  formula  x  derivative

V: the formula's value at a point where it is defined; scale bounds the
sizes of its parts there (a rearranged formula may lose that much to
rounding). D: a formula in x alone with sympy's derivative at a point where
the formula is defined around it (checked against mpmath's numeric
derivative)."""
import random
import sys

import mpmath
import sympy

mpmath.mp.dps = 30
rng = random.Random(54)
VALUE_FORMULAS = 400
DERIVATIVE_FORMULAS = 200
POINTS = [-3, -2, mpmath.mpf(-1.5), mpmath.mpf(-0.75), mpmath.mpf(-0.5), mpmath.mpf(0.5), mpmath.mpf(1.25), 2, 3]
SX = sympy.Symbol('x', real=True)
SYMBOLS = {'x': SX, 'y': sympy.Symbol('y', real=True), 'z': sympy.Symbol('z', real=True)}


class Undefined(Exception):
    pass


def checked(v, scale):
    if not mpmath.isfinite(v):
        raise Undefined
    scale[0] = max(scale[0], abs(v))
    return v


def is_whole(v):
    return v == mpmath.floor(v)


def power(b, n, d):
    """b^(n/d), n/d in lowest terms, as the engine takes a fraction."""
    if b == 0 and n < 0:
        raise Undefined
    if b >= 0:
        return mpmath.power(b, mpmath.mpf(n) / d)
    if d % 2 == 0:
        raise Undefined
    r = mpmath.power(-b, mpmath.mpf(n) / d)
    return r if n % 2 == 0 else -r


class Node:
    def __init__(self, kind, *args):
        self.kind = kind
        self.args = args

    def text(self):
        k, a = self.kind, self.args
        if k == 'var':
            return a[0]
        if k == 'num':
            return str(a[0]) if a[0] >= 0 else f'(-{-a[0]})'
        if k == 'frac':
            n, d = a
            return f'({n}/{d})' if n > 0 else f'(-({-n}/{d}))'
        if k == 'pow':
            return f'({a[0].text()})^{a[1].text()}' if a[1].kind in ('num', 'frac') else f'({a[0].text()})^({a[1].text()})'
        if k == 'root':
            return f'sqrt({a[0].text()},{a[1]})'
        if k in ('sqrt', 'ln', 'log', 'abs', 'exp'):
            return f'{k}({a[0].text()})'
        if k == 'neg':
            return f'-({a[0].text()})'
        op = {'add': '+', 'mul': '*', 'div': '/'}[k]
        return op.join(f'({x.text()})' for x in a)

    def value(self, env, scale):
        k, a = self.kind, self.args
        if k == 'var':
            return checked(mpmath.mpf(env[a[0]]), scale)
        if k == 'num':
            return mpmath.mpf(a[0])
        if k == 'frac':
            return mpmath.mpf(a[0]) / a[1]
        if k == 'pow':
            b = a[0].value(env, scale)
            e = a[1]
            if e.kind == 'frac':
                return checked(power(b, e.args[0], e.args[1]), scale)
            v = e.value(env, scale)
            if b < 0 and not is_whole(v):
                raise Undefined
            if b == 0 and v < 0:
                raise Undefined
            return checked(mpmath.power(b, v), scale)
        if k == 'root':
            return checked(power(a[0].value(env, scale), 1, a[1]), scale)
        u = [x.value(env, scale) for x in a]
        if k == 'sqrt':
            if u[0] < 0:
                raise Undefined
            return checked(mpmath.sqrt(u[0]), scale)
        if k in ('ln', 'log'):
            if u[0] <= 0:
                raise Undefined
            return checked(mpmath.ln(u[0]) if k == 'ln' else mpmath.log10(u[0]), scale)
        if k == 'abs':
            return abs(u[0])
        if k == 'exp':
            return checked(mpmath.exp(u[0]), scale)
        if k == 'neg':
            return -u[0]
        if k == 'add':
            return checked(mpmath.fsum(u), scale)
        if k == 'mul':
            return checked(mpmath.fprod(u), scale)
        if u[1] == 0:
            raise Undefined
        return checked(u[0] / u[1], scale)

    def sym(self):
        """The same function for sympy, real letters, real odd roots."""
        k, a = self.kind, self.args
        if k == 'var':
            return SYMBOLS[a[0]]
        if k == 'num':
            return sympy.Integer(a[0])
        if k == 'frac':
            return sympy.Rational(a[0], a[1])
        if k == 'pow':
            b = a[0].sym()
            if a[1].kind == 'frac':
                return real_root_power(b, *a[1].args)
            return b ** a[1].sym()
        if k == 'root':
            return real_root_power(a[0].sym(), 1, a[1])
        u = [x.sym() for x in a]
        if k == 'sqrt':
            return sympy.sqrt(u[0])
        if k == 'ln':
            return sympy.log(u[0])
        if k == 'log':
            return sympy.log(u[0], 10)
        if k == 'abs':
            return sympy.Abs(u[0])
        if k == 'exp':
            return sympy.exp(u[0])
        if k == 'neg':
            return -u[0]
        if k == 'add':
            return sympy.Add(*u)
        if k == 'mul':
            return sympy.Mul(*u)
        return u[0] / u[1]


def real_root_power(b, n, d):
    if d % 2 == 0:
        return b ** sympy.Rational(n, d)
    return sympy.sign(b) ** (n % 2) * sympy.Abs(b) ** sympy.Rational(n, d)


def frac():
    d = rng.choice([2, 3, 3, 4, 5, 6])
    n = rng.choice([-5, -4, -3, -2, -1, 1, 1, 2, 2, 3, 4, 5])
    from math import gcd
    g = gcd(abs(n), d)
    n, d = n // g, d // g
    return Node('num', n) if d == 1 else Node('frac', n, d)


class Generator:
    def __init__(self, letters, symbolic_exponents):
        self.letters = letters
        self.symbolic = symbolic_exponents

    def leaf(self):
        r = rng.random()
        if r < 0.7:
            return Node('var', rng.choice(self.letters))
        return Node('num', rng.choice([-3, -2, -1, 2, 3, 4, 5, 9]))

    def exponent(self, depth):
        r = rng.random()
        if r < 0.35:
            return Node('num', rng.choice([-3, -2, -1, 2, 2, 3, 4]))
        if r < 0.8 or not self.symbolic:
            return frac()
        if r < 0.9:
            return Node('var', rng.choice(self.letters))
        return Node('add', Node('var', rng.choice(self.letters)), Node('num', rng.choice([1, 2, -1])))

    def any(self, depth):
        if depth <= 0 or rng.random() < 0.15:
            return self.leaf()
        r = rng.randrange(16)
        sub = lambda: self.any(depth - 1)
        if r <= 3:
            return Node('pow', sub(), self.exponent(depth))
        if r == 4:
            return Node('pow', Node('pow', sub(), self.exponent(depth)), self.exponent(depth))
        if r == 5:
            return Node('sqrt', sub())
        if r == 6:
            return Node('root', sub(), rng.choice([3, 4, 5]))
        if r == 7:
            return Node('mul', *[sub() for _ in range(rng.choice([2, 2, 3]))])
        if r == 8:
            return Node('div', sub(), sub())
        if r == 9:
            return Node('neg', sub())
        if r == 10:
            return Node('add', sub(), sub())
        if r == 11:
            return Node(rng.choice(['ln', 'log']), sub())
        if r == 12:
            return Node('abs', sub())
        if r == 13:
            return Node('exp', Node('div', sub(), Node('num', 4)))
        if r == 14:
            return Node('sqrt', Node('mul', sub(), sub()))
        return Node('pow', Node('mul', sub(), sub()), self.exponent(depth))

    def top(self, depth):
        """A formula whose outermost node the Evaluate command rewrites as
        often as not: a logarithm of a product or a power, a whole power."""
        r = rng.random()
        if r < 0.2:
            return Node(rng.choice(['ln', 'log']), Node('mul', self.any(depth - 1), self.any(depth - 1)))
        if r < 0.4:
            return Node(rng.choice(['ln', 'log']), Node('pow', self.any(depth - 1), self.exponent(depth)))
        if r < 0.5:
            return Node('pow', self.any(depth - 1), Node('num', rng.choice([2, 3])))
        return self.any(depth)


def fmt(v):
    return mpmath.nstr(v, 25, min_fixed=-5, max_fixed=5)


def value_lines():
    gen = Generator(['x', 'y', 'z'], True)
    lines = []
    seen = set()
    while len(seen) < VALUE_FORMULAS:
        f = gen.top(rng.choice([2, 3, 3]))
        text = f.text()
        if text in seen:
            continue
        kept = []
        for _ in range(40):
            env = {v: rng.choice(POINTS) for v in 'xyz'}
            scale = [mpmath.mpf(1)]
            try:
                v = f.value(env, scale)
            except (Undefined, ZeroDivisionError, ValueError, OverflowError):
                continue
            if abs(v) > 1e12 or scale[0] > 1e12:
                continue
            kept.append(f'V\t{text}\t{fmt(env["x"])}\t{fmt(env["y"])}\t{fmt(env["z"])}\t{fmt(v)}\t{fmt(scale[0])}')
            if len(kept) == 4:
                break
        if len(kept) >= 2:
            lines.extend(kept)
            seen.add(text)
    return lines


def derivative_lines():
    gen = Generator(['x'], False)
    lines = []
    seen = set()
    while len(seen) < DERIVATIVE_FORMULAS:
        f = gen.any(rng.choice([2, 3, 3]))
        text = f.text()
        if 'x' not in text or text in seen:
            continue
        try:
            d = sympy.diff(f.sym(), SX)
        except Exception:
            continue
        kept = []
        for x0 in POINTS:
            def g(t):
                return f.value({'x': t, 'y': 0, 'z': 0}, [mpmath.mpf(1)])
            try:
                g(x0)
                numeric = mpmath.diff(g, mpmath.mpf(x0))
            except (Undefined, ZeroDivisionError, ValueError, OverflowError):
                continue
            exact = d.subs(SX, sympy.nsimplify(x0)).evalf(30)
            if not exact.is_real or not exact.is_finite:
                continue
            exact = mpmath.mpf(str(exact))
            if abs(exact - numeric) > mpmath.mpf('1e-15') * max(1, abs(exact)):
                sys.exit(f'sympy and mpmath differ on {text} at {x0}: {exact} {numeric}')
            if abs(exact) > 1e12:
                continue
            kept.append(f'D\t{text}\t{fmt(x0)}\t{fmt(exact)}')
        if kept:
            lines.extend(kept[:4])
            seen.add(text)
    return lines


def main():
    lines = value_lines() + derivative_lines()
    with open(sys.argv[1] if len(sys.argv) > 1 else 'real_powers_reference.txt', 'w') as out:
        out.write('# Written by real_powers_reference.py: formula values and derivatives at real points.\n')
        out.write('\n'.join(lines) + '\n')


if __name__ == '__main__':
    main()
