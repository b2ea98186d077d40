"""Reference values for the Math menu's items run on whole formulas.

Each line: item, formula as typed, then x and the value of the right side
of sympy's result at x, for several x. Run: python3 menu_algebra_reference.py
"""
import sympy as sp

x = sp.symbols("x")
cases = [
    ("Expand", "y = (x+1)^3", sp.expand((x + 1) ** 3)),
    ("Simplify", "y = function(optotal(x),x^3+sin(x))", sp.diff(x ** 3 + sp.sin(x), x)),
    ("Solve for Selection", "2*x + 4 = 10", sp.solve(sp.Eq(2 * x + 4, 10), x)[0]),
]
print("# item\tformula\tx value ...")
for item, formula, result in cases:
    values = []
    for at in (-1.5, 0.5, 2.0):
        values.append("%r %s" % (at, sp.N(result.subs(x, at), 17)))
    print("\t".join([item, formula] + values))
