#pragma once

// Random boxes and the containment check shared by the interval suites:
// every point value of a function over a box must lie in the interval the
// box gives, up to a few ulps at the ends.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "evaluation/interval/Interval.h"

namespace interval_sampling {

inline constexpr double kEpsilon = 2.220446049250313e-16;

// Ends are drawn from a few magnitudes, from the function's special points
// (poles, cuts, turning points: hit exactly or missed by a hair) and from
// the integers; boxes come ordinary, exterior, single-point or straddling a
// special point.
class BoxMaker {
 public:
  BoxMaker(uint64_t seed, std::vector<double> scales, std::vector<double> specials)
      : fRng(seed), fScales(std::move(scales)), fSpecials(std::move(specials)) {
    fSpecials.push_back(0);
  }

  // The standard library's uniform draw on [0, 1) from this engine, written
  // out: test code compiles unoptimised, where the library's layers (and the
  // logarithms it takes at every draw) were most of these suites' time.
  double Uniform() {
    const double u = static_cast<double>(fRng()) / 18446744073709551616.0;
    return u < 1 ? u : std::nextafter(1.0, 0.0);
  }
  double Scale() { return fScales[Pick(fScales.size())]; }

  // Never -0: which infinity 1/x or pow(x, -1) gives at a zero end is a
  // matter of the zero's sign, which no interval end can promise.
  double End() { return RawEnd() + 0.0; }

  double RawEnd() {
    const double r = Uniform();
    if (r < 0.55) return (2 * Uniform() - 1) * Scale();
    if (r < 0.8) return Nudged(fSpecials[Pick(fSpecials.size())]);
    if (r < 0.95) return std::round((2 * Uniform() - 1) * Scale());
    if (r < 0.99) return (2 * Uniform() - 1) * 1e-3;
    return Uniform() < 0.5 ? -gInf : gInf;
  }

  Interval Box() {
    const double r = Uniform();
    if (r < 0.1) {
      const double v = End();
      return {v, v};
    }
    if (r < 0.3) {
      const double s = Nudged(fSpecials[Pick(fSpecials.size())]);
      return {s - Uniform() * Scale() * 0.1, s + Uniform() * Scale() * 0.1};
    }
    const double a = End(), b = End();
    if (r < 0.75) return {std::min(a, b), std::max(a, b)};
    return {std::max(a, b), std::min(a, b)};  // exterior (or a point)
  }

  // A point of the set the box stands for: an end, or a point inside it, or
  // on one of its rays.
  double PointIn(const Interval& box) {
    const double r = Uniform();
    if (r < 0.15) return box.lower;
    if (r < 0.3) return box.upper;
    if (IsExterior(box)) {
      const double reach = Uniform() * Scale() * (Uniform() < 0.8 ? 1 : 1e6);
      return Uniform() < 0.5 ? box.upper - reach : box.lower + reach;
    }
    double lo = box.lower, hi = box.upper;
    if (lo == hi || IsUndefined(box)) return lo;
    if (std::isinf(lo) && std::isinf(hi)) return (2 * Uniform() - 1) * Scale();
    if (std::isinf(lo)) lo = hi - Scale() * 10;
    if (std::isinf(hi)) hi = lo + Scale() * 10;
    const double u = Uniform();
    return std::clamp(lo * (1 - u) + hi * u, lo, hi);
  }

 private:
  size_t Pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(fRng); }
  double Nudged(double v) {
    const double r = Uniform();
    if (r < 0.5) return v;
    const int steps = 1 + static_cast<int>(Uniform() * 4);
    double w = v;
    for (int i = 0; i < steps; ++i) w = std::nextafter(w, r < 0.75 ? gInf : -gInf);
    return w;
  }

  std::mt19937_64 fRng;
  std::vector<double> fScales;
  std::vector<double> fSpecials;
};

// Allowed slack at an end: ulps of the larger of the value and a scale the
// caller gives (for results assembled from larger intermediate terms).
struct Slack {
  double ulps = 4;
  double scale = 0;
  double Of(double v, double end) const {
    return ulps * kEpsilon * (std::max(std::abs(v), std::isinf(end) ? 0.0 : std::abs(end)) + scale) + 1e-300;
  }
};

inline bool Holds(const Interval& r, double v, const Slack& slack) {
  if (std::isnan(v) || IsUndefined(r)) return true;  // outside the domain, or reported undefined
  if (IsExterior(r)) {
    return std::isinf(v) || v <= r.upper + slack.Of(v, r.upper) || v >= r.lower - slack.Of(v, r.lower);
  }
  if (v == gInf) return r.upper == gInf;
  if (v == -gInf) return r.lower == -gInf;
  return v >= r.lower - slack.Of(v, r.lower) && v <= r.upper + slack.Of(v, r.upper);
}

// Counts violations and keeps the first few for the failure message.
class Tally {
 public:
  template <typename Describe>
  void Check(bool ok, Describe describe) {
    if (ok) return;
    if (++fCount <= 5) fReport << describe() << "\n";
  }
  int count() const { return fCount; }
  std::string report() const { return fReport.str(); }

 private:
  int fCount = 0;
  std::ostringstream fReport;
};

inline std::string Show(const Interval& a) {
  std::ostringstream out;
  out.precision(17);
  out << "[" << a.lower << ", " << a.upper << "]";
  return out.str();
}

inline std::string Show(double v) {
  std::ostringstream out;
  out.precision(17);
  out << v;
  return out.str();
}

// The same ends, NaN matching NaN.
inline ::testing::AssertionResult SameInterval(const Interval& actual, const Interval& expected) {
  const auto same = [](double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); };
  if (same(actual.lower, expected.lower) && same(actual.upper, expected.upper)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << Show(actual) << " expected " << Show(expected);
}

inline constexpr int kBoxes = 100000;

template <typename IntervalF, typename PointF>
void CheckUnary(const char* name, BoxMaker maker, IntervalF intervalF, PointF pointF, Slack slack = {},
                int samples = 8) {
  Tally tally;
  for (int i = 0; i < kBoxes; ++i) {
    const Interval box = maker.Box();
    const Interval r = intervalF(box);
    for (int s = 0; s < samples; ++s) {
      const double x = maker.PointIn(box);
      const double v = pointF(x);
      tally.Check(Holds(r, v, slack),
                  [&] { return name + Show(box) + " = " + Show(r) + " misses f(" + Show(x) + ") = " + Show(v); });
    }
  }
  EXPECT_EQ(tally.count(), 0) << tally.report();
}

template <typename IntervalF, typename PointF>
void CheckBinary(const char* name, BoxMaker makerA, BoxMaker makerB, IntervalF intervalF, PointF pointF,
                 Slack slack = {}, int samples = 8) {
  Tally tally;
  for (int i = 0; i < kBoxes; ++i) {
    const Interval a = makerA.Box(), b = makerB.Box();
    const Interval r = intervalF(a, b);
    for (int s = 0; s < samples; ++s) {
      const double x = makerA.PointIn(a), y = makerB.PointIn(b);
      const double v = pointF(x, y);
      tally.Check(Holds(r, v, slack), [&] {
        return name + Show(a) + Show(b) + " = " + Show(r) + " misses f(" + Show(x) + ", " + Show(y) + ") = " + Show(v);
      });
    }
  }
  EXPECT_EQ(tally.count(), 0) << tally.report();
}

}  // namespace interval_sampling
