#include "graphs2d/IntersectionSnap.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "graphs2d/NumberRounding.h"
#include "graphs2d/SegmentGeometry.h"

namespace {

constexpr double kEpsilon = std::numeric_limits<double>::epsilon();
constexpr int kMaximumPasses = 100;
constexpr int kSnapDigits = 13;

bool ChordsCross(const Neighborhood& a, const Neighborhood& b, fPoint* crossing) {
  const fPoint chordsA[2][2] = {{a.before, a.centre}, {a.centre, a.after}};
  const fPoint chordsB[2][2] = {{b.before, b.centre}, {b.centre, b.after}};
  for (const auto& ca : chordsA) {
    for (const auto& cb : chordsB) {
      if (DoSegmentsIntersect(ca[0], ca[1], cb[0], cb[1], crossing)) return true;
    }
  }
  return false;
}

bool ChordsOverlap(const Neighborhood& a, const Neighborhood& b) {
  const fPoint chordsA[2][2] = {{a.before, a.centre}, {a.centre, a.after}};
  const fPoint chordsB[2][2] = {{b.before, b.centre}, {b.centre, b.after}};
  for (const auto& ca : chordsA) {
    for (const auto& cb : chordsB) {
      if (DoSegmentsOverlap(ca[0], ca[1], cb[0], cb[1])) return true;
    }
  }
  return false;
}

// Within about 37 degrees of a straight line at the centre.
bool NearlyStraight(const Neighborhood& n) {
  const double ux = n.before.x - n.centre.x, uy = n.before.y - n.centre.y;
  const double wx = n.after.x - n.centre.x, wy = n.after.y - n.centre.y;
  return ux * wx + uy * wy <= -0.8 * std::hypot(ux, uy) * std::hypot(wx, wy);
}

Neighborhood Retake(A2DGraph& graph, const Neighborhood& n, double x, double y, double radius) {
  return graph.GetNeighborhood(x, y, radius, n.before.parameter, n.after.parameter);
}

double Snapped(double v, double tolerance) { return std::fabs(v) < tolerance ? 0.0 : RoundDouble(v, kSnapDigits); }

}  // namespace

bool FindIntersectionAndSnap(Neighborhood a, Neighborhood b, A2DGraph& selected, A2DGraph& other, double unitsPerPixel,
                             Selection* out) {
  if (!a.found || !b.found || !(unitsPerPixel > 0) || !std::isfinite(unitsPerPixel)) return false;
  double r = 4 * unitsPerPixel;
  const double tolerance = 16 * kEpsilon * std::max({std::fabs(a.centre.x), std::fabs(a.centre.y), r});
  double previousDx = std::numeric_limits<double>::infinity(), previousDy = previousDx;
  double lastX = std::numeric_limits<double>::quiet_NaN(), lastY = lastX;
  for (int pass = 1;; ++pass) {
    if (pass > kMaximumPasses) return false;
    const double dx = std::fabs(a.centre.x - b.centre.x), dy = std::fabs(a.centre.y - b.centre.y);
    if (dx <= tolerance && dy <= tolerance) break;
    fPoint crossing;
    if (!ChordsCross(a, b, &crossing)) return false;
    a = Retake(selected, a, crossing.x, crossing.y, r);
    b = Retake(other, b, crossing.x, crossing.y, r);
    if (!a.found || !b.found || !NearlyStraight(a) || !NearlyStraight(b)) return false;
    const double newDx = std::fabs(a.centre.x - b.centre.x), newDy = std::fabs(a.centre.y - b.centre.y);
    if (pass > 3 && (newDx >= previousDx || newDy >= previousDy) && std::fabs(crossing.x - lastX) < tolerance &&
        std::fabs(crossing.y - lastY) < tolerance) {
      break;
    }
    previousDx = newDx, previousDy = newDy;
    lastX = crossing.x, lastY = crossing.y;
    r /= 2;
  }
  // Curves that share a stretch have no single crossing to snap to.
  const fPoint centre = a.centre;
  while (r > 1e-6 * unitsPerPixel) {
    if (ChordsOverlap(a, b)) return false;
    r /= 10;
    a = Retake(selected, a, centre.x, centre.y, r);
    b = Retake(other, b, centre.x, centre.y, r);
    if (!a.found || !b.found) break;
  }
  out->parameter = Snapped(centre.parameter, tolerance);
  out->x = Snapped(centre.x, tolerance);
  out->y = Snapped(centre.y, tolerance);
  out->snapped = 1;
  return true;
}
