#include <algorithm>
#include <cmath>
#include <vector>

#include "graphs3d/grid/AGridSurface.h"
#include "graphs3d/grid/GridColours.h"
#include "renderer/Submission.h"

namespace {

bool IsFinitePoint(double x, double y, double z) { return std::isfinite(x) && std::isfinite(y) && std::isfinite(z); }

// Infinite coordinates leave a point out at once; NaN ones only after its
// colour, as the condition may still read them.
bool NoInfinity(double x, double y, double z) {
  return std::fabs(x) != INFINITY && std::fabs(y) != INFINITY && std::fabs(z) != INFINITY;
}

}  // namespace

void AGridSurface::StorePoint(int32_t k, double x, double y, double z) {
  const Vertex p{float(x), float(y), float(z)};
  const int32_t copies = fCopies;
  for (int32_t c = 0; c < copies; ++c) fPositions[size_t(k * copies + c)] = p;
}

// A partial that is undefined where the point exists gives a NaN
// component: such a normal is left for the mesh to form, like an infinite
// or zero one.
void AGridSurface::StoreNormal(int32_t k, const double (&du)[3], const double (&dv)[3]) {
  const double n[3] = {du[1] * dv[2] - du[2] * dv[1], du[2] * dv[0] - du[0] * dv[2], du[0] * dv[1] - du[1] * dv[0]};
  const Vertex normal{float(n[0]), float(n[1]), float(n[2])};
  if (!IsFinitePoint(normal.x, normal.y, normal.z) || (normal.x == 0 && normal.y == 0 && normal.z == 0)) {
    fNormalsComplete = false;
    return;
  }
  const int32_t copies = fCopies;
  for (int32_t c = 0; c < copies; ++c) fNormals[size_t(k * copies + c)] = normal;
}

void AGridSurface::DoColorsAndClipping(int32_t i, int32_t j, double x, double y, double z, double du, double dv) {
  const int32_t k = i * fN + j;
  const double u = *fUMin + du * i, v = *fVMin + dv * j;
  if (fConditionEvaluated) {
    fValid[size_t(k)] = fCondition->Evaluate(u, v, x, y, z, 0) == 1.0;
    if (!fValid[size_t(k)]) return;
  }
  const double p[4] = {x, y, z, 0};
  ColourGridPoint(*fColour, fColourType, i, j, fN, fCopies, u, v, p, fColours.get(), fTexCoords.get());
  fValid[size_t(k)] = IsFinitePoint(x, y, z);
  if (fValid[size_t(k)]) StorePoint(k, x, y, z);
}

// Points left out hold no position: the radius is taken over each run of
// valid points at once.
double AGridSurface::ValidPointsRadius() const {
  const int32_t points = fN * fN;
  double radius = 0;
  for (int32_t k = 0; k < points;) {
    if (!fValid[size_t(k)]) {
      ++k;
      continue;
    }
    int32_t end = k + 1;
    while (end < points && fValid[size_t(end)]) ++end;
    radius = std::max(radius, CalculateMaximumModelSpaceRadius(&fPositions[size_t(k * fCopies)], (end - k) * fCopies,
                                                               fJobContext.space));
    k = end;
  }
  return radius;
}

int32_t AGridSurface::Compute(int32_t slice) {
  if (!HasSpace()) return fJobs.Finish(slice, kComputeNothingToDo, fJobContext.document);
  const int32_t n = fN;
  const double du = (*fUMax - *fUMin) / (n - 1), dv = (*fVMax - *fVMin) / (n - 1);
  MGridVariables grid;
  AnExpression::SetupGrid(*fUMin, *fVMin, du, dv, n, n, fGridData.get(), &grid);
  const int32_t count = fAnalyticNormals ? 9 : 3;
  AnExpression* const all[9] = {fX.get(),           fY.get(),           fZ.get(),
                                fPartials[0].get(), fPartials[1].get(), fPartials[2].get(),
                                fPartials[3].get(), fPartials[4].get(), fPartials[5].get()};
  bool byRow = fGridData != nullptr;
  for (int32_t e = 0; e < count; ++e) byRow = byRow && all[e]->GridMachine() != nullptr && all[e]->ArrayFlag() == 1;
  // Without a condition to test or a colour to give, a point is kept as it
  // stands.
  const bool plain = !fConditionEvaluated && !ColoursEachGridPoint(fColourType);
  uint8_t* const valid = fValid.get();
  std::vector<double> rows(size_t(9 * n));
  for (int32_t j = 0; j < n; ++j) {
    if (byRow) {
      for (int32_t e = 0; e < count; ++e) all[e]->EvaluateArrayOnGrid(j, &grid, &rows[size_t(e * n)]);
      if (fJobs.Cancelled()) return fJobs.Finish(slice, kComputeCancelled, fJobContext.document);
    }
    for (int32_t i = 0; i < n; ++i) {
      double value[9];
      for (int32_t e = 0; e < count; ++e)
        value[e] = byRow ? rows[size_t(e * n + i)] : all[e]->EvaluateOnGrid(i, j, &grid);
      if (!byRow && fJobs.Cancelled()) return fJobs.Finish(slice, kComputeCancelled, fJobContext.document);
      const int32_t k = i * n + j;
      valid[k] = NoInfinity(value[0], value[1], value[2]);
      if (!valid[k]) continue;
      if (fAnalyticNormals) StoreNormal(k, {value[3], value[4], value[5]}, {value[6], value[7], value[8]});
      if (!plain) {
        DoColorsAndClipping(i, j, value[0], value[1], value[2], du, dv);
      } else if ((valid[k] = IsFinitePoint(value[0], value[1], value[2]))) {
        StorePoint(k, value[0], value[1], value[2]);
      }
    }
  }
  if (!fAnalyticNormals) fNormalsComplete = false;
  if (!fNormalsComplete) FixBadNormals(fPositions.get(), fNormals.get(), fValid.get(), n, fCopies);
  fTriangleCount = fColourType == AGraphColor::kHidden
                       ? 0
                       : TriangulateGrid(fValid.get(), n, GridCornerCopies(fColourType), fTriangles.get());
  fMaximumRadius.store(ValidPointsRadius(), std::memory_order_release);
  return fJobs.Finish(slice, kComputeFinished, fJobContext.document);
}
