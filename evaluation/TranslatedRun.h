#pragma once

// The faster form of a program, made once from it by the first run of each
// value type and then run in place of the interpreter. Each step runs one
// instruction with the stack cells it touches fixed when translating (the
// depth at every instruction is known), the top handed from step to step as
// the return value, so that it lives in a register. A push is fused with the
// unary or binary instruction that consumes it, and two pushes with the binary
// instruction after them; the NaN stop of the types that have one still
// looks at each pushed value.
// Programs with guards, table rows, statistics or grid pushes, and loops whose
// body moves the stack, keep the interpreter.
//
// Results, slots written, NaN rules and the loop limit are those of the
// interpreter. The cancellation test follows every step, the backward jump of
// a loop included; a fused step is one instruction for it.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <type_traits>

#include "CoreUtilities/MemoryBudget.h"
#include "evaluation/CancelWords.h"
#include "evaluation/ConstantsSnapshot.h"
#include "evaluation/DocumentQueries.h"
#include "evaluation/InterpreterScratch.h"
#include "evaluation/OpcodeFunctions.h"
#include "evaluation/RunPCode.h"
#include "evaluation/StackMachine.h"
#include "evaluation/ValueOps.h"

namespace translated {

// The steps the run writes out in its loop: X(kind, opcode, form, first
// source, second source), as the translator matches them.
#define ZL_INLINE_STEPS(X)                              \
  X(kPushSlot, pcNop, kPush, kSlot, kSlot)              \
  X(kPushNumber, pcNop, kPush, kNumber, kSlot)          \
  X(kNeg, pcNeg, kUnary, kSlot, kSlot)                  \
  X(kSquare, pcSquare, kUnary, kSlot, kSlot)            \
  X(kAdd, pcAdd, kBinary, kSlot, kSlot)                 \
  X(kMul, pcMul, kBinary, kSlot, kSlot)                 \
  X(kDiv, pcDiv, kBinary, kSlot, kSlot)                 \
  X(kPushNegSlot, pcNeg, kPushUnary, kSlot, kSlot)      \
  X(kPushSquareSlot, pcSquare, kPushUnary, kSlot, kSlot) \
  X(kAddSlot, pcAdd, kBinaryWith, kSlot, kSlot)         \
  X(kAddNumber, pcAdd, kBinaryWith, kNumber, kSlot)     \
  X(kMulSlot, pcMul, kBinaryWith, kSlot, kSlot)         \
  X(kMulNumber, pcMul, kBinaryWith, kNumber, kSlot)     \
  X(kDivSlot, pcDiv, kBinaryWith, kSlot, kSlot)         \
  X(kDivNumber, pcDiv, kBinaryWith, kNumber, kSlot)     \
  X(kPushAddSlotSlot, pcAdd, kPushBinary, kSlot, kSlot) \
  X(kPushAddSlotNumber, pcAdd, kPushBinary, kSlot, kNumber) \
  X(kPushAddNumberSlot, pcAdd, kPushBinary, kNumber, kSlot) \
  X(kPushMulSlotSlot, pcMul, kPushBinary, kSlot, kSlot) \
  X(kPushMulSlotNumber, pcMul, kPushBinary, kSlot, kNumber) \
  X(kPushMulNumberSlot, pcMul, kPushBinary, kNumber, kSlot) \
  X(kPushDivSlotSlot, pcDiv, kPushBinary, kSlot, kSlot) \
  X(kPushDivSlotNumber, pcDiv, kPushBinary, kSlot, kNumber) \
  X(kPushDivNumberSlot, pcDiv, kPushBinary, kNumber, kSlot) \
  ZL_INLINE_FUNCTIONS(ZL_INLINE_FUNCTION_STEPS, X)

// The functions of one operand the run calls straight from its loop:
// X(operation, opcode, what to make of them).
#define ZL_INLINE_FUNCTIONS(X, Y) X(Sin, pcSin, Y) X(Cos, pcCos, Y) X(Exp, pcExp, Y) X(Log, pcLn, Y) X(Sqrt, pcSqrt, Y) X(Abs, pcAbs, Y)
#define ZL_INLINE_FUNCTION_STEPS(f, opcode, X) \
  X(k##f, opcode, kUnary, kSlot, kSlot) X(kPush##f##Slot, opcode, kPushUnary, kSlot, kSlot)

template <typename T>
struct Step;

template <typename T>
struct Frame {
  T* variables;
  T* cells;
  const ConstantsSnapshot* constants;
  DocumentRecord* document;
  const Step<T>* next;  // set by a step that jumps
  int32_t row;
  bool mayStopOnNaN;
  bool stopped;  // a fused push met the NaN stop
};

// How the run loop takes a step: through its function (kCall, and kJump,
// which also says where to go on), as the end of the run, or with the work
// of the commonest steps written in the loop.
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
};

template <typename T>
struct Step {
  T (*run)(T top, Frame<T>& frame, const Step& step);
  const Step* target;  // of a jump
  int32_t cell;        // the cell the step writes, or the first it reads
  int32_t a;           // slot (temporaries already offset), id or count
  int32_t b;
  int32_t jumpTo;      // instruction index of the target, while translating
  double x;            // number of a fused or pushed operand
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

#define ZL_TRANSLATED_UNARY(name, f) \
  template <typename T>              \
  struct Unary<T, name> {            \
    static T Run(const T& x) { return ValueOps<T>::f(x); } \
  };
ZL_UNARY_OPCODES(ZL_TRANSLATED_UNARY)
ZL_TRANSLATED_UNARY(pcNeg, Neg)
ZL_TRANSLATED_UNARY(pcSquare, Square)
#undef ZL_TRANSLATED_UNARY

#define ZL_TRANSLATED_BINARY(name, f, first, last) \
  template <typename T>                            \
  struct Binary<T, name> {                         \
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
#define ZL_TRANSLATED_COMPARE(name)                                                  \
  template <typename T>                                                              \
  struct Binary<T, name> {                                                           \
    static T Run(const T& second, const T& top) {                                    \
      using Ops = ValueOps<T>;                                                       \
      return Ops::ChainAnd(Ops::True(), Ops::Compare(name, second, top));            \
    }                                                                                \
  };
ZL_TRANSLATED_COMPARE(pcLess)
ZL_TRANSLATED_COMPARE(pcGreater)
ZL_TRANSLATED_COMPARE(pcLessEq)
ZL_TRANSLATED_COMPARE(pcGreaterEq)
ZL_TRANSLATED_COMPARE(pcEqual)
ZL_TRANSLATED_COMPARE(pcNotEqual)
#undef ZL_TRANSLATED_COMPARE

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
    return Ops::FromConstant(frame.constants->At(index));
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
  frame.cells[step.cell] = top;
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
  frame.cells[step.cell] = top;
  return Unary<T, kOpcode>::Run(ReadPushed<T, kSource>(frame, step.a, step.x));
}

template <typename T, int32_t kOpcode, Source kSource>
T BinaryWithStep(T top, Frame<T>& frame, const Step<T>& step) {
  return Binary<T, kOpcode>::Run(top, ReadPushed<T, kSource>(frame, step.a, step.x));
}

// Two pushes and the binary instruction after them.
template <typename T, int32_t kOpcode, Source kFirst, Source kSecond>
T PushBinaryStep(T top, Frame<T>& frame, const Step<T>& step) {
  frame.cells[step.cell] = top;
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
  frame.cells[step.cell] = top;
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
  frame.cells[step.cell] = top;
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
  const bool strict = opcode == pcLess || opcode == pcGreater;
  const int32_t operands = std::max(step.a, 1);
  if (operands == 1 && !strict) return Ops::True();
  const int32_t pairs = std::max(operands, 2) - 1;
  T result = Ops::True();
  T right = top;
  for (int32_t k = 0; k < pairs; ++k) {
    const T& left = frame.cells[step.cell - 1 - k];
    result = Ops::ChainAnd(result, Ops::Compare(opcode, left, right));
    right = left;
  }
  return result;
}

template <typename T>
T Branch(T top, Frame<T>& frame, const Step<T>& step) {
  using Ops = ValueOps<T>;
  const int32_t pairCount = step.a;
  frame.cells[step.cell] = top;
  const T* pairs = frame.cells + step.cell - 2 * pairCount + 1;
  T result = Ops::NaN();
  T found = Ops::False();
  for (int32_t k = pairCount - 1; k >= 0; --k) {
    const T& condition = pairs[2 * k];
    const T& value = pairs[2 * k + 1];
    if (Ops::HasNaN(condition) || Ops::IsFalse(condition)) continue;
    if (Ops::IsFalse(found) || Ops::IsTrue(condition)) {
      result = value;
    } else {
      result = Ops::Undecided(result, value);
    }
    found = Ops::FoundOr(found, condition);
  }
  return result;
}

template <typename T>
T Call(T top, Frame<T>& frame, const Step<T>& step) {
  const int32_t argumentCount = step.a;
  frame.cells[step.cell] = top;
  const AStackMachine* callee =
      frame.document != nullptr ? GetMachineFromDocumentFunction(step.b, frame.document) : nullptr;
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

// A push whose operand a step can read in place: a slot, a number or a
// constant.
struct Operand {
  Source source;
  int32_t index;
  double number;
};

template <typename F>
auto WithSource(Source source, F&& f) {
  switch (source) {
    case Source::kSlot: return f(std::integral_constant<Source, Source::kSlot>{});
    case Source::kNumber: return f(std::integral_constant<Source, Source::kNumber>{});
    case Source::kConstant: return f(std::integral_constant<Source, Source::kConstant>{});
    default: return f(std::integral_constant<Source, Source::kImaginaryUnit>{});
  }
}

// The shape of a step, for picking its inline kind.
enum class Form { kPush, kUnary, kBinary, kPushUnary, kBinaryWith, kPushBinary, kOther };

inline Kind InlineKind(Form form, int32_t opcode, Source first, Source second) {
  const bool readsFirst = form != Form::kUnary && form != Form::kBinary;
  const bool readsSecond = form == Form::kPushBinary;
#define ZL_MATCH(kind, kindOpcode, kindForm, kindFirst, kindSecond)                                  \
  if (form == Form::kindForm && (form == Form::kPush || opcode == kindOpcode) &&                      \
      (!readsFirst || first == Source::kindFirst) && (!readsSecond || second == Source::kindSecond)) { \
    return Kind::kind;                                                                               \
  }
  ZL_INLINE_STEPS(ZL_MATCH)
#undef ZL_MATCH
  return Kind::kCall;
}

inline bool OperandOf(const PCodeOp& op, int32_t temps, Operand& operand) {
  switch (op.opcode) {
    case pcPushVar: operand = {Source::kSlot, op.ids.a, 0.0}; return true;
    case pcPushTemp: operand = {Source::kSlot, temps + op.ids.a, 0.0}; return true;
    case pcPushNumber: operand = {Source::kNumber, 0, op.number}; return true;
    case pcPushConstant: operand = {Source::kConstant, op.ids.a, 0.0}; return true;
    case pcPushI: operand = {Source::kImaginaryUnit, 0, 0.0}; return true;
    default: return false;
  }
}

// Cells an instruction reads below the top and the change of the stack
// index it makes; false for an instruction the translation leaves to the
// interpreter.
inline bool StackEffect(const PCodeOp& op, int32_t& reads, int32_t& change) {
  const int32_t a = op.ids.a;
  switch (op.opcode) {
    case pcLess:
    case pcGreater:
    case pcLessEq:
    case pcGreaterEq:
    case pcEqual:
    case pcNotEqual: {
      const bool strict = op.opcode == pcLess || op.opcode == pcGreater;
      const int32_t operands = std::max(a, 1);
      reads = operands == 1 && !strict ? 0 : std::max(operands, 2) - 1;
      change = -(operands - 1);
      return true;
    }
    case pcBranch:
      if (a < 0) return false;
      reads = 2 * a - 1;
      change = 1 - 2 * a;
      return true;
    case pcCallFunction:
      if (a < 0) return false;
      reads = a - 1;
      change = 1 - a;
      return true;
    case pcPushGrid1:
    case pcPushGrid2:
    case pcPushGrid3:
    case pcSkipIfZero:
    case pcSkipRestIfTrue:
    case pcPopRow:
    case pcSetRow:
    case pcPushRow:
    case pcCondCountSum:
    case pcCondMaxMin:
    case pcCountSum:
    case pcMaxMin:
    case pcBeginCountSum:
    case pcBeginMaxMin:
      return false;
    default: {
      const PCodeInfo* info = PCodeInfoOf(op.opcode);
      if (info == nullptr) return false;
      reads = info->read;
      change = info->change;
      return true;
    }
  }
}

inline bool IsFusableUnary(int32_t opcode) {
  switch (opcode) {
#define ZL_CASE(name, ...) case name:
    ZL_UNARY_OPCODES(ZL_CASE)
#undef ZL_CASE
    case pcNeg:
    case pcSquare:
      return true;
    default:
      return false;
  }
}

inline bool IsFusableBinary(const PCodeOp& op) {
  switch (op.opcode) {
#define ZL_CASE(name, ...) case name:
    ZL_BINARY_OPCODES(ZL_CASE)
#undef ZL_CASE
    case pcAdd:
    case pcMul:
    case pcDiv:
    case pcIf:
      return true;
    case pcLess:
    case pcGreater:
    case pcLessEq:
    case pcGreaterEq:
    case pcEqual:
    case pcNotEqual:
      return op.ids.a == 2;
    default:
      return false;
  }
}

// Index of the instruction a jump at pc goes to (a jump past either end
// goes to the end), or -1 when it does not jump.
inline int32_t JumpTarget(const PCodeOp& op, int32_t pc, int32_t count) {
  auto inRange = [count](int64_t target) { return target >= 0 && target <= count ? static_cast<int32_t>(target) : count; };
  if (op.opcode == pcLoopTest) return inRange(int64_t{pc} + std::max(op.ids.b, 0) + 1);
  if (op.opcode == pcLoopNext && op.ids.b > 0) return inRange(int64_t{pc} - op.ids.b);
  return -1;
}

// The steps of the program, or an unusable translation when it has an
// instruction the steps leave to the interpreter; null when memory runs out.
template <typename T>
ATranslation* Translate(const AStackMachine& m) {
  const PCodeOp* code = m.Code();
  const int32_t count = m.Count();
  const int32_t temps = m.fTemporariesBase;
  const size_t bytes = kStepsOffset<T> + (static_cast<size_t>(count) + 1) * sizeof(Step<T>);
  auto* translation = static_cast<ATranslation*>(OurAllocateMemory(bytes, false));
  if (translation == nullptr) return nullptr;
  // Step index of each instruction and of the end; the depth before each.
  auto* stepOf = static_cast<int32_t*>(OurAllocateMemory((static_cast<size_t>(count) + 1) * 2 * sizeof(int32_t), false));
  if (stepOf == nullptr) {
    OurDisposeMemory(translation);
    return nullptr;
  }
  int32_t* depth = stepOf + count + 1;
  std::fill(stepOf, stepOf + 2 * (count + 1), -1);
  *translation = {0, false, false};
  Step<T>* steps = StepsOf<T>(translation);
  int32_t n = 0;
  int32_t sp = 0;
  bool usable = true;
  auto add = [&](StepFunction<T> run, int32_t cell) -> Step<T>& {
    Step<T>& s = steps[n++];
    s = {};
    s.run = run;
    s.cell = cell;
    s.kind = Kind::kCall;
    return s;
  };

  int32_t pc = 0;
  for (; pc < count && usable; ) {
    const PCodeOp& op = code[pc];
    depth[pc] = sp;
    stepOf[pc] = n;
    if (op.opcode == pcEnd || op.opcode == pcUndefined) {
      add(op.opcode == pcEnd ? &Identity<T> : &EndNaN<T>, 0).kind = op.opcode == pcEnd ? Kind::kEnd : Kind::kEndNaN;
      break;
    }
    int32_t reads = 0, change = 0;
    if (!StackEffect(op, reads, change) || reads > sp || sp + 1 > m.fStackDepth) {
      usable = false;
      break;
    }
    Operand first{};
    Operand second{};
    int32_t consumed = 1;
    Form form = Form::kOther;
    int32_t fusedOpcode = op.opcode;
    Step<T>* s = nullptr;
    if (OperandOf(op, temps, first)) {
      const int32_t nextOpcode = pc + 1 < count ? code[pc + 1].opcode : pcEnd;
      StepFunction<T> run = nullptr;
      if (pc + 2 < count && OperandOf(code[pc + 1], temps, second) && IsFusableBinary(code[pc + 2])) {
        run = WithSource(first.source, [&](auto a) {
          return WithSource(second.source, [&](auto b) {
            return PushBinaryHandler<T, decltype(a)::value, decltype(b)::value>(code[pc + 2].opcode);
          });
        });
        consumed = 3;
      } else if (pc + 1 < count && IsFusableBinary(code[pc + 1])) {
        run = WithSource(first.source, [&](auto a) { return BinaryWithHandler<T, decltype(a)::value>(nextOpcode); });
        consumed = 2;
      } else if (IsFusableUnary(nextOpcode)) {
        run = WithSource(first.source, [&](auto a) { return PushUnaryHandler<T, decltype(a)::value>(nextOpcode); });
        consumed = 2;
      } else {
        run = WithSource(first.source, [](auto a) -> StepFunction<T> { return &Push<T, decltype(a)::value>; });
      }
      form = consumed == 3 ? Form::kPushBinary
             : consumed == 1 ? Form::kPush
             : IsFusableUnary(nextOpcode) && !IsFusableBinary(code[pc + 1]) ? Form::kPushUnary
                                                                           : Form::kBinaryWith;
      fusedOpcode = code[pc + consumed - 1].opcode;
      s = &add(run, sp);
      s->a = first.index;
      s->x = first.number;
      s->b = second.index;
      s->y = second.number;
    } else if (StepFunction<T> unary = UnaryHandler<T>(op.opcode)) {
      s = &add(unary, sp);
      form = Form::kUnary;
    } else if (IsFusableBinary(op)) {
      s = &add(BinaryHandler<T>(op.opcode), sp - 1);
      form = Form::kBinary;
    } else {
      const int32_t a = op.ids.a;
      switch (op.opcode) {
        case pcPushParameter: s = &add(&PushParameter<T>, sp); s->a = a; translation->readsRow = true; break;
        case pcStoreVar: s = &add(&StoreSlot<T>, sp); s->a = a; break;
        case pcStoreTemp: s = &add(&StoreSlot<T>, sp); s->a = temps + a; break;
        case pcStoreTempPop: s = &add(&StoreSlotPop<T>, sp - 1); s->a = temps + a; break;
        case pcSwap: s = &add(&Swap<T>, sp - 1); break;
        case pcPop: s = &add(&Pop<T>, sp - 1); break;
        case pcPowFrac: s = &add(&PowFrac<T>, sp - 1); break;
        case pcClamp: s = &add(&Clamp<T>, sp - 1); break;
        case pcInterpolate1: s = &add(&Interpolate1<T>, sp); s->a = a; break;
        case pcInterpolate2: s = &add(&Interpolate2<T>, sp - 1); s->a = a; break;
        case pcLess:
        case pcGreater:
        case pcLessEq:
        case pcGreaterEq:
        case pcEqual:
        case pcNotEqual: s = &add(&Chain<T>, sp); s->a = a; s->b = op.opcode; break;
        case pcBranch: s = &add(&Branch<T>, sp); s->a = a; break;
        case pcCallFunction: s = &add(&Call<T>, sp); s->a = a; s->b = op.ids.b; translation->readsRow = true; break;
        case pcLoopTest: s = &add(&LoopTest<T>, sp); s->a = temps + a; s->kind = Kind::kJump; break;
        case pcLoopNext:
          s = &add(&LoopNext<T>, sp);
          s->a = temps + a;
          if (op.ids.b > 0) s->kind = Kind::kJump;
          break;
        case pcSumIndexCheck:
        case pcProductIndexCheck:
          s = &add(&IndexCheck<T>, sp);
          s->a = temps + a;
          s->x = op.opcode == pcSumIndexCheck ? 0.0 : 1.0;
          break;
        default: s = &add(&Identity<T>, sp); break;  // pcNop, pcGuardEnd
      }
      if (s->kind == Kind::kJump) s->jumpTo = JumpTarget(op, pc, count);
    }
    // The stack index after each instruction of the step; the NaN stop
    // looks at the last.
    for (int32_t k = 0; k < consumed; ++k) {
      int32_t kReads = 0, kChange = 0;
      StackEffect(code[pc + k], kReads, kChange);
      if (k > 0) {
        depth[pc + k] = sp;
        stepOf[pc + k] = -2;  // inside a fused step: no jump may land here
      }
      sp += kChange;
    }
    s->checkNaN = sp > 0;
    if (s->kind == Kind::kCall) s->kind = InlineKind(form, fusedOpcode, first.source, second.source);
    pc += consumed;
  }
  // The end the code falls into, and the end a jump past either end reaches.
  if (usable) {
    stepOf[count] = n;
    depth[count] = -1;
    add(&Identity<T>, 0).kind = Kind::kEnd;
  }
  for (int32_t i = 0; i < n && usable; ++i) {
    Step<T>& s = steps[i];
    if (s.kind != Kind::kJump) continue;
    const int32_t to = s.jumpTo;
    // The target must start a step and expect the depth the jump leaves.
    if (stepOf[to] < 0 || (to < count && depth[to] != s.cell)) {
      usable = false;
      break;
    }
    s.target = steps + stepOf[to];
  }
  for (int32_t i = 0; i < n; ++i) {
    Step<T>& s = steps[i];
    if (s.run == &LoopTest<T>) s.kind = Kind::kLoopTest;
    if (s.run == &LoopNext<T> && s.kind == Kind::kJump) s.kind = Kind::kLoopNext;
    if (s.run == &IndexCheck<T>) s.kind = Kind::kIndexCheck;
  }
  OurDisposeMemory(stepOf);
  translation->stepCount = n;
  translation->usable = usable;
  return translation;
}

// The machine's translation for T, made on first use; null when the program
// keeps the interpreter.
template <typename T>
const ATranslation* TranslationOf(const AStackMachine& m) {
  std::atomic<ATranslation*>& slot = m.fTranslations[TypeIndex<T>()];
  ATranslation* translation = slot.load(std::memory_order_acquire);
  if (translation == nullptr) {
    translation = Translate<T>(m);
    if (translation == nullptr) return nullptr;
    ATranslation* expected = nullptr;
    if (!slot.compare_exchange_strong(expected, translation, std::memory_order_acq_rel)) {
      OurDisposeMemory(translation);
      translation = expected;
    }
  }
  return translation->usable ? translation : nullptr;
}

template <typename T>
T RunTranslated(const ATranslation& translation, const AStackMachine& m, T* variables) {
  using Ops = ValueOps<T>;
  const ConstantsSnapshot constants(m.fConstantsCache);
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
#define SLOT(field) Pushed(frame, variables[s->field])
#define NUMBER(field) Pushed(frame, Ops::FromReal(s->field))
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
      case Kind::kNeg: top = Ops::Neg(top); break;
      case Kind::kSquare: top = Ops::Square(top); break;
      case Kind::kAdd: top = Ops::Add(cells[s->cell], top); break;
      case Kind::kMul: top = Ops::Mul(cells[s->cell], top); break;
      case Kind::kDiv: top = Ops::Div(cells[s->cell], top); break;
      case Kind::kPushNegSlot: cells[s->cell] = top; top = Ops::Neg(SLOT(a)); break;
      case Kind::kPushSquareSlot: cells[s->cell] = top; top = Ops::Square(SLOT(a)); break;
      case Kind::kAddSlot: top = Ops::Add(top, SLOT(a)); break;
      case Kind::kAddNumber: top = Ops::Add(top, NUMBER(x)); break;
      case Kind::kMulSlot: top = Ops::Mul(top, SLOT(a)); break;
      case Kind::kMulNumber: top = Ops::Mul(top, NUMBER(x)); break;
      case Kind::kDivSlot: top = Ops::Div(top, SLOT(a)); break;
      case Kind::kDivNumber: top = Ops::Div(top, NUMBER(x)); break;
#define ZL_PUSH_BINARY(op)                                                                              \
  case Kind::kPush##op##SlotSlot: {                                                                     \
    cells[s->cell] = top;                                                                               \
    const T first = SLOT(a);                                                                            \
    top = Ops::op(first, SLOT(b));                                                                      \
    break;                                                                                              \
  }                                                                                                     \
  case Kind::kPush##op##SlotNumber: {                                                                   \
    cells[s->cell] = top;                                                                               \
    const T first = SLOT(a);                                                                            \
    top = Ops::op(first, NUMBER(y));                                                                    \
    break;                                                                                              \
  }                                                                                                     \
  case Kind::kPush##op##NumberSlot: {                                                                   \
    cells[s->cell] = top;                                                                               \
    const T first = NUMBER(x);                                                                          \
    top = Ops::op(first, SLOT(b));                                                                      \
    break;                                                                                              \
  }
      ZL_PUSH_BINARY(Add)
      ZL_PUSH_BINARY(Mul)
      ZL_PUSH_BINARY(Div)
#undef ZL_PUSH_BINARY
#define ZL_FUNCTION(f, opcode, ...)                                 \
  case Kind::k##f: top = Ops::f(top); break;                       \
  case Kind::kPush##f##Slot: cells[s->cell] = top; top = Ops::f(SLOT(a)); break;
      ZL_INLINE_FUNCTIONS(ZL_FUNCTION, )
#undef ZL_FUNCTION
#undef SLOT
#undef NUMBER
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
