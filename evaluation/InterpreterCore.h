#pragma once

// The interpreter shared by the four value types. Each value type's source
// file defines ValueOps<T> before including this file and instantiates
// RunPCode<T>; the instruction frame, stack discipline, jumps, table rows,
// calls and cancellation are written once here.

#include <algorithm>
#include <cstdint>

#include "CoreUtilities/GraphViewThread.h"
#include "CoreUtilities/MathPaneThread.h"
#include "CoreUtilities/StackSpace.h"
#include "CoreUtilities/ThreadLocalState.h"
#include "evaluation/ConstantsCache.h"
#include "evaluation/DocumentQueries.h"
#include "evaluation/GridRecords.h"
#include "evaluation/InterpreterScratch.h"
#include "evaluation/OpcodeFunctions.h"
#include "evaluation/RunPCode.h"
#include "evaluation/StackMachine.h"
#include "evaluation/ValueOps.h"

inline bool EvaluationCancelled(const AStackMachine& machine) {
  if (machine.fCancel.load(std::memory_order_relaxed) != 0) return true;
  if (gCancelEvaluationForUIEvalThreads.load(std::memory_order_relaxed) != 0 && IsUIThread()) {
    return true;
  }
  return gCancelEvaluationForMathPaneResultsEvalThreads.load(std::memory_order_relaxed) != 0 &&
         IsMathPaneResultsThread();
}

// Index of the pcGuardEnd with the given a and b after `from`, or -1 when
// pcEnd (or the end of the code) comes first. `sameA` counts the markers
// with the same a that were passed, the matching one included.
inline int32_t FindGuardEnd(const AStackMachine& machine, int32_t from, int32_t a, int32_t b,
                            int32_t& sameA) {
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

inline constexpr int32_t kFrameArgumentSlots = 32;

template <typename T>
T CallUserFunction(const AStackMachine* callee, const T* arguments, int32_t argumentCount,
                   const T& sliderValue, int32_t tableRow) {
  using Ops = ValueOps<T>;
  if (callee == nullptr || argumentCount > callee->fTemporariesBase) return Ops::NaN();
  if (!OurStackSpace(sizeof(T) * (kFrameStackCells + kFrameArgumentSlots) + 4096)) {
    return Ops::NaN();
  }
  const int32_t slotCount = std::max(callee->VariableSlotCount(), kTemporariesBase);
  T frameSlots[kFrameArgumentSlots];
  T* slots = frameSlots;
  T* heapSlots = nullptr;
  if (slotCount > kFrameArgumentSlots) {
    heapSlots = static_cast<T*>(OurAllocateMemory(static_cast<size_t>(slotCount) * sizeof(T), false));
    if (heapSlots == nullptr) return Ops::NaN();
    slots = heapSlots;
  }
  std::fill(slots, slots + slotCount, Ops::Zero());
  if (argumentCount <= kSlotSlider) slots[kSlotSlider] = sliderValue;
  if (argumentCount <= kSlotTableRow) slots[kSlotTableRow] = Ops::FromReal(tableRow);
  std::copy(arguments, arguments + std::max(argumentCount, 0), slots);
  const T result = RunPCode<T>(callee, slots, nullptr);
  OurDisposeMemory(heapSlots);
  return result;
}

template <typename T>
T RunPCode(const AStackMachine* machine, T* variables, const MGridVariables* grid) {
  using Ops = ValueOps<T>;
  using Functions = OpcodeFunctions<Ops>;
  if (machine == nullptr || machine->IsMalformed()) return Ops::NaN();
  const AStackMachine& m = *machine;

  ConstantValues constantsHandle;
  int32_t constantCount = 0;
  if (m.fConstantsCache != nullptr) {
    constantsHandle = m.fConstantsCache->GetConstantsArray();
    if (constantsHandle != nullptr) constantCount = m.fConstantsCache->Store().valueCount;
  }
  const Complex* constants = constantsHandle.get();

  StackCells<T> cellStore(m.fStackDepth);
  T* const cells = cellStore.Cells();
  if (cells == nullptr) return Ops::NaN();

  const PCodeOp* const code = m.Code();
  const int32_t count = m.Count();
  const int32_t temps = m.fTemporariesBase;
  DocumentRecord* const document = m.fDocument;
  const bool mayStopOnNaN = m.fNaNRecovery == 0;

  T top = Ops::NaN();
  int32_t sp = 0;  // cells below the top
  int32_t row = Ops::ToRow(variables[kSlotTableRow]);
  SavedRows savedRows;
  int32_t pc = 0;

  auto push = [&](const T& value) {
    cells[sp++] = top;
    top = value;
  };
  auto pop = [&]() -> T { return cells[--sp]; };

  for (;;) {
    if (pc < 0 || pc >= count) return Ops::Finish(top);
    const PCodeOp& op = code[pc];
    int32_t next = pc + 1;
    bool testCancel = true;
    switch (op.opcode) {
      case pcPushNumber: push(Ops::FromReal(op.number)); break;
      case pcPushVar: push(variables[op.ids.a]); break;
      case pcPushTemp: push(variables[temps + op.ids.a]); break;
      case pcPushParameter: push(Ops::FromParameter(GetParameter(op.ids.a, row, document))); break;
      case pcStoreVar: variables[op.ids.a] = top; break;
      case pcStoreTemp: variables[temps + op.ids.a] = top; break;
      case pcSwap: std::swap(top, cells[sp - 1]); break;
      case pcPop: top = pop(); break;
      case pcPushGrid1:
      case pcPushGrid2:
      case pcPushGrid3: {
        Complex value = gNaNComplex;
        if (grid != nullptr) {
          const int64_t element = op.opcode == pcPushGrid1   ? grid->Level1Element(op.ids.a)
                                  : op.opcode == pcPushGrid2 ? grid->Level2Element(op.ids.a)
                                                             : grid->Level3Element(op.ids.a);
          value = grid->HoistedValue(element);
        }
        push(Ops::FromConstant(value));
        break;
      }
      case pcPushConstant: {
        const bool known = constants != nullptr && op.ids.a >= 0 && op.ids.a < constantCount;
        push(Ops::FromConstant(known ? constants[op.ids.a] : gNaNComplex));
        break;
      }
      case pcAdd: { const T second = pop(); top = Ops::Add(second, top); break; }
      case pcMul: { const T second = pop(); top = Ops::Mul(second, top); break; }
      case pcDiv: { const T second = pop(); top = Ops::Div(second, top); break; }
      case pcNeg: top = Ops::Neg(top); break;
      case pcSquare: top = Ops::Square(top); break;
      case pcLess:
      case pcGreater:
      case pcLessEq:
      case pcGreaterEq:
      case pcEqual:
      case pcNotEqual: {
        const bool strict = op.opcode == pcLess || op.opcode == pcGreater;
        const int32_t operands = std::max(op.ids.a, 1);
        if (operands == 1 && !strict) {
          top = Ops::True();
          break;
        }
        // The pairs, from the top pair down; a one-operand strict chain
        // still compares second with top and keeps second.
        const int32_t pairs = std::max(operands, 2) - 1;
        T result = Ops::True();
        T right = top;
        for (int32_t k = 0; k < pairs; ++k) {
          const T& left = cells[sp - 1 - k];
          result = Ops::ChainAnd(result, Ops::Compare(op.opcode, left, right));
          right = left;
        }
        sp -= operands - 1;
        top = result;
        break;
      }
      case pcPowFrac: {
        const T second = pop();
        const T third = pop();
        top = Ops::PowFrac(third, second, top);
        break;
      }
      case pcIf: {
        const T value = pop();
        top = Ops::IsTrue(top) ? value : Ops::NaN();
        break;
      }
      case pcBranch: {
        const int32_t pairCount = op.ids.a;
        cells[sp] = top;
        const T* pairs = cells + sp - 2 * pairCount + 1;
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
        sp = sp - 2 * pairCount + 1;
        top = result;
        break;
      }
      case pcPushI: push(Ops::ImaginaryUnit()); break;
      case pcClamp: {
        const T second = pop();
        const T third = pop();
        top = Ops::Clamp(third, second, top);
        break;
      }
      case pcUndefined: return Ops::NaN();
      case pcInterpolate1: top = Ops::Interpolate(op.ids.a, top, document); break;
      case pcInterpolate2: {
        const T second = pop();
        top = Ops::Interpolate(op.ids.a, top, second, document);
        break;
      }
      case pcCallFunction: {
        const int32_t argumentCount = op.ids.a;
        cells[sp] = top;
        const AStackMachine* callee =
            document != nullptr ? GetMachineFromDocumentFunction(op.ids.b, document) : nullptr;
        const T result = CallUserFunction<T>(callee, cells + sp - argumentCount + 1, argumentCount,
                                             variables[kSlotSlider], row);
        sp = sp - argumentCount + 1;
        top = result;
        break;
      }
      case pcSkipIfZero: {
        if (!Ops::IsFalse(top)) break;
        push(top);
        int32_t passed = 0;
        const int32_t marker = FindGuardEnd(m, pc, op.ids.a, op.ids.b, passed);
        if (marker < 0) return Ops::NaN();
        top = Ops::NaN();
        next = marker + 1;
        break;
      }
      case pcSkipRestIfTrue: {
        if (!Ops::IsTrue(cells[sp - 1])) break;
        int32_t passed = 0;
        const int32_t marker = FindGuardEnd(m, pc, op.ids.a, op.ids.b, passed);
        if (marker < 0) return Ops::Finish(top);
        for (int32_t k = 1; k < passed; ++k) {
          push(Ops::NaN());
          push(Ops::NaN());
        }
        next = marker + 1;
        break;
      }
      case pcStoreTempPop: variables[temps + op.ids.a] = top; top = pop(); break;
      case pcLoopTest: {
        const int32_t distance = std::max(op.ids.b, 0);
        T* slot = variables + temps + op.ids.a;
        switch (Ops::LoopDecision(slot[0], slot[1])) {
          case LoopStep::kEnter: break;
          case LoopStep::kLeave: next = pc + distance + 1; break;
          case LoopStep::kAbandon:
            top = Ops::NaN();
            next = pc + distance + 1;
            break;
        }
        break;
      }
      case pcLoopNext: {
        T& index = variables[temps + op.ids.a];
        index = Ops::Increment(index);
        if (op.ids.b > 0) {
          next = pc - op.ids.b;
          testCancel = false;
        }
        break;
      }
      case pcSumIndexCheck:
      case pcProductIndexCheck: {
        const T* slot = variables + temps + op.ids.a;
        top = Ops::IndexCheck(top, slot[0], slot[1], slot[2], op.opcode == pcSumIndexCheck ? 0.0 : 1.0);
        break;
      }
      case pcPopRow: savedRows.Restore(row); break;
      case pcSetRow: row = Ops::ToRow(variables[temps + op.ids.a]); break;
      case pcCondCountSum:
      case pcCondMaxMin: {
        const T value = pop();
        const T condition = top;
        top = pop();
        if (op.opcode == pcCondCountSum) {
          Ops::CondCountSum(cells[sp - 1], top, value, condition);
        } else {
          Ops::CondMaxMin(cells[sp - 1], top, value, condition);
        }
        break;
      }
      case pcCountSum:
      case pcMaxMin: {
        const T x = top;
        top = pop();
        if (op.opcode == pcCountSum) {
          Ops::CountSum(cells[sp - 1], top, x);
        } else {
          Ops::MaxMin(cells[sp - 1], top, x);
        }
        break;
      }
      case pcBeginCountSum:
      case pcBeginMaxMin: {
        savedRows.Save(row);
        const T start = op.opcode == pcBeginCountSum ? Ops::Zero() : Ops::NaN();
        push(start);
        push(start);
        T* slot = variables + temps + op.ids.a;
        slot[0] = Ops::FromReal(1.0);
        slot[1] = Ops::FromReal(static_cast<double>(op.ids.b) + 1.0);
        break;
      }
      case pcPushRow:
        savedRows.Save(row);
        row = Ops::ToRow(top);
        top = pop();
        break;
      case pcEnd: return Ops::Finish(top);
      default:  // pcNop, pcGuardEnd and unknown opcodes do nothing
        if (const auto unary = Functions::UnaryOf(op.opcode)) {
          top = unary(top);
        } else if (const auto binary = Functions::BinaryOf(op.opcode)) {
          const T second = pop();
          top = binary(second, top);
        }
        break;
    }
    pc = next;
    if constexpr (Ops::kStopsOnNaN) {
      if (sp > 0 && Ops::HasNaN(top)) {
        top = Ops::NaN();
        if (mayStopOnNaN) return Ops::NaN();
      }
    }
    if (testCancel && EvaluationCancelled(m)) return Ops::NaN();
  }
}
