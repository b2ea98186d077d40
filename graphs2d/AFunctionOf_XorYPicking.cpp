#include <cmath>
#include <limits>

#include "graphs2d/AFunctionOf_XorY.h"
#include "graphs2d/FunctionGraphColor.h"
#include "graphs2d/PixelClassification.h"
#include "graphs2d/RootFinding.h"
#include "graphs2d/SegmentGeometry.h"

namespace {
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool HasNaNEndpoint(double lo, double hi) { return std::isnan(lo) || std::isnan(hi); }

bool FindRootOfLevelZero(AnExpression* g, double a, double b, double* root) {
  return FindRoot(g, 0, 0, root, a, b, nullptr, 0, 0, nullptr, 0, 0);
}
}  // namespace

void AFunctionOf_XorY::StorePick(Selection* selection, double independent, double dependent) const {
  selection->x = fYOfX ? independent : dependent;
  selection->y = fYOfX ? dependent : independent;
}

namespace {
void StoreRanges(Selection* selection, bool yOfX, double iLow, double iHigh, double dLow, double dHigh) {
  double* independent = yOfX ? selection->xRange : selection->yRange;
  double* dependent = yOfX ? selection->yRange : selection->xRange;
  independent[0] = iLow, independent[1] = iHigh;
  dependent[0] = dLow, dependent[1] = dHigh;
}
}  // namespace

bool AFunctionOf_XorY::IsPointOverCurve(double x, double y) {
  if (fRecords == nullptr || IsCurveHidden(fColour.get())) return false;
  const int64_t k = ColumnOf(fYOfX ? x : y);
  const double q = fYOfX ? y : x;
  double low = INFINITY, high = -INFINITY;
  for (int64_t j = k - 2; j <= k + 2; ++j) {
    if (j < 0 || j >= fCount) continue;
    const dPoint& p = fRecords[j];
    if (p.type.load(std::memory_order_acquire) == kColumnPending) continue;
    if (p.lo < low) low = p.lo;
    if (p.hi > high) high = p.hi;
  }
  const double pixel = fYOfX ? fTransform.yUnitsPerPixel : fTransform.xUnitsPerPixel;
  return q >= low - 4 * pixel && q <= high + 4 * pixel;
}

Selection AFunctionOf_XorY::GetSelection(double x, double y) {
  Selection selection;
  if (fRecords == nullptr || IsCurveHidden(fColour.get())) return selection;
  const double v = fYOfX ? x : y;
  const int64_t k = ColumnOf(v);
  if (k < 0 || k >= fCount) return selection;
  const dPoint& p = fRecords[k];
  if (p.type.load(std::memory_order_acquire) == kColumnPending) return selection;
  const double w = ColumnWidth();
  switch (fMode) {
    case kPlotSampling:
      StorePick(&selection, v, EvaluateAt(fF.get(), v));
      selection.kind = kSelectPoint;
      break;
    case kPlotInterval:
      StorePick(&selection, v, (p.lo + p.hi) / 2);
      StoreRanges(&selection, fYOfX, v - w / 2, v + w / 2, p.lo, p.hi);
      selection.kind = kSelectBox;
      break;
    default:
      GetSelectionBestCase(v, w, static_cast<int32_t>(k), &selection);
      SnapToSpecialPoints(v, w, static_cast<int32_t>(k), &selection);
      break;
  }
  return selection;
}

void AFunctionOf_XorY::GetSelectionBestCase(double v, double w, int32_t k, Selection* selection) {
  const dPoint& p = fRecords[k];
  const int32_t type = p.type.load(std::memory_order_acquire);
  const double a = v - w / 2, b = v + w / 2;
  if (type == kColumnEnclosure || type == kColumnUndefined) {
    StorePick(selection, v, (p.lo + p.hi) / 2);
    StoreRanges(selection, fYOfX, a, b, p.lo, p.hi);
    selection->kind = kSelectBox;
  } else if (type == kColumnEdges && !IsPixelMonotonic(fF.get(), fFPrime.get(), a, b)) {
    double lo, hi;
    EncloseOver(fF.get(), a, b, &lo, &hi);
    StorePick(selection, v, (lo + hi) / 2);
    StoreRanges(selection, fYOfX, a, b, lo, hi);
    selection->kind = kSelectBox;
  } else {
    StorePick(selection, v, EvaluateAt(fF.get(), v));
    StoreRanges(selection, fYOfX, a, b, p.lo, p.hi);
    selection->kind = kSelectPoint;
  }
}

void AFunctionOf_XorY::SnapToSpecialPoints(double v, double w, int32_t k, Selection* selection) {
  selection->snapped = 0;
  AnExpression* f = fF.get();
  const auto at = [f](double u) { return EvaluateAt(f, u); };
  for (int d : {0, -1, 1, -2, 2, -3, 3}) {
    const int64_t j = int64_t{k} + d;
    if (j < 0 || j >= fCount) continue;
    const double a = v + (d - 0.5) * w, b = v + (d + 0.5) * w;
    const double eps = PrecisionScale(a, b);
    const int32_t leftType =
        j == 0 ? GetSingleDPointType(a - w, a) : fRecords[j - 1].type.load(std::memory_order_acquire);
    const int32_t rightType =
        j == fCount - 1 ? GetSingleDPointType(b, b + w) : fRecords[j + 1].type.load(std::memory_order_acquire);
    const int32_t type = fRecords[j].type.load(std::memory_order_acquire);
    double snapI = 0, snapD = 0;
    if (type == kColumnUndefined) {
      // An end of the domain or a hole: close in on the defined parts.
      if (leftType == kColumnUndefined && rightType == kColumnUndefined) continue;
      if (std::isnan(at(a)) && std::isnan(at(b))) continue;
      double left = a, right = b, h = b - a;
      bool leftMoved = false, rightMoved = false;
      for (int i = 0; i < 1024; ++i) {
        h /= 2;
        if (h < eps) break;
        double lo, hi;
        EncloseOver(f, left, left + h, &lo, &hi);
        if (!HasNaNEndpoint(lo, hi)) left += h, leftMoved = true;
        EncloseOver(f, right - h, right, &lo, &hi);
        if (!HasNaNEndpoint(lo, hi)) right -= h, rightMoved = true;
      }
      const bool leftDefined = leftMoved || !std::isnan(at(left - eps));
      const bool rightDefined = rightMoved || !std::isnan(at(right + eps));
      if (leftDefined && rightDefined) {
        if (right - left > 4 * eps) continue;
        const double m = (left + right) / 2;
        snapI = std::fabs(m) < eps ? 0 : m;
        snapD = kNaN;
      } else {
        if (leftDefined) {
          if (!std::isnan(at(left + w))) continue;
          snapI = left;
        } else {
          if (!std::isnan(at(right - w))) continue;
          snapI = right;
        }
        if (std::fabs(snapI) < 2 * eps) snapI = 0;
        snapD = at(snapI);
      }
    } else if (type == kColumnUnbounded) {
      // An asymptote: close in on the finite parts.
      double left = a, right = b, h = b - a;
      bool leftMoved = false, rightMoved = false, undefined = false;
      for (int i = 0; i < 1024 && !undefined; ++i) {
        h /= 2;
        if (h < eps) break;
        double lo, hi;
        EncloseOver(f, left, left + h, &lo, &hi);
        undefined = HasNaNEndpoint(lo, hi);
        if (std::isfinite(lo) && std::isfinite(hi)) left += h, leftMoved = true;
        EncloseOver(f, right - h, right, &lo, &hi);
        undefined = undefined || HasNaNEndpoint(lo, hi);
        if (std::isfinite(lo) && std::isfinite(hi)) right -= h, rightMoved = true;
      }
      if (undefined || right - left > 4 * eps) continue;
      if (!leftMoved && std::isinf(at(left - 2 * eps))) continue;
      if (!rightMoved && std::isinf(at(right + 2 * eps))) continue;
      const double m = std::fabs((left + right) / 2) < eps ? 0 : (left + right) / 2;
      if (const double fm = at(m); std::isinf(fm)) {
        snapI = m, snapD = fm;
      } else if (const double fl = at(left); std::isinf(fl)) {
        snapI = left, snapD = fl;
      } else if (const double fr = at(right); std::isinf(fr)) {
        snapI = right, snapD = fr;
      } else {
        double lo, hi;
        EncloseOver(f, left, right, &lo, &hi);
        snapI = right, snapD = hi == INFINITY ? INFINITY : -INFINITY;
      }
    } else {
      if (leftType == kColumnEnclosure || rightType == kColumnEnclosure) continue;
      double root;
      if (PixelHasOneCrossing(f, a, b) && FindRootOfLevelZero(f, a, b, &root)) {
        snapI = root, snapD = 0;
      } else if (PixelHasOneCrossing(fFPrime.get(), a, b) && FindRootOfLevelZero(fFPrime.get(), a, b, &root)) {
        snapI = root, snapD = at(root);
      } else {
        continue;
      }
    }
    const int64_t column = ColumnOf(snapI);
    if (column >= 0 && column < fCount) {
      StorePick(selection, snapI, snapD);
      selection->snapped = 1;
      selection->kind = kSelectPoint;
    } else {
      selection->kind = kSelectNothing;
    }
    return;
  }
}

bool AFunctionOf_XorY::PixelHasOneCrossing(AnExpression* g, double a, double b) {
  if (g == nullptr) return false;
  const double ga = EvaluateAt(g, a), gb = EvaluateAt(g, b);
  if (std::isnan(ga) || std::isnan(gb) || (ga >= 0) == (gb >= 0)) return false;
  const double eps = PrecisionScale(a, b);
  // A sample of exactly 0 counts as positive unless g stays 0 just past it.
  const auto signAt = [g, eps](double u, double value, int* sign) {
    if (value != 0) {
      *sign = value > 0 ? 1 : -1;
      return true;
    }
    *sign = 1;
    return EvaluateAt(g, u + eps) != 0;
  };
  int sign;
  if (ga == 0) {
    if (EvaluateAt(g, a - eps) == 0) return false;
    sign = 1;
  } else {
    sign = ga > 0 ? 1 : -1;
  }
  int crossings = 0;
  for (double t : gRandom2) {
    const double u = a + t * (b - a), value = EvaluateAt(g, u);
    if (std::isnan(value)) return false;
    int next;
    if (!signAt(u, value, &next)) return false;
    if (next != sign) {
      if (++crossings == 2) return false;
      sign = next;
    }
  }
  return crossings == 1;
}

Neighborhood AFunctionOf_XorY::GetNeighborhood(double x, double y, double radius, double parameterLow,
                                               double parameterHigh) {
  Neighborhood found;
  if (fRecords == nullptr || fMode != kPlotIntervalPixelTests || IsCurveHidden(fColour.get())) return found;
  double p = fYOfX ? x : y;
  const double q = fYOfX ? y : x;
  const double s = fTransform.yUnitsPerPixel / fTransform.xUnitsPerPixel;
  double aspect = s * s;
  if (!fYOfX) radius *= s, aspect = 1 / (s * s);
  const bool rangeGiven = !(parameterLow == -INFINITY && parameterHigh == INFINITY);
  if (rangeGiven) {
    // The curve's point nearest (p, q) within the range, by halving.
    double left = parameterLow, right = parameterHigh;
    double fLeft = EvaluateAt(fF.get(), left), fRight = EvaluateAt(fF.get(), right);
    const double eps = PrecisionScale(parameterLow, parameterHigh);
    for (int i = 0; i < 64; ++i) {
      const double h = (right - left) / 2;
      if (h < eps) break;
      const double m = left + h, fm = EvaluateAt(fF.get(), m);
      if (!std::isfinite(fm)) return found;
      if (DistanceToSegmentSquared(p, q, left, fLeft, m, fm) <= DistanceToSegmentSquared(p, q, m, fm, right, fRight)) {
        right = m, fRight = fm;
      } else {
        left = m, fLeft = fm;
      }
    }
    p = left;
  }
  const int64_t k = ColumnOf(p);
  if (k < 0 || k >= fCount || fRecords[k].type.load(std::memory_order_acquire) != kColumnEdges) return found;
  const double w = ColumnWidth(), fp = EvaluateAt(fF.get(), p);
  int totalSteps = 0;
  // Walks away from p while the curve keeps moving away from it.
  const auto walk = [&](int direction) {
    const int64_t end = ColumnOf(p + direction * radius);
    int allowed = 5;
    for (int64_t j = k + direction; j >= 0 && j < fCount && (direction > 0 ? j <= end : j >= end); j += direction) {
      if (fRecords[j].type.load(std::memory_order_acquire) != kColumnEdges) break;
      allowed += 10;
    }
    const double limit = p + direction * radius;
    double t = p, previous = 0;
    for (int i = 0; i < allowed; ++i) {
      double next = t + direction * w / 10;
      const bool last = direction > 0 ? next > limit : next < limit;
      if (last) {
        t = limit;
        ++totalSteps;
        break;
      }
      const double ft = EvaluateAt(fF.get(), next);
      const double distance = (ft - fp) * (ft - fp) * aspect + (next - p) * (next - p);
      if (distance < previous || std::isinf(distance)) break;
      previous = distance;
      t = next;
      ++totalSteps;
    }
    return t;
  };
  const double right = walk(1), left = walk(-1);
  const double fLeft = EvaluateAt(fF.get(), left), fRight = EvaluateAt(fF.get(), right);
  if (!(rangeGiven || totalSteps > 44) || !std::isfinite(fLeft) || !std::isfinite(fRight) || !std::isfinite(fp)) {
    return found;
  }
  const auto point = [this](double t, double value) { return fYOfX ? fPoint{t, t, value} : fPoint{t, value, t}; };
  found.before = point(left, fLeft);
  found.centre = point(p, fp);
  found.after = point(right, fRight);
  found.found = 1;
  return found;
}
