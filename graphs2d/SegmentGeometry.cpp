#include "graphs2d/SegmentGeometry.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "CoreUtilities/MathConstants.h"

namespace {
bool AllFinite(std::initializer_list<double> values) {
  return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

// Narrows [*lo, *hi] to the parameters t where low < p + t dp < high.
bool NarrowToOpenSlab(double p, double dp, double low, double high, double* lo, double* hi) {
  if (dp == 0) return low < p && p < high;
  double t1 = (low - p) / dp, t2 = (high - p) / dp;
  if (t1 > t2) std::swap(t1, t2);
  *lo = std::max(*lo, t1);
  *hi = std::min(*hi, t2);
  return *lo < *hi;
}

bool WithinSpan(double v, double a, double b, double tolerance) {
  return v >= std::min(a, b) - tolerance && v <= std::max(a, b) + tolerance;
}
}  // namespace

double DistanceToSegmentSquared(double px, double py, double ax, double ay, double bx, double by) {
  if (!AllFinite({px, py, ax, ay, bx, by})) return gInf;
  const double ux = ax - px, uy = ay - py, wx = bx - px, wy = by - py;
  const double ex = bx - ax, ey = by - ay;
  const double ue = ux * ex + uy * ey, we = wx * ex + wy * ey;
  const double uu = ux * ux + uy * uy;
  if (ue < 0 && we > 0) return std::max(0.0, uu - ue * ue / (ex * ex + ey * ey));
  return std::min(uu, wx * wx + wy * wy);
}

void FindClosestPointOnSegment(double px, double py, double ax, double ay, double bx, double by, double* cx,
                               double* cy) {
  const double ux = ax - px, uy = ay - py, wx = bx - px, wy = by - py;
  const double ex = bx - ax, ey = by - ay;
  const double ue = ux * ex + uy * ey, we = wx * ex + wy * ey;
  if (ue < 0 && we > 0) {
    const double f = ue / (ex * ex + ey * ey);
    *cx = ax - ex * f;
    *cy = ay - ey * f;
  } else if (ux * ux + uy * uy <= wx * wx + wy * wy) {
    *cx = ax, *cy = ay;
  } else {
    *cx = bx, *cy = by;
  }
}

bool IsLineInRect(double x1, double y1, double x2, double y2, double xmin, double xmax, double ymax, double ymin) {
  if (!AllFinite({x1, y1, x2, y2})) return false;
  double lo = 0, hi = 1;
  return NarrowToOpenSlab(x1, x2 - x1, xmin, xmax, &lo, &hi) && NarrowToOpenSlab(y1, y2 - y1, ymin, ymax, &lo, &hi);
}

void ClipLineToCircle(double cx, double cy, double r, double* x1, double* y1, double* x2, double* y2) {
  const double r2 = r * r;
  const auto inside = [&](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) < r2; };
  if (inside(*x1, *y1) && inside(*x2, *y2)) return;
  const double ax = *x1, ay = *y1, bx = *x2, by = *y2;
  *x1 = *x2 = cx + r;
  *y1 = *y2 = cy;
  // Parametrised along the longer axis: q is that coordinate, the other is
  // o = oa + m (q - qa).
  const bool alongX = std::fabs(bx - ax) >= std::fabs(by - ay);
  const double qa = alongX ? ax : ay, qb = alongX ? bx : by;
  const double oa = alongX ? ay : ax, ob = alongX ? by : bx;
  const double qc = alongX ? cx : cy, oc = alongX ? cy : cx;
  if (qa == qb) return;
  const double m = (ob - oa) / (qb - qa);
  // (q - qc)^2 + (oa - oc + m (q - qa))^2 = r^2 in q.
  const double k = oa - oc - m * qa;
  const double A = 1 + m * m, B = 2 * (m * k - qc), C = qc * qc + k * k - r2;
  const double disc = B * B - 4 * A * C;
  if (!(disc >= 0)) return;
  const double root = std::sqrt(disc);
  const double enter = (-B - root) / (2 * A), leave = (-B + root) / (2 * A);
  const double low = std::max(std::min(qa, qb), enter), high = std::min(std::max(qa, qb), leave);
  if (!(low <= high)) return;
  const double qStart = qa <= qb ? low : high, qEnd = qa <= qb ? high : low;
  const auto other = [&](double q) { return oa + m * (q - qa); };
  const double startQ = inside(ax, ay) ? qa : qStart, endQ = inside(bx, by) ? qb : qEnd;
  const double startO = startQ == qa ? oa : other(startQ), endO = endQ == qb ? ob : other(endQ);
  *x1 = alongX ? startQ : startO, *y1 = alongX ? startO : startQ;
  *x2 = alongX ? endQ : endO, *y2 = alongX ? endO : endQ;
}

bool DoSegmentsIntersect(fPoint a1, fPoint a2, fPoint b1, fPoint b2, fPoint* out) {
  if (!AllFinite({a1.x, a1.y, a2.x, a2.y, b1.x, b1.y, b2.x, b2.y})) return false;
  const bool aVertical = a1.x == a2.x, bVertical = b1.x == b2.x;
  if (aVertical && bVertical) return false;
  const double m1 = aVertical ? 0 : (a2.y - a1.y) / (a2.x - a1.x);
  const double m2 = bVertical ? 0 : (b2.y - b1.y) / (b2.x - b1.x);
  double x, y;
  if (aVertical) {
    x = a1.x, y = b1.y + m2 * (x - b1.x);
  } else if (bVertical) {
    x = b1.x, y = a1.y + m1 * (x - a1.x);
  } else {
    if (m1 == m2) return false;
    const double c1 = a1.y - m1 * a1.x, c2 = b1.y - m2 * b1.x;
    x = (c2 - c1) / (m1 - m2);
    y = (m1 * c2 - m2 * c1) / (m1 - m2);
  }
  const double tx =
      16 * gDoubleEpsilon * std::max({std::fabs(a1.x), std::fabs(a2.x), std::fabs(b1.x), std::fabs(b2.x)});
  const double ty =
      16 * gDoubleEpsilon * std::max({std::fabs(a1.y), std::fabs(a2.y), std::fabs(b1.y), std::fabs(b2.y)});
  if (!WithinSpan(x, a1.x, a2.x, tx) || !WithinSpan(x, b1.x, b2.x, tx) || !WithinSpan(y, a1.y, a2.y, ty) ||
      !WithinSpan(y, b1.y, b2.y, ty)) {
    return false;
  }
  *out = fPoint{gNaN, x, y};
  return true;
}

bool DoSegmentsOverlap(fPoint a1, fPoint a2, fPoint b1, fPoint b2) {
  if (!AllFinite({a1.x, a1.y, a2.x, a2.y, b1.x, b1.y, b2.x, b2.y})) return false;
  const double ax = a2.x - a1.x, ay = a2.y - a1.y, bx = b2.x - b1.x, by = b2.y - b1.y;
  if ((ax == 0 && ay == 0) || (bx == 0 && by == 0)) return false;
  // Slopes in the form that is finite for the first segment.
  const bool steep = std::fabs(ax) < std::fabs(ay);
  const double ma = steep ? ax / ay : ay / ax, mb = steep ? bx / by : by / bx;
  if (!std::isfinite(mb) || std::fabs(ma - mb) > 1e-6 * std::max(std::fabs(ma), std::fabs(mb))) return false;
  // b1 on a's line, within 1e-4 of a's squared length.
  const double aa = ax * ax + ay * ay;
  const double cross = ax * (b1.y - a1.y) - ay * (b1.x - a1.x);
  if (cross * cross / aa > 1e-4 * aa) return false;
  const double alo = steep ? std::min(a1.y, a2.y) : std::min(a1.x, a2.x);
  const double ahi = steep ? std::max(a1.y, a2.y) : std::max(a1.x, a2.x);
  const double blo = steep ? std::min(b1.y, b2.y) : std::min(b1.x, b2.x);
  const double bhi = steep ? std::max(b1.y, b2.y) : std::max(b1.x, b2.x);
  return std::min(ahi, bhi) > std::max(alo, blo);
}
