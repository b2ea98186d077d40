#pragma once

// The faster form of a program, made once from it by the first run of each
// value type (ProgramTranslation.h) and then run in place of the
// interpreter. Each step runs one instruction with the stack cells it
// touches fixed when translating (the depth at every instruction is known);
// the top is handed to a step's function and returned, never parked in the
// cells. A function the loop calls by reference gets a copy of the top
// (T{top}), as in the interpreter: were its address taken, a two-double top
// would live in memory through the whole run. A push is fused with the
// unary or binary instruction that consumes it, two pushes with the binary
// instruction after them, and the commonest steps are written out in the
// run's own loop (TranslatedSteps.h). Programs with guards, table rows,
// statistics or grid pushes, loops whose body moves the stack, and jumps
// into a fused step keep the interpreter.
//
// Results, slots written, NaN rules and the loop limit are those of the
// interpreter; the NaN stop looks at every pushed value, fused or not, or
// at a value the step makes that keeps any NaN part of it.
//
// A call of a document function whose program calls none runs the callee's
// steps in the caller's loop: its arguments, slots and constants are made
// as a run of its own would make them, in cells and slots of the caller's
// frame, and where its own run would end the caller goes on after the
// call. Other calls start a run of the callee.
//
// Cancellation is tested where a run can show it: before a store (which
// leaves a slot the caller sees), at the end of the run, and after a loop's
// backward jump (which bounds the time between two tests). The steps
// between are straight-line work on the run's own cells, so a run stopped
// at the next such test is one the interpreter, which tests after every
// instruction, gives for a flag raised a few steps later.

#include <algorithm>
#include <type_traits>

#include "evaluation/runs/CalleeSlots.h"
#include "evaluation/runs/CancelWords.h"
#include "evaluation/ConstantsCache.h"
#include "evaluation/runs/ProgramTranslation.h"
#include "evaluation/StackMachine.h"
#include "evaluation/runs/TranslatedSteps.h"
#include "evaluation/runs/ValueOps.h"

namespace translated {

// The run's copy of the constants its steps push, kept whatever
// invalidations happen meanwhile; without a cache each reads as NaN.
inline void CopyStepConstants(const AStackMachine& m, const ATranslation& translation, Complex* out) {
  if (translation.constantCount == 0) return;
  if (m.fConstantsCache != nullptr) {
    m.fConstantsCache->CopySelected(translation.constantIndices, translation.constantCount, out);
  } else {
    std::fill(out, out + translation.constantCount, gNaNComplex);
  }
}

// The steps of a callee that a run takes into its own loop: a program that
// calls no function, with room for its slots in the caller's frame; null
// for any other.
template <typename T>
const ATranslation* StepsToTakeIn(const AStackMachine& callee, int32_t argumentCount) {
  if (callee.IsMalformed() || argumentCount > callee.fTemporariesBase ||
      CalleeSlotCount(callee) > kFrameArgumentSlots) {
    return nullptr;
  }
  const ATranslation* translation = TranslationOf<T>(callee);
  return translation != nullptr && !translation->callsFunctions ? translation : nullptr;
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpedantic"
#pragma GCC diagnostic ignored "-Wunused-label"
// The value types whose straight translations take their own run: a
// second copy of the run is worth its code where boxes, or complex points
// whose steps pass two doubles, spend much of their time in it.
template <typename T>
inline constexpr bool kHasStraightRun = std::is_same_v<T, Interval> || std::is_same_v<T, Complex>;

// The forms of the run, each made apart so that the general one carries
// nothing of the others. kStraight: a straight translation's
// (ATranslation::straight): without the steps that call out, jump or loop,
// it needs no frame for step functions, and the compiler keeps the top in
// registers. kTakesCallsIn: a program that calls, taking its callees into
// its loop.
enum class RunForm { kGeneral, kStraight, kTakesCallsIn };

template <typename T, RunForm kForm = RunForm::kGeneral>
T RunTranslated(const ATranslation& translation, const AStackMachine& m, T* variables) {
  using Ops = ValueOps<T>;
  constexpr bool kStraight = kForm == RunForm::kStraight;
  constexpr bool kTakesCallsIn = kForm == RunForm::kTakesCallsIn;
  // A run jumps from each step straight to the next one's code: one
  // indirect branch per kind, which the processor predicts better than one
  // shared branch. Complex intervals, whose steps mostly call out, keep the
  // one switch they were measured with.
  constexpr bool kThreaded = !std::is_same_v<T, ComplexInterval>;
  // The formatter takes the && of a label's address for a logical and.
  // clang-format off
#define ZL_LABEL(name, ...) &&L_##name,
  // Made only where it is used: a label whose address is taken counts as
  // a target of every jump, which hampers the switch.
  const void* const* labels = nullptr;
  if constexpr (kThreaded) {
    static const void* const kTable[] = {&&L_kCall,       &&L_kJump,  &&L_kEnd,      &&L_kEndNaN,
                                         ZL_INLINE_STEPS(ZL_LABEL) &&L_kLoopTest, &&L_kLoopNext,
                                         &&L_kIndexCheck, &&L_kStore, &&L_kStorePop, &&L_kSkipValue,
                                         &&L_kBranch,     &&L_kCallFunction, &&L_kLoopTail, &&L_kValueEnd};
    labels = kTable;
  }
#undef ZL_LABEL
  // clang-format on
  // The run's state; a callee taken in (kCallFunction) has its own, and
  // the caller's comes back at its end (finish).
  Complex callerConstants[kTranslatedConstants];
  CopyStepConstants(m, translation, callerConstants);
  const Complex* constants = callerConstants;
  T callerCells[kTranslatedStackCells];
  T* cells = callerCells;
  bool callerCounted[kTranslatedStackCells];
  bool* counted = callerCounted;  // see kSkipValue
  bool mayStopOnNaN = m.fNaNRecovery == 0;
  Frame<T> callerFrame{variables, cells, constants, m.fDocument, nullptr, 0, mayStopOnNaN, false};
  if (translation.readsRow) callerFrame.row = Ops::ToRow(variables[kSlotTableRow]);
  Frame<T>* frame = &callerFrame;
  CancelWords cancel(m);
  constexpr int32_t kCalleeRoom = kTakesCallsIn ? 1 : 0;
  T calleeSlots[kCalleeRoom * kFrameArgumentSlots + 1];
  Complex calleeConstants[kCalleeRoom * kTranslatedConstants + 1];
  T calleeCells[kCalleeRoom * kTranslatedStackCells + 1];
  bool calleeCounted[kCalleeRoom * kTranslatedStackCells + 1];
  Frame<T> calleeFrame;
  const Step<T>* returnStep = nullptr;  // the call a callee taken in returns to
  T* const callerVariables = variables;
  T top = Ops::NaN();
  const Step<T>* s = StepsOf<T>(const_cast<ATranslation*>(&translation));
  // A value a fused step pushes, after the NaN stop: the run ends at once
  // where a step function would mark its frame stopped.
#define ZL_PUSHED(value)                         \
  ({                                             \
    T pushed = (value);                          \
    if constexpr (Ops::kStopsOnNaN) {            \
      if (Ops::HasNaN(pushed)) {                 \
        if (mayStopOnNaN) ZL_RETURN(Ops::NaN()); \
        pushed = Ops::NaN();                     \
      }                                          \
    }                                            \
    pushed;                                      \
  })
#define ZL_SLOT(field) ZL_PUSHED(variables[s->field])
#define ZL_NUMBER(field) ZL_PUSHED(Ops::FromReal(s->field))
  // After a step that called out: its fused pushes' NaN stop first.
#define ZL_CALLED_GO(to)                         \
  do {                                           \
    if constexpr (Ops::kStopsOnNaN) {            \
      if (frame->stopped) ZL_RETURN(Ops::NaN()); \
    }                                            \
    ZL_GO(to);                                   \
  } while (false)
  // After a step: the NaN stop, then on to `to`.
#define ZL_GO(to)                                \
  do {                                           \
    if constexpr (Ops::kStopsOnNaN) {            \
      if (s->checkNaN && Ops::HasNaN(top)) {     \
        top = Ops::NaN();                        \
        if (mayStopOnNaN) ZL_RETURN(Ops::NaN()); \
      }                                          \
    }                                            \
    s = (to);                                    \
    ZL_DISPATCH();                               \
  } while (false)
#define ZL_DISPATCH()                              \
  do {                                             \
    if constexpr (kThreaded) {                     \
      goto* labels[static_cast<int32_t>(s->kind)]; \
    } else {                                       \
      goto dispatch;                               \
    }                                              \
  } while (false)
#define ZL_NEXT ZL_GO(s + 1)
  // The end of the run, or of a callee taken in.
#define ZL_RETURN(value)           \
  do {                             \
    if constexpr (kTakesCallsIn) { \
      top = (value);               \
      goto finish;                 \
    } else {                       \
      return (value);              \
    }                              \
  } while (false)
  // One line a step, as the step table reads:
  // clang-format off
  // A step the straight run never meets has no code there.
#define ZL_STEP(kind)                                                     \
  case Kind::kind:                                                        \
  L_##kind:                                                               \
  if constexpr (kStraight && !IsStraight(Kind::kind)) __builtin_unreachable();

  ZL_DISPATCH();
dispatch:
  switch (s->kind) {
  ZL_STEP(kCall) top = s->run(top, *frame, *s); ZL_CALLED_GO(s + 1);
  ZL_STEP(kJump) top = s->run(top, *frame, *s); ZL_CALLED_GO(frame->next);
  ZL_STEP(kEnd) ZL_RETURN(cancel.Screen(Ops::Finish(top), Ops::NaN()));
  ZL_STEP(kEndNaN) ZL_RETURN(Ops::NaN());
  ZL_STEP(kStore)
    if (cancel.Raised()) ZL_RETURN(Ops::NaN());
    variables[s->a] = top;
    ZL_NEXT;
  ZL_STEP(kStorePop)
    if (cancel.Raised()) ZL_RETURN(Ops::NaN());
    variables[s->a] = top;
    top = cells[s->cell];
    ZL_NEXT;
  ZL_STEP(kPushSlot) Park(cells[s->cell], top); top = variables[s->a]; ZL_NEXT;
  ZL_STEP(kPushNumber) Park(cells[s->cell], top); top = Ops::FromReal(s->x); ZL_NEXT;
  ZL_STEP(kPushConstant) Park(cells[s->cell], top); top = Ops::FromConstant(constants[s->a]); ZL_NEXT;
  ZL_STEP(kNeg) top = Ops::Neg(top); ZL_NEXT;
  ZL_STEP(kSquare) top = Ops::Square(top); ZL_NEXT;
  ZL_STEP(kAdd) top = Ops::Add(cells[s->cell], top); ZL_NEXT;
  ZL_STEP(kMul) top = Ops::Mul(cells[s->cell], top); ZL_NEXT;
  ZL_STEP(kDiv) top = Ops::Div(cells[s->cell], T{top}); ZL_NEXT;
  ZL_STEP(kPushNegSlot) Park(cells[s->cell], top); top = Ops::Neg(ZL_SLOT(a)); ZL_NEXT;
  ZL_STEP(kPushSquareSlot) Park(cells[s->cell], top); top = Ops::Square(ZL_SLOT(a)); ZL_NEXT;
  ZL_STEP(kAddSlot) top = Ops::Add(top, ZL_SLOT(a)); ZL_NEXT;
  ZL_STEP(kAddNumber) top = Ops::Add(top, ZL_NUMBER(x)); ZL_NEXT;
  ZL_STEP(kMulSlot) top = Ops::Mul(top, ZL_SLOT(a)); ZL_NEXT;
  ZL_STEP(kMulNumber) top = Ops::Mul(top, ZL_NUMBER(x)); ZL_NEXT;
  ZL_STEP(kDivSlot) top = Ops::Div(T{top}, ZL_SLOT(a)); ZL_NEXT;
  ZL_STEP(kDivNumber) top = Ops::Div(T{top}, ZL_NUMBER(x)); ZL_NEXT;
#define ZL_PUSH_BINARY(op, opcode)                  \
  ZL_STEP(kPush##op##SlotSlot) {                    \
    Park(cells[s->cell], top);                      \
    const T first = ZL_SLOT(a);                     \
    top = Binary<T, opcode>::Run(first, ZL_SLOT(b));   \
    ZL_NEXT;                                        \
  }                                                 \
  ZL_STEP(kPush##op##SlotNumber) {                  \
    Park(cells[s->cell], top);                      \
    const T first = ZL_SLOT(a);                     \
    top = Binary<T, opcode>::Run(first, ZL_NUMBER(y)); \
    ZL_NEXT;                                        \
  }                                                 \
  ZL_STEP(kPush##op##NumberSlot) {                  \
    Park(cells[s->cell], top);                      \
    const T first = ZL_NUMBER(x);                   \
    top = Binary<T, opcode>::Run(first, ZL_SLOT(b));   \
    ZL_NEXT;                                        \
  }
  ZL_PUSH_BINARY(Add, pcAdd)
  ZL_PUSH_BINARY(Mul, pcMul)
  ZL_PUSH_BINARY(Div, pcDiv)
  ZL_PUSH_BINARY(Less, pcLess)
  ZL_PUSH_BINARY(Greater, pcGreater)
  ZL_PUSH_BINARY(LessEq, pcLessEq)
  ZL_PUSH_BINARY(GreaterEq, pcGreaterEq)
#undef ZL_PUSH_BINARY
  // Complex runs only (ComplexSteps.h).
#define ZL_COMPLEX_STEP(kind) \
  ZL_STEP(kind)               \
  if constexpr (!std::is_same_v<T, Complex>) __builtin_unreachable();
  ZL_COMPLEX_STEP(kPushImaginaryUnit) Park(cells[s->cell], top); top = Ops::ImaginaryUnit(); ZL_NEXT;
  ZL_COMPLEX_STEP(kPushMulImaginaryUnitSlot) {
    Park(cells[s->cell], top);
    const T first = ZL_PUSHED(Ops::ImaginaryUnit());
    top = Binary<T, pcMul>::Run(first, ZL_SLOT(b));
    ZL_NEXT;
  }
  ZL_COMPLEX_STEP(kPowNumber) top = Binary<T, pcPow>::Run(top, Ops::FromReal(s->x)); ZL_NEXT;  // its number's stop: SettleComplexSteps
  ZL_COMPLEX_STEP(kPushSlotPlusImaginaryUnitSlot) {
    // One NaN stop, after the sum, stands for those of x, y and i y: a NaN
    // part of any of them leaves one in the sum, and nothing between the
    // pushes and the sum is seen.
    Park(cells[s->cell], top);
    top = Binary<T, pcAdd>::Run(variables[s->a], Binary<T, pcMul>::Run(Ops::ImaginaryUnit(), variables[s->b]));
    ZL_GO(s + 3);
  }
#undef ZL_COMPLEX_STEP
#define ZL_FUNCTION(f, opcode, ...)                                           \
  ZL_STEP(k##f) top = Ops::f(T{top}); ZL_NEXT;                                \
  ZL_STEP(kPush##f##Slot) Park(cells[s->cell], top); top = Ops::f(ZL_SLOT(a)); ZL_NEXT;
  ZL_INLINE_FUNCTIONS(ZL_FUNCTION, )
#undef ZL_FUNCTION
  ZL_STEP(kLoopTest) {
    const LoopStep decision = Ops::LoopDecision(variables[s->a], variables[s->a + 1]);
    if (decision == LoopStep::kAbandon) top = Ops::NaN();
    ZL_GO(decision == LoopStep::kEnter ? s + 1 : s->target);
  }
  ZL_STEP(kLoopNext) {
    variables[s->a] = Ops::Increment(variables[s->a]);
    const Step<T>* target = s->target;
    if constexpr (Ops::kStopsOnNaN) {
      if (s->checkNaN && Ops::HasNaN(top)) {
        top = Ops::NaN();
        if (mayStopOnNaN) ZL_RETURN(Ops::NaN());
      }
    }
    if (cancel.Raised()) ZL_RETURN(Ops::NaN());
    s = target;
    ZL_DISPATCH();
  }
  ZL_STEP(kSkipValue) {
    // Computed only when its condition (the top) counts and none of the
    // conditions before it does. Whether one did is kept by the cell below
    // the choice's first condition: the choices open at one time lie at
    // different depths, and each value of a choice has this step.
    bool& earlier = counted[s->cell - 2 * s->a - 1];
    if (s->a == 0) earlier = false;
    const bool counts = !Ops::HasNaN(top) && !Ops::IsFalse(top);
    const bool chosen = counts && !earlier;
    earlier = earlier || counts;
    if (chosen) ZL_NEXT;
    Park(cells[s->cell], top);
    top = Ops::NaN();
    ZL_GO(s->target);
  }
  ZL_STEP(kBranch) top = Branch(top, *frame, *s); ZL_CALLED_GO(s + 1);
  ZL_STEP(kCallFunction) {
    if constexpr (kTakesCallsIn) {
      const int32_t argumentCount = s->a;
      Park(cells[s->cell], top);
      const T* arguments = cells + s->cell - argumentCount + 1;
      const AStackMachine* callee =
          m.fDocument != nullptr ? DocumentFunctionProgram(s->b, m.fDocument) : nullptr;
      const ATranslation* calleeTranslation = callee != nullptr ? StepsToTakeIn<T>(*callee, argumentCount) : nullptr;
      if (calleeTranslation == nullptr) {
        top = CallUserFunction<T>(callee, arguments, argumentCount, variables[kSlotSlider], callerFrame.row);
        ZL_CALLED_GO(s + 1);
      }
      // At most the frame's room (StepsToTakeIn), said again for the optimiser.
      const int32_t slotCount = std::min(CalleeSlotCount(*callee), kFrameArgumentSlots);
      FillCalleeSlots<T>(*callee, calleeSlots, slotCount, arguments, argumentCount, variables[kSlotSlider],
                         callerFrame.row);
      CopyStepConstants(*callee, *calleeTranslation, calleeConstants);
      returnStep = s;
      variables = calleeSlots;
      cells = calleeCells;
      counted = calleeCounted;
      constants = calleeConstants;
      mayStopOnNaN = callee->fNaNRecovery == 0;
      cancel = CancelWords(*callee);
      calleeFrame = {calleeSlots, calleeCells, calleeConstants, callee->fDocument, nullptr, 0, mayStopOnNaN, false};
      if (calleeTranslation->readsRow) calleeFrame.row = Ops::ToRow(calleeSlots[kSlotTableRow]);
      frame = &calleeFrame;
      s = StepsOf<T>(const_cast<ATranslation*>(calleeTranslation));
      ZL_DISPATCH();
    } else {
      top = Call(top, *frame, *s);
      ZL_CALLED_GO(s + 1);
    }
  }
  ZL_STEP(kIndexCheck)
    top = Ops::IndexCheck(T{top}, variables[s->a], variables[s->a + 1], variables[s->a + 2], s->x);
    ZL_NEXT;
  ZL_STEP(kLoopTail) {
    // Made for real runs only, which have no NaN stop between the steps
    // it stands for. The cancellation test comes where kLoopNext makes it.
    if constexpr (!std::is_same_v<T, double>) __builtin_unreachable();
    T* const loop = variables + s->a;  // index, limit, start
    const T index = loop[0];
    const T limit = loop[1];
    const T term = Ops::IndexCheck(top, index, limit, loop[2], s->x);
    top = s->b == pcAdd ? Ops::Add(cells[s->cell], term) : Ops::Mul(cells[s->cell], term);
    const T next = Ops::Increment(index);
    loop[0] = next;
    // Decided before the cancellation test, so that only the top and the
    // next step live across its rare call.
    const Step<T>* test = s->target;
    const LoopStep decision = Ops::LoopDecision(next, limit);
    if (decision == LoopStep::kEnter) {
      s = test + 1;
    } else {
      if (decision == LoopStep::kAbandon) top = Ops::NaN();
      s = test->target;
    }
    if (cancel.Raised()) ZL_RETURN(Ops::NaN());
    ZL_DISPATCH();
  }
  ZL_STEP(kValueEnd)
    if constexpr (!std::is_same_v<T, double>) __builtin_unreachable();  // made for real runs only
    if (Ops::IsTrue(cells[s->cell])) {
      s = s->target;
      ZL_DISPATCH();
    }
    ZL_NEXT;
  }
  // clang-format on
  __builtin_unreachable();  // the translator sets only the kinds above
finish:                     // `top` holds the result
  if constexpr (kTakesCallsIn) {
    if (returnStep != nullptr) {
      variables = callerVariables;
      cells = callerCells;
      counted = callerCounted;
      constants = callerConstants;
      mayStopOnNaN = m.fNaNRecovery == 0;
      cancel = CancelWords(m);
      frame = &callerFrame;
      s = returnStep;
      returnStep = nullptr;
      ZL_GO(s + 1);
    }
  }
  return top;
#undef ZL_DISPATCH
#undef ZL_SLOT
#undef ZL_PUSHED
#undef ZL_CALLED_GO
#undef ZL_NUMBER
#undef ZL_GO
#undef ZL_NEXT
#undef ZL_STEP
#undef ZL_RETURN
}
#pragma GCC diagnostic pop

// A translation of one push and the end (a constant, a number or a single
// variable) gives the value RunTranslated would, without its frame: a run
// of a cached constant then costs little more than reading the cache.
template <typename T>
[[gnu::always_inline]] inline T RunOnePush(const ATranslation& translation, const AStackMachine& m,
                                           const T* variables) {
  using Ops = ValueOps<T>;
  const Step<T>& push = StepsOf<T>(const_cast<ATranslation*>(&translation))[0];
  T top;
  if (push.kind == Kind::kPushConstant) {
    AConstantsCache* cache = m.fConstantsCache;
    top = Ops::FromConstant(cache != nullptr ? cache->Selected(translation.constantIndices[0]) : gNaNComplex);
  } else if (push.kind == Kind::kPushSlot) {
    top = variables[push.a];
  } else {
    top = Ops::FromReal(push.x);
  }
  if constexpr (Ops::kStopsOnNaN) {
    if (push.checkNaN && Ops::HasNaN(top)) return Ops::NaN();
  }
  return CancelWords(m).Screen(Ops::Finish(top), Ops::NaN());
}

}  // namespace translated
