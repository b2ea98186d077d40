# The default 3-D orientation, rotation by 0.3 about z times rotation by
# -pi/6 about y, in the views' transposed form, to 30 digits.
from mpmath import mp, mpf, cos, sin, pi, matrix

mp.dps = 30
a, b = mpf("0.3"), -pi / 6
A = matrix([[cos(a), sin(a), 0], [-sin(a), cos(a), 0], [0, 0, 1]])
B = matrix([[cos(b), 0, sin(b)], [0, 1, 0], [-sin(b), 0, cos(b)]])
M = A * B
for r in range(3):
    print(" ".join(mp.nstr(M[r, c], 25) for c in range(3)))
