#pragma once

#include <cmath>
#include <functional>

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
