#include "evaluation/interval/IntervalLogic.h"

namespace {

bool IsTrue(const Interval& a) { return a.lower == 1.0 && a.upper == 1.0; }
bool IsFalse(const Interval& a) { return a.lower == 0.0 && a.upper == 0.0; }

Interval UndecidedOrUndefined(const Interval& a, const Interval& b) {
  return IsUndefined(a) || IsUndefined(b) ? gNaNInterval : kUndecided;
}

// Decides "a below b" (strict or not) when both operands are ordinary.
Interval Below(const Interval& a, const Interval& b, bool strict) {
  if (IsOrdinary(a) && IsOrdinary(b)) {
    if (strict ? a.upper < b.lower : a.upper <= b.lower) return kTrue;
    if (strict ? b.upper <= a.lower : b.upper < a.lower) return kFalse;
  }
  return UndecidedOrUndefined(a, b);
}

// True when the ordinary interval inner lies inside the gap of the exterior
// interval outer.
bool InsideGap(const Interval& inner, const Interval& outer) {
  return outer.upper < inner.lower && inner.upper < outer.lower;
}

}  // namespace

Interval Less(const Interval& a, const Interval& b) { return Below(a, b, true); }
Interval Greater(const Interval& a, const Interval& b) { return Below(b, a, true); }
Interval LessOrEqual(const Interval& a, const Interval& b) { return Below(a, b, false); }
Interval GreaterOrEqual(const Interval& a, const Interval& b) { return Below(b, a, false); }

Interval Equal(const Interval& a, const Interval& b) {
  if (IsSinglePoint(a) && IsSinglePoint(b) && a.upper == b.upper) return kTrue;
  if (IsOrdinary(a) && IsOrdinary(b) && (a.lower > b.upper || a.upper < b.lower)) return kFalse;
  if (IsExterior(a) && IsOrdinary(b) && InsideGap(b, a)) return kFalse;
  if (IsOrdinary(a) && IsExterior(b) && InsideGap(a, b)) return kFalse;
  return UndecidedOrUndefined(a, b);
}

Interval LogicalAnd(const Interval& a, const Interval& b) {
  if (IsTrue(a) && IsTrue(b)) return kTrue;
  if (IsFalse(b) || IsFalse(a)) return kFalse;
  return UndecidedOrUndefined(a, b);
}

Interval LogicalOr(const Interval& a, const Interval& b) {
  if (IsFalse(a) && IsFalse(b)) return kFalse;
  if (IsTrue(a) || IsTrue(b)) return kTrue;
  return kUndecided;
}

Interval LogicalNot(const Interval& a) {
  if (IsFalse(a)) return kTrue;
  if (IsTrue(a)) return kFalse;
  return kUndecided;
}
