// Every inequality and implicit curve of the set, checked pixel by pixel
// against a dense sampler of the same condition written as C++. The sampler
// shares nothing with the parser, the compiler or the interpreters.
#include <cmath>
#include <functional>
#include <vector>

#include "CoreUtilities/drawing/TwoBitMaps.h"
#include "tests/graphs2d/InequalityTestSupport.h"

namespace {

struct Window {
  int width, height;
  double x0, x1, y0, y1;
};

constexpr Window kDefault{61, 47, -3.3, 3.1, -2.7, 2.9};
constexpr Window kSmall{23, 19, -1.05, 0.95, -0.93, 1.07};

struct Case {
  const char* condition;
  const char* boundary;
  bool equation;
  // Inequality: the condition holds where margin > 0 (>= 0 when not
  // strict). Equation: continuous where defined, zero exactly on the curve.
  // NaN: undefined.
  std::function<double(double, double)> margin;
  Window window = kDefault;
  bool strict = true;
  // |margin| up to this is taken as lying on the boundary (rounding).
  double tolerance = 1e-9;
  std::vector<std::pair<double, double>> onCurve = {};
};

double Floored(double a, double b) { return a - b * std::floor(a / b); }

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      // Regions.
      {"y < sin(x)", "y - sin(x)", false, [](double x, double y) { return std::sin(x) - y; }},
      {"x^2 + y^2 < 4", "x^2 + y^2 - 4", false, [](double x, double y) { return 4 - x * x - y * y; }},
      {"And(x > 0, y > 0)", "x*y", false, [](double x, double y) { return std::min(x, y); }},
      {"Or(x*y > 1, x < -2)", "(x*y - 1)*(x + 2)", false,
       [](double x, double y) { return std::max(x * y - 1, -2 - x); }},
      {"y < sqrt(x)", "y - sqrt(x)", false, [](double x, double y) { return std::sqrt(x) - y; }},
      {"y < ln(x)", "y - ln(x)", false, [](double x, double y) { return std::log(x) - y; }},
      {"y > 1/x", "y - 1/x", false, [](double x, double y) { return y - 1 / x; }},
      {"abs(x) + abs(y) < 1", "abs(x) + abs(y) - 1", false,
       [](double x, double y) { return 1 - std::fabs(x) - std::fabs(y); }, kSmall},
      {"y < floor(x)", "y - floor(x)", false, [](double x, double y) { return std::floor(x) - y; }},
      {"mod(x, 1) < 0.5", "mod(x, 1) - 0.5", false, [](double x, double) { return 0.5 - Floored(x, 1); }},
      {"sin(x*y) > 0",
       "sin(x*y)",
       false,
       [](double x, double y) { return std::sin(x * y); },
       {61, 47, -6.1, 5.9, -5.3, 6.1}},
      {"y < tan(x)", "y - tan(x)", false, [](double x, double y) { return std::tan(x) - y; }},
      {"y < x^(1/3)", "y - x^(1/3)", false, [](double x, double y) { return std::cbrt(x) - y; }},
      {"max(abs(x), abs(y)) < 1", "max(abs(x), abs(y)) - 1", false,
       [](double x, double y) { return 1 - std::max(std::fabs(x), std::fabs(y)); }},
      {"y < exp(x) - 3", "y - exp(x) + 3", false, [](double x, double y) { return std::exp(x) - 3 - y; }},
      {"x^2 < y < 2 - x^2", "(y - x^2)*(2 - x^2 - y)", false,
       [](double x, double y) { return std::min(y - x * x, 2 - x * x - y); }},
      {"sin(x) + cos(y) > 0.5",
       "sin(x) + cos(y) - 0.5",
       false,
       [](double x, double y) { return std::sin(x) + std::cos(y) - 0.5; },
       {97, 71, -100, 100, -80, 80}},
      {"y < sin(1/x)", "y - sin(1/x)", false, [](double x, double y) { return std::sin(1 / x) - y; }, kSmall},
      {"Not(x^2 + y^2 < 1)", "x^2 + y^2 - 1", false, [](double x, double y) { return x * x + y * y - 1; }, kDefault,
       false},
      {"y*y < x^3 - x", "y^2 - x^3 + x", false, [](double x, double y) { return x * x * x - x - y * y; }},
      {"y < x^2",
       "y - x^2",
       false,
       [](double x, double y) { return x * x - y; },
       {61, 47, -1.3e6, 1.1e6, -0.7e12, 1.9e12},
       true,
       1e-3},
      {"y < x^2",
       "y - x^2",
       false,
       [](double x, double y) { return x * x - y; },
       {29, 31, 0.9999, 1.0001, 0.9998, 1.0002},
       true,
       1e-15},
      // Curves.
      {"x^2 + y^2 = 4",
       "x^2 + y^2 - 4",
       true,
       [](double x, double y) { return x * x + y * y - 4; },
       kDefault,
       true,
       1e-9,
       {{2, 0}, {0, -2}}},
      {"y = sin(x)",
       "y - sin(x)",
       true,
       [](double x, double y) { return y - std::sin(x); },
       kDefault,
       true,
       1e-9,
       {{0, 0}}},
      {"x*y = 1", "x*y - 1", true, [](double x, double y) { return x * y - 1; }, kDefault, true, 1e-9, {{1, 1}}},
      {"y = tan(x)",
       "y - tan(x)",
       true,
       [](double x, double y) { return y * std::cos(x) - std::sin(x); },
       kDefault,
       true,
       1e-9,
       {{0, 0}}},
      {"x^2 + y^2 = 0",
       "x^2 + y^2",
       true,
       [](double x, double y) { return x * x + y * y; },
       kDefault,
       true,
       1e-9,
       {{0, 0}}},
      {"(x^2 + y^2 - 1)^2 = 0",
       "x^2 + y^2 - 1",
       true,
       [](double x, double y) { return (x * x + y * y - 1) * (x * x + y * y - 1); },
       kDefault,
       true,
       1e-9,
       {{1, 0}, {0, 1}, {-1, 0}, {0, -1}, {0.6, 0.8}, {-0.8, 0.6}}},
      {"y^2 = x^3",
       "y^2 - x^3",
       true,
       [](double x, double y) { return y * y - x * x * x; },
       kSmall,
       true,
       1e-9,
       {{0, 0}, {0.25, 0.125}}},
      {"y^2 = x^2*(x + 1)",
       "y^2 - x^2*(x + 1)",
       true,
       [](double x, double y) { return y * y - x * x * (x + 1); },
       kSmall,
       true,
       1e-9,
       {{0, 0}, {-1, 0}}},
      {"y = sqrt(x)",
       "y - sqrt(x)",
       true,
       [](double x, double y) { return y - std::sqrt(x); },
       kDefault,
       true,
       1e-9,
       {{1, 1}, {2.25, 1.5}}},
      {"y = ln(x)",
       "y - ln(x)",
       true,
       [](double x, double y) { return y - std::log(x); },
       kDefault,
       true,
       1e-9,
       {{1, 0}}},
      {"sin(x) = cos(y)",
       "sin(x) - cos(y)",
       true,
       [](double x, double y) { return std::sin(x) - std::cos(y); },
       {89, 67, -20.3, 19.9, -15.1, 15.3}},
      {"y = 1/(x - 0.3)",
       "y - 1/(x - 0.3)",
       true,
       [](double x, double y) { return y * (x - 0.3) - 1; },
       kDefault,
       true,
       1e-9,
       {{1.3, 1}}},
      {"x^4 + y^4 = 1",
       "x^4 + y^4 - 1",
       true,
       [](double x, double y) { return x * x * x * x + y * y * y * y - 1; },
       kSmall,
       true,
       1e-9,
       {{1, 0}, {0, 1}}},
      {"sin(x^2 + y^2) = 0",
       "sin(x^2 + y^2)",
       true,
       [](double x, double y) { return std::sin(x * x + y * y); },
       {67, 61, -6.2, 6.1, -5.9, 6.3},
       true,
       1e-9,
       {{0, 0}}},
      {"y = x^(1/3)",
       "y - x^(1/3)",
       true,
       [](double x, double y) { return y - std::cbrt(x); },
       kDefault,
       true,
       1e-9,
       {{-1, -1}, {0, 0}}},
      {"x = y^2 - 1",
       "x - y^2 + 1",
       true,
       [](double x, double y) { return x - y * y + 1; },
       kDefault,
       true,
       1e-9,
       {{-1, 0}}},
      {"y = x^2",
       "y - x^2",
       true,
       [](double x, double y) { return y - x * x; },
       {61, 47, -1.3e6, 1.1e6, -0.7e12, 1.9e12},
       true,
       1e-3,
       {{0, 0}, {1e6, 1e12}}},
      {"abs(x) + abs(y) = 1",
       "abs(x) + abs(y) - 1",
       true,
       [](double x, double y) { return std::fabs(x) + std::fabs(y) - 1; },
       kSmall,
       true,
       1e-9,
       {{1, 0}, {0, 1}, {0.5, -0.5}}},
      {"y = exp(x)",
       "y - exp(x)",
       true,
       [](double x, double y) { return y - std::exp(x); },
       kDefault,
       true,
       1e-9,
       {{0, 1}}},
  };
  return cases;
}

// The samples of one view: K x K interior points of every pixel box, the
// boxes bounded by the same pixel lines the graph uses.
class Sampler {
 public:
  Sampler(const Case& which, const A2DTransform& t, int k)
      : fCase(which),
        fK(k),
        fWidth(t.pixelRect.right),
        fHeight(t.pixelRect.bottom),
        fValues(size_t(fWidth * k) * fHeight * k) {
    for (int r = 0; r < fHeight; ++r) {
      const double top = -(r - t.yOrigin - 0.5) * t.yUnitsPerPixel,
                   bottom = -(r + 1 - t.yOrigin - 0.5) * t.yUnitsPerPixel;
      for (int sv = 0; sv < k; ++sv) {
        const double y = top + (bottom - top) * (sv + 0.5) / k;
        for (int c = 0; c < fWidth; ++c) {
          const double left = (c - t.xOrigin - 0.5) * t.xUnitsPerPixel,
                       right = (c + 1 - t.xOrigin - 0.5) * t.xUnitsPerPixel;
          for (int sh = 0; sh < k; ++sh)
            At(c * k + sh, r * k + sv) = fCase.margin(left + (right - left) * (sh + 0.5) / k, y);
        }
      }
    }
  }
  double& At(int i, int j) { return fValues[size_t(j) * fWidth * fK + i]; }
  bool Holds(double m) const { return fCase.strict ? m > 0 : m >= 0; }
  bool Near(double m) const { return std::fabs(m) <= fCase.tolerance; }
  // Some samples of the pixel defined and some not.
  bool Mixed(int c, int r) {
    int undefined = 0;
    for (int j = r * fK; j < (r + 1) * fK; ++j) {
      for (int i = c * fK; i < (c + 1) * fK; ++i) undefined += std::isnan(At(i, j));
    }
    return undefined > 0 && undefined < fK * fK;
  }

  const Case& fCase;
  int fK, fWidth, fHeight;
  std::vector<double> fValues;
};

// A contradiction counts unless the pixel meets the domain's edge (some
// samples undefined) or the contradicting samples lie on the boundary.
void Classify(bool mixed, bool near, int* wrong, const char* what, int c, int r) {
  if (!mixed && !near && (*wrong)++ < 5) ADD_FAILURE() << what << " at pixel (" << c << ", " << r << ")";
}

int CheckInequality(Sampler& s, const std::vector<uint8_t>& map) {
  int wrong = 0;
  for (int r = 0; r < s.fHeight; ++r) {
    for (int c = 0; c < s.fWidth; ++c) {
      const int value = map[size_t(r) * s.fWidth + c];
      if (value == kTwoBitTint) continue;
      bool contradicted = false, near = true;
      for (int j = r * s.fK; j < (r + 1) * s.fK; ++j) {
        for (int i = c * s.fK; i < (c + 1) * s.fK; ++i) {
          const double m = s.At(i, j);
          if (s.Holds(m) != (value == kTwoBitFull)) contradicted = true, near = near && s.Near(m);
        }
      }
      if (contradicted)
        Classify(s.Mixed(c, r), near, &wrong,
                 value ? "a full pixel with a false sample" : "an empty pixel with a true sample", c, r);
    }
  }
  return wrong;
}

bool SignChange(double a, double b) { return (a < 0 && b > 0) || (a > 0 && b < 0); }

int CheckEquation(Sampler& s, const std::vector<uint8_t>& map, const A2DTransform& t) {
  int wrong = 0;
  const auto marked = [&](int i, int j) { return map[size_t(j / s.fK) * s.fWidth + i / s.fK] != 0; };
  // Every pair of neighbouring samples with a zero between them needs one of
  // their pixels marked.
  const auto pair = [&](int i0, int j0, int i1, int j1) {
    const double a = s.At(i0, j0), b = s.At(i1, j1);
    if (!SignChange(a, b) || marked(i0, j0) || marked(i1, j1)) return;
    const bool mixed = s.Mixed(i0 / s.fK, j0 / s.fK) || s.Mixed(i1 / s.fK, j1 / s.fK);
    Classify(mixed, std::min(std::fabs(a), std::fabs(b)) <= s.fCase.tolerance, &wrong, "a sign change unmarked",
             i0 / s.fK, j0 / s.fK);
  };
  const int columns = s.fWidth * s.fK, rows = s.fHeight * s.fK;
  for (int j = 0; j < rows; ++j) {
    for (int i = 0; i < columns; ++i) {
      if (i + 1 < columns) pair(i, j, i + 1, j);
      if (j + 1 < rows) pair(i, j, i, j + 1);
    }
  }
  for (uint8_t p : map) {
    if (p != 0 && p != kTwoBitFull) ADD_FAILURE() << "an equation pixel of " << int(p);
  }
  // Points known to lie on the curve: a pixel whose closed box holds one is marked.
  for (auto [x, y] : s.fCase.onCurve) {
    bool found = false, inside = false;
    for (int r = 0; r < s.fHeight; ++r) {
      const double top = -(r - t.yOrigin - 0.5) * t.yUnitsPerPixel,
                   bottom = -(r + 1 - t.yOrigin - 0.5) * t.yUnitsPerPixel;
      for (int c = 0; c < s.fWidth; ++c) {
        const double left = (c - t.xOrigin - 0.5) * t.xUnitsPerPixel,
                     right = (c + 1 - t.xOrigin - 0.5) * t.xUnitsPerPixel;
        if (x < left || x > right || y < bottom || y > top) continue;
        inside = true;
        found = found || map[size_t(r) * s.fWidth + c] != 0;
      }
    }
    EXPECT_TRUE(found || !inside) << "the curve's point (" << x << ", " << y << ") is not marked";
  }
  return wrong;
}

class InequalityOracleTest : public ComputeTest, public testing::WithParamInterface<int> {};

TEST_P(InequalityOracleTest, NoPixelContradictsTheSampler) {
  const Case& c = Cases()[size_t(GetParam())];
  const Window& w = c.window;
  const A2DTransform t = WindowTransform(w.width, w.height, w.x0, w.x1, w.y0, w.y1);
  const int k = w.width * w.height < 1000 ? 24 : 16;
  Sampler sampler(c, t, k);
  for (int mode : c.equation ? std::vector<int>{2} : std::vector<int>{1, 2}) {
    auto graph = MakeInequality(c.condition, c.boundary, mode, c.equation, t);
    WaitUntilDone(*graph);
    const std::vector<uint8_t> map = Pixels(*graph, t);
    EXPECT_EQ(c.equation ? CheckEquation(sampler, map, t) : CheckInequality(sampler, map), 0)
        << c.condition << " in mode " << mode;
  }
}

INSTANTIATE_TEST_SUITE_P(Formulas, InequalityOracleTest, testing::Range(0, int(Cases().size())));

}  // namespace
