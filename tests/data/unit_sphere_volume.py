# Volume enclosed by the unit-sphere mesh of the 3-D points: the octahedron
# split three times, midpoints pushed out to the sphere, in mpmath at 30
# digits (the mesh is exact to double rounding).
from mpmath import mp, mpf, sqrt

mp.dps = 30
s = mpf("0.7071067811865475")
verts = [(0, 0, 1), (0, 0, -1), (-s, -s, 0), (s, -s, 0), (s, s, 0), (-s, s, 0)]
verts = [tuple(mpf(c) for c in v) for v in verts]
tris = [(0, 3, 4), (0, 4, 5), (0, 5, 2), (0, 2, 3), (1, 4, 3), (1, 5, 4), (1, 2, 5), (1, 3, 2)]
index = {}


def midpoint(a, b):
    key = (min(a, b), max(a, b))
    if key not in index:
        m = [(p + q) / 2 for p, q in zip(verts[a], verts[b])]
        n = sqrt(sum(c * c for c in m))
        verts.append(tuple(c / n for c in m))
        index[key] = len(verts) - 1
    return index[key]


for _ in range(3):
    old = list(tris)
    tris = [None] * len(old)
    extra = []
    for k, (a, b, c) in enumerate(old):
        ab, bc, ca = midpoint(a, b), midpoint(b, c), midpoint(c, a)
        tris[k] = (ab, bc, ca)
        extra += [(a, ab, ca), (ab, b, bc), (bc, c, ca)]
    tris += extra


def det(p, q, r):
    return (p[0] * (q[1] * r[2] - q[2] * r[1]) - p[1] * (q[0] * r[2] - q[2] * r[0])
            + p[2] * (q[0] * r[1] - q[1] * r[0]))


volume = sum(det(verts[a], verts[b], verts[c]) for a, b, c in tris) / 6
print(len(verts), len(tris), mp.nstr(volume, 17))
