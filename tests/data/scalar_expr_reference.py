"""Values of constant formulas, computed with mpmath at 50 digits.

Each output line is the formula in the expression text syntax, a tab, and
its value rounded to a double (repr). Run: python3 scalar_expr_reference.py
> scalar_expr_reference.txt
"""
import mpmath as mp

mp.mp.dps = 50

CASES = [
    ("2 + 3 * 4", lambda: mp.mpf(14)),
    ("-7.25", lambda: mp.mpf("-7.25")),
    ("1 / 3", lambda: mp.mpf(1) / 3),
    ("2 ^ 0.5", lambda: mp.sqrt(2)),
    ("sqrt(2) * sqrt(3)", lambda: mp.sqrt(2) * mp.sqrt(3)),
    ("sin(1) ^ 2 + cos(2)", lambda: mp.sin(1) ** 2 + mp.cos(2)),
    ("tan(0.7) - atan(0.3)", lambda: mp.tan(mp.mpf("0.7")) - mp.atan(mp.mpf("0.3"))),
    ("asin(0.25) + sinh(1.5)", lambda: mp.asin(mp.mpf("0.25")) + mp.sinh(mp.mpf("1.5"))),
    ("exp(-2.5) * ln(10)", lambda: mp.exp(mp.mpf("-2.5")) * mp.log(10)),
    ("pi ^ 2 / 6", lambda: mp.pi ** 2 / 6),
    ("e ^ pi - pi", lambda: mp.e ** mp.pi - mp.pi),
    ("sum(1 / k ^ 2, k = 1, 100)", lambda: mp.fsum(mp.mpf(1) / k ** 2 for k in range(1, 101))),
    ("product(1 + 1 / k, k = 1, 9)", lambda: mp.fprod(1 + mp.mpf(1) / k for k in range(1, 10))),
    ("abs(-3.5) + floor(2.7)", lambda: mp.mpf("5.5")),
    ("atanh(0.5) + asinh(2)", lambda: mp.atanh(mp.mpf("0.5")) + mp.asinh(2)),
    ("(1 + 2 * i) * (1 - 2 * i)", lambda: mp.mpf(5)),
    ("abs(3 + 4 * i)", lambda: mp.mpf(5)),
    ("sqrt(-4) * i", lambda: mp.mpf(-2)),
    ("sqrt(0.5 + sin(0.3)) / (1 + exp(0.1))",
     lambda: mp.sqrt(mp.mpf("0.5") + mp.sin(mp.mpf("0.3"))) / (1 + mp.exp(mp.mpf("0.1")))),
    ("sum(sum(j * k, j = 1, k), k = 1, 10)", lambda: mp.mpf(sum(j * k for k in range(1, 11) for j in range(1, k + 1)))),
]


def main():
    for text, value in CASES:
        print(f"{text}\t{float(value())!r}")


if __name__ == "__main__":
    main()
