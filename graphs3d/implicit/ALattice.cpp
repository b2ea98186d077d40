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

}  // namespace

ALattice::ALattice(ALatticeFunction& f, double xmin, double xmax, double ymin, double ymax, double zmin, double zmax,
                   int n, int nz)
    : ALattice(f, xmin, xmax, ymin, ymax, zmin, zmax, n, nz, LatticeSlab{0, nz}) {}

ALattice::ALattice(ALatticeFunction& f, double xmin, double xmax, double ymin, double ymax, double zmin, double zmax,
                   int n, int nz, LatticeSlab slab)
    : fF(f),
      fXmin(xmin),
      fYmin(ymin),
      fZmin(zmin),
      fDx((xmax - xmin) / n),
      fDy((ymax - ymin) / n),
      fDz((zmax - zmin) / nz),
      fN(n),
      fNz(slab.end - slab.start),
      fFirstZ(slab.start),
      fPlaneTiles(ZeroFilled<Tile>(int64_t(n + 1) * (n + 1))),
      fRowTiles(ZeroFilled<Tile>(n + 1)),
      fCube(f, n, fNz, fDx, fDy, fDz) {}

bool ALattice::ComputeLatticeVerticesOnPlanes() {
  const int64_t corners = int64_t(fN + 1) * (fN + 1);
  if (!fBottom) {
    fBottom = ZeroFilled<double>(corners);
    fTop = ZeroFilled<double>(corners);
    fCentres = ZeroFilled<double>(int64_t(fN) * fN);
    if (!fBottom || !fTop || !fCentres) return false;
    const int planes = fFirstZ + fNz + 1;
    fF.SetupGrid({fXmin, fYmin, fZmin, fDx, fDy, fDz, fN + 1, fN + 1, planes},
                 {fXmin + fDx / 2, fYmin + fDy / 2, fZmin + fDz / 2, fDx, fDy, fDz, fN, fN, planes - 1});
  }
  const int k = fFirstZ + fZ;
  if (fZ == 0) {
    fF.EvaluatePlane(kCornerGrid, k, fBottom.get());
  } else {
    std::swap(fBottom, fTop);
  }
  fF.EvaluatePlane(kCornerGrid, k + 1, fTop.get());
  fF.EvaluatePlane(kCentreGrid, k, fCentres.get());
  return true;
}

int ALattice::LoopOverUnitCubes(SurfaceVertexList& vertices, TriangleList* triangles, uint32_t deadline) {
  const int row = fN + 1;
  for (int visited = 1; fZ < fNz; ++visited) {
    if (fX == 0 && fY == 0 && !ComputeLatticeVerticesOnPlanes()) return 1;
    const double values[AUnitCube::kPoints] = {
        fBottom[fX + fY * row],        fBottom[fX + (fY + 1) * row], fBottom[fX + 1 + (fY + 1) * row],
        fBottom[fX + 1 + fY * row],    fTop[fX + fY * row],          fTop[fX + (fY + 1) * row],
        fTop[fX + 1 + (fY + 1) * row], fTop[fX + 1 + fY * row],      fCentres[fX + fY * fN]};
    fCube.Place(fX, fY, fZ, values, fXmin + fDx * fX, fYmin + fDy * fY, fZmin + fDz * (fFirstZ + fZ));
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
