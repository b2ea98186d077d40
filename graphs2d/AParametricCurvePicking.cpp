#include <cmath>

#include "evaluation/AnExpression.h"
#include "graphs2d/AParametricCurve.h"
#include "graphs2d/FunctionGraphColor.h"
#include "graphs2d/PixelClassification.h"
#include "graphs2d/RootFinding.h"
#include "graphs2d/SegmentGeometry.h"

namespace {
constexpr int kMostSteps = 10000;

bool FindCurveRoot(AnExpression* g, double a, double b, double* root) {
  return g != nullptr && FindRoot(g, 0, 0, root, a, b, nullptr, 0, 0, nullptr, 0, 0);
}
}  // namespace

bool AParametricCurve::DefinedAt(double t) const {
  return !std::isnan(fX->Evaluate(t)) && !std::isnan(fY->Evaluate(t));
}

double AParametricCurve::StepAt(double t, double pixels, double fallback) const {
  if (fXPrime == nullptr || fYPrime == nullptr) return fallback;
  const double ux = fTransform.xUnitsPerPixel, uy = fTransform.yUnitsPerPixel;
  const double s2 = (ux / uy) * (ux / uy);
  const double dx = fXPrime->Evaluate(t), dy = fYPrime->Evaluate(t);
  const double speed = std::sqrt(dx * dx + s2 * dy * dy);
  return std::isfinite(speed) && speed > 0 ? pixels * ux / speed : fallback;
}

bool AParametricCurve::IsPointOverCurve(double x, double y) {
  if (fPoints == nullptr || IsCurveHidden(fColour.get())) return false;
  const double ux = fTransform.xUnitsPerPixel;
  const int32_t computed = Computed();
  for (int32_t i = 1; i < computed; ++i) {
    const Point a = fPoints[i - 1], b = fPoints[i];
    if (DistanceToSegmentSquared(x, y, a.x, a.y, b.x, b.y) < 16 * ux * ux) {
      fPick.store(Parameter(i - 1), std::memory_order_relaxed);
      return true;
    }
  }
  return false;
}

double AParametricCurve::NearestSegmentStart(double x, double y) const {
  double best = INFINITY, start = NAN;
  const int32_t computed = Computed();
  for (int32_t i = 1; i < computed; ++i) {
    const Point a = fPoints[i - 1], b = fPoints[i];
    const double d = DistanceToSegmentSquared(x, y, a.x, a.y, b.x, b.y);
    if (d < best) best = d, start = Parameter(i - 1);
  }
  return start;
}

Selection AParametricCurve::GetSelection(double x, double y) {
  Selection selection;
  if (fPoints == nullptr || IsCurveHidden(fColour.get())) return selection;
  const double ux = fTransform.xUnitsPerPixel, uy = fTransform.yUnitsPerPixel;
  const double s2 = (ux / uy) * (ux / uy);
  const double tmin = fTMin.load(std::memory_order_relaxed), tmax = fTMax.load(std::memory_order_relaxed);
  const auto distance = [&](double t) {
    const double dx = fX->Evaluate(t) - x, dy = fY->Evaluate(t) - y;
    return dx * dx + s2 * dy * dy;
  };
  double t0 = fPick.load(std::memory_order_relaxed);
  // A NaN start would walk nowhere: it restarts like an infinite one.
  if (!std::isfinite(fX->Evaluate(t0)) || !std::isfinite(fY->Evaluate(t0))) {
    t0 = NearestSegmentStart(x, y);
    if (std::isnan(t0)) return selection;
  }
  const double fallback = (tmax - tmin) / kMostSteps;
  // Walks while the curve comes nearer.
  const auto walk = [&](int direction, double* reached) {
    double t = t0, d = distance(t0);
    for (int i = 0; i < kMostSteps && (direction > 0 ? t < tmax : t > tmin); ++i) {
      const double next = t + direction * StepAt(t, 1.0 / 3, fallback);
      const double dn = distance(next);
      if (!(dn <= d)) break;
      t = next, d = dn;
    }
    *reached = t;
    return d;
  };
  double forward, backward;
  const double dForward = walk(1, &forward), dBackward = walk(-1, &backward);
  const double t = dBackward <= dForward ? backward : forward;
  selection.parameter = t;
  selection.x = fX->Evaluate(t);
  selection.y = fY->Evaluate(t);
  selection.kind = fSelectionType;
  SnapToSpecialPoints(&selection);
  fPick.store(selection.parameter, std::memory_order_relaxed);
  return selection;
}

void AParametricCurve::SnapToSpecialPoints(Selection* selection) {
  selection->snapped = 1;
  const double ux = fTransform.xUnitsPerPixel;
  const double tmin = fTMin.load(std::memory_order_relaxed), tmax = fTMax.load(std::memory_order_relaxed);
  const double sx = selection->x, sy = selection->y, t0 = selection->parameter;
  const auto near = [&](double t) {
    const double dx = fX->Evaluate(t) - sx, dy = fY->Evaluate(t) - sy;
    return dx * dx + dy * dy < 16 * ux * ux;
  };
  // The parameter window where the curve stays within 4 pixels.
  const auto windowEnd = [&](int direction) {
    double t = t0;
    for (int i = 0; i < kMostSteps; ++i) {
      const double next = t + direction * StepAt(t, 1, (tmax - tmin) / 1000);
      if (!near(next)) break;
      t = next;
    }
    return t;
  };
  const double low = windowEnd(-1), high = windowEnd(1);
  const auto snapTo = [&](double t, double x, double y) {
    selection->parameter = t, selection->x = x, selection->y = y;
  };
  if (DefinedAt(low) && DefinedAt(high)) {
    double root;
    if (FindCurveRoot(fY.get(), low, high, &root)) {
      snapTo(root, fX->Evaluate(root), 0);
    } else if (FindCurveRoot(fX.get(), low, high, &root)) {
      snapTo(root, 0, fY->Evaluate(root));
    } else if (FindCurveRoot(fXPrime.get(), low, high, &root) || FindCurveRoot(fYPrime.get(), low, high, &root)) {
      snapTo(root, fX->Evaluate(root), fY->Evaluate(root));
    } else {
      selection->snapped = 0;
    }
    return;
  }
  // The curve is undefined at an end of the window: find where it stops.
  const bool upward = DefinedAt(low);
  const double direction = upward ? 1 : -1, eps = PrecisionScale(low, high);
  double t = upward ? low : high, step = (high - low) / 2;
  for (int i = 0; i < 64; ++i) {
    step /= 2;
    if (step < eps) break;
    if (DefinedAt(t + direction * step)) t += direction * step;
  }
  t += direction * eps;
  if (std::fabs(t) < eps) t = 0;
  snapTo(t, fX->Evaluate(t), fY->Evaluate(t));
}

Neighborhood AParametricCurve::GetNeighborhood(double x, double y, double radius, double parameterLow,
                                               double parameterHigh) {
  Neighborhood found;
  if (fPoints == nullptr || IsCurveHidden(fColour.get())) return found;
  const double tmin = fTMin.load(std::memory_order_relaxed), tmax = fTMax.load(std::memory_order_relaxed);
  const double lo = std::max(tmin, parameterLow), hi = std::min(tmax, parameterHigh);
  const auto at = [this](double t) { return Point{fX->Evaluate(t), fY->Evaluate(t)}; };
  const auto segment = [&](double t1, double t2) {
    const Point a = at(t1), b = at(t2);
    return DistanceToSegmentSquared(x, y, a.x, a.y, b.x, b.y);
  };
  // The nearest of 100 segments, then halvings of it.
  const double step = (hi - lo) / 100;
  int nearest = -1;
  double best = INFINITY;
  for (int i = 0; i < 100; ++i) {
    const double d = segment(lo + i * step, i == 99 ? hi : lo + (i + 1) * step);
    if (d < best) best = d, nearest = i;
  }
  if (nearest < 0) return found;
  const double start = lo + nearest * step;
  double left = start, right = nearest == 99 ? hi : start + step;
  const double eps = PrecisionScale(lo, hi);
  for (int i = 0; i < 64 && right - left >= eps; ++i) {
    const double m = (left + right) / 2;
    if (segment(left, m) <= segment(m, right)) {
      right = m;
    } else {
      left = m;
    }
  }
  const double centre = left;
  const Point c = at(centre);
  if (!std::isfinite(c.x) || !std::isfinite(c.y)) return found;
  const Point anchor = at(start);
  const double halfHeight = radius * fTransform.yUnitsPerPixel / fTransform.xUnitsPerPixel;
  const auto walk = [&](int direction) {
    double t = centre, d = -INFINITY;
    for (int i = 0; i < 200; ++i) {
      const double next = t + direction * step;
      if (direction > 0 ? next > tmax : next < tmin) break;
      const Point p = at(next);
      if (!std::isfinite(p.x) || !std::isfinite(p.y)) break;
      const double dn = (p.x - anchor.x) * (p.x - anchor.x) + (p.y - anchor.y) * (p.y - anchor.y);
      if (!(dn > d) || std::fabs(p.x - anchor.x) > radius || std::fabs(p.y - anchor.y) > halfHeight) break;
      t = next, d = dn;
    }
    return t;
  };
  const double before = walk(-1), after = walk(1);
  const Point b = at(before), a = at(after);
  found.before = fPoint{before, b.x, b.y};
  found.centre = fPoint{centre, c.x, c.y};
  found.after = fPoint{after, a.x, a.y};
  found.found = 1;
  return found;
}
