#include "evaluation/interval/IntervalElementary.h"

#include <algorithm>
#include <cmath>

#include "evaluation/interval/IntervalOrdinary.h"
#include "evaluation/special/RealFunctions.h"

namespace {

// An increasing function defined on the whole line. An exterior operand maps
// to an exterior result only while the mapped ends stay strictly reversed;
// once they meet, the two rays' images overlap and the whole range is the
// only honest answer.
template <typename F>
Interval Increasing(const Interval& x, F f, Interval range) {
  const Interval r = {f(x.lower), f(x.upper)};
  if (IsExterior(x) && !IsExterior(r)) return range;
  return r;
}

bool WithinClosed(const Interval& x, double low, double high) {
  return low <= x.lower && x.lower <= x.upper && x.upper <= high;
}

// The table shared by the even functions: g decreasing left of 0 and
// increasing right of it (g0 = g(0)), or the reverse when peakAtZero.
template <typename G>
Interval Even(const Interval& x, G g, bool peakAtZero) {
  const double g0 = g(0.0);
  const double farEnd = peakAtZero ? 0.0 : gInf;
  if (IsUndefined(x)) return peakAtZero ? Interval{0, gNaN} : Interval{gNaN, gInf};
  Interval r;
  if (IsExterior(x)) {
    if (x.lower > 0 && x.upper < 0) {
      const double nearest = g(std::min(x.lower, -x.upper));
      r = {nearest, farEnd};
    } else {
      r = {g0, farEnd};
    }
  } else if (x.upper < 0) {
    r = {g(x.upper), g(x.lower)};
  } else if (x.lower <= 0) {
    r = {g0, g(std::max(-x.lower, x.upper))};
  } else {
    r = {g(x.lower), g(x.upper)};
  }
  return peakAtZero ? Interval{r.upper, r.lower} : r;
}

double SquareOf(double v) { return v * v; }

// Both rays of [lower, upper] lie in |t| >= 1, in either kind.
bool OutsideUnitInterval(const Interval& x) {
  if (IsUndefined(x)) return false;
  if (IsOrdinary(x)) return x.upper <= -1 || x.lower >= 1;
  return x.upper <= -1 && x.lower >= 1;
}

}  // namespace

Interval Sgn(const Interval& x) {
  if (!IsOrdinary(x)) return {-1, 1};
  if (x.lower > 0) return {1, 1};
  if (x.lower == 0) return x.upper > 0 ? Interval{0, 1} : Interval{0, 0};
  if (x.upper < 0) return {-1, -1};
  return x.upper == 0 ? Interval{-1, 0} : Interval{-1, 1};
}

Interval Abs(const Interval& x) {
  return Even(
      x, [](double v) { return std::abs(v); }, false);
}
Interval Sqr(const Interval& x) { return IsOrdinary(x) ? SqrOrdinary(x) : Even(x, SquareOf, false); }
Interval Cosh(const Interval& x) {
  return Even(
      x, [](double v) { return std::cosh(v); }, false);
}
Interval Sech(const Interval& x) {
  return Even(
      x, [](double v) { return ::Sech(v); }, true);
}

Interval Sqrt(const Interval& x) {
  if (!(x.lower >= 0 && x.lower <= x.upper)) return gNaNInterval;
  return {std::sqrt(x.lower), std::sqrt(x.upper)};
}

Interval Log(const Interval& x) {
  if (!(x.lower >= 0 && x.lower <= x.upper)) return gNaNInterval;
  return {std::log(x.lower), std::log(x.upper)};
}

Interval Log10(const Interval& x) {
  if (!(x.lower >= 0 && x.lower <= x.upper)) return gNaNInterval;
  return {std::log10(x.lower), std::log10(x.upper)};
}

Interval Exp(const Interval& x) {
  return Increasing(x, [](double v) { return std::exp(v); }, {0, gInf});
}
Interval Sinh(const Interval& x) {
  return Increasing(
      x, [](double v) { return std::sinh(v); }, kWholeLine);
}
Interval Asinh(const Interval& x) {
  return Increasing(
      x, [](double v) { return std::asinh(v); }, kWholeLine);
}
Interval Floor(const Interval& x) {
  return Increasing(
      x, [](double v) { return std::floor(v); }, kWholeLine);
}
Interval Ceil(const Interval& x) {
  return Increasing(
      x, [](double v) { return std::ceil(v); }, kWholeLine);
}

Interval Tanh(const Interval& x) {
  if (IsExterior(x)) return {-1, 1};
  return {std::tanh(x.lower), std::tanh(x.upper)};
}

Interval Csch(const Interval& x) { return Inverse(Sinh(x)); }

Interval Coth(const Interval& x) {
  if (IsExterior(x)) return Inverse({-1, 1});
  return Inverse({std::tanh(x.lower), std::tanh(x.upper)});
}

Interval Acosh(const Interval& x) {
  if (x.lower < 1 || x.lower > x.upper) return gNaNInterval;
  return {std::acosh(x.lower), std::acosh(x.upper)};
}

Interval Atanh(const Interval& x) {
  if (!WithinClosed(x, -1, 1)) return gNaNInterval;
  return {std::atanh(x.lower), std::atanh(x.upper)};
}

Interval Asech(const Interval& x) {
  if (!WithinClosed(x, 0, 1)) return gNaNInterval;
  return {::Asech(x.upper), ::Asech(x.lower)};
}

Interval Acsch(const Interval& x) {
  if (IsWholeLine(x)) return kWholeLine;
  const Interval r = {::Acsch(x.upper), ::Acsch(x.lower)};
  // With 0 among the operand's points the image runs off to both infinities,
  // so the result must be exterior; ends that met say nothing.
  const bool zeroInside = IsOrdinary(x) ? (x.lower < 0 && 0 < x.upper) : (x.upper >= 0 || x.lower <= 0);
  if (zeroInside && !IsUndefined(x) && !IsExterior(r)) return kWholeLine;
  return r;
}

Interval Acoth(const Interval& x) {
  if (!OutsideUnitInterval(x)) return gNaNInterval;
  return {::Acoth(x.upper), ::Acoth(x.lower)};
}

Interval Asin(const Interval& x) {
  if (!WithinClosed(x, -1, 1)) return gNaNInterval;
  return {std::asin(x.lower), std::asin(x.upper)};
}

Interval Acos(const Interval& x) {
  if (!WithinClosed(x, -1, 1)) return gNaNInterval;
  return {std::acos(x.upper), std::acos(x.lower)};
}

Interval Atan(const Interval& x) {
  if (IsExterior(x)) return {-gPi / 2, gPi / 2};
  return {std::atan(x.lower), std::atan(x.upper)};
}

Interval Acot(const Interval& x) {
  if (IsExterior(x)) return {0, gPi};
  return {::Acot(x.upper), ::Acot(x.lower)};
}

Interval Asec(const Interval& x) {
  if (!OutsideUnitInterval(x)) return gNaNInterval;
  return {::Asec(x.lower), ::Asec(x.upper)};
}

Interval Acsc(const Interval& x) {
  if (!OutsideUnitInterval(x)) return gNaNInterval;
  return {::Acsc(x.upper), ::Acsc(x.lower)};
}
