#pragma once

// What the complex, interval and complex-interval interpreters compute
// alike: each of their ValueOps derives from SharedValueOps<T, itself> and
// adds what differs. The functions forward to the free function of the same
// name; a qualified call in a template sees only the overloads declared
// before it, so every value type's function headers are included here. Ops
// is the deriving ValueOps, whose HasNaN, IsFalse, True and Add the running
// totals use. Everything is inline, so the interpreters run as before.

#include <cstdint>

#include "evaluation/complex/ComplexFunctions.h"
#include "evaluation/complex/ComplexIntervalFunctions.h"
#include "evaluation/DocumentQueries.h"
#include "evaluation/interval/Interval.h"
#include "evaluation/interval/IntervalElementary.h"
#include "evaluation/interval/IntervalPower.h"
#include "evaluation/interval/IntervalSpecial.h"
#include "evaluation/interval/IntervalTrig.h"

template <typename T, typename Ops>
struct SharedValueOps {
  static T Pow(const T& a, const T& b) { return ::Pow(a, b); }
  static T Angle(const T& second, const T& top) { return ::Atan2(top, second); }
  static T Hypot(const T& a, const T& b) { return ::Hypot(a, b); }
  static T Sgn(const T& x) { return ::Sgn(x); }
  static T Sqrt(const T& x) { return ::Sqrt(x); }
  static T Exp(const T& x) { return ::Exp(x); }
  static T Log10(const T& x) { return ::Log10(x); }
  static T Log(const T& x) { return ::Log(x); }
  static T Fact(const T& x) { return ::Fact(x); }
  static T Tan(const T& x) { return ::Tan(x); }
  static T Cot(const T& x) { return ::Cot(x); }
  static T Sec(const T& x) { return ::Sec(x); }
  static T Csc(const T& x) { return ::Csc(x); }
  static T Asin(const T& x) { return ::Asin(x); }
  static T Acos(const T& x) { return ::Acos(x); }
  static T Atan(const T& x) { return ::Atan(x); }
  static T Acot(const T& x) { return ::Acot(x); }
  static T Asec(const T& x) { return ::Asec(x); }
  static T Acsc(const T& x) { return ::Acsc(x); }
  static T Sinh(const T& x) { return ::Sinh(x); }
  static T Cosh(const T& x) { return ::Cosh(x); }
  static T Tanh(const T& x) { return ::Tanh(x); }
  static T Coth(const T& x) { return ::Coth(x); }
  static T Sech(const T& x) { return ::Sech(x); }
  static T Csch(const T& x) { return ::Csch(x); }
  static T Asinh(const T& x) { return ::Asinh(x); }
  static T Acosh(const T& x) { return ::Acosh(x); }
  static T Atanh(const T& x) { return ::Atanh(x); }
  static T Acoth(const T& x) { return ::Acoth(x); }
  static T Asech(const T& x) { return ::Asech(x); }
  static T Acsch(const T& x) { return ::Acsch(x); }
  static T Floor(const T& x) { return ::Floor(x); }
  static T Ceil(const T& x) { return ::Ceil(x); }

  static T Bessel(const T& order, const T& x) { return ::Bessel(order, x); }
  static T Mod(const T& a, const T& b) { return ::Mod(a, b); }
  static T Min(const T& a, const T& b) { return ::Min(a, b); }
  static T Max(const T& a, const T& b) { return ::Max(a, b); }
  static T Clamp(const T& x, const T& lo, const T& hi) { return ::Max(::Min(x, hi), lo); }
  static T Choose(const T& n, const T& k) { return ::Choose(n, k); }
  static T Interpolate(int32_t id, const T& x, DocumentRecord* d) { return GetInterpolation(id, x, d); }
  static T Interpolate(int32_t id, const T& x, const T& y, DocumentRecord* d) { return GetInterpolation(id, x, y, d); }

  static void CountSum(T& count, T& sum, const T& x) {
    if (Ops::HasNaN(x)) return;
    count = Ops::Add(count, Ops::True());
    sum = Ops::Add(sum, x);
  }
  static void MaxMin(T& max, T& min, const T& x) {
    if (Ops::HasNaN(x)) return;
    max = Ops::HasNaN(max) ? x : ::Max(max, x);
    min = Ops::HasNaN(min) ? x : ::Min(min, x);
  }
  static bool Counts(const T& condition, const T& value) {
    return !Ops::HasNaN(condition) && !Ops::IsFalse(condition) && !Ops::HasNaN(value);
  }
  static void CondCountSum(T& a, T& b, const T& value, const T& condition) {
    if (!Counts(condition, value)) return;
    a = Ops::Add(a, condition);
    b = Ops::Add(b, value);
  }
  static void CondMaxMin(T& max, T& min, const T& value, const T& condition) {
    if (Counts(condition, value)) MaxMin(max, min, value);
  }
};
