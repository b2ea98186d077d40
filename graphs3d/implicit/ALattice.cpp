#include "graphs3d/implicit/ALattice.h"

#include <new>
#include <utility>

#include "CoreUtilities/OurTime.h"
#include "graphs3d/implicit/ALatticeFunction.h"

namespace {

constexpr int kCubesBetweenClockReadings = 32;

template <typename T>
std::unique_ptr<T[]> ZeroFilled(int64_t count) {
  return std::unique_ptr<T[]>(new (std::nothrow) T[size_t(count)]());
}

// The centres lie half a step on from the corners on every axis, one fewer
// of them each way.
LatticeSteps CentresOf(const LatticeSteps& c) {
  return {c.x0 + c.dx / 2, c.y0 + c.dy / 2, c.z0 + c.dz / 2, c.dx, c.dy, c.dz, c.nx - 1, c.ny - 1, c.nz - 1};
}

}  // namespace

ALattice::ALattice(ALatticeFunction& f, double xmin, double xmax, double ymin, double ymax, double zmin, double zmax,
                   int n, int nz)
    : ALattice(f, xmin, xmax, ymin, ymax, zmin, zmax, n, nz, LatticeSlab{0, nz}) {}

ALattice::ALattice(ALatticeFunction& f, double xmin, double xmax, double ymin, double ymax, double zmin, double zmax,
                   int n, int nz, LatticeSlab slab)
    : fF(f),
      fN(n),
      fNz(slab.end - slab.start),
      fFirstZ(slab.start),
      fCorners{xmin, ymin, zmin, (xmax - xmin) / n, (ymax - ymin) / n, (zmax - zmin) / nz, n + 1, n + 1, slab.end + 1},
      fCentres(CentresOf(fCorners)),
      fPlaneTiles(ZeroFilled<Tile>(int64_t(n + 1) * (n + 1))),
      fRowTiles(ZeroFilled<Tile>(n + 1)),
      fCube(f, n, fFirstZ, fCorners, fCentres) {}

bool ALattice::ComputeLatticeVerticesOnPlanes() {
  const int64_t corners = int64_t(fN + 1) * (fN + 1);
  if (!fBottom) {
    fBottom = ZeroFilled<double>(corners);
    fTop = ZeroFilled<double>(corners);
    fCentreValues = ZeroFilled<double>(int64_t(fN) * fN);
    if (!fBottom || !fTop || !fCentreValues) return false;
    fF.SetupGrid(fCorners, fCentres);
  }
  const int k = fFirstZ + fZ;
  if (fZ == 0) {
    fF.EvaluatePlane(kCornerGrid, k, fBottom.get());
  } else {
    std::swap(fBottom, fTop);
  }
  fF.EvaluatePlane(kCornerGrid, k + 1, fTop.get());
  fF.EvaluatePlane(kCentreGrid, k, fCentreValues.get());
  return true;
}

int ALattice::LoopOverUnitCubes(SurfaceVertexList& vertices, TriangleList* triangles, uint32_t deadline) {
  const int row = fN + 1;
  for (int visited = 1; fZ < fNz; ++visited) {
    if (fX == 0 && fY == 0 && !ComputeLatticeVerticesOnPlanes()) return 1;
    const double values[AUnitCube::kPoints] = {
        fBottom[fX + fY * row],        fBottom[fX + (fY + 1) * row], fBottom[fX + 1 + (fY + 1) * row],
        fBottom[fX + 1 + fY * row],    fTop[fX + fY * row],          fTop[fX + (fY + 1) * row],
        fTop[fX + 1 + (fY + 1) * row], fTop[fX + 1 + fY * row],      fCentreValues[fX + fY * fN]};
    fCube.Place(fX, fY, fZ, values);
    if (fF.IsCancelled()) return 0;
    // Most cubes lie wholly on one side: nothing to find or make there, but
    // their empty edges still reach the neighbours through the tiles.
    const bool crossed = fCube.ChangesSign();
    if (crossed && fCube.SetEdges(fPlaneTiles.get(), fRowTiles.get(), fPrevious, vertices) != 0) return 1;
    if (fF.IsCancelled()) return 0;
    WriteBack(fCube);
    if (crossed && triangles && fCube.GenerateTriangles(*triangles, vertices) != 0) return 1;
    if (++fX == fN) {
      fX = 0;
      if (++fY == fN) fY = 0, ++fZ;
    }
    if (visited % kCubesBetweenClockReadings == 0 && !OurTimeIsPast(deadline, OurTime())) return 0;
  }
  return 0;
}

void ALattice::WriteBack(const AUnitCube& cube) {
  auto tile = [&](int a, int b) -> Tile& { return fPlaneTiles[a * (fN + 1) + b]; };
  auto edge = [&](int e) { return cube.Edge(e); };
  if (fZ < fNz - 1) tile(fX, fY) = {{edge(11), edge(17), edge(8)}};
  if (fY < fN - 1) fRowTiles[fX] = {{edge(10), edge(12), edge(14)}};
  if (fX < fN - 1) fPrevious = {{edge(15), edge(13), edge(16)}};
  if (fZ == 0) {
    tile(fX, fY + 1).w[2] = edge(3);
    tile(fX + 1, fY).w[0] = edge(4);
  }
  if (fY == 0) fRowTiles[fX + 1].w[0] = edge(7);
  if (fY == fN - 1) tile(fX, fN).w[2] = edge(14);
  if (fX == fN - 1) {
    tile(fN, fY).w[0] = edge(16);
    fRowTiles[fN].w[0] = edge(13);
  }
}
