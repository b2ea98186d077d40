#pragma once

#include <cmath>

#include "graphpane/PointRecords.h"

class AnExpression;

// A function of a point in space, for root finding over functions that are
// not expressions.
class ASpaceFunction {
 public:
  virtual ~ASpaceFunction() = default;
  // NaN where undefined.
  virtual double At(double x, double y, double z) = 0;
  // An enclosure of the values over the box; NaN ends when none is known.
  virtual void Enclose(double x0, double x1, double y0, double y1, double z0, double z1, double* lo, double* hi);
};

// An enclosure that runs out to an infinity; an exterior one (lo > hi)
// runs out to both.
inline bool IsUnboundedEnclosure(double lo, double hi) { return lo == -INFINITY || hi == INFINITY || lo > hi; }

// Whether e (in u or x) has a pole on [a, b]: its enclosure unbounded over
// every piece around it down to 1/64 of the span, so that an enclosure
// widened by its box alone is not taken for one. An enclosure that is not
// known (NaN) proves nothing.
bool HasPoleBetween(AnExpression* e, double a, double b);

// The enclosure of e over a box as point evaluation at (x, 0, x, y, z, 0)
// reads it, u and x alike; along a line (alongX) y and z are 0. NaN ends
// when the box cannot stand for both u and x.
void EncloseInSpace(AnExpression* e, bool alongX, double x0, double x1, double y0, double y1, double z0, double z1,
                    double* lo, double* hi);

// Where f - level crosses 0 along the segment from (x0, y0, z0) to
// (x1, y1, z1), given f - level at its ends (f0, f1), to within the
// parameter tolerance; f is evaluated at (x, 0, x, y, z, 0). y and z may be
// null. False on a NaN value, and where f is not continuous across the
// root (a pole or a jump: the sign changes without a crossing). With
// tolerance 0 the point is cleaned of interpolation noise.
bool FindRoot(AnExpression* e, double level, double tolerance, double f0, double f1, double* x, double x0, double x1,
              double* y, double y0, double y1, double* z, double z0, double z1);
// A root is refused where f's value there is large against the ends (a
// pole inside draws the root to itself); a pole on or beside an end leaves
// that end's value as large, and only the enclosures of f along the segment
// find it. Without testForPoles they are not asked: for a caller that knows
// both ends are ordinary values, not large against those around them. The
// root is kept at least margin (of the segment, at most a half) from
// either end, an end value of 0 included, so that roots on segments that
// meet at a point stay apart.
bool FindRoot(ASpaceFunction& f, double level, double tolerance, double f0, double f1, double* x, double x0, double x1,
              double* y, double y0, double y1, double* z, double z0, double z1, bool testForPoles = true,
              double margin = 0);
// The same, evaluating the ends first; false unless exactly one is negative.
bool FindRoot(AnExpression* e, double level, double tolerance, double* x, double x0, double x1, double* y, double y0,
              double y1, double* z, double z0, double z1);

// Implicit curves f(x, y) = level, f evaluated at (0, 0, x, y, 0, 0).
bool NearImplicitFunction(AnExpression* e, double level, double x, double y, double dx, double dy);
bool ImplicitFunctionNearbyRoot(AnExpression* e, double level, double x, double y, double dx, double dy, double px,
                                double py, double* rx, double* ry);
Neighborhood ImplicitFunctionNeighborhood(AnExpression* e, double level, double x, double y, double dx, double dy);
void ImplicitFunctionSnapToAxes(AnExpression* e, double level, double tolx, double toly, Selection* selection);
