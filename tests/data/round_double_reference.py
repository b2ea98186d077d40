#!/usr/bin/env python3
"""Reference for rounding to significant digits: Python's own "%.{n}g"
formatting of the exact binary value, over the normal exponent range where
the scale factor stays finite. Writes round_double_reference.txt:
"value digits expected", doubles as hexadecimal without the 0x prefix."""
import random

def hx(v):
    return ('-' if v < 0 else '') + abs(v).hex()[2:]

random.seed(20261206)
lines = []
for _ in range(100000):
    exponent = random.randint(-290, 307)
    mantissa = random.uniform(1.0, 10.0)
    if random.random() < 0.1:  # values that sit near a rounding step
        mantissa = round(mantissa, random.randint(0, 6)) + random.choice([-1, 1]) * 1e-12
    v = random.choice([-1, 1]) * mantissa * 10.0 ** exponent
    if v == 0 or v != v or abs(v) == float('inf'):
        continue
    digits = random.randint(-1, 20)
    n = min(max(digits, 1), 15)
    lines.append(f"{hx(v)} {digits} {hx(float(f'{v:.{n}g}'))}")
with open('round_double_reference.txt', 'w') as f:
    f.write('\n'.join(lines) + '\n')
