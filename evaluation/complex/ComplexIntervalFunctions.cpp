#include "evaluation/complex/ComplexIntervalFunctions.h"

#include <cmath>
#include <initializer_list>

#include "evaluation/complex/ComplexFunctions.h"
#include "evaluation/interval/IntervalElementary.h"
#include "evaluation/interval/IntervalPower.h"
#include "evaluation/interval/IntervalSpecial.h"
#include "evaluation/interval/IntervalTrig.h"
#include "evaluation/special/RealFunctions.h"

namespace {

constexpr Interval kZero = {0, 0};
constexpr ComplexInterval kOne = {{1, 1}, kZero};
constexpr ComplexInterval kMinusOne = {{-1, -1}, kZero};
constexpr ComplexInterval kI = {kZero, {1, 1}};
constexpr Interval kHalf = {0.5, 0.5};
constexpr Interval kTwo = {2, 2};

ComplexInterval Add(const ComplexInterval& a, const ComplexInterval& b) { return {a.re + b.re, a.im + b.im}; }
ComplexInterval Subtract(const ComplexInterval& a, const ComplexInterval& b) { return {a.re - b.re, a.im - b.im}; }

Interval Sin(const Interval& x) { return sincos(x, 1); }
Interval Cos(const Interval& x) { return sincos(x, 0); }

// log |u| + i arg u, the principal logarithm of a box.
ComplexInterval LogOfBox(const ComplexInterval& u) { return {Log(Hypot(u.re, u.im)), Arg(u.im, u.re)}; }

// Both signs of v: the hull of v and -v.
Interval EitherSign(const Interval& v) { return Union(v, -v); }

// The point arc cosine and arc cosine of z fold their result by the sign of
// a quantity that is 0 on part of the real axis, where rounding alone picks
// the sign; within this distance of 0 both folds are taken.
constexpr double kFoldSlack = 16 * 2.220446049250313e-16;

// (keep, other) when sign.lower is clearly positive, the mirror image when
// sign.upper is clearly negative, both otherwise.
ComplexInterval Fold(const Interval& sign, const Interval& other) {
  if (sign.lower > kFoldSlack) return {sign, other};
  if (sign.upper < -kFoldSlack) return {-sign, -other};
  return {Abs(sign), EitherSign(other)};
}

// The box formulas below cancel and underflow, without outward rounding,
// where the point functions do not: near the cuts the sign of a subnormal
// part decides the side, and z + sqrt(z^2 - 1) cancels for large negative
// z. The point values at the corners of a box (the ends of its rays, if
// exterior) are values of the function over it, so taking them in keeps the
// result around them.
ComplexInterval WithCorners(const ComplexInterval& z, ComplexInterval r, Complex (*point)(const Complex&)) {
  if (IsUndefined(z.re) || IsUndefined(z.im)) return r;
  const auto widen = [](Interval& part, double v) {
    if (IsOrdinary(part) && !std::isnan(v)) part = {std::fmin(part.lower, v), std::fmax(part.upper, v)};
  };
  for (const double x : {z.re.lower, z.re.upper}) {
    for (const double y : {z.im.lower, z.im.upper}) {
      const Complex v = point({x, y});
      widen(r.re, v.re);
      widen(r.im, v.im);
    }
  }
  return r;
}

template <typename F>
ComplexInterval RealOnly(const ComplexInterval& z, F f) {
  if (!IsReal(z)) return gNaNComplexInterval;
  return {f(z.re), kZero};
}

template <typename F>
ComplexInterval RealOnly(const ComplexInterval& a, const ComplexInterval& b, F f) {
  if (!IsReal(a) || !IsReal(b)) return gNaNComplexInterval;
  return {f(a.re, b.re), kZero};
}

}  // namespace

ComplexInterval Exp(const ComplexInterval& z) {
  const Interval e = Exp(z.re);
  return {e * Cos(z.im), e * Sin(z.im)};
}

ComplexInterval Log(const ComplexInterval& z) { return WithCorners(z, LogOfBox(z), ::Log); }

ComplexInterval Log10(const ComplexInterval& z) {
  return WithCorners(z, Log(z) / Log(ComplexInterval{{10, 10}, kZero}), ::Log10);
}

ComplexInterval Sqrt(const ComplexInterval& z) {
  if (IsReal(z) && IsOrdinary(z.re) && z.re.lower >= 0) return {Sqrt(z.re), kZero};
  // A negative real box takes the point root's exact form 0 + i sqrt(-x):
  // the polar form's cos(pi/2) leaves a real part of 1e-16 |z| that the arc
  // functions divide by quantities as small as 1/|z|.
  if (IsReal(z) && IsOrdinary(z.re) && z.re.upper <= 0) return {kZero, Sqrt(-z.re)};
  const Interval m = Sqrt(Hypot(z.re, z.im));
  const Interval h = Arg(z.im, z.re) * kHalf;
  return {m * Cos(h), m * Sin(h)};
}

ComplexInterval Pow(const ComplexInterval& z, const ComplexInterval& w) {
  ComplexInterval r = Exp(w * LogOfBox(z));
  if (IsReal(z) && IsReal(w) && IsSinglePoint(w.re) && IsInteger(w.re.lower)) r.im = kZero;
  return r;
}

ComplexInterval Sin(const ComplexInterval& z) { return {Sin(z.re) * Cosh(z.im), Cos(z.re) * Sinh(z.im)}; }
ComplexInterval Cos(const ComplexInterval& z) { return {Cos(z.re) * Cosh(z.im), (-Sin(z.re)) * Sinh(z.im)}; }
ComplexInterval Sinh(const ComplexInterval& z) { return {Sinh(z.re) * Cos(z.im), Cosh(z.re) * Sin(z.im)}; }
ComplexInterval Cosh(const ComplexInterval& z) { return {Cosh(z.re) * Cos(z.im), Sinh(z.re) * Sin(z.im)}; }

ComplexInterval Tan(const ComplexInterval& z) {
  const Interval x2 = kTwo * z.re, y2 = kTwo * z.im;
  const Interval inverseD = Inverse(Cos(x2) + Cosh(y2));
  return {Sin(x2) * inverseD, Sinh(y2) * inverseD};
}

ComplexInterval Tanh(const ComplexInterval& z) {
  const Interval x2 = kTwo * z.re, y2 = kTwo * z.im;
  const Interval inverseD = Inverse(Cosh(x2) + Cos(y2));
  return {Sinh(x2) * inverseD, Sin(y2) * inverseD};
}

ComplexInterval Cot(const ComplexInterval& z) { return kOne / Tan(z); }
ComplexInterval Sec(const ComplexInterval& z) { return kOne / Cos(z); }
ComplexInterval Csc(const ComplexInterval& z) { return kOne / Sin(z); }
ComplexInterval Coth(const ComplexInterval& z) { return kOne / Tanh(z); }
ComplexInterval Sech(const ComplexInterval& z) { return kOne / Cosh(z); }
ComplexInterval Csch(const ComplexInterval& z) { return kOne / Sinh(z); }

// -i log(iz + sqrt(1 - z^2)), the branch of the point arc sine.
ComplexInterval Asin(const ComplexInterval& z) {
  const ComplexInterval s = Sqrt(Subtract(kOne, Sqr(z)));
  const ComplexInterval u = {s.re - z.im, z.re + s.im};
  const ComplexInterval l = LogOfBox(u);
  return WithCorners(z, {l.im, -l.re}, ::Asin);
}

// -i log(z + sqrt(z^2 - 1)), folded like the point arc cosine: a negative
// angle t becomes -t with the logarithm's sign turned, so the real part lies
// in [0, pi].
ComplexInterval Acos(const ComplexInterval& z) {
  const ComplexInterval u = Add(z, Sqrt(Add(Sqr(z), kMinusOne)));
  const ComplexInterval l = LogOfBox(u);
  return WithCorners(z, Fold(l.im, -l.re), ::Acos);
}

ComplexInterval Asinh(const ComplexInterval& z) {
  return WithCorners(z, LogOfBox(Add(z, Sqrt(Add(Sqr(z), kOne)))), ::Asinh);
}

// log(z + sqrt(z^2 - 1)), folded like the point function so the real part is
// never negative.
ComplexInterval Acosh(const ComplexInterval& z) {
  const ComplexInterval l = LogOfBox(Add(z, Sqrt(Add(Sqr(z), kMinusOne))));
  return WithCorners(z, Fold(l.re, l.im), ::Acosh);
}

ComplexInterval Atan(const ComplexInterval& z) {
  if (IsReal(z)) return {Atan(z.re), kZero};
  const ComplexInterval iz = kI * z;
  const ComplexInterval q = Add(kOne, iz) / Subtract(kOne, iz);
  const ComplexInterval s = Sqrt(q);
  // On the cut (q on the negative real axis) the point function's side is
  // set by the sign of a zero imaginary part: both sides, pi/2 and -pi/2.
  const bool onCut = q.re.lower < 0 && q.im.lower <= 0 && 0 <= q.im.upper;
  return WithCorners(z, {onCut ? Interval{-gPi / 2, gPi / 2} : Arg(s.im, s.re), -Log(Hypot(s.re, s.im))}, ::Atan);
}

ComplexInterval Atanh(const ComplexInterval& z) {
  const ComplexInterval q = Add(kOne, z) / Subtract(kOne, z);
  return WithCorners(z, ComplexInterval{kHalf, kZero} * LogOfBox(q), ::Atanh);
}

ComplexInterval Acot(const ComplexInterval& z) { return Atan(kOne / z); }
ComplexInterval Asec(const ComplexInterval& z) { return Acos(kOne / z); }
ComplexInterval Acsc(const ComplexInterval& z) { return Asin(kOne / z); }
ComplexInterval Acsch(const ComplexInterval& z) { return Asinh(kOne / z); }
ComplexInterval Asech(const ComplexInterval& z) { return Acosh(kOne / z); }
ComplexInterval Acoth(const ComplexInterval& z) { return Atanh(kOne / z); }

ComplexInterval Sgn(const ComplexInterval& z) {
  return RealOnly(z, [](const Interval& x) { return Sgn(x); });
}
ComplexInterval Floor(const ComplexInterval& z) {
  return RealOnly(z, [](const Interval& x) { return Floor(x); });
}
ComplexInterval Ceil(const ComplexInterval& z) {
  return RealOnly(z, [](const Interval& x) { return Ceil(x); });
}
ComplexInterval Fact(const ComplexInterval& z) {
  return RealOnly(z, [](const Interval& x) { return Fact(x); });
}

ComplexInterval Atan2(const ComplexInterval& y, const ComplexInterval& x) {
  return RealOnly(y, x, [](const Interval& a, const Interval& b) { return Atan2(a, b); });
}
ComplexInterval Hypot(const ComplexInterval& a, const ComplexInterval& b) {
  return RealOnly(a, b, [](const Interval& p, const Interval& q) { return Hypot(p, q); });
}
ComplexInterval Min(const ComplexInterval& a, const ComplexInterval& b) {
  return RealOnly(a, b, [](const Interval& p, const Interval& q) { return Min(p, q); });
}
ComplexInterval Max(const ComplexInterval& a, const ComplexInterval& b) {
  return RealOnly(a, b, [](const Interval& p, const Interval& q) { return Max(p, q); });
}
ComplexInterval Mod(const ComplexInterval& a, const ComplexInterval& b) {
  return RealOnly(a, b, [](const Interval& p, const Interval& q) { return Mod(p, q); });
}
ComplexInterval Choose(const ComplexInterval& n, const ComplexInterval& k) {
  return RealOnly(n, k, [](const Interval& p, const Interval& q) { return Choose(p, q); });
}
ComplexInterval Bessel(const ComplexInterval& n, const ComplexInterval& x) {
  return RealOnly(n, x, [](const Interval& p, const Interval& q) { return Bessel(p, q); });
}
