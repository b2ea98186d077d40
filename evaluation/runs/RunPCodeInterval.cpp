#include <cmath>

#include "CoreUtilities/text/OurString.h"
#include "evaluation/interval/IntervalElementary.h"
#include "evaluation/interval/IntervalLogic.h"
#include "evaluation/interval/IntervalOrdinary.h"
#include "evaluation/interval/IntervalPower.h"
#include "evaluation/interval/IntervalTrig.h"
#include "evaluation/runs/IntervalValueOps.h"
#include "evaluation/runs/SharedValueOps.h"
#include "evaluation/StringValues.h"
#include "evaluation/runs/ValueOps.h"
#include "platform/CheckedConvert.h"

template <>
struct ValueOps<Interval> : SharedValueOps<Interval, ValueOps<Interval>> {
  using T = Interval;
  static constexpr bool kStopsOnNaN = true;

  static T NaN() { return gNaNInterval; }
  static T Zero() { return {0.0, 0.0}; }
  static T True() { return {1.0, 1.0}; }
  static T False() { return {0.0, 0.0}; }
  static T FromReal(double v) { return {v, v}; }
  static T FromParameter(const Complex& z) { return z.im == 0 ? T{z.re, z.re} : gNaNInterval; }
  static T FromConstant(const Complex& z) { return {z.re, z.re}; }
  static bool HasNaN(const T& x) { return IsUndefined(x); }
  static bool IsTrue(const T& x) { return IsSureTrue(x); }
  static bool IsFalse(const T& x) { return IsSureFalse(x); }
  static int32_t ToRow(const T& x) { return DoubleToInt32(x.lower); }
  static T Finish(const T& x) { return FinishInterval(x); }

  // The run keeps its top in registers only while nothing takes its
  // address: the functions the translated run calls from its loop get their
  // operands by value, in registers. Ordinary operands take the inline
  // cases, read end by end where they lie (a stack cell is written as two
  // halves; read whole, it would wait for both stores).
  [[gnu::noinline]] static T AnyAdd(T a, T b) { return a + b; }
  [[gnu::noinline]] static T AnyMul(T a, T b) { return a * b; }
  [[gnu::noinline]] static T AnyInverse(T x) { return Inverse(x); }
  [[gnu::noinline]] static T AnySquare(T x) { return Sqr(x); }
  static T Add(const T& a, const T& b) { return IsOrdinary(a) && IsOrdinary(b) ? AddOrdinary(a, b) : AnyAdd(a, b); }
  [[gnu::noinline]] static T OrdinaryMul(T a, T b) { return MulOrdinary(a, b); }
  static T Mul(const T& a, const T& b) { return IsOrdinary(a) && IsOrdinary(b) ? OrdinaryMul(a, b) : AnyMul(a, b); }
  // Whole out of line: the dividend need not outlive a call in the run.
  [[gnu::noinline]] static T AnyDiv(T a, T b) { return Mul(a, AnyInverse(b)); }
  static T Div(const T& a, const T& b) { return AnyDiv(a, b); }
  static T MakeInterval(const T& second, const T& top) { return {second.lower, top.upper}; }
  static T Neg(const T& x) { return {-x.upper, -x.lower}; }
  static T Abs(T x) { return ::Abs(x); }
  static T Square(const T& x) { return IsOrdinary(x) ? SqrOrdinary(x) : AnySquare(x); }
  static T Sin(T x) { return sincos(x, 1); }
  static T Cos(T x) { return sincos(x, 0); }
  static T Sqrt(T x) { return ::Sqrt(x); }
  static T Exp(T x) { return ::Exp(x); }
  static T Log(T x) { return ::Log(x); }

  static T Compare(int32_t opcode, const T& left, const T& right) {
    switch (opcode) {
      case pcLess: return Less(left, right);
      case pcGreater: return Greater(left, right);
      case pcLessEq: return LessOrEqual(left, right);
      case pcGreaterEq: return GreaterOrEqual(left, right);
      case pcEqual: return Equal(left, right);
      default: return LogicalNot(Equal(left, right));
    }
  }
  static T ChainAnd(const T& a, const T& b) { return LogicalAnd(a, b); }

  static T StrEqual(const T& a, const T& b) {
    if (std::isnan(a.lower) || std::isnan(b.lower)) return gNaNInterval;
    const UniChar* s = TextOfStringValue(a.lower);
    const UniChar* t = TextOfStringValue(b.lower);
    const bool equal = s != nullptr && t != nullptr ? OurStringEqual(s, t) : s == t;
    return equal ? True() : False();
  }
  static T StrNotEqual(const T& a, const T& b) { return LogicalNot(StrEqual(a, b)); }
  static T And(const T& a, const T& b) { return LogicalAnd(a, b); }
  static T Or(const T& a, const T& b) { return LogicalOr(a, b); }
  static T Not(const T& x) { return LogicalNot(x); }
  static T FoundOr(const T& found, const T& condition) { return LogicalOr(found, condition); }
  static T Undecided(const T& result, const T& value) { return Union(result, value); }

  static T PowFrac(const T& third, const T& second, const T& top) { return ::PowFrac(third, top, second); }
  static T Re(const T& x) { return x; }
  static T Im(const T&) { return {0.0, 0.0}; }
  static T Inf(const T& x) { return {x.lower, x.lower}; }
  static T Sup(const T& x) { return {x.upper, x.upper}; }
  static T Arg(const T&) { return {0.0, 0.0}; }
  static T Conj(const T& x) { return x; }
  static T ImaginaryUnit() { return gNaNInterval; }

  static LoopStep LoopDecision(const T& index, const T& limit) {
    if (IsSureTrue(Greater(index, limit))) return LoopStep::kLeave;
    const T remaining = limit - index;
    return IsSureTrue(LessOrEqual(remaining, {kMaxLoopIterations, kMaxLoopIterations})) ? LoopStep::kEnter
                                                                                        : LoopStep::kAbandon;
  }
  static T Increment(const T& index) { return IncrementInterval(index); }
  static T IndexCheck(const T& top, const T& index, const T& limit, const T& start, double neutral) {
    if (IsSureTrue(GreaterOrEqual(index, start)) && IsSureTrue(LessOrEqual(index, limit))) return top;
    return WidenToContain(top, neutral);
  }
};

#include "evaluation/runs/InterpreterCore.h"

template Interval RunPCode<Interval>(const AStackMachine*, Interval*, const MGridVariables*);
template Interval RunPCodeSwitched<Interval>(const AStackMachine*, Interval*, const MGridVariables*);
template Interval CallUserFunction<Interval>(const AStackMachine*, const Interval*, int32_t, const Interval&, int32_t);

// The translated run as a tail call: through RunPCode the result came back
// by way of a stack slot that the NaN of a malformed program shares.
Interval AStackMachine::Run(Interval* variables) const {
  const ATranslation* translation = IsMalformed() ? nullptr : translated::TranslationOf<Interval>(*this);
  if (translation != nullptr && translation->straight) {
    return translated::RunTranslated<Interval, translated::RunForm::kStraight>(*translation, *this, variables);
  }
  if (translation != nullptr) return translated::RunTranslated<Interval>(*translation, *this, variables);
  return RunPCode<Interval>(this, variables, nullptr);
}
