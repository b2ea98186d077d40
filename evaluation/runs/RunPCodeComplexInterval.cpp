#include <cmath>

#include "CoreUtilities/text/OurString.h"
#include "evaluation/complex/ComplexIntervalFunctions.h"
#include "evaluation/interval/IntervalLogic.h"
#include "evaluation/runs/IntervalValueOps.h"
#include "evaluation/runs/SharedValueOps.h"
#include "evaluation/StringValues.h"
#include "evaluation/runs/ValueOps.h"
#include "platform/CheckedConvert.h"

template <>
struct ValueOps<ComplexInterval> : SharedValueOps<ComplexInterval, ValueOps<ComplexInterval>> {
  using T = ComplexInterval;
  static constexpr bool kStopsOnNaN = true;
  static constexpr Interval kZero = {0.0, 0.0};

  static T NaN() { return gNaNComplexInterval; }
  static T Zero() { return {kZero, kZero}; }
  static T True() { return {{1.0, 1.0}, kZero}; }
  static T False() { return {kZero, kZero}; }
  static T FromTruth(const Interval& truth) { return {truth, kZero}; }
  static T FromReal(double v) { return {{v, v}, kZero}; }
  static T FromParameter(const Complex& z) { return {{z.re, z.re}, {z.im, z.im}}; }
  static T FromConstant(const Complex& z) { return {{z.re, z.re}, {z.im, z.im}}; }
  static bool HasNaN(const T& z) { return IsUndefined(z.re) || IsUndefined(z.im); }
  static bool IsTrue(const T& z) { return IsSureTrue(z.re) && IsSureFalse(z.im); }
  static bool IsFalse(const T& z) { return IsSureFalse(z.re) && IsSureFalse(z.im); }
  static double RealValue(const T& z) { return IsReal(z) ? z.re.lower : gNaN; }
  static int32_t ToRow(const T& z) { return DoubleToInt32(RealValue(z)); }
  static T Finish(const T& z) { return {FinishInterval(z.re), FinishInterval(z.im)}; }

  static T Add(const T& a, const T& b) { return {a.re + b.re, a.im + b.im}; }
  static T Mul(const T& a, const T& b) { return a * b; }
  static T Div(const T& a, const T& b) { return a / b; }
  static T MakeInterval(const T& second, const T& top) {
    return {{second.re.lower, top.re.upper}, {second.im.lower, top.im.upper}};
  }
  static T Neg(const T& z) { return {-z.re, -z.im}; }
  static T Abs(const T& z) { return {::Abs(z), kZero}; }
  static T Square(const T& z) { return Sqr(z); }
  static T Sin(const T& z) { return ::Sin(z); }
  static T Cos(const T& z) { return ::Cos(z); }

  static Interval BothEqual(const T& a, const T& b) { return LogicalAnd(Equal(a.re, b.re), Equal(a.im, b.im)); }
  static T Compare(int32_t opcode, const T& left, const T& right) {
    switch (opcode) {
      case pcLess: return FromTruth(Less(left, right).re);
      case pcGreater: return FromTruth(Greater(left, right).re);
      case pcLessEq: return FromTruth(LessOrEqual(left, right).re);
      case pcGreaterEq: return FromTruth(GreaterOrEqual(left, right).re);
      case pcEqual: return FromTruth(BothEqual(left, right));
      default: return FromTruth(LogicalNot(BothEqual(left, right)));
    }
  }
  static T ChainAnd(const T& a, const T& b) { return FromTruth(LogicalAnd(a.re, b.re)); }

  static T StrEqual(const T& a, const T& b) {
    const double x = RealValue(a);
    const double y = RealValue(b);
    if (std::isnan(x) || std::isnan(y)) return gNaNComplexInterval;
    const UniChar* s = TextOfStringValue(x);
    const UniChar* t = TextOfStringValue(y);
    const bool equal = s != nullptr && t != nullptr ? OurStringEqual(s, t) : s == t;
    return equal ? True() : False();
  }
  static T StrNotEqual(const T& a, const T& b) { return FromTruth(LogicalNot(StrEqual(a, b).re)); }
  static T And(const T& a, const T& b) { return FromTruth(LogicalAnd(a.re, b.re)); }
  static T Or(const T& a, const T& b) { return FromTruth(LogicalOr(a.re, b.re)); }
  static T Not(const T& z) { return FromTruth(LogicalNot(z.re)); }
  static T FoundOr(const T& found, const T& condition) { return Or(found, condition); }
  static T Undecided(const T& result, const T& value) {
    return {Union(result.re, value.re), Union(result.im, value.im)};
  }

  static T PowFrac(const T& third, const T& second, const T& top) { return ::Pow(third, second / top); }
  static T Re(const T& z) { return {z.re, kZero}; }
  static T Im(const T& z) { return {z.im, kZero}; }
  static T Inf(const T& z) { return {{z.re.lower, z.re.lower}, {z.im.lower, z.im.lower}}; }
  static T Sup(const T& z) { return {{z.re.upper, z.re.upper}, {z.im.upper, z.im.upper}}; }
  static T Arg(const T& z) { return {::Arg(z), kZero}; }
  static T Conj(const T& z) { return {z.re, -z.im}; }
  static T ImaginaryUnit() { return {kZero, {1.0, 1.0}}; }

  static LoopStep LoopDecision(const T& index, const T& limit) {
    if (IsSureTrue(Greater(index, limit).re)) return LoopStep::kLeave;
    const T remaining = {limit.re - index.re, limit.im - index.im};
    return IsSureTrue(LessOrEqual(remaining, FromReal(kMaxLoopIterations)).re) ? LoopStep::kEnter : LoopStep::kAbandon;
  }
  static T Increment(const T& index) {
    const T next = {{index.re.lower + 1.0, index.re.upper + 1.0}, index.im};
    return next.re.lower == index.re.lower && next.re.upper == index.re.upper ? gNaNComplexInterval : next;
  }
  static T IndexCheck(const T& top, const T& index, const T& limit, const T& start, double neutral) {
    if (IsSureTrue(GreaterOrEqual(index, start).re) && IsSureTrue(LessOrEqual(index, limit).re)) {
      return top;
    }
    return {WidenToContain(top.re, neutral), WidenToContain(top.im, neutral)};
  }
};

#include "evaluation/runs/InterpreterCore.h"

template ComplexInterval RunPCode<ComplexInterval>(const AStackMachine*, ComplexInterval*, const MGridVariables*);
template ComplexInterval RunPCodeSwitched<ComplexInterval>(const AStackMachine*, ComplexInterval*,
                                                           const MGridVariables*);
template ComplexInterval CallUserFunction<ComplexInterval>(const AStackMachine*, const ComplexInterval*, int32_t,
                                                           const ComplexInterval&, int32_t);

ComplexInterval AStackMachine::Run(ComplexInterval* variables) const {
  return RunPCode<ComplexInterval>(this, variables, nullptr);
}
