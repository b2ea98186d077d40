#!/usr/bin/env python3
"""Result strings of the math pane: values from mpmath at 50 digits, written
as "%.<digits>g" (the document's significant digits); complex values as
"re + im i" / "re - im i"; intervals as "[lo, hi]"; truth values as words.
Output: digits<TAB>formula<TAB>expected, one case a line."""
import mpmath

mpmath.mp.dps = 50


def g(x, digits):
    return "%.*g" % (digits, float(x))


def real(expr, value):
    return [(d, expr, g(value, d)) for d in (4, 8, 12, 15)]


def complex_(expr, value):
    out = []
    for d in (6, 10):
        im = float(value.imag)
        sign = " - " if im < 0 else " + "
        out.append((d, expr, g(value.real, d) + sign + g(abs(im), d) + " i"))
    return out


cases = []
cases += real("2/3", mpmath.mpf(2) / 3)
cases += real("sqrt(2)", mpmath.sqrt(2))
cases += real("sin(1)+ln(3)", mpmath.sin(1) + mpmath.log(3))
cases += real("exp(2)/7", mpmath.exp(2) / 7)
cases += complex_("(1+2*i)*(3-i)", (1 + 2j) * (3 - 1j))
cases += complex_("exp(i)", mpmath.exp(1j))
cases += complex_("(2-i)/(1+i)", mpmath.mpc(2, -1) / mpmath.mpc(1, 1))
for d in (5, 9):
    cases.append((d, "interval(1,2)/3", "[" + g(mpmath.mpf(1) / 3, d) + ", " + g(mpmath.mpf(2) / 3, d) + "]"))
cases += [(8, "1<2", "true"), (8, "3<2", "false"), (8, "interval(1,3)<2", "[false, true]")]

with open(__file__.replace(".py", ".txt"), "w") as f:
    for d, expr, expected in cases:
        f.write("%d\t%s\t%s\n" % (d, expr, expected))
