#include "graphs3d/grid/GridMesh.h"

#include <algorithm>
#include <cmath>

#include "platform/CheckedConvert.h"
#include "renderer/AVector.h"

namespace {

// Grain comes from files: out of range or NaN it must still size a grid.
double ClampedGrain(double grain) { return std::isnan(grain) ? 0.5 : std::clamp(grain, 0.0, 1.0); }

}  // namespace

int32_t GridPointsPerSide(double grain) { return DoubleToInt32(ClampedGrain(grain) * 74 + 5); }

int32_t LatticeCellsPerAxis(double grain) { return DoubleToInt32(ClampedGrain(grain) * 36 + 4); }

namespace {

// The copy each corner A, B, C, D of cell (r, c) takes.
void CornerCopiesOf(CornerCopies copies, int32_t r, int32_t c, int32_t (&copy)[4]) {
  switch (copies) {
    case CornerCopies::kCheckerboard: std::fill_n(copy, 4, ((r ^ c) & 1)); break;
    case CornerCopies::kRows: std::fill_n(copy, 4, r & 1); break;
    case CornerCopies::kColumns: std::fill_n(copy, 4, c & 1); break;
    case CornerCopies::kBandsDown: copy[0] = copy[1] = 1, copy[2] = copy[3] = 0; break;
    case CornerCopies::kBandsAcross: copy[0] = copy[2] = 1, copy[1] = copy[3] = 0; break;
    case CornerCopies::kOnePerPoint: std::fill_n(copy, 4, 0); break;
  }
}

}  // namespace

int32_t TriangulateGrid(const uint8_t* valid, int32_t n, CornerCopies copies, Triangle* triangles) {
  const bool two = copies != CornerCopies::kOnePerPoint;
  int32_t count = 0;
  for (int32_t r = 0; r + 1 < n; ++r) {
    for (int32_t c = 0; c + 1 < n; ++c) {
      const int32_t point[4] = {r * n + c, r * n + c + 1, (r + 1) * n + c, (r + 1) * n + c + 1};
      int32_t copy[4] = {};
      CornerCopiesOf(copies, r, c, copy);
      int32_t v[4], missing = -1, present = 0;
      for (int k = 0; k < 4; ++k) {
        v[k] = two ? 2 * point[k] + copy[k] : point[k];
        if (valid[point[k]]) {
          ++present;
        } else {
          missing = k;
        }
      }
      enum { A, B, C, D };
      if (present == 4) {
        triangles[count++] = {{v[A], v[D], v[B]}};
        triangles[count++] = {{v[A], v[C], v[D]}};
      } else if (present == 3) {
        static constexpr int kOneTriangle[4][3] = {{B, C, D}, {A, C, D}, {A, D, B}, {A, C, B}};
        const int* t = kOneTriangle[missing];
        triangles[count++] = {{v[t[0]], v[t[1]], v[t[2]]}};
      }
    }
  }
  return count;
}

namespace {

struct GridPoints {
  const Vertex* positions;
  const uint8_t* valid;
  int32_t n, copies;

  bool Valid(int32_t i, int32_t j) const { return valid[i * n + j] != 0; }
  const Vertex& At(int32_t i, int32_t j) const { return positions[(i * n + j) * copies]; }
  bool Same(int32_t i1, int32_t j1, int32_t i2, int32_t j2) const {
    const Vertex &a = At(i1, j1), &b = At(i2, j2);
    return a.x == b.x && a.y == b.y && a.z == b.z;
  }
};

// The neighbour of (i, j) a step di, dj away, or the diagonal one past it
// (a step ei, ej further) where that neighbour coincides with the point.
void Neighbour(const GridPoints& g, int32_t i, int32_t j, int32_t di, int32_t dj, int32_t ei, int32_t ej, int32_t* ni,
               int32_t* nj) {
  *ni = i + di, *nj = j + dj;
  if (!g.Valid(*ni, *nj)) *ni = i, *nj = j;
  if (g.Same(*ni, *nj, i, j) && g.Valid(i + di + ei, j + dj + ej)) *ni = i + di + ei, *nj = j + dj + ej;
}

}  // namespace

void FixBadNormals(const Vertex* positions, Vertex* normals, const uint8_t* valid, int32_t n, int32_t copies) {
  if (n < 2) return;
  const GridPoints g{positions, valid, n, copies};
  for (int32_t i = 0; i < n; ++i) {
    for (int32_t j = 0; j < n; ++j) {
      const int32_t k = (i * n + j) * copies;
      const Vertex& stored = normals[k];
      if (!g.Valid(i, j) || stored.x != 0 || stored.y != 0 || stored.z != 0) continue;
      const int32_t di = i < n - 1 ? 1 : -1, dj = j < n - 1 ? 1 : -1;
      int32_t ai, aj, bi, bj;
      Neighbour(g, i, j, di, 0, 0, dj, &ai, &aj);
      Neighbour(g, i, j, 0, dj, di, 0, &bi, &bj);
      double s = i < n - 1 ? 1 : -1;
      if (j == n - 1) s = -s;
      const Vertex &p = g.At(i, j), &a = g.At(ai, aj), &b = g.At(bi, bj);
      const double bp[3] = {double(b.x) - p.x, double(b.y) - p.y, double(b.z) - p.z};
      const double pa[3] = {double(p.x) - a.x, double(p.y) - a.y, double(p.z) - a.z};
      const double cross[3] = {bp[1] * pa[2] - bp[2] * pa[1], bp[2] * pa[0] - bp[0] * pa[2],
                               bp[0] * pa[1] - bp[1] * pa[0]};
      const Vertex normal{float(s * cross[0]), float(s * cross[1]), float(s * cross[2])};
      if (!std::isfinite(normal.x) || !std::isfinite(normal.y) || !std::isfinite(normal.z)) continue;
      for (int32_t c = 0; c < copies; ++c) normals[k + c] = normal;
    }
  }
}

namespace {

bool Usable(const Vertex& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) && (v.x != 0 || v.y != 0 || v.z != 0);
}

// The difference between the neighbours of point k a step `stride` away on
// either side, where they exist (`before`, `after` say whether they may).
AVector Tangent(const Vertex* positions, const uint8_t* valid, int32_t k, int32_t stride, bool before, bool after) {
  const int32_t low = before && valid[k - stride] ? k - stride : k;
  const int32_t high = after && valid[k + stride] ? k + stride : k;
  const Vertex &a = positions[low], &b = positions[high];
  return {double(b.x) - a.x, double(b.y) - a.y, double(b.z) - a.z};
}

}  // namespace

void NeighbourNormals(const Vertex* positions, Vertex* normals, const uint8_t* valid, int32_t n) {
  for (int32_t i = 0; i < n; ++i) {
    for (int32_t j = 0; j < n; ++j) {
      const int32_t k = i * n + j;
      if (!valid[k] || Usable(normals[k])) continue;
      const AVector cross =
          Cross(Tangent(positions, valid, k, n, i > 0, i + 1 < n), Tangent(positions, valid, k, 1, j > 0, j + 1 < n));
      const double length = std::sqrt(Dot(cross, cross));
      normals[k] = length > 0 && std::isfinite(length)
                       ? Vertex{float(cross.x / length), float(cross.y / length), float(cross.z / length)}
                       : Vertex{0, 0, 0};
    }
  }
}
