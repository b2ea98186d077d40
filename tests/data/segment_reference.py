#!/usr/bin/env python3
"""Exact references for the segment functions, computed in rational
arithmetic (fractions) on small integer coordinates, degenerate segments
included. Writes segment_reference.txt, one case a line:
  px py ax ay bx by  dist2 cx cy  |  xmin xmax ymin ymax inrect  |
  b1x b1y b2x b2y intersects ix iy overlaps
Every number is an exact integer or a float of an exact fraction."""
from fractions import Fraction as F
import random

random.seed(6102)

def c():
    return F(random.randint(-8, 8))

def dist_and_closest(p, a, b):
    e = (b[0] - a[0], b[1] - a[1])
    ee = e[0] ** 2 + e[1] ** 2
    if ee == 0:
        return (p[0] - a[0]) ** 2 + (p[1] - a[1]) ** 2, a
    t = ((p[0] - a[0]) * e[0] + (p[1] - a[1]) * e[1]) / ee
    t = min(max(t, F(0)), F(1))
    q = (a[0] + t * e[0], a[1] + t * e[1])
    return (p[0] - q[0]) ** 2 + (p[1] - q[1]) ** 2, q

def in_open_rect(a, b, xmin, xmax, ymin, ymax):
    # Some t in [0, 1] with the point strictly inside; the feasible set is
    # an interval, so test its ends' midpoint and the critical parameters.
    ts = {F(0), F(1)}
    for p0, dp, lo, hi in ((a[0], b[0] - a[0], xmin, xmax), (a[1], b[1] - a[1], ymin, ymax)):
        if dp != 0:
            ts.update(((lo - p0) / dp, (hi - p0) / dp))
    ts = sorted(t for t in ts if 0 <= t <= 1)
    candidates = ts + [(u + v) / 2 for u, v in zip(ts, ts[1:])]
    for t in candidates:
        x, y = a[0] + t * (b[0] - a[0]), a[1] + t * (b[1] - a[1])
        if xmin < x < xmax and ymin < y < ymax:
            return True
    return False

def within(v, p, q):
    return min(p, q) <= v <= max(p, q)

def intersect(a1, a2, b1, b2):
    av, bv = a1[0] == a2[0], b1[0] == b2[0]
    if av and bv:
        return None
    if av:
        m2 = (b2[1] - b1[1]) / (b2[0] - b1[0])
        x, y = a1[0], b1[1] + m2 * (a1[0] - b1[0])
    elif bv:
        m1 = (a2[1] - a1[1]) / (a2[0] - a1[0])
        x, y = b1[0], a1[1] + m1 * (b1[0] - a1[0])
    else:
        m1 = (a2[1] - a1[1]) / (a2[0] - a1[0])
        m2 = (b2[1] - b1[1]) / (b2[0] - b1[0])
        if m1 == m2:
            return None
        c1, c2 = a1[1] - m1 * a1[0], b1[1] - m2 * b1[0]
        x, y = (c2 - c1) / (m1 - m2), (m1 * c2 - m2 * c1) / (m1 - m2)
    if within(x, a1[0], a2[0]) and within(x, b1[0], b2[0]) and within(y, a1[1], a2[1]) and within(y, b1[1], b2[1]):
        return x, y
    return None

def overlap(a1, a2, b1, b2):
    d = (a2[0] - a1[0], a2[1] - a1[1])
    if d == (0, 0) or b1 == b2:
        return False
    cross = lambda p: d[0] * (p[1] - a1[1]) - d[1] * (p[0] - a1[0])
    if cross(b1) != 0 or cross(b2) != 0:
        return False
    proj = lambda p: (p[0] - a1[0]) * d[0] + (p[1] - a1[1]) * d[1]
    lo, hi = sorted((proj(b1), proj(b2)))
    return min(hi, proj(a2)) > max(lo, F(0))

lines = []
for i in range(4000):
    p, a, b = (c(), c()), (c(), c()), (c(), c())
    if i % 10 == 0:
        b = a  # degenerate
    d2, q = dist_and_closest(p, a, b)
    xs, ys = sorted((c(), c())), sorted((c(), c()))
    r = in_open_rect(a, b, xs[0], xs[1], ys[0], ys[1])
    if i % 3 == 0:  # on a's line, so that overlaps occur
        t1, t2 = F(random.randint(-4, 4), 2), F(random.randint(-4, 4), 2)
        b1 = (a[0] + t1 * (b[0] - a[0]), a[1] + t1 * (b[1] - a[1]))
        b2 = (a[0] + t2 * (b[0] - a[0]), a[1] + t2 * (b[1] - a[1]))
    else:
        b1, b2 = (c(), c()), (c(), c())
    s = intersect(a, b, b1, b2)
    o = overlap(a, b, b1, b2)
    nums = [p[0], p[1], a[0], a[1], b[0], b[1], d2, q[0], q[1], xs[0], xs[1], ys[0], ys[1], int(r),
            b1[0], b1[1], b2[0], b2[1], int(s is not None), s[0] if s else 0, s[1] if s else 0, int(o)]
    lines.append(' '.join(repr(float(v)) for v in nums))
with open('segment_reference.txt', 'w') as f:
    f.write('\n'.join(lines) + '\n')
