#include "graphs2d/RootFinding.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "CoreUtilities/MathConstants.h"
#include "evaluation/AnExpression.h"
#include "expression/VariableIds.h"
#include "graphs2d/NumberRounding.h"

namespace {

struct Segment {
  double x0, x1, y0, y1, z0, z1;
  double X(double s) const { return x0 + s * (x1 - x0); }
  double Y(double s) const { return y0 + s * (y1 - y0); }
  double Z(double s) const { return z0 + s * (z1 - z0); }
};

// An expression evaluated at (x, 0, x, y, z, 0).
class AnExpressionInSpace : public ASpaceFunction {
 public:
  AnExpressionInSpace(AnExpression* e, bool alongX) : fExpression(e), fAlongX(alongX) {}
  double At(double x, double y, double z) override { return fExpression->Evaluate(x, 0, x, y, z, 0); }
  void Enclose(double x0, double x1, double y0, double y1, double z0, double z1, double* lo, double* hi) override {
    EncloseInSpace(fExpression, fAlongX, x0, x1, y0, y1, z0, z1, lo, hi);
  }

 private:
  AnExpression* fExpression;
  bool fAlongX;
};

double ValueAt(ASpaceFunction& e, double level, const Segment& g, double s) {
  return e.At(g.X(s), g.Y(s), g.Z(s)) - level;
}

// Where a root was found, f - level there, and whether to clean the point.
struct Root {
  double s;
  double value;
  bool clean;
};

// False on a NaN value.
bool LocateRoot(ASpaceFunction& e, double level, double t, double f0, double f1, const Segment& g, Root* root) {
  if (f0 == 0) return *root = {0, 0, true}, true;
  if (f1 == 0) return *root = {1, 0, true}, true;
  double lo = 0, hi = 1, flo = f0, fhi = f1, previous = gInf;
  for (int step = 0; step < 16; ++step) {
    if (std::fabs(fhi / flo) < gDoubleEpsilon || std::fabs(flo / fhi) < gDoubleEpsilon) break;
    const double s = lo - (hi - lo) * flo / (fhi - flo);
    const double fs = ValueAt(e, level, g, s);
    if (std::isnan(fs)) return false;
    if ((fs < 0) == (flo < 0)) {
      lo = s, flo = fs;
    } else {
      hi = s, fhi = fs;
    }
    const double change = std::fabs(s - previous);
    if (change < t || change < s * gDoubleEpsilon || fs == 0) return *root = {s, fs, t == 0}, true;
    previous = s;
  }
  // Bisection from the end where f <= 0 toward the other.
  double negative = flo <= 0 ? lo : hi, positive = flo <= 0 ? hi : lo;
  double s = negative, fs = flo <= 0 ? flo : fhi;
  for (int halving = 0; halving < 1024; ++halving) {
    const double stepSize = std::fabs(positive - negative);
    if (stepSize < t || stepSize < std::fabs(negative) * gDoubleEpsilon || stepSize == 0) break;
    s = 0.5 * (negative + positive);
    fs = ValueAt(e, level, g, s);
    if (std::isnan(fs)) return false;
    if (fs == 0) break;
    (fs < 0 ? negative : positive) = s;
  }
  return *root = {s, fs, true}, true;
}

constexpr int kPoleHalvings = 6;

// How far each piece's box reaches beyond it on every axis. A lattice point
// that a pole passes through may lie an ulp to either side of it, and point
// and interval evaluation may round it to different sides: reaching past
// the point by a little more than rounding moves it, the piece still holds
// the pole, and such a point counts as on it, neither inside nor outside.
double PoleReach(const Segment& g) {
  const double length = std::max({std::fabs(g.x1 - g.x0), std::fabs(g.y1 - g.y0), std::fabs(g.z1 - g.z0)});
  const double magnitude =
      std::max({std::fabs(g.x0), std::fabs(g.x1), std::fabs(g.y0), std::fabs(g.y1), std::fabs(g.z0), std::fabs(g.z1)});
  return 1e-9 * length + 64 * gDoubleEpsilon * magnitude;
}

// As HasPoleBetween, along the segment from a to b.
bool HasPole(ASpaceFunction& e, const Segment& g, double reach, double a, double b, int halvings) {
  const auto side = [reach](double u, double v, double* lo, double* hi) {
    *lo = std::min(u, v) - reach, *hi = std::max(u, v) + reach;
  };
  double x0, x1, y0, y1, z0, z1, lo, hi;
  side(g.X(a), g.X(b), &x0, &x1);
  side(g.Y(a), g.Y(b), &y0, &y1);
  side(g.Z(a), g.Z(b), &z0, &z1);
  e.Enclose(x0, x1, y0, y1, z0, z1, &lo, &hi);
  if (!IsUnboundedEnclosure(lo, hi)) return false;
  if (halvings == 0) return true;
  const double m = 0.5 * (a + b);
  return HasPole(e, g, reach, a, m, halvings - 1) || HasPole(e, g, reach, m, b, halvings - 1);
}

bool HasPole(ASpaceFunction& e, const Segment& g) { return HasPole(e, g, PoleReach(g), 0, 1, kPoleHalvings); }

// The value at the root must be small against those at the ends (a jump
// leaves it as large as they are; a pole larger), and no pole may lie
// between them.
bool IsContinuousCrossing(ASpaceFunction& e, const Segment& g, double f0, double f1, const Root& root,
                          bool testForPoles) {
  if (!(std::fabs(root.value) <= 0.5 * std::max(std::fabs(f0), std::fabs(f1)))) return false;
  return !testForPoles || !HasPole(e, g);
}

bool Write(const Segment& g, double s, bool clean, double* x, double* y, double* z) {
  *x = clean ? CleanDouble(g.x0, g.x1, s) : g.X(s);
  if (y) *y = clean ? CleanDouble(g.y0, g.y1, s) : g.Y(s);
  if (z) *z = clean ? CleanDouble(g.z0, g.z1, s) : g.Z(s);
  return true;
}

bool FindRootOn(ASpaceFunction& e, double level, double t, double f0, double f1, const Segment& g, double* x, double* y,
                double* z, bool testForPoles = true, double margin = 0) {
  Root root;
  if (!LocateRoot(e, level, t, f0, f1, g, &root) || !IsContinuousCrossing(e, g, f0, f1, root, testForPoles)) {
    return false;
  }
  return Write(g, std::clamp(root.s, margin, 1 - margin), root.clean, x, y, z);
}

}  // namespace

void ASpaceFunction::Enclose(double, double, double, double, double, double, double* lo, double* hi) {
  *lo = *hi = gNaN;
}

void EncloseInSpace(AnExpression* e, bool alongX, double x0, double x1, double y0, double y1, double z0, double z1,
                    double* lo, double* hi) {
  const bool readsU = e->Contains(kIdU);
  if (alongX && !e->Contains(kIdX)) {
    e->EvaluateIntervalExtension(x0, x1, lo, hi);
  } else if (!readsU) {
    e->EvaluateIntervalExtension(x0, x1, alongX ? 0 : y0, alongX ? 0 : y1, alongX ? 0 : z0, alongX ? 0 : z1, lo, hi);
  } else {
    *lo = *hi = gNaN;
  }
}

bool HasPoleBetween(AnExpression* e, double a, double b) {
  AnExpressionInSpace f(e, true);
  return HasPole(f, Segment{a, b, 0, 0, 0, 0});
}

bool FindRoot(ASpaceFunction& f, double level, double tolerance, double f0, double f1, double* x, double x0, double x1,
              double* y, double y0, double y1, double* z, double z0, double z1, bool testForPoles, double margin) {
  return FindRootOn(f, level, tolerance, f0, f1, Segment{x0, x1, y0, y1, z0, z1}, x, y, z, testForPoles, margin);
}

bool FindRoot(AnExpression* e, double level, double tolerance, double f0, double f1, double* x, double x0, double x1,
              double* y, double y0, double y1, double* z, double z0, double z1) {
  AnExpressionInSpace f(e, y == nullptr);
  return FindRootOn(f, level, tolerance, f0, f1, Segment{x0, x1, y0, y1, z0, z1}, x, y, z);
}

bool FindRoot(AnExpression* e, double level, double tolerance, double* x, double x0, double x1, double* y, double y0,
              double y1, double* z, double z0, double z1) {
  const Segment g{x0, x1, y0, y1, z0, z1};
  AnExpressionInSpace f(e, y == nullptr);
  const double f0 = ValueAt(f, level, g, 0), f1 = ValueAt(f, level, g, 1);
  if (std::isnan(f0) || std::isnan(f1) || (f0 < 0) == (f1 < 0)) return false;
  return FindRootOn(f, level, tolerance, f0, f1, g, x, y, z);
}

namespace {

double Implicit(AnExpression* e, double level, double x, double y) { return e->Evaluate(0, 0, x, y, 0, 0) - level; }

bool RootOnRay(AnExpression* e, double level, double x0, double y0, double x1, double y1, double* rx, double* ry) {
  return FindRoot(e, level, 0, rx, x0, x1, ry, y0, y1, nullptr, 0, 0);
}

// Corners first, then the edge midpoints, in the order the mark search uses.
constexpr int kRayDirections[8][2] = {{-1, -1}, {-1, 1}, {1, 1}, {1, -1}, {-1, 0}, {0, 1}, {1, 0}, {0, -1}};

double Metric(double ex, double ey, double dx, double dy) {
  const double ratio = dx / dy;
  return ex * ex + ey * ey * ratio * ratio;
}

}  // namespace

bool NearImplicitFunction(AnExpression* e, double level, double x, double y, double dx, double dy) {
  const bool centreBelow = Implicit(e, level, x, y) < 0;
  for (const auto& d : kRayDirections) {
    if ((Implicit(e, level, x + d[0] * dx, y + d[1] * dy) < 0) != centreBelow) return true;
  }
  return false;
}

bool ImplicitFunctionNearbyRoot(AnExpression* e, double level, double x, double y, double dx, double dy, double px,
                                double py, double* rx, double* ry) {
  bool found = false;
  double best = gInf;
  for (const auto& d : kRayDirections) {
    double cx, cy;
    if (!RootOnRay(e, level, x, y, x + d[0] * dx, y + d[1] * dy, &cx, &cy)) continue;
    const double m = Metric(cx - px, cy - py, dx, dy);
    if (!found || m < best) *rx = cx, *ry = cy, best = m, found = true;
  }
  if (found) return true;
  for (int k = 1; k <= 9; ++k) {
    for (const auto& d : kRayDirections) {
      if (RootOnRay(e, level, x, y, x + d[0] * k * dx / 10, y + d[1] * k * dy / 10, rx, ry)) return true;
    }
  }
  return false;
}

Neighborhood ImplicitFunctionNeighborhood(AnExpression* e, double level, double x, double y, double dx, double dy) {
  Neighborhood n;
  bool centre = false;
  double best = gInf;
  for (int i = 0; i < 4; ++i) {
    double cx, cy;
    if (!RootOnRay(e, level, x, y, x + kRayDirections[i][0] * dx, y + kRayDirections[i][1] * dy, &cx, &cy)) continue;
    const double m = Metric(cx - x, cy - y, dx, dy);
    if (!centre || m < best) n.centre = fPoint{gNaN, cx, cy}, best = m, centre = true;
  }
  if (!centre) return n;
  const double left = x - dx, right = x + dx, bottom = y - dy, top = y + dy;
  // Left, bottom, top, right: the first side with a crossing gives the
  // point before the centre, the last one the point after it.
  const double sides[4][4] = {
      {left, bottom, left, top}, {left, bottom, right, bottom}, {left, top, right, top}, {right, top, right, bottom}};
  bool before = false, after = false;
  for (int i = 0; i < 4; ++i) {
    double cx, cy;
    if (!RootOnRay(e, level, sides[i][0], sides[i][1], sides[i][2], sides[i][3], &cx, &cy)) continue;
    if (!before && i < 3) {
      n.before = fPoint{gNaN, cx, cy}, before = true;
    } else if (before) {
      n.after = fPoint{gNaN, cx, cy}, after = true;
    }
  }
  if (!before || !after || std::isnan(n.after.x) || std::isnan(n.after.y) ||
      (n.after.x == n.before.x && n.after.y == n.before.y)) {
    return n;
  }
  n.found = 1;
  return n;
}

void ImplicitFunctionSnapToAxes(AnExpression* e, double level, double tolx, double toly, Selection* selection) {
  selection->snapped = 0;
  const double x = selection->x, y = selection->y;
  if (std::fabs(x) <= tolx && RootOnRay(e, level, 0, y - toly, 0, y + toly, &selection->x, &selection->y)) {
    selection->snapped = 1;
  }
  if (std::fabs(y) <= toly && RootOnRay(e, level, x - tolx, 0, x + tolx, 0, &selection->x, &selection->y)) {
    selection->snapped = 1;
  }
}
