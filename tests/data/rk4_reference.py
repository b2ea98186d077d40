# Reference radii and points for the fixed-length Runge-Kutta steps of the
# 3-D solution plots, in the box [-2, 2]^3 (step length h = 0.02).
#
# Circles of (-y, x, 0) from (r, 0, 0): one step multiplies x + iy by
# A = 1 + i t - t^2/2 - i t^3/6 + t^4/24, t = h/r, so after k steps the
# radius is r |A|^k.
# Helix of (-y, x, 1) from (1, 0, 0): |F| = sqrt(2) on the whole curve, so
# after k steps t = k h / sqrt(2) and the point is (cos t, sin t, t).
from mpmath import mp, mpf, mpc, fabs, cos, sin, sqrt

mp.dps = 40
h = mpf("0.02")
with open("rk4_reference.txt", "w") as out:
    out.write("# circle r k radius\n")
    for r in ("0.5", "1", "2"):
        t = h / mpf(r)
        a = 1 + mpc(0, 1) * t - t**2 / 2 - mpc(0, 1) * t**3 / 6 + t**4 / 24
        for k in (500, 1000, 2000):
            out.write("circle %s %d %s\n" % (r, k, mp.nstr(mpf(r) * fabs(a) ** k, 25)))
    out.write("# helix k x y z\n")
    for k in (4, 100, 500, 988):
        t = k * h / sqrt(2)
        out.write("helix %d %s %s %s\n" % (k, mp.nstr(cos(t), 25), mp.nstr(sin(t), 25), mp.nstr(t, 25)))
