#!/usr/bin/env python3
"""Writes multiply_out_identity.txt: the simplifier benchmark's polynomials
and 300 random products of powers of sums, each with its expansion by sympy.

Lines: formula <tab> monomials, each "coefficient:key" joined by ";" and
sorted; a key is "a^2*x" style (variables sorted, exponent 1 not written,
"1" for none), a coefficient the float repr of the exact rational.
The written trees of the same formulas, multiplied out, are kept beside it
in multiply_out_trees.txt, which the test writes."""

import math
import random

import sympy

BENCHMARK = [f"(x+y+z)^{n}" for n in range(5, 16)] + [
    "(x+y+z+1)^12", "(x^2+3*x-7)^10*(y-2)^5", "(x+y)^8*(x-y)^8", "(1+x+x^2+x^3)^15"]

VARIABLES = "abxyz"
MOST_TERMS = 300  # before like terms combine
# Whole coefficients small and large (past 2^53 once powered), and a few
# that are not whole.
COEFFICIENTS = ["1", "1", "1", "2", "3", "7", "12", "1000", "65536", "3000000", "0.5", "1.25", "0.1"]


def term_text(rng):
    names = rng.sample(VARIABLES, rng.randint(0, 2))
    parts = [name if rng.random() < 0.7 else f"{name}^{rng.randint(2, 3)}" for name in names]
    coefficient = rng.choice(COEFFICIENTS)
    factors = ([coefficient] if coefficient != "1" or not parts else []) + parts
    return ("-" if rng.random() < 0.35 else "+") + "*".join(factors)


def sum_text(rng, term_count):
    text = "".join(term_text(rng) for _ in range(term_count))
    return text[1:] if text.startswith("+") else text


def product_case(rng):
    while True:
        factors, predicted = [], 1
        for _ in range(rng.randint(1, 3)):
            term_count = rng.randint(2, 4)
            power = rng.randint(2, 12) if rng.random() < 0.7 else 1
            factors.append(f"({sum_text(rng, term_count)})" + (f"^{power}" if power > 1 else ""))
            predicted *= math.comb(power + term_count - 1, term_count - 1)
        if predicted <= MOST_TERMS:
            return "*".join(factors)


def key_of(monomial, symbols):
    parts = []
    for symbol, exponent in sorted(zip(symbols, monomial), key=lambda pair: pair[0].name):
        if exponent:
            parts.append(symbol.name if exponent == 1 else f"{symbol.name}^{exponent}")
    return "*".join(parts) or "1"


def monomials(formula):
    expression = sympy.sympify(formula.replace("^", "**"), rational=True)
    symbols = sorted(expression.free_symbols, key=lambda s: s.name)
    if not symbols:
        return f"{float(expression)!r}:1" if expression != 0 else ""
    polynomial = sympy.Poly(sympy.expand(expression), *symbols)
    entries = sorted(f"{float(c)!r}:{key_of(m, symbols)}" for m, c in polynomial.terms() if c != 0)
    return ";".join(entries)


def main():
    rng = random.Random(73)
    formulas = BENCHMARK + [product_case(rng) for _ in range(300)]
    with open("multiply_out_identity.txt", "w") as out:
        for formula in formulas:
            out.write(f"{formula}\t{monomials(formula)}\n")


if __name__ == "__main__":
    main()
