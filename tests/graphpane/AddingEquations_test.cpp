#include <gtest/gtest.h>

#include "tests/graphpane/RecordingMakers.h"

namespace {

// The table is constant data, laid out by the compiler: built at start-up
// from vectors and sets, its initialiser was one huge function to compile.
struct Formulas {  // per expression, in the maker's order; kAny skips the value, nullptr: not handed
  constexpr Formulas(std::initializer_list<Formula> list) : count(list.size()) {
    std::copy(list.begin(), list.end(), at.begin());
  }
  size_t size() const { return count; }
  Formula operator[](size_t i) const { return at[i]; }
  std::array<Formula, 8> at{};
  size_t count;
};

struct Fields {  // coordinate-display fields, as bits
  constexpr Fields(std::initializer_list<int> fields) {
    for (int field : fields) bits |= 1u << field;
  }
  std::set<int> AsSet() const {
    std::set<int> set;
    for (int field = 0; field < kCoordDisplayParamCount; ++field)
      if (bits >> field & 1) set.insert(field);
    return set;
  }
  uint32_t bits = 0;
};

struct Case {
  const char* text;
  Space space;
  double xyType;
  const char* maker;
  Formulas formulas;
  Fields flags;
  int number = -1;  // orientation, selection or field type; -1 unchecked
  int range = -1;   // the u range handed, as a coordinate-display number
};

constexpr Fields kXYZ{kCoordX, kCoordY, kCoordZ};
constexpr Fields With(Fields a, std::initializer_list<int> more) {
  a.bits |= Fields(more).bits;
  return a;
}

constexpr double kPi = 3.141592653589793;
constexpr Case kCases[] = {
    // Functions of x or y, compiled in u.
    {"y = x^2", k2D, 1, "FunctionOfXorY", {F(u * u)}, {}, 1},
    {"sin(x)", k2D, 1, "FunctionOfXorY", {F(std::sin(u))}, {}, 1},
    {"x = y^2", k2D, 1, "FunctionOfXorY", {F(u * u)}, {}, 0},
    {"sin(y)", k2D, 1, "FunctionOfXorY", {F(std::sin(u))}, {}, 0},
    {"x^2 = y", k2D, 1, "FunctionOfXorY", {F(u * u)}, {}, 1},
    {"x^2 = y, 0 < x < 1", k2D, 1, "FunctionOfXorY", {F(u > 0 && u < 1 ? u * u : NAN)}, {}, 1},
    {"y = x^2, y < 1", k2D, 1, "FunctionOfXorY", {F(u * u < 1 ? u * u : NAN)}, {}, 1},
    {"y = x^2, 0 < x < 1", k2D, 1, "FunctionOfXorY", {F(u > 0 && u < 1 ? u * u : NAN)}, {}, 1},
    {"sin(x), 0 < x < 1", k2D, 1, "FunctionOfXorY", {F(u > 0 && u < 1 ? std::sin(u) : NAN)}, {}, 1},
    {"x = exp(y), y > 1", k2D, 1, "FunctionOfXorY", {F(u > 1 ? std::exp(u) : NAN)}, {}, 0},
    // Polar curves and (r, theta) = G(t).
    {"r = theta", k2D, 1, "ParametricCurve", {F(u * std::cos(u)), F(u* std::sin(u))}, {kCoordTheta}, 4, kCoordTheta},
    {"theta = r", k2D, 1, "ParametricCurve", {F(u * std::cos(u)), F(u* std::sin(u))}, {kCoordR}, 5, kCoordR},
    {"vector(r, theta) = vector(t, 2*t)",
     k2D,
     1,
     "ParametricCurve",
     {F(u * std::cos(2 * u)), F(u* std::sin(2 * u))},
     {kCoordT},
     6,
     kCoordT},
    // Inequalities and implicit curves: the zero expression vanishes on the boundary.
    {"x < y", k2D, 1, "Inequality", {kAny, F(x - y)}, {}, 0},
    {"And(x < 1, y > 0)", k2D, 1, "Inequality", {kAny, F(1.0)}, {}, 0},
    {"x^2 + y^2 = 1", k2D, 1, "Inequality", {kAny, F(x* x + y * y - 1)}, {}, 1},
    {"x^2 + y^2 = 1, x > 0", k2D, 1, "Inequality", {kAny, F(x*(x* x + y * y - 1))}, {}, 1},
    {"x^2 + y^2 < 1, x > 0", k2D, 1, "Inequality", {kAny, F(x*(x* x + y * y - 1))}, {}, 0},
    // Functions of two variables in a 2-D view: density (u, v) or contour (x, y).
    {"z = x*y", k2D, 2, "DensityPlot", {F(u * v)}, {}},
    {"z = x*y", k2D, 3, "ContourPlot", {F(x * y)}, {}},
    {"z = x^2 - y^2", k2D, 6, "DensityPlot", {F(u * u - v * v)}, {}},
    {"z = x^2 - y^2", k2D, 7, "ContourPlot", {F(x * x - y * y)}, {}},
    {"x + y", k2D, 2, "DensityPlot", {F(u + v)}, {}},
    {"x + y", k2D, 3, "ContourPlot", {F(x + y)}, {}},
    {"z = r*theta", k2D, 2, "DensityPlot", {kAny}, {}},
    {"z^2", k2D, 2, "DensityPlot", {kAny}, {}},
    {"z^2", k2D, 3, "ContourPlot", {kAny}, {}},
    {"z = x*y", k2D, 4, "", {}, {}},
    {"z = x*y", k2D, 0, "", {}, {}},
    // Surfaces over u and v.
    {"z = x*y", k3D, 1, "GridSurface", {F(u), F(v), F(u* v), nullptr}, kXYZ, -1, kCoordX},
    {"z = x*y", k3D, 5, "GridSurface", {F(u), F(v), F(u* v), nullptr}, kXYZ, -1, kCoordX},
    {"z = r*theta",
     k3D,
     1,
     "GridSurface",
     {F(u * std::cos(v)), F(u* std::sin(v)), F(u* v), nullptr},
     With(kXYZ, {kCoordR, kCoordTheta}),
     -1,
     kCoordR},
    {"sin(x)", k3D, 1, "GridSurface", {F(u), F(v), F(std::sin(u)), nullptr}, kXYZ, -1, kCoordX},
    {"r",
     k3D,
     1,
     "GridSurface",
     {F(u * std::cos(v)), F(u* std::sin(v)), F(u), nullptr},
     With(kXYZ, {kCoordR, kCoordTheta}),
     -1,
     kCoordR},
    {"x + r", k3D, 1, "GridSurface", {F(u), F(v), kAny, nullptr}, kXYZ, -1, kCoordX},
    {"z^2", k3D, 1, "GridSurface", {F(u), F(v), kAny, nullptr}, kXYZ, -1, kCoordX},
    {"r = theta*phi",
     k3D,
     1,
     "GridSurface",
     {F(u * v * std::sin(v) * std::cos(u)), F(u* v* std::sin(v) * std::sin(u)), F(u* v* std::cos(v)), nullptr},
     With(kXYZ, {kCoordTheta, kCoordPhi}),
     -1,
     kCoordTheta},
    {"theta = r*phi",
     k3D,
     1,
     "GridSurface",
     {F(u * std::sin(v) * std::cos(u * v)), F(u* std::sin(v) * std::sin(u * v)), F(u* std::cos(v)), nullptr},
     With(kXYZ, {kCoordR, kCoordPhi}),
     -1,
     kCoordR},
    {"phi = r*theta",
     k3D,
     1,
     "GridSurface",
     {F(u * std::sin(u * v) * std::cos(v)), F(u* std::sin(u* v) * std::sin(v)), F(u* std::cos(u* v)), nullptr},
     With(kXYZ, {kCoordR, kCoordTheta}),
     -1,
     kCoordR},
    {"vector(r, theta, phi) = vector(1, u, v)",
     k3D,
     1,
     "GridSurface",
     {F(std::sin(v) * std::cos(u)), F(std::sin(v) * std::sin(u)), F(std::cos(v)), nullptr},
     With(kXYZ, {kCoordU, kCoordV}),
     -1,
     kCoordU},
    {"x = y*z", k3D, 1, "GridSurface", {F(u * v), F(u), F(v), nullptr}, kXYZ, -1, kCoordY},
    {"y = x + z", k3D, 1, "GridSurface", {F(u), F(u + v), F(v), nullptr}, kXYZ, -1, kCoordX},
    {"r = theta + z",
     k3D,
     1,
     "GridSurface",
     {F((u + v) * std::cos(u)), F((u + v) * std::sin(u)), F(v), nullptr},
     With(kXYZ, {kCoordTheta}),
     -1,
     kCoordTheta},
    {"theta = r + z",
     k3D,
     1,
     "GridSurface",
     {F(v * std::cos(u + v)), F(v* std::sin(u + v)), F(u), nullptr},
     With(kXYZ, {kCoordR}),
     -1,
     kCoordZ},
    {"vector(r, theta, z) = vector(1, u, v)",
     k3D,
     1,
     "GridSurface",
     {F(std::cos(u)), F(std::sin(u)), F(v), nullptr},
     With(kXYZ, {kCoordU, kCoordV}),
     -1,
     kCoordU},
    {"z = x*y", k3D, 4, "", {}, {}},
    {"x^2 + y^2 = 1", k3D, 1, "ImplicitSurface", {F(x * x + y * y - 1), nullptr}, kXYZ, -1, kCoordX},
    {"x*y = z", k3D, 1, "GridSurface", {F(u), F(v), F(u* v), nullptr}, kXYZ, -1, kCoordX},
    // Space curves in u.
    {"vector(r, theta, z) = vector(1, t, t)",
     k3D,
     1,
     "SpaceCurve",
     {F(std::cos(u)), F(std::sin(u)), F(u), nullptr, nullptr},
     With(kXYZ, {kCoordT}),
     -1,
     kCoordT},
    {"vector(r, theta, phi) = vector(t, 1, t)",
     k3D,
     1,
     "SpaceCurve",
     {F(u * std::sin(u) * std::cos(1.0)), F(u* std::sin(u) * std::sin(1.0)), F(u* std::cos(u)), nullptr, nullptr},
     With(kXYZ, {kCoordT}),
     -1,
     kCoordT},
    {"x + i*y = exp(i*z)",
     k3D,
     1,
     "SpaceCurve",
     {F(std::cos(u)), F(std::sin(u)), F(u), nullptr, nullptr},
     kXYZ,
     -1,
     kCoordZ},
    {"vector(r, theta) = vector(t, t)",
     k3D,
     1,
     "SpaceCurve",
     {F(u * std::cos(u)), F(u* std::sin(u)), F(0.0), nullptr, nullptr},
     With(kXYZ, {kCoordT}),
     -1,
     kCoordT},
    {"vector(r, theta, z) = vector(1, t, t), radius = t/10",
     k3D,
     1,
     "SpaceCurve",
     {F(std::cos(u)), F(std::sin(u)), F(u), F(u / 10), nullptr},
     With(kXYZ, {kCoordT}),
     -1,
     kCoordT},
    // 3-D fields.
    {"function(optotal(t), vector(x, y, z)) = vector(y, -x, z)",
     k3D,
     1,
     "StartOnLattice",
     {F(y), F(-x), F(z), nullptr, nullptr},
     kXYZ,
     1},
    {"vector(d*x, d*y, d*z) = vector(y, -x, z)",
     k3D,
     1,
     "StartOnLattice",
     {F(y), F(-x), F(z), nullptr, nullptr},
     kXYZ,
     0},
    {"function(optotal(t), vector(x, y, z)) = vector(y, -x, z), vector(x, y, z) = vector(1, 0, 0)",
     k3D,
     1,
     "StartOnPoint",
     {F(y), F(-x), F(z), F(1.0), F(0.0), F(0.0), nullptr, nullptr},
     kXYZ},
    {"vector(d*x, d*y, d*z) = vector(y, -x, z), x^2 + y^2 + z^2 = 1",
     k3D,
     1,
     "StartOnImplicit",
     {F(y), F(-x), F(z), nullptr, F(x* x + y * y + z * z - 1), nullptr},
     kXYZ,
     0},
    {"vector(d*x, d*y, d*z) = vector(y, -x, z), x^2 + y^2 + z^2 = 1, radius = 0.1",
     k3D,
     1,
     "StartOnImplicit",
     {F(y), F(-x), F(z), F(0.1), F(x* x + y * y + z * z - 1), nullptr},
     kXYZ,
     0},
    {"vector(d*x, d*y, d*z) = vector(y, -x, z), x = y*z",
     k3D,
     1,
     "StartOnGrid",
     {F(y), F(-x), F(z), F(u* v), F(u), F(v), nullptr, nullptr},
     kXYZ,
     0,
     kCoordU},
    {"vector(d*x, d*y, d*z) = vector(y, -x, z), y = z*x",
     k3D,
     1,
     "StartOnGrid",
     {F(y), F(-x), F(z), F(u), F(u* v), F(v), nullptr, nullptr},
     kXYZ,
     0,
     kCoordU},
    {"vector(d*x, d*y, d*z) = vector(y, -x, z), vector(x, y, z) = vector(u, v, 0)",
     k3D,
     1,
     "StartOnGrid",
     {F(y), F(-x), F(z), F(u), F(v), F(0.0), nullptr, nullptr},
     With(kXYZ, {kCoordU, kCoordV}),
     0,
     kCoordU},
    // 4-D surfaces and curves.
    {"w = z^2",
     k4D,
     1,
     "GridSurface4D",
     {F(u), F(v), F(u* u - v * v), F(2 * u * v), nullptr},
     With(kXYZ, {kCoordW}),
     -1,
     kCoordX},
    {"vector(x, y, u, v) = vector(u, v, u*v, u - v)",
     k4D,
     1,
     "GridSurface4D",
     {F(u), F(v), F(u* v), F(u - v), nullptr},
     With(kXYZ, {kCoordW, kCoordU, kCoordV}),
     -1,
     kCoordU},
    {"vector(x, y, u, v) = vector(cos(t), sin(t), t, 0)",
     k4D,
     1,
     "SpaceCurve4D",
     {F(std::cos(u)), F(std::sin(u)), F(u), F(0.0), nullptr},
     With(kXYZ, {kCoordW, kCoordT}),
     -1,
     kCoordT},
    // Points: (x, y), polar, complex; draggable only a complex parameter.
    {"vector(1, 2)", k2D, 1, "Point", {F(1.0), F(2.0), nullptr, nullptr, nullptr}, {}, 0},
    {"vector(x, y) = vector(1, 2), symbol = \"a\"", k2D, 1, "Point", {F(1.0), F(2.0), kAny, nullptr, nullptr}, {}, 0},
    {"vector(r, theta) = vector(2, pi/3)",
     k2D,
     1,
     "Point",
     {F(2 * std::cos(kPi / 3)), F(2 * std::sin(kPi / 3)), nullptr, nullptr, nullptr},
     {},
     0},
    {"z = 3 + 4*i", k2D, 1, "Point", {F(3.0), F(4.0), nullptr, nullptr, nullptr}, {}, 0},
    {"p = 3 + 4*i", k2D, 1, "Point", {kAny, kAny, nullptr, nullptr, nullptr}, {}, 1},
    {"vector(1, 2), vector(3, 4)", k2D, 1, "Arrow", {F(1.0), F(2.0), F(3.0), F(4.0)}, {}},
    // Plane curves in t, compiled in u; in a 3-D view in z = 0, clipped in u.
    {"vector(x, y) = vector(cos(t), sin(t))",
     k2D,
     1,
     "ParametricCurve",
     {F(std::cos(u)), F(std::sin(u))},
     {kCoordT},
     3,
     kCoordT},
    {"vector(t, t^2)", k2D, 1, "ParametricCurve", {F(u), F(u* u)}, {kCoordT}, 3, kCoordT},
    {"z = exp(i*t)", k2D, 1, "ParametricCurve", {F(std::cos(u)), F(std::sin(u))}, {kCoordT}, 3, kCoordT},
    {"vector(x, y) = vector(t, t^2), t > 0",
     k3D,
     1,
     "SpaceCurve",
     {F(u), F(u* u), F(0.0), nullptr, F(u > 0)},
     With(kXYZ, {kCoordT}),
     -1,
     kCoordT},
    {"vector(x, y, z) = vector(cos(t), sin(t), t)",
     k3D,
     1,
     "SpaceCurve",
     {F(std::cos(u)), F(std::sin(u)), F(u), nullptr, nullptr},
     With(kXYZ, {kCoordT}),
     -1,
     kCoordT},
    {"vector(cos(t), sin(t), t), radius = t",
     k3D,
     1,
     "SpaceCurve",
     {F(std::cos(u)), F(std::sin(u)), F(u), F(u), nullptr},
     With(kXYZ, {kCoordT}),
     -1,
     kCoordT},
    {"vector(x, y, z) = vector(u, v, u*v)",
     k3D,
     1,
     "GridSurface",
     {F(u), F(v), F(u* v), nullptr},
     With(kXYZ, {kCoordU, kCoordV}),
     -1,
     kCoordU},
    {"vector(u, v, u + v)",
     k3D,
     1,
     "GridSurface",
     {F(u), F(v), F(u + v), nullptr},
     With(kXYZ, {kCoordU, kCoordV}),
     -1,
     kCoordU},
    // Plane fields: slope, plane system, dz/dt = f(z) at z = x + i·y, vector fields.
    {"d*y/(d*x) = x*y", k2D, 1, "DEPlot", {F(x * y), nullptr, nullptr, nullptr}, {}},
    {"function(optotal(t), vector(x, y)) = vector(y, -x), vector(x, y) = vector(1, 0)",
     k2D,
     1,
     "DEPlot",
     {F(y), F(-x), F(1.0), F(0.0)},
     {}},
    {"d*z/(d*t) = z^2", k2D, 1, "DEPlot", {F(x * x - y * y), F(2 * x * y), nullptr, nullptr}, {}},
    {"vector(d*x, d*y) = vector(y, -x)", k2D, 1, "VectorPlot", {F(y), F(-x)}, {}, 0},
    {"vector(d*x, d*y) = vector(y, -x)", k2D, 5, "VectorPlot", {F(y), F(-x)}, {}, 1},
    // Colour plots in u and v.
    {"vector(r, g, b) = vector(x, y, 0.5)", k2D, 1, "ColorPlot", {F(u), F(v), F(0.5), nullptr}, {}, 0},
    {"vector(h, s, v) = vector(x, y, 1)", k2D, 1, "ColorPlot", {F(u), F(v), F(1.0), nullptr}, {}, 1},
    // 3-D points and arrows; spherical (1, 0, pi/2) is (1, 0, 0).
    {"vector(1, 2, 3)", k3D, 1, "Point3D", {F(1.0), F(2.0), F(3.0)}, kXYZ},
    {"vector(x, y, z) = vector(1, 2, 3)", k3D, 1, "Point3D", {F(1.0), F(2.0), F(3.0)}, kXYZ},
    {"vector(r, theta, z) = vector(2, pi/2, 3)", k3D, 1, "Point3D", {F(2 * std::cos(kPi / 2)), F(2.0), F(3.0)}, kXYZ},
    {"vector(r, theta, phi) = vector(1, 0, pi/2)", k3D, 1, "Point3D", {F(1.0), F(0.0), F(std::cos(kPi / 2))}, kXYZ},
    {"vector(1, 2, 3), vector(4, 6, 8)",
     k3D,
     1,
     "StartOnPoint",
     {F(3.0), F(4.0), F(5.0), F(1.0), F(2.0), F(3.0), nullptr, nullptr},
     kXYZ,
     0},
    {"vector(1, 2, 3, 4), vector(5, 6, 7, 8)", k4D, 1, "VertexList4D", {kAny}, With(kXYZ, {kCoordW})},
    // Fields started on a surface: the start grid in u and v over its ranges.
    {"function(optotal(t), vector(x, y, z)) = vector(y, -x, 0), z = x^2 + y^2",
     k3D,
     1,
     "StartOnGrid",
     {F(y), F(-x), F(0.0), F(u), F(v), F(u* u + v * v), nullptr, nullptr},
     kXYZ,
     1,
     kCoordX},
    {"vector(d*x, d*y, d*z) = vector(y, -x, 0), z = x^2 + y^2",
     k3D,
     1,
     "StartOnGrid",
     {F(y), F(-x), F(0.0), F(u), F(v), F(u* u + v * v), nullptr, nullptr},
     kXYZ,
     0,
     kCoordX},
    {"vector(d*x, d*y, d*z) = vector(y, -x, z), r = 1",
     k3D,
     1,
     "StartOnGrid",
     {F(y), F(-x), F(z), F(std::sin(v) * std::cos(u)), F(std::sin(v) * std::sin(u)), F(std::cos(v)), nullptr, nullptr},
     With(kXYZ, {kCoordTheta, kCoordPhi}),
     0,
     kCoordTheta},
    {"vector(d*x, d*y, d*z) = vector(y, -x, z), theta = r*phi",
     k3D,
     1,
     "StartOnGrid",
     {F(y), F(-x), F(z), F(u* std::sin(v) * std::cos(u * v)), F(u* std::sin(v) * std::sin(u * v)), F(u* std::cos(v)),
      nullptr, nullptr},
     With(kXYZ, {kCoordR, kCoordPhi}),
     0,
     kCoordR},
    {"vector(d*x, d*y, d*z) = vector(y, -x, z), phi = r*theta",
     k3D,
     1,
     "StartOnGrid",
     {F(y), F(-x), F(z), F(u* std::sin(u* v) * std::cos(v)), F(u* std::sin(u* v) * std::sin(v)), F(u* std::cos(u* v)),
      nullptr, nullptr},
     With(kXYZ, {kCoordR, kCoordTheta}),
     0,
     kCoordR},
    {"vector(d*x, d*y, d*z) = vector(y, -x, z), r = theta + z",
     k3D,
     1,
     "StartOnGrid",
     {F(y), F(-x), F(z), F((u + v) * std::cos(u)), F((u + v) * std::sin(u)), F(v), nullptr, nullptr},
     With(kXYZ, {kCoordTheta}),
     0,
     kCoordTheta},
    {"vector(d*x, d*y, d*z) = vector(y, -x, z), z = r*theta",
     k3D,
     1,
     "StartOnGrid",
     {F(y), F(-x), F(z), F(u* std::cos(v)), F(u* std::sin(v)), F(u* v), nullptr, nullptr},
     With(kXYZ, {kCoordR, kCoordTheta}),
     0,
     kCoordR},
    {"vector(d*x, d*y, d*z) = vector(y, -x, z), theta = z",
     k3D,
     1,
     "StartOnGrid",
     {F(y), F(-x), F(z), F(v* std::cos(u)), F(v* std::sin(u)), F(u), nullptr, nullptr},
     With(kXYZ, {kCoordR}),
     0,
     kCoordZ},
    {"vector(d*x, d*y, d*z) = vector(y, -x, z), vector(r, theta, phi) = vector(1, u, v), radius = 0.1",
     k3D,
     1,
     "StartOnGrid",
     {F(y), F(-x), F(z), F(std::sin(v) * std::cos(u)), F(std::sin(v) * std::sin(u)), F(std::cos(v)), F(0.1), nullptr},
     With(kXYZ, {kCoordU, kCoordV}),
     0,
     kCoordU},
    {"vector(d*x, d*y, d*z) = vector(y, -x, z), vector(r, theta, z) = vector(2, u, v)",
     k3D,
     1,
     "StartOnGrid",
     {F(y), F(-x), F(z), F(2 * std::cos(u)), F(2 * std::sin(u)), F(v), nullptr, nullptr},
     With(kXYZ, {kCoordU, kCoordV}),
     0,
     kCoordU},
    // Surfaces of revolution: v turns through the angle, u runs along the curve.
    {"Rotate(x, x = 2)",
     k3D,
     1,
     "GridSurface",
     {F(std::cos(2 * kPi * v) * (u - 2) + 2), F(u), F(std::sin(2 * kPi * v) * (u - 2)), nullptr},
     kXYZ,
     -1,
     kCoordU},
    {"Rotate(x^2, y = 1, pi)",
     k3D,
     1,
     "GridSurface",
     {F(u), F((u * u - 1) * std::cos(kPi * v) + 1), F(-std::sin(kPi* v) * (u * u - 1)), nullptr},
     kXYZ,
     -1,
     kCoordU},
};

AGraphView* ViewFor(Pane& p, const Case& c, const Made& made) {
  static const std::set<std::string> kFlat{"FunctionOfXorY", "ParametricCurve", "Inequality", "DensityPlot",
                                           "ContourPlot",    "Point",           "Data2D",     "DEPlot",
                                           "VectorPlot",     "ColorPlot",       "Arrow"};
  if (c.space == k4D) return p.pane->View4D();
  return kFlat.contains(made.maker) ? p.pane->View2D(0) : p.pane->View3D(0);
}

TEST(AddingEquations, EachKindReachesItsMakerWithItsFormulasInU) {
  std::mt19937 random(30);
  std::uniform_real_distribution<double> draw(-1.7, 1.7);
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.text) + " in view " + std::to_string(c.space + 2) + "D, xy type " +
                 std::to_string(c.xyType));
    Pane p(c.space);
    const int32_t row = p.Add(c.text, c.xyType);
    if (*c.maker == '\0') {
      EXPECT_EQ(row, -1);
      EXPECT_TRUE(gMade.empty());
      EXPECT_EQ(p.pane->Lookup().Count(), 0);
      continue;
    }
    ASSERT_EQ(row, 0);
    ASSERT_EQ(gMade.size(), 1u);
    const Made& made = gMade[0];
    EXPECT_EQ(made.maker, c.maker);
    EXPECT_EQ(made.view, ViewFor(p, c, made));
    EXPECT_EQ(p.pane->Lookup().At(0)->pairs[0].view, made.view);
    EXPECT_EQ(p.Flags(), c.flags.AsSet());
    if (c.number >= 0) {
      EXPECT_EQ(made.number, c.number);
    }
    if (c.range >= 0) {
      EXPECT_EQ(made.range, &made.view->Record().ranges[c.range][0]);
    }
    ASSERT_EQ(made.formulas.size(), c.formulas.size());
    for (size_t i = 0; i < c.formulas.size(); ++i) {
      const bool handed = made.formulas[i] != nullptr;
      EXPECT_EQ(handed, bool(c.formulas[i])) << "formula " << i;
      if (!handed || !c.formulas[i] || c.formulas[i](0, 0, 0, 0, 0) == kAnyValue) continue;
      for (int trial = 0; trial < 8; ++trial) {
        const double u = draw(random), v = draw(random), x = draw(random), y = draw(random), z = draw(random);
        const double got = made.formulas[i]->Evaluate(u, v, x, y, z, 0.25);
        EXPECT_TRUE(Near(c.formulas[i](u, v, x, y, z), got))
            << "formula " << i << " at u=" << u << " v=" << v << " x=" << x << " y=" << y << ": " << got;
      }
    }
  }
}

}  // namespace

namespace {

bool Holds(const Made& made, size_t i, int32_t id) { return DIM_Contains(made.formulas[i]->Tree(), id); }

TEST(AddingEquations, PrimedEquationGoesToTheSecondViewAndStaysPrimed) {
  Pane p(k2D);
  Tree tree = Parse("y = x^2");
  ExchangeXYZwithXYZprime(tree.get());
  const Tree before(Copy(tree.get()));
  EXPECT_EQ(p.Add(tree.get()), 0);
  EXPECT_TRUE(MATH_Equal(tree.get(), before.get()));
  ASSERT_EQ(gMade.size(), 1u);
  EXPECT_EQ(gMade[0].view, p.pane->View2D(1));
  EXPECT_DOUBLE_EQ(gMade[0].formulas[0]->Evaluate(1.5, 0, 0, 0, 0, 0), 2.25);
  EXPECT_EQ(p.pane->Lookup().At(0)->pairs[0].view, p.pane->View2D(1));
}

// The region drawn strictly at pair 0, its boundary in off-black at pair 2,
// both in one row; the next equation starts the next row.
TEST(AddingEquations, NonStrictInequalityAddsItsBoundary) {
  Pane p(k2D);
  EXPECT_EQ(p.Add("leq(x^2 + y^2, 1)"), 0);
  EXPECT_EQ(p.Add("y = x"), 1);
  ASSERT_EQ(gMade.size(), 3u);
  const Made &region = gMade[0], &boundary = gMade[1];
  EXPECT_EQ(region.formulas[0]->Tree()->opcode, kOpLess);
  EXPECT_EQ(region.number, 0);
  EXPECT_EQ(boundary.formulas[0]->Tree()->opcode, kOpEquals);
  EXPECT_EQ(boundary.number, 1);
  EXPECT_EQ(boundary.solid, 0x333333u);
  EXPECT_EQ(boundary.colourType, AGraphColor::kSolid);
  EXPECT_DOUBLE_EQ(boundary.formulas[1]->Evaluate(0, 0, 0.5, 0.5, 0, 0), -0.5);
  const GraphLookup& row = *p.pane->Lookup().At(0);
  EXPECT_EQ(row.pairs[0].view, p.pane->View2D(0));
  EXPECT_EQ(row.pairs[0].index, 0);
  EXPECT_EQ(row.pairs[1].view, nullptr);
  EXPECT_EQ(row.pairs[2].view, p.pane->View2D(0));
  EXPECT_EQ(row.pairs[2].index, 1);
  EXPECT_EQ(p.pane->Lookup().At(1)->pairs[0].index, 2);
  EXPECT_EQ(p.pane->View2D(0)->GraphCount(), 3);
}

TEST(AddingEquations, TheLastColourEquationWins) {
  Pane p(k2D);
  p.Add("y = x, vector(r, g, b) = vector(1, 0, 0), vector(r, g, b) = vector(0, 1, 0)");
  ASSERT_EQ(gMade.size(), 1u);
  EXPECT_EQ(gMade[0].colourType, AColorEquations::kRGBEquations);
  EXPECT_DOUBLE_EQ(gMade[0].colourValues[0], 0);
  EXPECT_DOUBLE_EQ(gMade[0].colourValues[1], 1);
  p.Add("y = x, vector(h, s, v) = vector(0.5, 1, 1)");
  EXPECT_EQ(gMade[1].colourType, AColorEquations::kHSVEquations);
  EXPECT_DOUBLE_EQ(gMade[1].colourValues[0], 0.5);
}

// Conditions become clips in 3-D, r read as the coordinate id 7 and the
// curve's parameter as u, so a condition on it clips.
TEST(AddingEquations, ConditionsBecomeClipsInTheCurvesVariables) {
  {
    Pane p(k3D);
    EXPECT_EQ(p.Add("z = x*y, r < 1"), 0);
    ASSERT_TRUE(gMade[0].formulas[3]);
    EXPECT_TRUE(Holds(gMade[0], 3, kIdRho));
    EXPECT_FALSE(Holds(gMade[0], 3, kIdR));
  }
  {
    Pane p(k3D);
    EXPECT_EQ(p.Add("vector(r, theta) = vector(1, t), t < 1"), 0);
    const Made& curve = gMade[0];
    ASSERT_TRUE(curve.formulas[4]);
    EXPECT_FALSE(Holds(curve, 4, kIdT));
    EXPECT_DOUBLE_EQ(curve.opacity, 1.0);
    EXPECT_EQ(curve.formulas[4]->Evaluate(0.5, 0, 0, 0, 0, 0), 1);
    EXPECT_NE(curve.formulas[4]->Evaluate(1.5, 0, 0, 0, 0, 0), 1);
  }
  {
    Pane p(k3D);
    static double red;
    // Made nothing: frees what it was handed.
    gGraphMakers.GridSurface = [](Compiled, Compiled, Compiled, double, double, Colour c, Compiled, PlottingMode,
                                  const double&, const double&, const double&, const double&,
                                  AGraphView&) -> std::unique_ptr<A3DGraph> {
      red = c->fColorExpressions[0]->Evaluate(0.7, 0, 0, 0, 0.3, 0);
      return nullptr;
    };
    EXPECT_EQ(p.Add("z^2, z < 1, vector(r, g, b) = vector(z, 0, 0)"), -1);
    EXPECT_DOUBLE_EQ(red, 0.7);
  }
  {
    Pane p(k4D);
    EXPECT_EQ(p.Add("vector(x, y, u, v) = vector(cos(t), sin(t), t, 0), u < 1"), 0);
    const Made& curve = gMade[0];
    ASSERT_TRUE(curve.formulas[4]);
    EXPECT_TRUE(Holds(curve, 4, kIdZ));
    EXPECT_FALSE(Holds(curve, 4, kIdU));
  }
  {
    Pane p(k2D);
    EXPECT_EQ(p.Add("vector(r, theta) = vector(1, t)"), 0);
    EXPECT_EQ(gMade[0].number, 6);
  }
}

// Out-of-range modes and NaN take the block default, 2.
TEST(AddingEquations, PlottingModeIsCheckedAndDefaults) {
  const std::pair<double, PlottingMode> modes[] = {{0, kPlotSampling},
                                                   {1.9, kPlotInterval},
                                                   {2, kPlotIntervalPixelTests},
                                                   {NAN, kPlotIntervalPixelTests},
                                                   {-1, kPlotIntervalPixelTests},
                                                   {3, kPlotIntervalPixelTests},
                                                   {1e300, kPlotIntervalPixelTests}};
  Pane p(k2D);
  for (const auto& [given, expected] : modes) {
    gMade.clear();
    p.Add("y = x", 1, given);
    ASSERT_EQ(gMade.size(), 1u);
    EXPECT_EQ(gMade[0].mode, expected) << given;
  }
}

// Nothing made: no row, -1, nothing leaked (the sanitizer build checks).
TEST(AddingEquations, EquationsThatMakeNoGraphFreeEverything) {
  {
    Pane p(k2D, false);
    for (const char* text :
         {"y = x^2, 0 < x < 1", "leq(x^2 + y^2, 1), x > 0", "r = theta", "z = x*y",
          "y = x, vector(r, g, b) = vector(1, 0, 0)", "w = x", "y = x, radius = 2", "vector(1, 2), symbol = \"a\"",
          "vector(1, 2), vector(3, 4)", "d*y/(d*x) = x*y, vector(x, y) = vector(1, 0)",
          "vector(d*x, d*y) = vector(y, -x)", "vector(r, g, b) = vector(x, y, 0.5), z", "z = exp(i*t)", "p = 3 + 4*i"})
      EXPECT_EQ(p.Add(text, 2), -1) << text;
    EXPECT_EQ(p.pane->Lookup().Count(), 0);
  }
  {
    Pane p(k3D, false);
    for (const char* text : {"z = x*y, x < 1", "vector(r, theta, z) = vector(1, t, t), radius = t",
                             "vector(d*x, d*y, d*z) = vector(y, -x, z), x = y*z", "x^2 + y^2 = 1",
                             "vector(r, theta, phi) = vector(1, 0, 2)", "vector(1, 2, 3), vector(4, 5, 6), radius = 2",
                             "vector(x, y) = vector(t, t), t > 0", "Rotate(x, y = 2*x + 1), x < 1",
                             "vector(d*x, d*y, d*z) = vector(y, -x, z), r = 1, radius = 0.1, x < 1",
                             "vector(cos(t), sin(t), t), radius = t", "vector(u, v, u + v), u < 1"})
      EXPECT_EQ(p.Add(text), -1) << text;
  }
  {
    Pane p(k4D, false);
    EXPECT_EQ(p.Add("vector(1, 2, 3, 4), vector(5, 6, 7, 8)"), -1);
  }
  {
    Pane p(k2D);
    EXPECT_EQ(p.Add("z = x*y, x < 1", 4), -1);
    EXPECT_EQ(p.Add("z = x*y", NAN), -1);
    EXPECT_TRUE(gMade.empty());
  }
}

// The coordinate display shows the flagged ranges, in field order; every
// view samples the current view's T, R and Theta ranges.
TEST(AddingEquations, PassChoosesViewsSharesRangesAndShowsFlaggedFields) {
  Pane p(k3D);
  static std::vector<int> shown;
  shown.clear();
  gGraphPaneHooks.SetCoordinateValues = [](int32_t field, double, double, DocumentRecord*) { shown.push_back(field); };
  p.pane->View3D(0)->Record().ranges[kCoordT][1] = 9;
  p.pane->StartAddingEquations(true, false, true, true, p.ct);
  EXPECT_EQ(p.pane->CurrentView(), p.pane->View3D(0));
  EXPECT_EQ(p.pane->SecondView(), p.pane->View3D(1));
  for (AGraphView* view : {p.pane->View2D(1), p.pane->View3D(1), p.pane->View4D()})
    EXPECT_EQ(view->Record().ranges[kCoordT][1], 9);
  p.Add("vector(r, theta, z) = vector(1, t, t)");
  p.pane->DoneAddingEquations();
  EXPECT_EQ(shown, (std::vector<int>{kCoordX, kCoordY, kCoordZ, kCoordT}));

  CoordinateTransformation plane;
  plane.kind = CoordinateTransformation::kPlaneFromTransformed;
  p.pane->StartAddingEquations(false, false, false, false, plane);
  EXPECT_EQ(p.pane->SecondView(), p.pane->View2D(1));
  EXPECT_EQ(p.pane->Lookup().Count(), 0);
  p.pane->StartAddingEquations(false, true, true, false, p.ct);
  EXPECT_EQ(p.pane->CurrentView(), p.pane->View4D());
  EXPECT_EQ(p.pane->SecondView(), nullptr);
}

// The document's parameters become numbers in the formulas, the clip and
// the folded conditions, and join its parameter list; the caller's tree stays.
TEST(AddingEquations, ParametersBecomeTheirValues) {
  const auto install = [](double (*value)(int32_t, const DocumentRecord*)) {
    return InstallDocumentNameHooks({
        .sliderVariable = [](DocumentRecord*) -> int32_t { return 'n'; },
        .functionIndex = [](const ExpressionRecord*, const DocumentRecord*) -> int32_t { return -1; },
        .functionArity = [](int32_t, const DocumentRecord*) -> int32_t { return -1; },
        .dependsOnComplexParameter = [](ExpressionRecord*, const DocumentRecord*) { return false; },
        .tableDataSize = [](const DocumentRecord*, int32_t) -> int32_t { return 0; },
        .isTextColumn = [](int32_t, const DocumentRecord*) { return false; },
        .isTableHeading = [](int32_t, const DocumentRecord*) { return false; },
        .isMatrixTableHeading = [](int32_t, const DocumentRecord*) { return false; },
        .isComplexParameter = [](int32_t, const DocumentRecord*) { return false; },
        .parameterListValue = value,
    });
  };
  const DocumentNameHooks document = install([](int32_t id, const DocumentRecord*) { return id == 'a' ? 2.0 : NAN; });
  static int listed;
  listed = 0;
  {
    Pane p(k2D);
    gGraphPaneHooks.AddToParameterList = [](const ExpressionRecord* tree, DocumentRecord*) {
      listed += DIM_Contains(tree, 'a');
    };
    EXPECT_EQ(p.Add("y = a*x, x < a"), 0);
    EXPECT_EQ(listed, 1);
    EXPECT_DOUBLE_EQ(gMade[0].formulas[0]->Evaluate(1.5, 0, 0, 0, 0, 0), 3);
    EXPECT_TRUE(std::isnan(gMade[0].formulas[0]->Evaluate(2.5, 0, 0, 0, 0, 0)));
  }
  // The d of dx, dy and dz is no parameter.
  for (const auto& [space, field] : {std::pair{k2D, "vector(d*x, d*y) = vector(a*y, -x)"},
                                     std::pair{k3D, "vector(d*x, d*y, d*z) = vector(a*y, -x, 1)"}}) {
    Pane p(space);
    gGraphPaneHooks.AddToParameterList = [](const ExpressionRecord* tree, DocumentRecord*) {
      listed += DIM_Contains(tree, 'a') - 2 * DIM_Contains(tree, 'd');
    };
    listed = 0;
    EXPECT_EQ(p.Add(field), 0) << field;
    EXPECT_EQ(listed, 1) << field;
  }
  {
    Pane p(k3D);
    EXPECT_EQ(p.Add("z = a*x*y, x < a"), 0);
    EXPECT_FALSE(Holds(gMade[0], 2, 'a'));
    EXPECT_FALSE(Holds(gMade[0], 3, 'a'));
    EXPECT_DOUBLE_EQ(gMade[0].formulas[2]->Evaluate(1.5, 0.5, 0, 0, 0, 0), 1.5);
  }
  InstallDocumentNameHooks(document);
}

}  // namespace
