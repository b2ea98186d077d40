#!/usr/bin/env python3
"""Writes fragment_corpus.txt: colour formulas that fragment programs must
compute, one colour a line, tab-separated:

    group  kind  first  second  third  mask

kind is rgb, hsv (hue in turns), raw (hsv left for the renderer's HSV pass)
or texture (the picture's colour under the mask alone); "-" stands for no
formula. Theta appears only where its range does not matter (periodic,
or as a hue): programs take it in (-pi, pi], the processor in [0, 2 pi).
The letters a, b and c are document parameters (a = 0.7, b = 1.3,
c = -0.4 in the tests); r is the distance from the origin, as the graph pane
reads it in colour formulas. Formulas are drawn from fixed pools by a seeded
generator, so the file is the same on every run.
"""
import random

POOLS = {
    "polynomial": ["x", "y", "z", "x*y", "x^2+y^2", "1-x^2", "x^3-y", "(x+y)/2+0.5", "x^4-x^2+0.3",
                   "x^5*0.5+0.5", "x^6", "x^(-2)*0.1", "0.25/(x^2+0.3)", "x*y*z+0.5", "2*x^2-y^3"],
    "trig": ["sin(x)", "cos(3*y)", "sin(x)*cos(y)", "tan(x/2)", "sec(x)/3", "csc(y+2)/3", "cot(x+2)/4",
             "sin(x)^2", "cos(x*y)", "sin(5*x)*0.5+0.5", "atan(x)", "atan(y/x)", "acot(x)", "asin(x/2)",
             "acos(y/2)", "asin(x)", "acos(x*y)"],
    "explog": ["exp(x)", "exp(-x^2-y^2)", "ln(x^2+1)", "ln(x)", "log(y^2+0.1)+1", "log(x)", "sinh(x)",
               "cosh(y)-1", "tanh(2*x)", "coth(x+3)", "sech(x)", "csch(y+2)", "asinh(x)", "acosh(y+2)",
               "atanh(x/2)", "e^(x*y)", "2^x", "10^(y-1)"],
    "roots": ["sqrt(x)", "sqrt(x^2+y^2)", "sqrt(1-x^2-y^2)", "x^0.5", "abs(x)^1.5", "(x^2+1)^0.5",
              "(x^2)^0.75", "((x^2+0.1)^1.5)^0.3", "x^y", "abs(y)^x", "(x+2)^(y+1)", "max(x,0)^0.5",
              "(y^2+z^2)^(-0.5)*0.3", "x^2.5"],
    "piecewise": ["abs(x)", "floor(3*x)/3", "ceil(2*y)/2", "sgn(x)*0.5+0.5", "mod(x,0.25)*4",
                  "mod(x*y,0.3)*3", "min(x,y)", "max(x,1-y)", "min(x,y,z)", "clamp(x,0.2,0.7)",
                  "x<y", "x>y", "0<x<y", "x<0.3", "y>x^2", "floor(x)+floor(y)", "abs(x-y)<0.5"],
    "spherical": ["r", "r/2", "phi/pi", "cos(theta)*0.5+0.5", "sin(2*theta)", "cos(phi)",
                  "r*sin(phi)", "sqrt(r)"],
    "parameters": ["a*x", "b*y+c", "sin(a*x)*b", "a^2*x+b", "x^a", "exp(c*x)", "(a+b)*y", "mod(x,a)/a",
                   "max(x,c)", "x<a", "a*b*c+x", "sqrt(a)*y"],
    "complex": ["Re((x+i*y)^2)", "Im((x+i*y)^2)", "abs(x+i*y)", "arg(x+i*y)/pi", "Re(exp(i*x))",
                "Im(exp(i*(x+y)))", "Re(sqrt(x+i*y))", "Im(sqrt(x*i-y))", "Re(ln(x+i*y))",
                "Im(sin(x+i*y))", "Re(cos(x+i*y))", "Re((x+i*y)/(y-i*x+2))", "abs((x+i*y)^3)/2",
                "Re(atan(x+i*y))", "Im(asin(x-i*y))"],
    "nested": ["sin(cos(x)*2)", "exp(sin(x*y))-1", "sqrt(abs(sin(3*x)))", "ln(1+exp(x))", "atan(tan(x))",
               "floor(sin(4*x)*3)/3", "abs(abs(x)-0.5)", "(sin(x)^2+cos(y)^2)^0.5", "max(sin(x),cos(y))^3",
               "1/(1+exp(-4*x))"],
}

MASKS = ["x^2+y^2<1", "x>0", "y<x", "abs(x)<0.8", "sin(5*x)>0", "x*y", "a*x<b", "mod(x,0.5)*2",
         "sqrt(x+1)>0.5", "0.3", "z<0.4"]

HUES = ["x", "theta/(2*pi)", "x+y", "r", "phi/pi", "sin(x)", "a*x", "Re((x+i*y)^2)", "floor(4*x)/4",
        "atan(y)"]


def pick(rng, group):
    others = [f for g, pool in POOLS.items() if g != group for f in pool]
    return rng.choice(POOLS[group]), rng.choice(POOLS[group] + others), rng.choice(POOLS[group])


def main():
    rng = random.Random(49)
    lines = []
    for group, pool in POOLS.items():
        # Each formula of a group once as the red component.
        for formula in pool:
            _, second, third = pick(rng, group)
            lines.append((group, "rgb", formula, second, third, "-"))
    for k in range(40):
        group = rng.choice(list(POOLS))
        first, second, third = pick(rng, group)
        lines.append(("masked", "rgb", first, second, third, MASKS[k % len(MASKS)]))
    for k in range(24):
        group = rng.choice(list(POOLS))
        _, saturation, value = pick(rng, group)
        kind = "hsv" if k % 2 == 0 else "raw"
        mask = MASKS[k % len(MASKS)] if k % 3 == 0 else "-"
        lines.append(("hsv", kind, HUES[k % len(HUES)], saturation, value, mask))
    for kind, saturation in (("raw", "1"), ("hsv", "1"), ("raw", "y*2"), ("hsv", "x*2")):
        lines.append(("hsv", kind, "x", saturation, "1", "-"))
    for mask in MASKS[:8]:
        lines.append(("texture", "texture", "-", "-", "-", mask))
    with open(__file__.replace(".py", ".txt"), "w") as out:
        for line in lines:
            out.write("\t".join(line) + "\n")
    print(len(lines), "colours")


if __name__ == "__main__":
    main()
