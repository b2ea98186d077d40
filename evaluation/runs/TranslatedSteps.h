#pragma once

// The steps of a program's faster form (see TranslatedRun.h): what each
// does to the top, the stack cells fixed for it and the variable slots, and
// the kinds the run writes out in its own loop.

#include <algorithm>
#include <cstdint>
#include <type_traits>

#include "CoreUtilities/Complex.h"
#include "evaluation/runs/BranchChoice.h"
#include "evaluation/complex/ComplexInterval.h"
#include "evaluation/interval/Interval.h"
#include "evaluation/runs/InterpreterScratch.h"
#include "evaluation/DocumentQueries.h"
#include "evaluation/runs/FunctionLookup.h"
#include "evaluation/runs/OpcodeFunctions.h"
#include "evaluation/runs/RunPCode.h"
#include "evaluation/StackEffect.h"
#include "evaluation/StackMachine.h"
#include "evaluation/runs/ValueOps.h"

namespace translated {

// The steps the run writes out in its loop: X(kind, opcode, form, first
// source, second source), as the translator matches them.
#define ZL_INLINE_STEPS(X)                                              \
  X(kPushSlot, pcNop, kPush, kSlot, kSlot)                              \
  X(kPushNumber, pcNop, kPush, kNumber, kSlot)                          \
  X(kPushConstant, pcNop, kPush, kConstant, kSlot)                      \
  X(kNeg, pcNeg, kUnary, kSlot, kSlot)                                  \
  X(kSquare, pcSquare, kUnary, kSlot, kSlot)                            \
  X(kAdd, pcAdd, kBinary, kSlot, kSlot)                                 \
  X(kMul, pcMul, kBinary, kSlot, kSlot)                                 \
  X(kDiv, pcDiv, kBinary, kSlot, kSlot)                                 \
  X(kPushNegSlot, pcNeg, kPushUnary, kSlot, kSlot)                      \
  X(kPushSquareSlot, pcSquare, kPushUnary, kSlot, kSlot)                \
  X(kAddSlot, pcAdd, kBinaryWith, kSlot, kSlot)                         \
  X(kAddNumber, pcAdd, kBinaryWith, kNumber, kSlot)                     \
  X(kMulSlot, pcMul, kBinaryWith, kSlot, kSlot)                         \
  X(kMulNumber, pcMul, kBinaryWith, kNumber, kSlot)                     \
  X(kDivSlot, pcDiv, kBinaryWith, kSlot, kSlot)                         \
  X(kDivNumber, pcDiv, kBinaryWith, kNumber, kSlot)                     \
  X(kPushAddSlotSlot, pcAdd, kPushBinary, kSlot, kSlot)                 \
  X(kPushAddSlotNumber, pcAdd, kPushBinary, kSlot, kNumber)             \
  X(kPushAddNumberSlot, pcAdd, kPushBinary, kNumber, kSlot)             \
  X(kPushMulSlotSlot, pcMul, kPushBinary, kSlot, kSlot)                 \
  X(kPushMulSlotNumber, pcMul, kPushBinary, kSlot, kNumber)             \
  X(kPushMulNumberSlot, pcMul, kPushBinary, kNumber, kSlot)             \
  X(kPushDivSlotSlot, pcDiv, kPushBinary, kSlot, kSlot)                 \
  X(kPushDivSlotNumber, pcDiv, kPushBinary, kSlot, kNumber)             \
  X(kPushDivNumberSlot, pcDiv, kPushBinary, kNumber, kSlot)             \
  X(kPushLessSlotSlot, pcLess, kPushBinary, kSlot, kSlot)               \
  X(kPushLessSlotNumber, pcLess, kPushBinary, kSlot, kNumber)           \
  X(kPushLessNumberSlot, pcLess, kPushBinary, kNumber, kSlot)           \
  X(kPushGreaterSlotSlot, pcGreater, kPushBinary, kSlot, kSlot)         \
  X(kPushGreaterSlotNumber, pcGreater, kPushBinary, kSlot, kNumber)     \
  X(kPushGreaterNumberSlot, pcGreater, kPushBinary, kNumber, kSlot)     \
  X(kPushLessEqSlotSlot, pcLessEq, kPushBinary, kSlot, kSlot)           \
  X(kPushLessEqSlotNumber, pcLessEq, kPushBinary, kSlot, kNumber)       \
  X(kPushLessEqNumberSlot, pcLessEq, kPushBinary, kNumber, kSlot)       \
  X(kPushGreaterEqSlotSlot, pcGreaterEq, kPushBinary, kSlot, kSlot)     \
  X(kPushGreaterEqSlotNumber, pcGreaterEq, kPushBinary, kSlot, kNumber) \
  X(kPushGreaterEqNumberSlot, pcGreaterEq, kPushBinary, kNumber, kSlot) \
  ZL_INLINE_COMPLEX_STEPS(X)                                            \
  ZL_INLINE_FUNCTIONS(ZL_INLINE_FUNCTION_STEPS, X)

// What a complex formula writes most, written out in complex runs only
// (ComplexSteps.h): i, i times a variable, a power with a number for
// exponent, and x + i y, which no instruction matches: it is made of three
// steps afterwards.
#define ZL_INLINE_COMPLEX_STEPS(X)                                        \
  X(kPushImaginaryUnit, pcNop, kPush, kImaginaryUnit, kSlot)              \
  X(kPushMulImaginaryUnitSlot, pcMul, kPushBinary, kImaginaryUnit, kSlot) \
  X(kPowNumber, pcPow, kBinaryWith, kNumber, kSlot)                       \
  X(kPushSlotPlusImaginaryUnitSlot, -1, kOther, kSlot, kSlot)

// The functions of one operand the run calls straight from its loop:
// X(operation, opcode, what to make of them).
#define ZL_INLINE_FUNCTIONS(X, Y) \
  X(Sin, pcSin, Y) X(Cos, pcCos, Y) X(Exp, pcExp, Y) X(Log, pcLn, Y) X(Sqrt, pcSqrt, Y) X(Abs, pcAbs, Y)
#define ZL_INLINE_FUNCTION_STEPS(f, opcode, X) \
  X(k##f, opcode, kUnary, kSlot, kSlot) X(kPush##f##Slot, opcode, kPushUnary, kSlot, kSlot)

// A translated run keeps its stack cells and its copy of the constants in
// its own frame; a program that needs more keeps the interpreter.
inline constexpr int32_t kTranslatedStackCells = kFrameStackCells;
inline constexpr int32_t kTranslatedConstants = 16;

template <typename T>
struct Step;

template <typename T>
struct Frame {
  T* variables;
  T* cells;
  const Complex* constants;  // the run's copy, in the translation's order
  DocumentRecord* document;
  const Step<T>* next;  // set by a step that jumps
  int32_t row;
  bool mayStopOnNaN;
  bool stopped;  // a fused push met the NaN stop
};

// How the run loop takes a step: through its function (kCall, and kJump,
// which also says where to go on), as the end of the run, or with the work
// of the commonest steps written in the loop. The stores and the end test
// cancellation first, and a loop's backward jump after itself.
enum class Kind : uint8_t {
  kCall,
  kJump,
  kEnd,
  kEndNaN,
#define ZL_INLINE_KIND(name, ...) name,
  ZL_INLINE_STEPS(ZL_INLINE_KIND)
#undef ZL_INLINE_KIND
      kLoopTest,
  kLoopNext,
  kIndexCheck,
  kStore,
  kStorePop,
  kSkipValue,  // a value of a piecewise choice, skipped when it cannot be chosen
  kBranch,
  kCallFunction,
  kLoopTail,  // a sum's or product's index check, accumulation, index step and loop test
  kValueEnd,  // a choice's value, ending the choice when its condition is exactly true
};

template <typename T>
struct Step {
  T (*run)(T top, Frame<T>& frame, const Step& step);
  const Step* target;  // of a jump
  int32_t cell;        // the cell the step writes, or the first it reads
  int32_t a;           // slot (temporaries already offset), id or count
  int32_t b;
  int32_t jumpTo;  // instruction index of the target, while translating
  double x;        // number of a fused or pushed operand
  double y;
  Kind kind;
  bool checkNaN;  // the interpreter's NaN stop applies after this step
};

template <typename T>
using StepFunction = T (*)(T, Frame<T>&, const Step<T>&);

template <typename T>
constexpr int32_t TypeIndex() {
  if constexpr (std::is_same_v<T, double>) return 0;
  if constexpr (std::is_same_v<T, Complex>) return 1;
  if constexpr (std::is_same_v<T, Interval>) return 2;
  return 3;
}

template <typename T>
constexpr size_t kStepsOffset = (sizeof(ATranslation) + alignof(Step<T>) - 1) / alignof(Step<T>) * alignof(Step<T>);

template <typename T>
Step<T>* StepsOf(ATranslation* translation) {
  return reinterpret_cast<Step<T>*>(reinterpret_cast<char*>(translation) + kStepsOffset<T>);
}

// The operations, one type per opcode, from the same lists the interpreter
// takes its handlers from.
template <typename T, int32_t kOpcode>
struct Unary;
template <typename T, int32_t kOpcode>
struct Binary;  // Run(second, top)

#define ZL_TRANSLATED_UNARY(name, f)                       \
  template <typename T>                                    \
  struct Unary<T, name> {                                  \
    static T Run(const T& x) { return ValueOps<T>::f(x); } \
  };
ZL_UNARY_OPCODES(ZL_TRANSLATED_UNARY)
ZL_TRANSLATED_UNARY(pcNeg, Neg)
ZL_TRANSLATED_UNARY(pcSquare, Square)
#undef ZL_TRANSLATED_UNARY

#define ZL_TRANSLATED_BINARY(name, f, first, last)                                      \
  template <typename T>                                                                 \
  struct Binary<T, name> {                                                              \
    static T Run(const T& second, const T& top) { return ValueOps<T>::f(first, last); } \
  };
ZL_BINARY_OPCODES(ZL_TRANSLATED_BINARY)
ZL_TRANSLATED_BINARY(pcAdd, Add, second, top)
ZL_TRANSLATED_BINARY(pcMul, Mul, second, top)
ZL_TRANSLATED_BINARY(pcDiv, Div, second, top)
#undef ZL_TRANSLATED_BINARY

template <typename T>
struct Binary<T, pcIf> {
  static T Run(const T& value, const T& condition) {
    return ValueOps<T>::IsTrue(condition) ? value : ValueOps<T>::NaN();
  }
};

// A chain of two operands: one comparison.
#define ZL_TRANSLATED_COMPARE(name)                                       \
  template <typename T>                                                   \
  struct Binary<T, name> {                                                \
    static T Run(const T& second, const T& top) {                         \
      using Ops = ValueOps<T>;                                            \
      return Ops::ChainAnd(Ops::True(), Ops::Compare(name, second, top)); \
    }                                                                     \
  };
ZL_TRANSLATED_COMPARE(pcLess)
ZL_TRANSLATED_COMPARE(pcGreater)
ZL_TRANSLATED_COMPARE(pcLessEq)
ZL_TRANSLATED_COMPARE(pcGreaterEq)
ZL_TRANSLATED_COMPARE(pcEqual)
ZL_TRANSLATED_COMPARE(pcNotEqual)
#undef ZL_TRANSLATED_COMPARE

// Writes the top into a stack cell one double at a time. The top comes
// back from a step's call in two registers and is kept as two doubles; a
// copy as one wide move would wait for both halves' stores to retire.
template <typename T>
[[gnu::always_inline]] inline void Park(T& cell, const T& value) {
  if constexpr (std::is_same_v<T, double>) {
    cell = value;
  } else if constexpr (std::is_same_v<T, ComplexInterval>) {
    Park(cell.re, value.re);
    Park(cell.im, value.im);
  } else if constexpr (std::is_same_v<T, Interval>) {
    cell.lower = value.lower;
    cell.upper = value.upper;
  } else {
    cell.re = value.re;
    cell.im = value.im;
  }
}

// Where a pushed operand comes from.
enum class Source { kSlot, kNumber, kConstant, kImaginaryUnit };

template <typename T, Source kSource>
[[gnu::always_inline]] inline T Read(const Frame<T>& frame, int32_t index, double number) {
  using Ops = ValueOps<T>;
  if constexpr (kSource == Source::kSlot) {
    return frame.variables[index];
  } else if constexpr (kSource == Source::kNumber) {
    return Ops::FromReal(number);
  } else if constexpr (kSource == Source::kConstant) {
    return Ops::FromConstant(frame.constants[index]);
  } else {
    return Ops::ImaginaryUnit();
  }
}

// A pushed value inside a fused step, after the NaN stop the interpreter
// makes once it is pushed.
template <typename T>
[[gnu::always_inline]] inline T Pushed(Frame<T>& frame, const T& value) {
  using Ops = ValueOps<T>;
  if constexpr (Ops::kStopsOnNaN) {
    if (Ops::HasNaN(value)) {
      if (frame.mayStopOnNaN) frame.stopped = true;
      return Ops::NaN();
    }
  }
  return value;
}

template <typename T, Source kSource>
[[gnu::always_inline]] inline T ReadPushed(Frame<T>& frame, int32_t index, double number) {
  return Pushed(frame, Read<T, kSource>(frame, index, number));
}

template <typename T, Source kSource>
T Push(T top, Frame<T>& frame, const Step<T>& step) {
  Park(frame.cells[step.cell], top);
  return Read<T, kSource>(frame, step.a, step.x);
}

template <typename T, int32_t kOpcode>
T UnaryStep(T top, Frame<T>&, const Step<T>&) {
  return Unary<T, kOpcode>::Run(top);
}

template <typename T, int32_t kOpcode>
T BinaryStep(T top, Frame<T>& frame, const Step<T>& step) {
  return Binary<T, kOpcode>::Run(frame.cells[step.cell], top);
}

// A push and the unary or binary instruction right after it.
template <typename T, int32_t kOpcode, Source kSource>
T PushUnaryStep(T top, Frame<T>& frame, const Step<T>& step) {
  Park(frame.cells[step.cell], top);
  return Unary<T, kOpcode>::Run(ReadPushed<T, kSource>(frame, step.a, step.x));
}

template <typename T, int32_t kOpcode, Source kSource>
T BinaryWithStep(T top, Frame<T>& frame, const Step<T>& step) {
  return Binary<T, kOpcode>::Run(top, ReadPushed<T, kSource>(frame, step.a, step.x));
}

// Two pushes and the binary instruction after them.
template <typename T, int32_t kOpcode, Source kFirst, Source kSecond>
T PushBinaryStep(T top, Frame<T>& frame, const Step<T>& step) {
  Park(frame.cells[step.cell], top);
  const T first = ReadPushed<T, kFirst>(frame, step.a, step.x);
  return Binary<T, kOpcode>::Run(first, ReadPushed<T, kSecond>(frame, step.b, step.y));
}

template <typename T>
T Identity(T top, Frame<T>&, const Step<T>&) {
  return top;
}

template <typename T>
T EndNaN(T, Frame<T>&, const Step<T>&) {
  return ValueOps<T>::NaN();
}

template <typename T>
T PushParameter(T top, Frame<T>& frame, const Step<T>& step) {
  Park(frame.cells[step.cell], top);
  return ValueOps<T>::FromParameter(GetParameter(step.a, frame.row, frame.document));
}

template <typename T>
T StoreSlot(T top, Frame<T>& frame, const Step<T>& step) {
  frame.variables[step.a] = top;
  return top;
}

template <typename T>
T StoreSlotPop(T top, Frame<T>& frame, const Step<T>& step) {
  frame.variables[step.a] = top;
  return frame.cells[step.cell];
}

template <typename T>
T Swap(T top, Frame<T>& frame, const Step<T>& step) {
  const T below = frame.cells[step.cell];
  Park(frame.cells[step.cell], top);
  return below;
}

template <typename T>
T Pop(T, Frame<T>& frame, const Step<T>& step) {
  return frame.cells[step.cell];
}

template <typename T>
T PowFrac(T top, Frame<T>& frame, const Step<T>& step) {
  return ValueOps<T>::PowFrac(frame.cells[step.cell - 1], frame.cells[step.cell], top);
}

template <typename T>
T Clamp(T top, Frame<T>& frame, const Step<T>& step) {
  return ValueOps<T>::Clamp(frame.cells[step.cell - 1], frame.cells[step.cell], top);
}

template <typename T>
T Interpolate1(T top, Frame<T>& frame, const Step<T>& step) {
  return ValueOps<T>::Interpolate(step.a, top, frame.document);
}

template <typename T>
T Interpolate2(T top, Frame<T>& frame, const Step<T>& step) {
  return ValueOps<T>::Interpolate(step.a, top, frame.cells[step.cell], frame.document);
}

// A chain of a operands other than two, as the interpreter runs it; cell is
// the stack index before it.
template <typename T>
T Chain(T top, Frame<T>& frame, const Step<T>& step) {
  using Ops = ValueOps<T>;
  const int32_t opcode = step.b;
  const int32_t pairs = ChainShapeOf(opcode, step.a).pairs;
  T result = Ops::True();
  T right = top;
  for (int32_t k = 0; k < pairs; ++k) {
    const T& left = frame.cells[step.cell - 1 - k];
    result = Ops::ChainAnd(result, Ops::Compare(opcode, left, right));
    right = left;
  }
  return result;
}

// Written out in the run's loop as well (kBranch), where the top and the
// step need not pass through a call.
template <typename T>
[[gnu::always_inline]] inline T Branch(T top, Frame<T>& frame, const Step<T>& step) {
  const int32_t pairCount = step.a;
  Park(frame.cells[step.cell], top);
  return ChooseBranch(frame.cells + step.cell - 2 * pairCount + 1, pairCount);
}

// A call the run does not take into its own loop (see TranslatedRun.h):
// the callee's run is a run of its own.
template <typename T>
T Call(T top, Frame<T>& frame, const Step<T>& step) {
  const int32_t argumentCount = step.a;
  Park(frame.cells[step.cell], top);
  const AStackMachine* callee = frame.document != nullptr ? DocumentFunctionProgram(step.b, frame.document) : nullptr;
  return CallUserFunction<T>(callee, frame.cells + step.cell - argumentCount + 1, argumentCount,
                             frame.variables[kSlotSlider], frame.row);
}

template <typename T>
T LoopTest(T top, Frame<T>& frame, const Step<T>& step) {
  using Ops = ValueOps<T>;
  const T* slot = frame.variables + step.a;
  const LoopStep decision = Ops::LoopDecision(slot[0], slot[1]);
  frame.next = decision == LoopStep::kEnter ? &step + 1 : step.target;
  return decision == LoopStep::kAbandon ? Ops::NaN() : top;
}

template <typename T>
T LoopNext(T top, Frame<T>& frame, const Step<T>& step) {
  T& index = frame.variables[step.a];
  index = ValueOps<T>::Increment(index);
  frame.next = step.target;
  return top;
}

template <typename T>
T IndexCheck(T top, Frame<T>& frame, const Step<T>& step) {
  const T* slot = frame.variables + step.a;
  return ValueOps<T>::IndexCheck(top, slot[0], slot[1], slot[2], step.x);
}

using Handler = void*;

// The handler of an instruction read from the stack and the top.
template <typename T>
auto UnaryHandler(int32_t opcode) -> StepFunction<T> {
  switch (opcode) {
#define ZL_CASE(name, ...) \
  case name: return &UnaryStep<T, name>;
    ZL_UNARY_OPCODES(ZL_CASE)
    ZL_CASE(pcNeg)
    ZL_CASE(pcSquare)
#undef ZL_CASE
    default: return nullptr;
  }
}

#define ZL_TRANSLATED_BINARY_OPCODES(X) \
  ZL_BINARY_OPCODES(X)                  \
  X(pcAdd) X(pcMul) X(pcDiv) X(pcIf) X(pcLess) X(pcGreater) X(pcLessEq) X(pcGreaterEq) X(pcEqual) X(pcNotEqual)

template <typename T>
auto BinaryHandler(int32_t opcode) -> StepFunction<T> {
  switch (opcode) {
#define ZL_CASE(name, ...) \
  case name: return &BinaryStep<T, name>;
    ZL_TRANSLATED_BINARY_OPCODES(ZL_CASE)
#undef ZL_CASE
    default: return nullptr;
  }
}

template <typename T, Source kSource>
auto PushUnaryHandler(int32_t opcode) -> StepFunction<T> {
  switch (opcode) {
#define ZL_CASE(name, ...) \
  case name: return &PushUnaryStep<T, name, kSource>;
    ZL_UNARY_OPCODES(ZL_CASE)
    ZL_CASE(pcNeg)
    ZL_CASE(pcSquare)
#undef ZL_CASE
    default: return nullptr;
  }
}

template <typename T, Source kSource>
auto BinaryWithHandler(int32_t opcode) -> StepFunction<T> {
  switch (opcode) {
#define ZL_CASE(name, ...) \
  case name: return &BinaryWithStep<T, name, kSource>;
    ZL_TRANSLATED_BINARY_OPCODES(ZL_CASE)
#undef ZL_CASE
    default: return nullptr;
  }
}

template <typename T, Source kFirst, Source kSecond>
auto PushBinaryHandler(int32_t opcode) -> StepFunction<T> {
  switch (opcode) {
#define ZL_CASE(name, ...) \
  case name: return &PushBinaryStep<T, name, kFirst, kSecond>;
    ZL_TRANSLATED_BINARY_OPCODES(ZL_CASE)
#undef ZL_CASE
    default: return nullptr;
  }
}
#undef ZL_TRANSLATED_BINARY_OPCODES

}  // namespace translated
