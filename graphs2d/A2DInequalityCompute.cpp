#include <cmath>

#include "evaluation/AnExpression.h"
#include "graphs2d/A2DInequality.h"
#include "CoreUtilities/drawing/TwoBitMaps.h"
#include "graphs2d/A2DTransform.h"
#include "graphs2d/RootFinding.h"

// The transform's values as a slice found them. Every box edge comes from
// the one formula of its pixel line, so neighbouring boxes share their edges
// bit for bit and a rectangle's box is exactly the union of its pixels'.
struct A2DInequality::Geometry {
  double xOrigin, yOrigin, xUnitsPerPixel, yUnitsPerPixel;
  double XLine(int32_t h) const { return (h - xOrigin - 0.5) * xUnitsPerPixel; }
  double YLine(int32_t v) const { return -(v - yOrigin - 0.5) * yUnitsPerPixel; }
};

namespace {

constexpr int kLargestSettledSide = 10;
constexpr int kMayHold = 255;

bool IsTrue(double lo, double hi) { return lo == 1.0 && hi == 1.0; }
bool IsFalse(double lo, double hi) { return lo == 0.0 && hi == 0.0; }

// Halvings of a stretch of a pixel's border that a pole crosses: a curve
// that reaches the pole line is drawn up to it when it crosses the border
// farther than an 80th of a pixel from the pole.
constexpr int kPoleHalvingsOnBorder = 4;

// Whether the curve may cross the segment from (x0, y0) to (x1, y1) where
// its enclosure is bounded, halving toward the pole down to the given depth.
bool CrossesBesidePole(AnExpression* e, AnExpression* curve, double x0, double x1, double y0, double y1, int depth,
                       int64_t* evaluations) {
  double lo, hi;
  e->EvaluateIntervalExtension(x0, x1, y0, y1, &lo, &hi);
  if (evaluations) ++*evaluations;
  if (hi != 1.0) return false;
  curve->EvaluateIntervalExtension(x0, x1, y0, y1, &lo, &hi);
  if (!IsUnboundedEnclosure(lo, hi)) return true;
  if (depth == 0) return false;
  const double xm = 0.5 * (x0 + x1), ym = 0.5 * (y0 + y1);
  return CrossesBesidePole(e, curve, x0, xm, y0, ym, depth - 1, evaluations) ||
         CrossesBesidePole(e, curve, xm, x1, ym, y1, depth - 1, evaluations);
}

}  // namespace

int DividePixelMore(AnExpression* e, double x0, double x1, double y0, double y1, int64_t* evaluations,
                    AnExpression* curve) {
  constexpr int kParts = 5;
  const double dx = (x1 - x0) / kParts, dy = (y1 - y0) / kParts;
  const auto xLine = [&](int i) { return i == kParts ? x1 : x0 + i * dx; };
  const auto yLine = [&](int j) { return j == kParts ? y1 : y0 + j * dy; };
  bool poleCrosses[kParts][kParts] = {};
  const auto mayHold = [&](int i, int j) {
    double lo, hi;
    e->EvaluateIntervalExtension(xLine(i), xLine(i + 1), yLine(j), yLine(j + 1), &lo, &hi);
    if (evaluations) ++*evaluations;
    if (hi != 1.0 || curve == nullptr) return hi == 1.0;
    curve->EvaluateIntervalExtension(xLine(i), xLine(i + 1), yLine(j), yLine(j + 1), &lo, &hi);
    poleCrosses[i][j] = IsUnboundedEnclosure(lo, hi);
    return !poleCrosses[i][j];
  };
  for (int i = 0; i < kParts; ++i) {
    if (mayHold(i, i)) return kMayHold;
  }
  for (int i = 0; i < kParts; ++i) {
    if (i != kParts / 2 && mayHold(i, kParts - 1 - i)) return kMayHold;
  }
  for (int j = 0; j < kParts; ++j) {
    for (int i = 0; i < kParts; ++i) {
      if (i != j && i != kParts - 1 - j && mayHold(i, j)) return kMayHold;
    }
  }
  // A curve that reaches a pole inside the pixel runs on into a piece no
  // pole crosses, which held it above, or leaves the pixel through the
  // border of a piece a pole crosses, beside the pole.
  const auto crossesBorder = [&](double a0, double a1, double b0, double b1) {
    return CrossesBesidePole(e, curve, a0, a1, b0, b1, kPoleHalvingsOnBorder, evaluations);
  };
  for (int j = 0; j < kParts; ++j) {
    for (int i = 0; i < kParts; ++i) {
      if (!poleCrosses[i][j]) continue;
      if (i == 0 && crossesBorder(x0, x0, yLine(j), yLine(j + 1))) return kMayHold;
      if (i == kParts - 1 && crossesBorder(x1, x1, yLine(j), yLine(j + 1))) return kMayHold;
      if (j == 0 && crossesBorder(xLine(i), xLine(i + 1), y0, y0)) return kMayHold;
      if (j == kParts - 1 && crossesBorder(xLine(i), xLine(i + 1), y1, y1)) return kMayHold;
    }
  }
  return 0;
}

int32_t A2DInequality::Compute(int32_t slice) {
  if (!fBitmap.Exists() || slice < 0 || slice >= fStackCount) {
    return fJobs.Finish(slice, kComputeNothingToDo, fTransform.document);
  }
  if (slice == 0 && !fPlaneKnown) {
    double lo, hi;
    fCondition->EvaluateIntervalExtension(-INFINITY, INFINITY, -INFINITY, INFINITY, &lo, &hi);
    if (fJobs.Cancelled()) return fJobs.Finish(slice, kComputeCancelled, fTransform.document);
    fPlane[0] = lo, fPlane[1] = hi;
    fPlaneKnown = true;
  }
  const Geometry g{fTransform.xOrigin, fTransform.yOrigin, fTransform.xUnitsPerPixel, fTransform.yUnitsPerPixel};
  InequalityCounts counts;
  const int32_t status = ComputeStack(fStacks[slice], g, counts);
  fCounts[0].fetch_add(counts.rectangles, std::memory_order_relaxed);
  fCounts[1].fetch_add(counts.pixels, std::memory_order_relaxed);
  fCounts[2].fetch_add(counts.subBoxes, std::memory_order_relaxed);
  fCounts[3].fetch_add(counts.points, std::memory_order_relaxed);
  return fJobs.Finish(slice, status, fTransform.document);
}

int32_t A2DInequality::ComputeStack(AListofRectangles& stack, const Geometry& g, InequalityCounts& counts) {
  while (!stack.IsEmpty()) {
    if (fJobs.Cancelled()) return kComputeCancelled;
    const MRect r = stack.Pop();
    const int32_t width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0) continue;
    double lo, hi;
    fCondition->EvaluateIntervalExtension(g.XLine(r.left), g.XLine(r.right), g.YLine(r.bottom), g.YLine(r.top), &lo,
                                          &hi);
    ++counts.rectangles;
    if (fJobs.Cancelled()) {
      PushOrDrop(stack, r);
      return kComputeCancelled;
    }
    if (IsTrue(lo, hi)) {
      fBitmap.Fill(r, kTwoBitFull);
      continue;
    }
    if (IsFalse(lo, hi)) continue;
    if (width <= kLargestSettledSide && height <= kLargestSettledSide) {
      for (int32_t v = r.top; v < r.bottom; ++v) {
        for (int32_t h = r.left; h < r.right; ++h) {
          const int value = SettlePixel(h, v, g, counts);
          // A cancelled evaluation answers whatever it had reached: never
          // written, as 0 writes nothing and a wrong mark would stay.
          if (fJobs.Cancelled()) {
            PushOrDrop(stack, r);
            return kComputeCancelled;
          }
          if (value != 0) fBitmap.Set(h, v, value);
        }
      }
      continue;
    }
    // The half pushed last is worked first.
    if (width < 2 || width <= height) {
      const auto mid = static_cast<int16_t>(r.top + height / 2);
      PushOrDrop(stack, MRect{mid, r.left, r.bottom, r.right});
      PushOrDrop(stack, MRect{r.top, r.left, mid, r.right});
    } else {
      const auto mid = static_cast<int16_t>(r.left + width / 2);
      PushOrDrop(stack, MRect{r.top, mid, r.bottom, r.right});
      PushOrDrop(stack, MRect{r.top, r.left, r.bottom, mid});
    }
  }
  return kComputeFinished;
}

int A2DInequality::SettlePixel(int32_t h, int32_t v, const Geometry& g, InequalityCounts& counts) {
  const double x0 = g.XLine(h), x1 = g.XLine(h + 1), yTop = g.YLine(v), yBottom = g.YLine(v + 1);
  double lo, hi;
  fCondition->EvaluateIntervalExtension(x0, x1, yBottom, yTop, &lo, &hi);
  ++counts.pixels;
  if (std::isnan(hi) || IsFalse(lo, hi)) return kTwoBitEmpty;
  if (IsTrue(lo, hi)) return kTwoBitFull;
  if (fEquation) {
    return DividePixelMore(fCondition.get(), x0, x1, yBottom, yTop, &counts.subBoxes, fBoundary.get()) == kMayHold
               ? kTwoBitFull
               : kTwoBitEmpty;
  }
  const auto at = [&](double x, double y) {
    ++counts.points;
    return fCondition->Evaluate(0, 0, x, y, 0, 0);
  };
  switch (fPlottingMode) {
    case 0: return at(x0, yTop) == 1.0 ? kTwoBitFull : kTwoBitEmpty;
    case 1: return kTwoBitTint;
    default: {
      const double upperLeft = at(x0, yTop);
      const double others[3] = {at(x1, yBottom), at(x1, yTop), at(x0, yBottom)};
      for (double value : others) {
        // NaN differs from everything, itself included.
        if (!(value == upperLeft)) return kTwoBitTint;
      }
      if (DividePixelMore(fCondition.get(), x0, x1, yBottom, yTop, &counts.subBoxes) == kMayHold) return kTwoBitTint;
      return upperLeft == 1.0 ? kTwoBitFull : kTwoBitEmpty;
    }
  }
}
