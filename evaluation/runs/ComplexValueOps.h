#pragma once

// What every interpreter computes at one point over complex numbers; shared by
// the point and the grid interpreters.

#include <cmath>

#include "CoreUtilities/text/OurString.h"
#include "evaluation/complex/ComplexFunctions.h"
#include "evaluation/runs/SharedValueOps.h"
#include "evaluation/StringValues.h"
#include "evaluation/runs/ValueOps.h"
#include "platform/CheckedConvert.h"

template <>
struct ValueOps<Complex> : SharedValueOps<Complex, ValueOps<Complex>> {
  using T = Complex;
  static constexpr bool kStopsOnNaN = true;

  static T NaN() { return gNaNComplex; }
  static T Zero() { return {0.0, 0.0}; }
  static T True() { return {1.0, 0.0}; }
  static T False() { return {0.0, 0.0}; }
  static T Truth(bool holds) { return holds ? True() : False(); }
  static T FromReal(double v) { return {v, 0.0}; }
  static T FromParameter(const Complex& z) { return z; }
  static T FromConstant(const Complex& z) { return z; }
  static bool HasNaN(const T& z) { return std::isnan(z.re) || std::isnan(z.im); }
  static bool IsTrue(const T& z) { return z.re == 1.0 && z.im == 0.0; }
  static bool IsFalse(const T& z) { return z.re == 0.0 && z.im == 0.0; }
  static double RealValue(const T& z) { return z.im == 0 ? z.re : gNaN; }
  static int32_t ToRow(const T& z) { return DoubleToInt32(RealValue(z)); }
  static T Finish(const T& z) { return z; }

  static T Add(const T& a, const T& b) { return {a.re + b.re, a.im + b.im}; }
  static T Sub(const T& a, const T& b) { return {a.re - b.re, a.im - b.im}; }
  static T Mul(const T& a, const T& b) { return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re}; }
  // Scaled division: the divisor's larger part is divided into the other,
  // so no intermediate overflows where the quotient does not.
  static T Div(const T& a, const T& b) {
    if (std::fabs(b.re) >= std::fabs(b.im)) {
      const double ratio = b.im / b.re;
      const double denominator = b.re + b.im * ratio;
      return {(a.re + a.im * ratio) / denominator, (a.im - a.re * ratio) / denominator};
    }
    const double ratio = b.re / b.im;
    const double denominator = b.re * ratio + b.im;
    return {(a.re * ratio + a.im) / denominator, (a.im * ratio - a.re) / denominator};
  }
  static T MakeInterval(const T&, const T& top) { return top; }
  static T Neg(const T& z) { return {-z.re, -z.im}; }
  static T Abs(const T& z) { return {std::hypot(z.re, z.im), 0.0}; }
  static T Square(const T& z) { return {z.re * z.re - z.im * z.im, 2 * z.re * z.im}; }
  static T Sin(const T& z) { return ::Sin(z); }
  static T Cos(const T& z) { return ::Cos(z); }

  static T Compare(int32_t opcode, const T& left, const T& right) {
    const bool real = left.im == 0 && right.im == 0;
    switch (opcode) {
      case pcLess: return Truth(real && left.re < right.re);
      case pcGreater: return Truth(real && left.re > right.re);
      case pcLessEq: return Truth(real && left.re <= right.re);
      case pcGreaterEq: return Truth(real && left.re >= right.re);
      case pcEqual: return Truth(left.re == right.re && left.im == right.im);
      default: return Truth(!(left.re == right.re && left.im == right.im));
    }
  }
  static T ChainAnd(const T& a, const T& b) { return And(a, b); }

  static T StrEqual(const T& a, const T& b) {
    const double x = RealValue(a);
    const double y = RealValue(b);
    if (std::isnan(x) || std::isnan(y)) return gNaNComplex;
    const UniChar* s = TextOfStringValue(x);
    const UniChar* t = TextOfStringValue(y);
    if (s != nullptr && t != nullptr) return Truth(OurStringEqual(s, t));
    return Truth(s == t);
  }
  static T StrNotEqual(const T& a, const T& b) { return Truth(!IsTrue(StrEqual(a, b))); }
  static T And(const T& a, const T& b) { return Truth(IsTrue(a) && IsTrue(b)); }
  static T Or(const T& a, const T& b) { return Truth(IsTrue(a) || IsTrue(b)); }
  static T Not(const T& z) { return Truth(!IsTrue(z)); }
  static T FoundOr(const T& found, const T& condition) { return Or(found, condition); }
  static T Undecided(const T&, const T&) { return gNaNComplex; }

  static T PowFrac(const T& third, const T& second, const T& top) { return ::Pow(third, Div(second, top)); }
  static T Re(const T& z) { return {z.re, 0.0}; }
  static T Im(const T& z) { return {z.im, 0.0}; }
  static T Inf(const T& z) { return z; }
  static T Sup(const T& z) { return z; }
  static T Arg(const T& z) { return {std::atan2(z.im, z.re), 0.0}; }
  static T Conj(const T& z) { return {z.re, -z.im}; }
  static T ImaginaryUnit() { return {0.0, 1.0}; }

  static LoopStep LoopDecision(const T& index, const T& limit) {
    if (index.re > limit.re) return LoopStep::kLeave;
    return limit.re - index.re <= kMaxLoopIterations ? LoopStep::kEnter : LoopStep::kAbandon;
  }
  static T Increment(const T& index) {
    const T next = {index.re + 1.0, index.im};
    return next.re == index.re ? gNaNComplex : next;
  }
  // Outside its bounds, or off the real axis, a term is undefined, as in
  // the real interpreter.
  static T IndexCheck(const T& top, const T& index, const T& limit, const T& start, double) {
    const bool real = index.im == 0 && limit.im == 0 && start.im == 0;
    return real && start.re <= index.re && index.re <= limit.re ? top : gNaNComplex;
  }
};
