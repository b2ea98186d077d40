#include "graphs3d/implicit/AUnitCube.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <utility>

#include "graphs2d/RootFinding.h"
#include "graphs3d/implicit/ALatticeFunction.h"

namespace {

constexpr double kCrossingTolerance = 0.01;
// How many float steps a crossing keeps from either end of its edge.
constexpr double kCrossingFloatSteps = 4;
constexpr double kDifferenceStep = 0.1;
// How far an end's value must stand above the other end's, or both above the
// values around them, before the root finder looks for a pole at an end.
constexpr double kPoleEndFactor = 32;

bool IsZero(const SurfaceVertex& v) { return v.nx == 0 && v.ny == 0 && v.nz == 0; }

// A corner whose value is 0 counts with the positive values, so each of
// its edges to a negative value crosses, at the corner itself; a value
// that rounding left a little off 0 puts those crossings within rounding of
// it. Stored as floats they would be one point, that the mesh around it
// pinches or folds at: each crossing keeps a few float steps of the edge's
// coordinates from either end, the share of the edge returned (at most
// its middle, in a box too far out for floats to tell its cells apart).
double CrossingMargin(const double* a, const double* b) {
  double reach = 0, magnitude = 0;
  for (int i = 0; i < 3; ++i) {
    reach = std::max(reach, std::fabs(b[i] - a[i]));
    magnitude = std::max({magnitude, std::fabs(a[i]), std::fabs(b[i])});
  }
  return std::min(0.5, kCrossingFloatSteps * FLT_EPSILON * std::max(magnitude, reach) / reach);
}

// Unit n as floats, or (0, 0, 0) when it has no finite direction.
bool StoreUnit(double nx, double ny, double nz, SurfaceVertex* out) {
  const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
  const float x = float(nx / length), y = float(ny / length), z = float(nz / length);
  const bool finite = std::isfinite(x) && std::isfinite(y) && std::isfinite(z);
  out->nx = finite ? x : 0;
  out->ny = finite ? y : 0;
  out->nz = finite ? z : 0;
  return finite;
}

}  // namespace

const double AUnitCube::kCubeVertexXyz[kPoints][3] = {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0},      {0, 0, 1},
                                                      {0, 1, 1}, {1, 1, 1}, {1, 0, 1}, {0.5, 0.5, 0.5}};

// Each edge runs from its lower lattice point to its higher (by the sum of
// the coordinates), or from a corner to the centre: an edge on a face that
// another cube shares, in this slab or the next, is searched from the same
// end with the same points and values from either side, so that both find
// its crossing to the bit.
const uint16_t AUnitCube::kEdgeVertices[kEdges][2] = {
    {0, 1}, {0, 2}, {0, 3}, {1, 2}, {3, 2}, {0, 4}, {0, 7}, {3, 7}, {4, 7}, {0, 5}, {1, 5}, {4, 5}, {1, 6},
    {2, 6}, {5, 6}, {3, 6}, {7, 6}, {4, 6}, {0, 8}, {1, 8}, {2, 8}, {3, 8}, {4, 8}, {5, 8}, {6, 8}, {7, 8}};

const uint16_t AUnitCube::kTetrahedronList[kTetrahedra][6] = {
    {1, 2, 4, 21, 20, 18},   {0, 1, 3, 20, 19, 18},   {2, 6, 7, 25, 21, 18},    {5, 6, 8, 25, 22, 18},
    {5, 9, 11, 23, 22, 18},  {0, 9, 10, 23, 19, 18},  {10, 12, 14, 24, 23, 19}, {3, 12, 13, 24, 20, 19},
    {4, 13, 15, 24, 21, 20}, {7, 15, 16, 24, 25, 21}, {11, 14, 17, 24, 22, 23}, {8, 16, 17, 24, 22, 25}};

AUnitCube::AUnitCube(ALatticeFunction& f, int n, int firstZ, const LatticeSteps& corners, const LatticeSteps& centres)
    : fF(f), fCorners(corners), fCentres(centres), fN(n), fFirstZ(firstZ) {}

void AUnitCube::Place(int x, int y, int z, const double* values) {
  fX = x, fY = y, fZ = z;
  for (int p = 0; p < kPoints; ++p) fValues[p] = values[p];
  for (int32_t& e : fEdges) e = 0;
  fNormalsGood = true;
}

bool AUnitCube::ChangesSign() const {
  const bool negative = fValues[0] < 0;
  for (int p = 1; p < kPoints; ++p)
    if ((fValues[p] < 0) != negative) return true;
  return false;
}

int AUnitCube::SetEdges(const Tile* plane, const Tile* row, const Tile& previous, SurfaceVertexList& vertices) {
  bool known[kEdges] = {};
  auto take = [&](int e, int32_t reference) {
    fEdges[e] = reference;
    known[e] = true;
  };
  auto tile = [&](int a, int b) -> const Tile& { return plane[a * (fN + 1) + b]; };
  if (fZ > 0) {
    for (int w = 0; w < 3; ++w) take(w, tile(fX, fY).w[w]);
    take(3, tile(fX, fY + 1).w[2]);
    take(4, tile(fX + 1, fY).w[0]);
  }
  if (fY > 0) {
    take(5, row[fX].w[0]);
    take(6, row[fX].w[1]);
    take(7, row[fX + 1].w[0]);
    take(8, row[fX].w[2]);
    if (fZ == 0) take(2, tile(fX, fY).w[2]);
  }
  if (fX > 0) {
    for (int w = 0; w < 3; ++w) take(9 + w, previous.w[w]);
    if (fZ == 0) take(0, tile(fX, fY).w[0]);
    if (fY == 0) take(5, row[fX].w[0]);
  }
  for (int e = 0; e < kEdges; ++e) {
    if (known[e]) continue;
    const double fa = fValues[kEdgeVertices[e][0]], fb = fValues[kEdgeVertices[e][1]];
    if ((fa < 0) == (fb < 0)) continue;
    SurfaceVertex vertex;
    if (!FindSurfaceCrossing(&vertex, e)) continue;
    fEdges[e] = vertices.Count() + 1;
    if (vertices.Add(vertex) != 0) return 1;
  }
  return 0;
}

// The points are placed from the box's lattice, as every slab places them.
bool AUnitCube::FindSurfaceCrossing(SurfaceVertex* out, int edge) {
  const int a = kEdgeVertices[edge][0], b = kEdgeVertices[edge][1];
  double pa[3], pb[3];
  PointXyz(a, pa);
  PointXyz(b, pb);
  double x, y, z;
  if (!FindRoot(fF, 0, kCrossingTolerance, fValues[a], fValues[b], &x, pa[0], pb[0], &y, pa[1], pb[1], &z, pa[2], pb[2],
                MayEndAtPole(a, b), CrossingMargin(pa, pb))) {
    return false;
  }
  if (!fF.Accepts(x, y, z)) return false;
  Normal(x, y, z, out);
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) return false;
  out->x = float(x), out->y = float(y), out->z = float(z);
  return true;
}

void AUnitCube::PointXyz(int p, double* xyz) const {
  if (p == kCentre) {
    xyz[0] = fCentres.X(fX), xyz[1] = fCentres.Y(fY), xyz[2] = fCentres.Z(fFirstZ + fZ);
    return;
  }
  const double* offset = kCubeVertexXyz[p];
  xyz[0] = fCorners.X(fX + int(offset[0]));
  xyz[1] = fCorners.Y(fY + int(offset[1]));
  xyz[2] = fCorners.Z(fFirstZ + fZ + int(offset[2]));
}

// The enclosure test for poles costs as much as the rest of the walk, and
// the root's value refuses most poles without it: a pole inside an edge
// draws the root to itself, where the value is large. It misses a pole on
// or beside an end, whose value is then large against the other end's (the
// root creeps from that other end and stops short) or, with both ends
// beside poles, against the values around them.
bool AUnitCube::MayEndAtPole(int a, int b) const {
  const double small = std::min(std::fabs(fValues[a]), std::fabs(fValues[b]));
  const double large = std::max(std::fabs(fValues[a]), std::fabs(fValues[b]));
  if (!(large <= kPoleEndFactor * small)) return true;
  return b != kCentre && !(small <= kPoleEndFactor * PoleReference(a, b));
}

// The cube's centre; but an edge in a plane of corners may lie where two
// slabs meet, and both walk it, each from a cube with another centre: it is
// weighed against the smaller of its face's two other corners, which both
// see, so that both decide alike and any cut of the box gives one mesh.
double AUnitCube::PoleReference(int a, int b) const {
  constexpr int kTopFace = 4;
  const bool bottom = a < kTopFace && b < kTopFace, top = a >= kTopFace && b >= kTopFace;
  if (!bottom && !top) return std::fabs(fValues[kCentre]);
  double smallest = INFINITY;
  for (int p = bottom ? 0 : kTopFace, end = p + 4; p < end; ++p)
    if (p != a && p != b) smallest = std::min(smallest, std::fabs(fValues[p]));
  return smallest;
}

void AUnitCube::Normal(double x, double y, double z, SurfaceVertex* out) {
  double g[3];
  if (fF.HasGradient()) {
    fF.Gradient(x, y, z, g);
  } else {
    // F at the crossing is taken as 0; each difference over its own step so
    // that a box that is not a cube does not lean the normal.
    const double hx = kDifferenceStep * fCorners.dx, hy = kDifferenceStep * fCorners.dy,
                 hz = kDifferenceStep * fCorners.dz;
    g[0] = fF.At(x + hx, y, z) / hx;
    g[1] = fF.At(x, y + hy, z) / hy;
    g[2] = fF.At(x, y, z + hz) / hz;
  }
  if (!StoreUnit(g[0], g[1], g[2], out)) fNormalsGood = false;
}

int AUnitCube::GenerateTriangles(TriangleList& triangles, SurfaceVertexList& vertices) {
  for (const auto& row : kTetrahedronList) {
    int32_t crossing[6];
    int count = 0;
    for (uint16_t e : row)
      if (fEdges[e] != 0) crossing[count++] = fEdges[e] - 1;
    if (count < 3) continue;
    Triangle made[2] = {{{crossing[0], crossing[1], crossing[2]}},
                        {{crossing[0], crossing[2], count == 4 ? crossing[3] : 0}}};
    for (int k = 0; k < (count == 4 ? 2 : 1); ++k) {
      Triangle& t = made[k];
      if (!fNormalsGood) FixBadNormals(t, vertices);
      const SurfaceVertex& p0 = vertices[t.v[0]];
      const SurfaceVertex& p1 = vertices[t.v[1]];
      const SurfaceVertex& p2 = vertices[t.v[2]];
      const double ux = p1.x - p0.x, uy = p1.y - p0.y, uz = p1.z - p0.z;
      const double vx = p2.x - p0.x, vy = p2.y - p0.y, vz = p2.z - p0.z;
      const double facing = (uy * vz - uz * vy) * p0.nx + (uz * vx - ux * vz) * p0.ny + (ux * vy - uy * vx) * p0.nz;
      if (facing < 0) std::swap(t.v[1], t.v[2]);
      if (triangles.Add(t) != 0) return 1;
    }
  }
  return 0;
}

void AUnitCube::FixBadNormals(const Triangle& t, SurfaceVertexList& vertices) {
  SurfaceVertex& a = vertices[t.v[0]];
  SurfaceVertex& b = vertices[t.v[1]];
  SurfaceVertex& c = vertices[t.v[2]];
  const SurfaceVertex before[3] = {a, b, c};
  for (SurfaceVertex* v : {&a, &b, &c})
    if (IsZero(*v)) SetNewNormal(v, before[0], before[1], before[2]);
}

void SetNewNormal(SurfaceVertex* target, const SurfaceVertex& a, const SurfaceVertex& b, const SurfaceVertex& c) {
  const double ux = double(b.x) - a.x, uy = double(b.y) - a.y, uz = double(b.z) - a.z;
  const double vx = double(c.x) - a.x, vy = double(c.y) - a.y, vz = double(c.z) - a.z;
  double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
  const SurfaceVertex* reference = !IsZero(a) ? &a : !IsZero(b) ? &b : !IsZero(c) ? &c : nullptr;
  const double agreement =
      reference ? nx * reference->nx + ny * reference->ny + nz * reference->nz : nx * a.x + ny * a.y + nz * a.z;
  if (agreement < 0) nx = -nx, ny = -ny, nz = -nz;
  StoreUnit(nx, ny, nz, target);
}
