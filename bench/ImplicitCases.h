#pragma once

#include <chrono>
#include <cmath>
#include <functional>

#include "CoreUtilities/OurTime.h"
#include "graphs3d/implicit/ALattice.h"
#include "graphs3d/implicit/ALatticeFunction.h"

// The implicit surfaces both lattice benchmarks walk, as formula text and
// as the same function in C++.
using Field = std::function<double(double, double, double)>;

struct Case {
  const char* name;
  const char* text;
  Field f;
};

inline const Case kCases[3] = {
    {"sphere", "x^2 + y^2 + z^2 - 1", [](double x, double y, double z) { return x * x + y * y + z * z - 1; }},
    {"torus", "(sqrt(x^2 + y^2) - 1)^2 + z^2 - 0.16",
     [](double x, double y, double z) {
       const double r = std::sqrt(x * x + y * y) - 1;
       return r * r + z * z - 0.16;
     }},
    {"gyroid", "sin(x)*cos(y) + sin(y)*cos(z) + sin(z)*cos(x)",
     [](double x, double y, double z) {
       return std::sin(x) * std::cos(y) + std::sin(y) * std::cos(z) + std::sin(z) * std::cos(x);
     }},
};

// F as a C++ lambda, for the walks the benchmarks set beside the graph's.
class Lambda : public ALatticeFunction {
 public:
  explicit Lambda(const Field& f) : fF(f) {}
  double At(double x, double y, double z) override { return fF(x, y, z); }
  const Field& fF;
};

// One walk of the whole box [-2, 2]^3 in N^3 cells with F as a lambda.
inline double LambdaWalkSeconds(const Field& f, int n) {
  const auto start = std::chrono::steady_clock::now();
  Lambda lambda(f);
  SurfaceVertexList vertices;
  TriangleList triangles;
  ALattice lattice(lambda, -2, 2, -2, 2, -2, 2, n, n);
  while (!lattice.IsDoneComputing()) lattice.LoopOverUnitCubes(vertices, &triangles, OurTime() + OurDuration(60));
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}
