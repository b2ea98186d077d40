#!/usr/bin/env python3
"""Reference inverses and determinants of real and complex matrices.

Every matrix is first rounded to doubles; the references are then computed
from those exact doubles in 60-digit arithmetic and rounded once to double.

Output, one matrix per line, fields separated by blanks:
  label kind n cond entries... det... inverse...
kind is R (real) or C (complex: each value is two numbers, real part first).
cond is the infinity-norm condition number of the stored matrix, or inf for
a matrix that is exactly singular in floating point; singular matrices carry
no determinant or inverse (both are known: 0 and none).
"""

import random
from pathlib import Path

import mpmath
import sympy
from mpmath import mp

mp.dps = 60
rng = random.Random(20240611)
cases = []


def random_value(complex_entries, scale=1.0):
    re = rng.uniform(-1.0, 1.0) * scale
    if not complex_entries:
        return re
    return complex(re, rng.uniform(-1.0, 1.0) * scale)


def random_matrix(n, complex_entries, row_scales=None):
    return [[random_value(complex_entries, 1.0 if row_scales is None else row_scales[i])
             for _ in range(n)] for i in range(n)]


def to_mp(rows):
    return mp.matrix([[mpmath.mpmathify(v) for v in row] for row in rows])


def infinity_norm(a):
    return max(sum(abs(a[i, j]) for j in range(a.cols)) for i in range(a.rows))


def add_invertible(label, rows, complex_entries):
    a = to_mp(rows)
    inverse = a ** -1
    cond = infinity_norm(a) * infinity_norm(inverse)
    cases.append((label, complex_entries, rows, float(cond), mp.det(a),
                  [[inverse[i, j] for j in range(a.cols)] for i in range(a.rows)]))


def exact(v):
    z = complex(v)
    return sympy.Rational(z.real) + sympy.I * sympy.Rational(z.imag)


def add_singular(label, rows, complex_entries):
    assert sympy.Matrix([[exact(v) for v in row] for row in rows]).det() == 0, label
    cases.append((label, complex_entries, rows, float("inf"), None, None))


def small_integer(complex_entries, bound):
    re = rng.randint(-bound, bound)
    return complex(re, rng.randint(-bound, bound)) if complex_entries else float(re)


def repeated_line_matrix(n, complex_entries, factor):
    """Small integers with row s = factor * row r and column s = factor *
    column r, so that it does not matter which of rows and columns the
    factorisation eliminates. The power-of-two leads of row r and column r
    (4 / factor, the pair reaching 4) outweigh every other entry of the first
    row and column, also in |re| + |im|, which the complex pivot search
    compares: the pair holds the first pivot, the multiplier of its partner
    is exactly 1 / factor, and the partner becomes exactly zero."""
    r, s = sorted(rng.sample(range(n), 2))
    rows = [[small_integer(complex_entries, 9) for _ in range(n)] for _ in range(n)]
    for i in range(n):
        rows[i][0] = small_integer(complex_entries, 1 if complex_entries else 3)
        rows[0][i] = small_integer(complex_entries, 1 if complex_entries else 3)
    lead = 4.0 / factor
    rows[r][0] = rows[0][r] = complex(lead) if complex_entries else lead
    for row in rows:
        row[s] = factor * row[r]
    rows[s] = [factor * v for v in rows[r]]
    return rows


# Singular matrices whose factorisation meets an exact zero pivot: a zero
# row or column stays zero under elimination, and so does the cancelled
# partner of a repeated row.
def singular_cases(n, complex_entries):
    rows = random_matrix(n, complex_entries)
    rows[rng.randrange(n)] = [0.0] * n
    add_singular("zero-row", rows, complex_entries)

    rows = random_matrix(n, complex_entries)
    column = rng.randrange(n)
    for row in rows:
        row[column] = 0.0
    add_singular("zero-column", rows, complex_entries)

    add_singular("copied-row", repeated_line_matrix(n, complex_entries, 1.0), complex_entries)
    add_singular("doubled-row", repeated_line_matrix(n, complex_entries, 2.0), complex_entries)


def monomial_matrix(n, complex_entries):
    """A permutation matrix whose ones may become -1, i or -i when complex."""
    order = list(range(n))
    rng.shuffle(order)
    units = [1, -1, 1j, -1j] if complex_entries else [1.0]
    rows = [[0.0] * n for _ in range(n)]
    for i, j in enumerate(order):
        rows[i][j] = complex(rng.choice(units)) if complex_entries else 1.0
    return rows


def with_singular_values(n, complex_entries, smallest):
    """U diag(sigma) V* with random orthonormal (unitary) U and V, rounded."""
    def orthonormal():
        q, _ = mp.qr(to_mp(random_matrix(n, complex_entries)))
        return q
    u, v = orthonormal(), orthonormal()
    sigma = mp.diag([mpmath.mpf(smallest) ** (mpmath.mpf(k) / (n - 1)) for k in range(n)])
    a = u * sigma * v.H
    convert = (lambda x: complex(x)) if complex_entries else (lambda x: float(mpmath.re(x)))
    return [[convert(a[i, j]) for j in range(n)] for i in range(n)]


add_invertible("swap", [[0.0, 1.0], [1.0, 0.0]], False)
add_invertible("swap", [[0j, 1 + 0j], [1 + 0j, 0j]], True)
for n in range(1, 9):
    for k in range(18):
        scales = None if k % 3 else [2.0 ** rng.randint(-20, 20) for _ in range(n)]
        add_invertible("random", random_matrix(n, False, scales), False)
    for k in range(14):
        scales = None if k % 3 else [2.0 ** rng.randint(-20, 20) for _ in range(n)]
        add_invertible("random", random_matrix(n, True, scales), True)
    for _ in range(3):
        add_invertible("permutation", monomial_matrix(n, False), False)
        add_invertible("permutation", monomial_matrix(n, True), True)
    if n >= 2:
        singular_cases(n, False)
        singular_cases(n, True)
        add_invertible("hilbert", [[1.0 / (i + j + 1) for j in range(n)] for i in range(n)], False)
    if n >= 3:
        for smallest in ("1e-4", "1e-8", "1e-11"):
            add_invertible("ill-conditioned", with_singular_values(n, False, smallest), False)
            add_invertible("ill-conditioned", with_singular_values(n, True, smallest), True)
add_singular("zero", [[0.0]], False)
add_singular("zero", [[0j]], True)


def numbers(value, complex_entries):
    if complex_entries:
        z = mpmath.mpc(value)
        return [repr(float(z.real)), repr(float(z.imag))]
    return [repr(float(mpmath.re(value)))]


lines = [f"# {len(cases)} matrices; written by matrix_reference.py, see there for the format"]
for label, complex_entries, rows, cond, det, inverse in cases:
    fields = [label, "C" if complex_entries else "R", str(len(rows)), repr(cond)]
    for row in rows:
        for v in row:
            fields += numbers(v, complex_entries)
    if det is not None:
        fields += numbers(det, complex_entries)
        for row in inverse:
            for v in row:
                fields += numbers(v, complex_entries)
    lines.append(" ".join(fields))
Path(__file__).with_suffix(".txt").write_text("\n".join(lines) + "\n")
