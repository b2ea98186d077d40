#pragma once

// The interpreter shared by the four value types. Each value type's source
// file defines ValueOps<T> before including this file and instantiates
// RunPCode<T>; the instruction frame, stack discipline, jumps, table rows,
// calls and cancellation are written once here.

#include <algorithm>
#include <bit>
#include <cstdint>
#include <type_traits>

#include "CoreUtilities/memory/StackSpace.h"
#include "CoreUtilities/threads/ThreadLocalState.h"
#include "evaluation/runs/BranchChoice.h"
#include "evaluation/runs/CalleeSlots.h"
#include "evaluation/runs/CancelWords.h"
#include "evaluation/ConstantsSnapshot.h"
#include "evaluation/DocumentQueries.h"
#include "evaluation/runs/FunctionLookup.h"
#include "evaluation/grid/GridRecords.h"
#include "evaluation/runs/InterpreterScratch.h"
#include "evaluation/native/NativeRun.h"
#include "evaluation/runs/OpcodeFunctions.h"
#include "evaluation/runs/RunPCode.h"
#include "evaluation/runs/SplicedRun.h"
#include "evaluation/StackEffect.h"
#include "evaluation/StackMachine.h"
#include "evaluation/runs/TranslatedRun.h"
#include "evaluation/runs/ValueOps.h"

// Index of the pcGuardEnd with the given a and b after `from`, or -1 when
// pcEnd (or the end of the code) comes first. `sameA` counts the markers
// with the same a that were passed, the matching one included.
inline int32_t FindGuardEnd(const AStackMachine& machine, int32_t from, int32_t a, int32_t b, int32_t& sameA) {
  const PCodeOp* code = machine.Code();
  sameA = 0;
  for (int32_t i = from + 1; i < machine.Count(); ++i) {
    if (code[i].opcode == pcEnd) return -1;
    if (code[i].opcode == pcGuardEnd && code[i].ids.a == a) {
      ++sameA;
      if (code[i].ids.b == b) return i;
    }
  }
  return -1;
}

template <typename T>
T RunProgram(const AStackMachine& machine, T* variables, const MGridVariables* grid);

template <typename T>
T CallUserFunction(const AStackMachine* callee, const T* arguments, int32_t argumentCount, const T& sliderValue,
                   int32_t tableRow) {
  using Ops = ValueOps<T>;
  if (callee == nullptr || argumentCount > callee->fTemporariesBase) return Ops::NaN();
  if (!OurStackSpace(sizeof(T) * (kFrameStackCells + kFrameArgumentSlots) + 4096)) {
    return Ops::NaN();
  }
  const int32_t slotCount = CalleeSlotCount(*callee);
  T frameSlots[kFrameArgumentSlots];
  T* slots = frameSlots;
  T* heapSlots = nullptr;
  if (slotCount > kFrameArgumentSlots) {
    heapSlots = static_cast<T*>(OurAllocateMemory(static_cast<size_t>(slotCount) * sizeof(T), false));
    if (heapSlots == nullptr) return Ops::NaN();
    slots = heapSlots;
  }
  FillCalleeSlots<T>(*callee, slots, slotCount, arguments, argumentCount, sliderValue, tableRow);
  const T result = RunProgram<T>(*callee, slots, nullptr);
  if (heapSlots != nullptr) OurDisposeMemory(heapSlots);
  return result;
}

// The interpreter, in two dispatches over one set of handlers: a switch
// per instruction (any program), and, for a program that RunsThreaded, a
// jump from each handler straight to the next one through a table of
// label addresses: no test of the opcode or the instruction index, and
// every handler its own indirect branch. Both execute the same
// statements, so their results are the same. The top goes to functions as
// a copy (T{top}): its address never escapes, so the compiler is free to
// keep it in a register.
#define ZL_OP(name) \
  case name:        \
    L_##name:
#define ZL_JUMP_ENTRY(name, ...) &&L_##name,

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpedantic"
#pragma GCC diagnostic ignored "-Wunused-label"
template <typename T, bool kThreaded>
[[gnu::noinline]] T RunPCodeWith(const AStackMachine& m, T* variables, const MGridVariables* grid) {
  using Ops = ValueOps<T>;
  static const void* const kHandlers[] = {ZL_PCODE_TABLE(ZL_JUMP_ENTRY)};

  const ConstantsSnapshot constants(m.fConstantsCache);
  StackCells<T> cellStore(m.fStackDepth);
  T* const cells = cellStore.Cells();
  if (cells == nullptr) return Ops::NaN();

  const PCodeOp* const code = m.Code();
  const int32_t count = m.Count();
  const int32_t temps = m.fTemporariesBase;
  DocumentRecord* const document = m.fDocument;
  const bool mayStopOnNaN = m.fNaNRecovery == 0;
  const CancelWords cancel(m);

  T top = Ops::NaN();
  int32_t sp = 0;  // cells below the top
  int32_t row = Ops::ToRow(variables[kSlotTableRow]);
  SavedRows savedRows;
  int32_t pc = 0;
  const PCodeOp* op = code;

  // Macros rather than lambdas: a closure would hold the addresses of the
  // top and the stack index and so keep them out of registers.
#define ZL_PUSH(value)        \
  do {                        \
    const T pushed = (value); \
    cells[sp++] = top;        \
    top = pushed;             \
  } while (false)
#define ZL_POP() (cells[--sp])
  // A jump past either end ends the run as pcEnd does.
#define ZL_IN_RANGE(target) ((target) >= 0 && (target) <= count ? (target) : count)

  // After every instruction: the NaN stop, then the cancellation test
  // (which the backward jump of a loop leaves to its target).
#define ZL_CONTINUE_AT(target, testCancel)                  \
  do {                                                      \
    pc = (target);                                          \
    if constexpr (Ops::kStopsOnNaN) {                       \
      if (sp > 0 && Ops::HasNaN(T{top})) {                  \
        top = Ops::NaN();                                   \
        if (mayStopOnNaN) return Ops::NaN();                \
      }                                                     \
    }                                                       \
    if ((testCancel) && cancel.Raised()) return Ops::NaN(); \
    if constexpr (kThreaded) {                              \
      op = code + pc;                                       \
      goto* kHandlers[op->opcode];                          \
    } else {                                                \
      goto dispatch;                                        \
    }                                                       \
  } while (false)
#define ZL_NEXT ZL_CONTINUE_AT(pc + 1, true)

  if constexpr (kThreaded) goto* kHandlers[op->opcode];
dispatch:
  if (pc < 0 || pc >= count) return Ops::Finish(T{top});
  op = code + pc;
  // One line an instruction, as the opcode table reads:
  // clang-format off
  switch (op->opcode) {
    ZL_OP(pcPushNumber) ZL_PUSH(Ops::FromReal(op->number)); ZL_NEXT;
    ZL_OP(pcPushVar) ZL_PUSH(variables[op->ids.a]); ZL_NEXT;
    ZL_OP(pcPushTemp) ZL_PUSH(variables[temps + op->ids.a]); ZL_NEXT;
    ZL_OP(pcPushParameter) ZL_PUSH(Ops::FromParameter(GetParameter(op->ids.a, row, document))); ZL_NEXT;
    ZL_OP(pcStoreVar) variables[op->ids.a] = top; ZL_NEXT;
    ZL_OP(pcStoreTemp) variables[temps + op->ids.a] = top; ZL_NEXT;
    ZL_OP(pcSwap) { const T below = cells[sp - 1]; cells[sp - 1] = top; top = below; } ZL_NEXT;
    ZL_OP(pcPop) top = ZL_POP(); ZL_NEXT;
    ZL_OP(pcPushGrid1)
    ZL_OP(pcPushGrid2)
    ZL_OP(pcPushGrid3) {
      Complex value = gNaNComplex;
      if (grid != nullptr) {
        const int64_t element = op->opcode == pcPushGrid1   ? grid->Level1Element(op->ids.a)
                                : op->opcode == pcPushGrid2 ? grid->Level2Element(op->ids.a)
                                                            : grid->Level3Element(op->ids.a);
        value = grid->HoistedValue(element);
      }
      ZL_PUSH(Ops::FromConstant(value));
      ZL_NEXT;
    }
    ZL_OP(pcPushConstant) ZL_PUSH(Ops::FromConstant(constants.At(op->ids.a))); ZL_NEXT;
    ZL_OP(pcAdd) { const T second = ZL_POP(); top = Ops::Add(second, T{top}); ZL_NEXT; }
    ZL_OP(pcMul) { const T second = ZL_POP(); top = Ops::Mul(second, T{top}); ZL_NEXT; }
    ZL_OP(pcDiv) { const T second = ZL_POP(); top = Ops::Div(second, T{top}); ZL_NEXT; }
    ZL_OP(pcNeg) top = Ops::Neg(T{top}); ZL_NEXT;
    ZL_OP(pcSquare) top = Ops::Square(T{top}); ZL_NEXT;
    ZL_OP(pcLess)
    ZL_OP(pcGreater)
    ZL_OP(pcLessEq)
    ZL_OP(pcGreaterEq)
    ZL_OP(pcEqual)
    ZL_OP(pcNotEqual) {
      const ChainShape chain = ChainShapeOf(op->opcode, op->ids.a);
      // The pairs, from the top pair down.
      T result = Ops::True();
      T right = top;
      for (int32_t k = 0; k < chain.pairs; ++k) {
        const T& left = cells[sp - 1 - k];
        result = Ops::ChainAnd(result, Ops::Compare(op->opcode, left, right));
        right = left;
      }
      sp -= chain.operands - 1;
      top = result;
      ZL_NEXT;
    }
    ZL_OP(pcPowFrac) {
      const T second = ZL_POP();
      const T third = ZL_POP();
      top = Ops::PowFrac(third, second, T{top});
      ZL_NEXT;
    }
    ZL_OP(pcIf) {
      const T value = ZL_POP();
      top = Ops::IsTrue(T{top}) ? value : Ops::NaN();
      ZL_NEXT;
    }
    ZL_OP(pcBranch) {
      const int32_t pairCount = op->ids.a;
      cells[sp] = top;
      const T* pairs = cells + sp - 2 * pairCount + 1;
      sp = sp - 2 * pairCount + 1;
      top = ChooseBranch(pairs, pairCount);
      ZL_NEXT;
    }
    ZL_OP(pcPushI) ZL_PUSH(Ops::ImaginaryUnit()); ZL_NEXT;
    ZL_OP(pcClamp) {
      const T second = ZL_POP();
      const T third = ZL_POP();
      top = Ops::Clamp(third, second, T{top});
      ZL_NEXT;
    }
    ZL_OP(pcUndefined) return Ops::NaN();
    ZL_OP(pcInterpolate1) top = Ops::Interpolate(op->ids.a, T{top}, document); ZL_NEXT;
    ZL_OP(pcInterpolate2) {
      const T second = ZL_POP();
      top = Ops::Interpolate(op->ids.a, T{top}, second, document);
      ZL_NEXT;
    }
    ZL_OP(pcCallFunction) {
      const int32_t argumentCount = op->ids.a;
      cells[sp] = top;
      const AStackMachine* callee =
          document != nullptr ? DocumentFunctionProgram(op->ids.b, document) : nullptr;
      const T result = CallUserFunction<T>(callee, cells + sp - argumentCount + 1, argumentCount,
                                           variables[kSlotSlider], row);
      sp = sp - argumentCount + 1;
      top = result;
      ZL_NEXT;
    }
    ZL_OP(pcSkipIfZero) {
      if (!Ops::IsFalse(T{top})) ZL_NEXT;
      ZL_PUSH(top);
      int32_t passed = 0;
      const int32_t marker = FindGuardEnd(m, pc, op->ids.a, op->ids.b, passed);
      if (marker < 0) return Ops::NaN();
      top = Ops::NaN();
      ZL_CONTINUE_AT(marker + 1, true);
    }
    ZL_OP(pcSkipRestIfTrue) {
      if (!Ops::IsTrue(cells[sp - 1])) ZL_NEXT;
      int32_t passed = 0;
      const int32_t marker = FindGuardEnd(m, pc, op->ids.a, op->ids.b, passed);
      if (marker < 0) return Ops::Finish(T{top});
      for (int32_t k = 1; k < passed; ++k) {
        ZL_PUSH(Ops::NaN());
        ZL_PUSH(Ops::NaN());
      }
      ZL_CONTINUE_AT(marker + 1, true);
    }
    ZL_OP(pcStoreTempPop) variables[temps + op->ids.a] = top; top = ZL_POP(); ZL_NEXT;
    ZL_OP(pcLoopTest) {
      const int32_t distance = std::max(op->ids.b, 0);
      T* slot = variables + temps + op->ids.a;
      const LoopStep step = Ops::LoopDecision(slot[0], slot[1]);
      if (step == LoopStep::kAbandon) top = Ops::NaN();
      if (step != LoopStep::kEnter) ZL_CONTINUE_AT(static_cast<int32_t>(ZL_IN_RANGE(int64_t{pc} + distance + 1)), true);
      ZL_NEXT;
    }
    ZL_OP(pcLoopNext) {
      T& index = variables[temps + op->ids.a];
      index = Ops::Increment(index);
      if (op->ids.b > 0) ZL_CONTINUE_AT(ZL_IN_RANGE(pc - op->ids.b), false);
      ZL_NEXT;
    }
    ZL_OP(pcSumIndexCheck)
    ZL_OP(pcProductIndexCheck) {
      const T* slot = variables + temps + op->ids.a;
      top = Ops::IndexCheck(T{top}, slot[0], slot[1], slot[2], op->opcode == pcSumIndexCheck ? 0.0 : 1.0);
      ZL_NEXT;
    }
    ZL_OP(pcPopRow) savedRows.Restore(row); ZL_NEXT;
    ZL_OP(pcSetRow) row = Ops::ToRow(variables[temps + op->ids.a]); ZL_NEXT;
    ZL_OP(pcCondCountSum)
    ZL_OP(pcCondMaxMin) {
      const T value = ZL_POP();
      const T condition = top;
      top = ZL_POP();
      T accumulator = top;
      if (op->opcode == pcCondCountSum) {
        Ops::CondCountSum(cells[sp - 1], accumulator, value, condition);
      } else {
        Ops::CondMaxMin(cells[sp - 1], accumulator, value, condition);
      }
      top = accumulator;
      ZL_NEXT;
    }
    ZL_OP(pcCountSum)
    ZL_OP(pcMaxMin) {
      const T x = top;
      top = ZL_POP();
      T accumulator = top;
      if (op->opcode == pcCountSum) {
        Ops::CountSum(cells[sp - 1], accumulator, x);
      } else {
        Ops::MaxMin(cells[sp - 1], accumulator, x);
      }
      top = accumulator;
      ZL_NEXT;
    }
    ZL_OP(pcBeginCountSum)
    ZL_OP(pcBeginMaxMin) {
      savedRows.Save(row);
      const T start = op->opcode == pcBeginCountSum ? Ops::Zero() : Ops::NaN();
      ZL_PUSH(start);
      ZL_PUSH(start);
      T* slot = variables + temps + op->ids.a;
      slot[0] = Ops::FromReal(1.0);
      slot[1] = Ops::FromReal(static_cast<double>(op->ids.b) + 1.0);
      ZL_NEXT;
    }
    ZL_OP(pcPushRow)
      savedRows.Save(row);
      row = Ops::ToRow(T{top});
      top = ZL_POP();
      ZL_NEXT;
    ZL_OP(pcEnd) return Ops::Finish(T{top});
#define ZL_UNARY_HANDLER(name, f) \
  ZL_OP(name) top = Ops::f(T{top}); \
  ZL_NEXT;
    ZL_UNARY_OPCODES(ZL_UNARY_HANDLER)
#undef ZL_UNARY_HANDLER
#define ZL_BINARY_HANDLER(name, f, first, last) \
  ZL_OP(name) {                                 \
    const T second = ZL_POP();                     \
    const T x = top;                            \
    top = [](const T& second, const T& top) { return Ops::f(first, last); }(second, x); \
    ZL_NEXT;                                    \
  }
    ZL_BINARY_OPCODES(ZL_BINARY_HANDLER)
#undef ZL_BINARY_HANDLER
    ZL_OP(pcNop)
    ZL_OP(pcGuardEnd)
    default:  // opcodes outside the table do nothing
      ZL_NEXT;
  }
    // clang-format on
#undef ZL_NEXT
#undef ZL_PUSH
#undef ZL_POP
#undef ZL_IN_RANGE
#undef ZL_CONTINUE_AT
}
#pragma GCC diagnostic pop
#undef ZL_OP
#undef ZL_JUMP_ENTRY

template <typename T>
[[gnu::always_inline]] inline T RunProgram(const AStackMachine& machine, T* variables, const MGridVariables* grid) {
  // A malformed program has no usable translation: tested after it.
  if (const ATranslation* translation = translated::TranslationOf<T>(machine)) {
    if (translation->onePush) return translated::RunOnePush<T>(*translation, machine, variables);
    if constexpr (std::is_same_v<T, double>) {
      if (translation->native != nullptr) return translated::RunNative(*translation, machine, variables);
    }
    if (translated::kHasStraightRun<T> && translation->straight) {
      return translated::RunTranslated<T, translated::RunForm::kStraight>(*translation, machine, variables);
    }
    if constexpr (std::is_same_v<T, double> || std::is_same_v<T, Complex>) {
      // Point runs take calls into their loop, real ones writing the
      // callees in first where they can; boxes, whose values are larger,
      // keep a frame of the usual size.
      if (translation->callsFunctions) {
        if constexpr (std::is_same_v<T, double>) return translated::RunWithCalls<T>(*translation, machine, variables);
        return translated::RunTranslated<T, translated::RunForm::kTakesCallsIn>(*translation, machine, variables);
      }
    }
    return translated::RunTranslated<T>(*translation, machine, variables);
  }
  if (machine.IsMalformed()) return ValueOps<T>::NaN();
  if (machine.RunsThreaded()) return RunPCodeWith<T, true>(machine, variables, grid);
  return RunPCodeWith<T, false>(machine, variables, grid);
}

template <typename T>
T RunPCode(const AStackMachine* machine, T* variables, const MGridVariables* grid) {
  if (machine == nullptr) return ValueOps<T>::NaN();
  return RunProgram<T>(*machine, variables, grid);
}

template <typename T>
T RunPCodeSwitched(const AStackMachine* machine, T* variables, const MGridVariables* grid) {
  if (machine == nullptr || machine->IsMalformed()) return ValueOps<T>::NaN();
  return RunPCodeWith<T, false>(*machine, variables, grid);
}
