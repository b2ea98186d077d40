#pragma once

// The faster form of a program, made once from it by the first run of each
// value type but Complex (ProgramTranslation.h) and then run in place of the
// interpreter. Each step runs one instruction with the stack cells it
// touches fixed when translating (the depth at every instruction is known);
// the top is handed to a step's function and returned, never parked in the
// cells. A push is fused with the unary or binary instruction that consumes
// it, two pushes with the binary instruction after them, and the commonest
// steps are written out in the run's own loop (TranslatedSteps.h). Programs
// with guards, table rows, statistics or grid pushes, loops whose body moves
// the stack, and jumps into a fused step keep the interpreter.
//
// Results, slots written, NaN rules and the loop limit are those of the
// interpreter; the NaN stop looks at every pushed value, fused or not. The
// cancellation test follows every step, the backward jump of a loop
// included; a fused step is one instruction for it.

#include "evaluation/CancelWords.h"
#include "evaluation/ConstantsSnapshot.h"
#include "evaluation/InterpreterScratch.h"
#include "evaluation/ProgramTranslation.h"
#include "evaluation/StackMachine.h"
#include "evaluation/TranslatedSteps.h"
#include "evaluation/ValueOps.h"

namespace translated {

template <typename T>
T RunTranslated(const ATranslation& translation, const AStackMachine& m, T* variables) {
  using Ops = ValueOps<T>;
  // A program that pushes no constant takes no copy of them.
  const ConstantsSnapshot constants(translation.readsConstants ? m.fConstantsCache : nullptr);
  StackCells<T> cellStore(m.fStackDepth);
  T* const cells = cellStore.Cells();
  if (cells == nullptr) return Ops::NaN();
  const bool mayStopOnNaN = m.fNaNRecovery == 0;
  Frame<T> frame{variables, cells, &constants, m.fDocument, nullptr,
                 translation.readsRow ? Ops::ToRow(variables[kSlotTableRow]) : 0, mayStopOnNaN, false};
  const CancelWords cancel(m);
  T top = Ops::NaN();
  const Step<T>* s = StepsOf<T>(const_cast<ATranslation*>(&translation));
  // A value a fused step pushes, after the NaN stop.
#define ZL_SLOT(field) Pushed(frame, variables[s->field])
#define ZL_NUMBER(field) Pushed(frame, Ops::FromReal(s->field))
  for (;;) {
    const Step<T>* next = s + 1;
    switch (s->kind) {
      case Kind::kCall: top = s->run(top, frame, *s); break;
      case Kind::kJump:
        top = s->run(top, frame, *s);
        next = frame.next;
        break;
      case Kind::kEnd: return Ops::Finish(top);
      case Kind::kEndNaN: return Ops::NaN();
      case Kind::kPushSlot: cells[s->cell] = top; top = variables[s->a]; break;
      case Kind::kPushNumber: cells[s->cell] = top; top = Ops::FromReal(s->x); break;
      case Kind::kPushConstant: cells[s->cell] = top; top = Ops::FromConstant(constants.At(s->a)); break;
      case Kind::kNeg: top = Ops::Neg(top); break;
      case Kind::kSquare: top = Ops::Square(top); break;
      case Kind::kAdd: top = Ops::Add(cells[s->cell], top); break;
      case Kind::kMul: top = Ops::Mul(cells[s->cell], top); break;
      case Kind::kDiv: top = Ops::Div(cells[s->cell], top); break;
      case Kind::kPushNegSlot: cells[s->cell] = top; top = Ops::Neg(ZL_SLOT(a)); break;
      case Kind::kPushSquareSlot: cells[s->cell] = top; top = Ops::Square(ZL_SLOT(a)); break;
      case Kind::kAddSlot: top = Ops::Add(top, ZL_SLOT(a)); break;
      case Kind::kAddNumber: top = Ops::Add(top, ZL_NUMBER(x)); break;
      case Kind::kMulSlot: top = Ops::Mul(top, ZL_SLOT(a)); break;
      case Kind::kMulNumber: top = Ops::Mul(top, ZL_NUMBER(x)); break;
      case Kind::kDivSlot: top = Ops::Div(top, ZL_SLOT(a)); break;
      case Kind::kDivNumber: top = Ops::Div(top, ZL_NUMBER(x)); break;
#define ZL_PUSH_BINARY(op)                                                                              \
  case Kind::kPush##op##SlotSlot: {                                                                     \
    cells[s->cell] = top;                                                                               \
    const T first = ZL_SLOT(a);                                                                            \
    top = Ops::op(first, ZL_SLOT(b));                                                                      \
    break;                                                                                              \
  }                                                                                                     \
  case Kind::kPush##op##SlotNumber: {                                                                   \
    cells[s->cell] = top;                                                                               \
    const T first = ZL_SLOT(a);                                                                            \
    top = Ops::op(first, ZL_NUMBER(y));                                                                    \
    break;                                                                                              \
  }                                                                                                     \
  case Kind::kPush##op##NumberSlot: {                                                                   \
    cells[s->cell] = top;                                                                               \
    const T first = ZL_NUMBER(x);                                                                          \
    top = Ops::op(first, ZL_SLOT(b));                                                                      \
    break;                                                                                              \
  }
      ZL_PUSH_BINARY(Add)
      ZL_PUSH_BINARY(Mul)
      ZL_PUSH_BINARY(Div)
#undef ZL_PUSH_BINARY
#define ZL_FUNCTION(f, opcode, ...)                                 \
  case Kind::k##f: top = Ops::f(top); break;                       \
  case Kind::kPush##f##Slot: cells[s->cell] = top; top = Ops::f(ZL_SLOT(a)); break;
      ZL_INLINE_FUNCTIONS(ZL_FUNCTION, )
#undef ZL_FUNCTION
#undef ZL_SLOT
#undef ZL_NUMBER
      case Kind::kLoopTest: {
        const LoopStep decision = Ops::LoopDecision(variables[s->a], variables[s->a + 1]);
        if (decision == LoopStep::kAbandon) top = Ops::NaN();
        if (decision != LoopStep::kEnter) next = s->target;
        break;
      }
      case Kind::kLoopNext:
        variables[s->a] = Ops::Increment(variables[s->a]);
        next = s->target;
        break;
      case Kind::kIndexCheck:
        top = Ops::IndexCheck(top, variables[s->a], variables[s->a + 1], variables[s->a + 2], s->x);
        break;
      default: __builtin_unreachable();  // the translator sets only the kinds above
    }
    if constexpr (Ops::kStopsOnNaN) {
      if (frame.stopped) return Ops::NaN();
      if (s->checkNaN && Ops::HasNaN(top)) {
        top = Ops::NaN();
        if (mayStopOnNaN) return Ops::NaN();
      }
    }
    if (cancel.Raised()) return Ops::NaN();
    s = next;
  }
}

}  // namespace translated
