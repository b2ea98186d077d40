#!/usr/bin/env python3
"""Exact inverses and determinants of random integer matrices from GiNaC 1.8
(ginsh, from ginac-tools), for the matrix algebra of formula trees.

Output matrix_algebra_reference.txt, one matrix per line, blank-separated:
  n cond entries(n*n) det inverse(n*n)
matrix_algebra_symbolic.txt: for the 3 by 3 and 4 by 4 matrices of the
letters below (row after row), a line with n, the letters and GiNaC's
expanded determinant.
cond is the infinity-norm condition number, from the exact inverse; a singular matrix has
cond inf and the inverse field is the single word singular.
"""

import random
import subprocess
from fractions import Fraction
from pathlib import Path


random.seed(20261206)


def ginsh(lines):
    out = subprocess.run(["ginsh"], input="\n".join(lines) + "\n", capture_output=True, text=True, check=True)
    return [l for l in out.stdout.splitlines() if l.strip()]


def matrix_text(m):
    return "[" + ",".join("[" + ",".join(str(v) for v in row) + "]" for row in m) + "]"


def parse_matrix(text):
    rows = text.strip()[2:-2].split("],[")
    return [[float(Fraction(v)) for v in row.split(",")] for row in rows]


matrices = []
for k in range(300):
    n = 2 + k % 5
    m = [[random.randint(-9, 9) for _ in range(n)] for _ in range(n)]
    if k % 50 == 7:  # a singular one now and then: two equal rows
        m[1] = list(m[0])
    matrices.append(m)

lines = []
for m in matrices:
    lines.append("determinant(" + matrix_text(m) + ");")
answers = ginsh(lines)
out = []
for m, det in zip(matrices, answers):
    n = len(m)
    entries = " ".join(str(v) for row in m for v in row)
    if Fraction(det) == 0:
        out.append(f"{n} inf {entries} 0 singular")
        continue
    inverse = parse_matrix(ginsh(["inverse(" + matrix_text(m) + ");"])[0])
    cond = max(sum(abs(v) for v in row) for row in m) * max(sum(abs(v) for v in row) for row in inverse)
    out.append(f"{n} {cond!r} {entries} {det} " + " ".join(repr(v) for row in inverse for v in row))

Path(__file__).with_name("matrix_algebra_reference.txt").write_text("\n".join(out) + "\n")

# e and i are the constants of formulas, not names.
LETTERS = "abcdfghjkmnopqrs"
symbolic = []
for n in (3, 4):
    names = LETTERS[: n * n]
    rows = [list(names[r * n:(r + 1) * n]) for r in range(n)]
    det = ginsh(["expand(determinant(" + matrix_text(rows) + "));"])[0]
    symbolic.append(f"{n} {names} {det}")
Path(__file__).with_name("matrix_algebra_symbolic.txt").write_text("\n".join(symbolic) + "\n")
