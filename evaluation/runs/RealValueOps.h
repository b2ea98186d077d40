#pragma once

// What every interpreter computes at one point over real numbers; shared by
// the point and the grid interpreters.

#include <cmath>

#include "CoreUtilities/text/OurString.h"
#include "evaluation/special/RealFunctions.h"
#include "evaluation/special/RealPower.h"
#include "evaluation/special/SpecialFunctions.h"
#include "evaluation/StringValues.h"
#include "evaluation/runs/ValueOps.h"
#include "platform/CheckedConvert.h"

template <>
struct ValueOps<double> {
  using T = double;
  static constexpr bool kStopsOnNaN = false;

  static T NaN() { return gNaN; }
  static T Zero() { return 0.0; }
  static T True() { return 1.0; }
  static T False() { return 0.0; }
  static T FromReal(double v) { return v; }
  static T FromParameter(const Complex& z) { return z.im == 0 ? z.re : gNaN; }
  static T FromConstant(const Complex& z) { return z.re; }
  static bool HasNaN(T x) { return std::isnan(x); }
  static bool IsTrue(T x) { return x == 1.0; }
  static bool IsFalse(T x) { return x == 0.0; }
  static int32_t ToRow(T x) { return DoubleToInt32(x); }
  static T Finish(T x) { return x; }

  // Of two NaN operands a sum and a product pass on the top's (b), a
  // quotient the dividend's, quieted. Picked here: which operand a
  // compiler puts first in the instruction, and so whose NaN it returns,
  // differs between compilers, and native runs must give the same bits.
  // A NaN meeting itself passes itself on; choosing the operand, not the
  // result, costs the grid rows' loops the least.
  static T Add(T a, T b) { return (std::isnan(b) ? b : a) + b; }
  static T Mul(T a, T b) { return (std::isnan(b) ? b : a) * b; }
  static T Div(T a, T b) { return a / (std::isnan(a) ? a : b); }
  static T Pow(T a, T b) { return RealPower(a, b); }
  static T Angle(T second, T top) {
    const double r = std::atan2(top, second);
    return r < 0 ? r + (gPi + gPi) : r;
  }
  static T Hypot(T a, T b) { return std::hypot(a, b); }
  static T MakeInterval(T, T top) { return top; }
  static T Neg(T x) { return -x; }
  static T Abs(T x) { return std::fabs(x); }
  static T Sgn(T x) { return ::Sgn(x); }
  static T Sqrt(T x) { return std::sqrt(x); }
  static T Exp(T x) { return std::exp(x); }
  static T Log10(T x) { return std::log10(x); }
  static T Log(T x) { return std::log(x); }
  static T Fact(T x) { return ::Fact(x); }
  static T Square(T x) { return x * x; }
  static T Sin(T x) { return std::sin(x); }
  static T Cos(T x) { return std::cos(x); }
  static T Tan(T x) { return std::tan(x); }
  static T Cot(T x) { return ::Cot(x); }
  static T Sec(T x) { return ::Sec(x); }
  static T Csc(T x) { return ::Csc(x); }
  static T Asin(T x) { return std::asin(x); }
  static T Acos(T x) { return std::acos(x); }
  static T Atan(T x) { return std::atan(x); }
  static T Acot(T x) { return ::Acot(x); }
  static T Asec(T x) { return ::Asec(x); }
  static T Acsc(T x) { return ::Acsc(x); }
  static T Sinh(T x) { return std::sinh(x); }
  static T Cosh(T x) { return std::cosh(x); }
  static T Tanh(T x) { return std::tanh(x); }
  static T Coth(T x) { return ::Coth(x); }
  static T Sech(T x) { return ::Sech(x); }
  static T Csch(T x) { return ::Csch(x); }
  static T Asinh(T x) { return std::asinh(x); }
  static T Acosh(T x) { return std::acosh(x); }
  static T Atanh(T x) { return std::atanh(x); }
  static T Acoth(T x) { return ::Acoth(x); }
  static T Asech(T x) { return ::Asech(x); }
  static T Acsch(T x) { return ::Acsch(x); }
  static T Floor(T x) { return std::floor(x); }
  static T Ceil(T x) { return std::ceil(x); }

  static T Compare(int32_t opcode, T left, T right) {
    switch (opcode) {
      case pcLess: return left < right ? 1.0 : 0.0;
      case pcGreater: return left > right ? 1.0 : 0.0;
      case pcLessEq: return left <= right ? 1.0 : 0.0;
      case pcGreaterEq: return left >= right ? 1.0 : 0.0;
      case pcEqual: return left == right ? 1.0 : 0.0;
      default: return left == right ? 0.0 : 1.0;  // a NaN pair differs
    }
  }
  static T ChainAnd(T a, T b) { return And(a, b); }

  static T StrEqual(T a, T b) {
    if (std::isnan(a) || std::isnan(b)) return gNaN;
    const UniChar* s = TextOfStringValue(a);
    const UniChar* t = TextOfStringValue(b);
    if (s != nullptr && t != nullptr) return OurStringEqual(s, t) ? 1.0 : 0.0;
    return s == t ? 1.0 : 0.0;
  }
  static T StrNotEqual(T a, T b) {
    if (std::isnan(a) || std::isnan(b)) return 0.0;
    return StrEqual(a, b) == 1.0 ? 0.0 : 1.0;
  }
  static T And(T a, T b) { return a == 1.0 && b == 1.0 ? 1.0 : 0.0; }
  static T Or(T a, T b) { return a == 1.0 || b == 1.0 ? 1.0 : 0.0; }
  static T Not(T x) { return x == 0.0 ? 1.0 : 0.0; }
  static T FoundOr(T found, T condition) { return Or(found, condition); }
  static T Undecided(T, T) { return gNaN; }

  static T PowFrac(T third, T second, T top) { return ::PowFrac(third, top, second); }
  static T Bessel(T order, T x) { return jv(order, x); }
  static T Re(T x) { return x; }
  static T Im(T) { return 0.0; }
  static T Inf(T x) { return x; }
  static T Sup(T x) { return x; }
  static T Arg(T) { return 0.0; }
  static T Conj(T x) { return x; }
  static T ImaginaryUnit() { return gNaN; }
  static T Mod(T a, T b) { return ::Mod(a, b); }
  static T Min(T second, T top) { return top < second ? top : second; }
  static T Max(T second, T top) { return top > second ? top : second; }
  static T Clamp(T x, T lo, T hi) {
    const double m = hi < x ? hi : x;
    return m < lo ? lo : m;
  }
  static T Choose(T n, T k) { return ::Choose(n, k); }
  static T Interpolate(int32_t id, T x, DocumentRecord* d) { return GetInterpolation(id, x, d); }
  static T Interpolate(int32_t id, T x, T y, DocumentRecord* d) { return GetInterpolation(id, x, y, d); }

  static LoopStep LoopDecision(T index, T limit) {
    if (index > limit) return LoopStep::kLeave;
    return limit - index <= kMaxLoopIterations ? LoopStep::kEnter : LoopStep::kAbandon;
  }
  static T Increment(T index) {
    const double next = index + 1.0;
    return next == index ? gNaN : next;
  }
  static T IndexCheck(T top, T index, T limit, T start, double) {
    return start <= index && index <= limit ? top : gNaN;
  }

  static void CountSum(T& count, T& sum, T x) {
    if (std::isnan(x)) return;
    count += 1.0;
    sum += x;
  }
  static void MaxMin(T& max, T& min, T x) {
    if (std::isnan(x)) return;
    if (std::isnan(max) || x > max) max = x;
    if (std::isnan(min) || x < min) min = x;
  }
  static bool Counts(T condition, T value) { return condition != 0.0 && !std::isnan(condition) && !std::isnan(value); }
  static void CondCountSum(T& a, T& b, T value, T condition) {
    if (!Counts(condition, value)) return;
    a += condition;
    b += value;
  }
  static void CondMaxMin(T& max, T& min, T value, T condition) {
    if (Counts(condition, value)) MaxMin(max, min, value);
  }
};
