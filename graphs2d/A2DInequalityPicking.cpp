#include <algorithm>
#include <cmath>

#include "platform/CheckedConvert.h"
#include "graphs2d/A2DInequality.h"
#include "graphs2d/A2DTransform.h"
#include "graphs2d/RootFinding.h"

bool A2DInequality::IsPointOverCurve(double x, double y) {
  if (!fBitmap.Exists() || !IsVisibleColour()) return false;
  return NearImplicitFunction(fBoundary.get(), 0.0, x, y, 4 * fTransform.xUnitsPerPixel, 4 * fTransform.yUnitsPerPixel);
}

Neighborhood A2DInequality::GetNeighborhood(double x, double y, double radius, double, double) {
  if (!fBitmap.Exists() || fBoundary == nullptr || !IsVisibleColour()) return Neighborhood{};
  const A2DTransform& t = fTransform;
  return ImplicitFunctionNeighborhood(fBoundary.get(), 0.0, x, y, radius, radius * t.yUnitsPerPixel / t.xUnitsPerPixel);
}

// A set pixel is on the boundary unless its eight neighbours (clamped at
// the map's edges) are all set too; the nearest such pixel centre wins.
void A2DInequality::FindBoundary(double x, double y, double weight, int32_t h, int32_t v, int32_t* bestH,
                                 int32_t* bestV, double* best) const {
  if (!fBitmap.Contains(h, v) || fBitmap.Get(h, v) == 0) return;
  const MRect& f = fBitmap.Frame();
  bool interior = true;
  for (int32_t dv = -1; dv <= 1 && interior; ++dv) {
    for (int32_t dh = -1; dh <= 1 && interior; ++dh) {
      const int32_t nh = std::clamp<int32_t>(h + dh, f.left, f.right - 1);
      const int32_t nv = std::clamp<int32_t>(v + dv, f.top, f.bottom - 1);
      interior = fBitmap.Get(nh, nv) != 0;
    }
  }
  if (interior) return;
  const double cx = fTransform.ITOX(h) - x, cy = fTransform.ITOY(v) - y;
  const double distance = cx * cx + weight * cy * cy;
  if (distance < *best) *bestH = h, *bestV = v, *best = distance;
}

Selection A2DInequality::GetSelection(double x, double y) {
  Selection selection;
  if (!fBitmap.Exists() || !IsVisibleColour()) return selection;
  const A2DTransform& t = fTransform;
  const int32_t ph = WorldToPixel(x, t.xPixelsPerUnit, t.xOrigin), pv = WorldToPixel(y, t.yPixelsPerUnit, t.yOrigin);
  const double weight = (t.xUnitsPerPixel / t.yUnitsPerPixel) * (t.xUnitsPerPixel / t.yUnitsPerPixel);
  int32_t bestH = 0, bestV = 0;
  double best = INFINITY;
  int32_t limit = std::max(fBitmap.Width(), fBitmap.Height());
  for (int32_t k = 0; k < limit; ++k) {
    const double before = best;
    for (int32_t h = ph - k; h <= ph + k; ++h) {
      FindBoundary(x, y, weight, h, pv - k, &bestH, &bestV, &best);
      FindBoundary(x, y, weight, h, pv + k, &bestH, &bestV, &best);
    }
    for (int32_t v = pv - k + 1; v <= pv + k - 1; ++v) {
      FindBoundary(x, y, weight, ph - k, v, &bestH, &bestV, &best);
      FindBoundary(x, y, weight, ph + k, v, &bestH, &bestV, &best);
    }
    if (best < before) limit = DoubleToInt32(std::sqrt(best) * t.xPixelsPerUnit + 1.0);
  }
  if (std::isinf(best)) return selection;
  double rx, ry;
  if (!ImplicitFunctionNearbyRoot(fBoundary.get(), 0.0, t.ITOX(bestH), t.ITOY(bestV), 2 * t.xUnitsPerPixel,
                                  2 * t.yUnitsPerPixel, x, y, &rx, &ry)) {
    return selection;
  }
  selection.x = rx;
  selection.y = ry;
  selection.kind = kSelectPoint;
  ImplicitFunctionSnapToAxes(fBoundary.get(), 0.0, 4 * t.xUnitsPerPixel, 4 * t.yUnitsPerPixel, &selection);
  return selection;
}
