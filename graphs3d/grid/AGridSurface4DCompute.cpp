#include <cmath>

#include "graphs3d/grid/AGridSurface4D.h"
#include "graphs3d/grid/GridColours.h"
#include "graphs3d/grid/GridMesh.h"

namespace {

bool AllFinite(const double* v, int count) {
  for (int k = 0; k < count; ++k)
    if (!std::isfinite(v[k])) return false;
  return true;
}

}  // namespace

// Grid point (i, j): valid when its four coordinates and their normalised
// values are finite (NaN included) and its condition is exactly 1.
bool AGridSurface4D::ComputePoint(int32_t i, int32_t j, MGridVariables* grid) {
  const int32_t k = i * fN + j;
  AnExpression* const all[12] = {fX.get(),           fY.get(),           fZ.get(),           fW.get(),
                                 fPartials[0].get(), fPartials[1].get(), fPartials[2].get(), fPartials[3].get(),
                                 fPartials[4].get(), fPartials[5].get(), fPartials[6].get(), fPartials[7].get()};
  double p[4];
  for (int e = 0; e < 4; ++e) p[e] = all[e]->EvaluateOnGrid(i, j, grid);
  fTangents[size_t(k)] = {};
  fValid[size_t(k)] = 0;
  if (!AllFinite(p, 4)) return false;
  const double u = fU[0] + i * (fU[1] - fU[0]) / (fN - 1), v = fV[0] + j * (fV[1] - fV[0]) / (fN - 1);
  if (fCondition && fCondition->Evaluate(u, v, p[0], p[1], p[2], p[3]) != 1.0) return false;
  double scale[4], normalised[4];
  for (int c = 0; c < 4; ++c) {
    scale[c] = 2 / (fRanges[c][1] - fRanges[c][0]);
    normalised[c] = scale[c] * (p[c] - (fRanges[c][0] + fRanges[c][1]) / 2);
  }
  if (!AllFinite(normalised, 4)) return false;
  if (fAnalytic) {
    double partial[8];
    for (int e = 0; e < 8; ++e) partial[e] = all[4 + e]->EvaluateOnGrid(i, j, grid);
    // Tangents of the normalised surface; an unusable one leaves zeros.
    if (AllFinite(partial, 8)) {
      Tangents& t = fTangents[size_t(k)];
      for (int c = 0; c < 4; ++c) t.du[c] = float(scale[c] * partial[c]), t.dv[c] = float(scale[c] * partial[4 + c]);
    }
  }
  ColourGridPoint(*fColour, fColourType, i, j, fN, fCopies, u, v, p, fColours.get(), fTexCoords.get());
  fPoints[size_t(k)] = {normalised[0], normalised[1], normalised[2], normalised[3]};
  fValid[size_t(k)] = 1;
  return true;
}

int32_t AGridSurface4D::Compute(int32_t slice) {
  DocumentRecord* document = fJobContext.document;
  if (!HasSpace()) return fJobs.Finish(slice, kComputeNothingToDo, document);
  const int32_t n = fN;
  MGridVariables grid;
  AnExpression::SetupGrid(fU[0], fV[0], (fU[1] - fU[0]) / (n - 1), (fV[1] - fV[0]) / (n - 1), n, n, fGridData.get(),
                          &grid);
  double largest = 0;
  for (int32_t i = 0; i < n; ++i) {
    for (int32_t j = 0; j < n; ++j) {
      if (ComputePoint(i, j, &grid)) {
        const A4Vector& q = fPoints[size_t(i * n + j)];
        largest = std::max(largest, q.a * q.a + q.b * q.b + q.c * q.c + q.d * q.d);
      }
      if (fJobs.Cancelled()) return fJobs.Finish(slice, kComputeCancelled, document);
    }
  }
  fTriangleCount = fColourType == AGraphColor::kHidden
                       ? 0
                       : TriangulateGrid(fValid.get(), n, GridCornerCopies(fColourType), fTriangles.get());
  fLargestSquare.store(largest, std::memory_order_release);
  return fJobs.Finish(slice, kComputeFinished, document);
}
