#!/usr/bin/env python3
"""Writes multiply_out_reference.txt: random products and powers of sums
expanded by GiNaC 1.8 (ginsh, from ginac-tools), and random quotients of
monomials brought to GiNaC's normal form. sympy only reads ginsh's printed
results into monomials; every result comes from GiNaC.

Lines: E <tab> formula <tab> monomials, each "coefficient:key" joined by ";"
       Q <tab> formula <tab> one monomial "coefficient:key"
A key is "a^2*x" style (variables sorted, exponent 1 not written, "1" for
none); a coefficient is an integer or p/q in lowest terms."""

import math
import random
import re
import subprocess
from fractions import Fraction

VARIABLES = "abcxy"
MOST_TERMS = 600  # before like terms combine


def monomial_text(rng, most_variables):
    names = rng.sample(VARIABLES, rng.randint(0, most_variables))
    parts = [name if rng.random() < 0.7 else f"{name}^{rng.randint(2, 3)}" for name in names]
    return parts


def sum_text(rng, term_count):
    terms = []
    for _ in range(term_count):
        coefficient = rng.choice([-3, -2, -1, 1, 1, 1, 2, 3])
        parts = monomial_text(rng, 2)
        factors = ([str(abs(coefficient))] if abs(coefficient) != 1 or not parts else []) + parts
        terms.append(("-" if coefficient < 0 else "+") + "*".join(factors))
    text = "".join(terms)
    return text[1:] if text.startswith("+") else text


def expansion_case(rng):
    while True:
        factors, predicted = [], 1
        for _ in range(rng.randint(1, 3)):
            term_count = rng.randint(2, 5)
            power = rng.randint(2, 8) if rng.random() < 0.7 else 1
            factors.append(f"({sum_text(rng, term_count)})" + (f"^{power}" if power > 1 else ""))
            predicted *= math.comb(power + term_count - 1, term_count - 1)
        if predicted <= MOST_TERMS:
            return "*".join(factors)


def quotient_case(rng):
    def side():
        coefficient = rng.randint(1, 12)
        parts = monomial_text(rng, 4) or ["1"]
        return "*".join([str(coefficient)] + parts)
    numerator, denominator = side(), side()
    sign = "-" if rng.random() < 0.3 else ""
    return f"{sign}({numerator})/({denominator})"


def key_of(powers):
    parts = []
    for name in sorted(powers):
        exponent = powers[name]
        parts.append(name if exponent == 1 else f"{name}^{exponent}")
    return "*".join(parts) or "1"


def monomial_entry(term):
    """One printed monomial such as -3/2*y^(-1)*a^2 as coefficient:key."""
    coefficient, powers = Fraction(1), {}
    if term.startswith("-"):
        coefficient, term = -coefficient, term[1:]
    for factor in term.split("*"):
        if re.fullmatch(r"\d+(/\d+)?", factor):
            coefficient *= Fraction(factor)
            continue
        name, _, exponent = factor.partition("^")
        powers[name] = powers.get(name, 0) + (int(exponent.strip("()")) if exponent else 1)
    return f"{coefficient}:{key_of(powers)}"


def monomials(printed):
    """The monomials of a printed expanded sum (no parentheses but in exponents)."""
    terms = re.split(r"(?<=[^^(])(?=[+-])", printed.replace(" ", ""))
    return [t[1:] if t.startswith("+") else t for t in terms if t not in ("", "0")]


def ginsh(commands):
    result = subprocess.run(["ginsh"], input="".join(c + ";\n" for c in commands), capture_output=True,
                            text=True, check=True)
    lines = [line for line in result.stdout.splitlines() if line.strip()]
    assert len(lines) == len(commands), result.stdout
    return lines


def main():
    rng = random.Random(2026)
    expansions = [expansion_case(rng) for _ in range(500)]
    quotients = [quotient_case(rng) for _ in range(200)]
    expanded = ginsh([f"expand({e})" for e in expansions])
    normal = ginsh([f"normal({q})" for q in quotients])
    with open("multiply_out_reference.txt", "w") as out:
        for formula, result in zip(expansions, expanded):
            entries = sorted(monomial_entry(t) for t in monomials(result))
            out.write(f"E\t{formula}\t{';'.join(entries)}\n")
        for formula, result in zip(quotients, normal):
            out.write(f"Q\t{formula}\t{monomial_entry(result)}\n")


if __name__ == "__main__":
    main()
