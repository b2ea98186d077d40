#include "evaluation/compiler/SubexpressionSharing.h"

#include <new>

#include "CoreUtilities/threads/ComputationDeadline.h"
#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/threads/ThreadLocalState.h"
#include "evaluation/compiler/ExpressionCompiler.h"
#include "evaluation/compiler/PendingPrograms.h"
#include "evaluation/StackMachine.h"
#include "evaluation/compiler/SubexpressionIndex.h"
#include "expression/TreeComparison.h"
#include "expression/VariableIds.h"

namespace {

// The calling thread's searches of its scope's lists, beside its compiler
// state: hashes of the subtrees met in the scope and each list by hash.
struct SharingSearches {
  SubtreeHashes hashes;
  SubexpressionIndex computed;
  SubexpressionIndex temporaries;
  SubexpressionIndex hoisting[3];

  void Forget() {
    hashes.Clear();
    computed.Forget();
    temporaries.Forget();
    for (SubexpressionIndex& level : hoisting) level.Forget();
  }
};

thread_local SharingSearches tSearches;

bool IsKind(const ExpressionRecord* node, OpCodeT kind) { return node != nullptr && node->opcode == kind; }

bool IsPowerOverBaseOtherThanE(const ExpressionRecord* power) {
  if (!IsKind(power, kOpPower) || power->operandCount < 2) return false;
  const ExpressionRecord* base = power->operands[0];
  return !(IsKind(base, kOpAtom) && base->payload.id == kIdE);
}

bool IsSecondOperandOf(const ExpressionRecord* node, const ExpressionRecord* parent) {
  return parent != nullptr && parent->operandCount >= 2 && parent->operands[1] == node;
}

// Looks the node up in one hoisting level; appends it when new.
bool HoistAt(int32_t level, ExpressionRecord* node, PCodeOp* op, int32_t* slot, bool* outOfMemory) {
  static constexpr int32_t kPushes[3] = {pcPushGrid1, pcPushGrid2, pcPushGrid3};
  SubexpressionList* list = GetStackMachineConstructorGlobals()->hoisting[level];
  if (list == nullptr) return false;
  op->opcode = kPushes[level];
  const int32_t found = tSearches.hoisting[level].FindFirstEqual(*list, node, tSearches.hashes);
  if (found >= 0) {
    *slot = (*list)[found].slot;
    return true;
  }
  *slot = list->Count();
  if (list->Add({node, -1, *slot, -1, 0}) != 0) *outOfMemory = true;
  return true;
}

// The kinds whose code the compiler (EmitNode) leaves empty: their
// operands' values stay behind.
bool EmitsNothing(OpCodeT kind) {
  switch (kind) {
    case kOpPrompt:
    case kOpMatrix:
    case kOpComma:
    case kOpIn:
    case kOpSubstitution:
    case kOpSuperscriptT:
    case kOpPlusOrMinus:
    case kOpMinusOrPlus:
    case kOpGrad:
    case kOpDiv:
    case kOpCurl:
    case kOpLap:
    case kOpSum:
    case kOpProduct:
    case kOpLParen:
    case kOpId:
    case kOpDot:
    case kOpCross:
    case kOpPrime:
    case kOpHat:
    case kOpIntegral:
    case kOpDataStdDev:
    case kOpSlider:
    case kOpSet:
    case kOpTranspose:
    case kOpTrace:
    case kOpDet:
    case kOpRotate:
    case kOpSwappedCondition: return true;
    default:
      return !IsOperatorTableKind(kind) && kind != kOpAngle && kind != kOpPreparedSum && kind != kOpTableIndex &&
             kind != kOpPreparedProduct && kind != kOpDummy && kind != kOpConditions;
  }
}

// The node's code leaves exactly one value on the stack.
bool LeavesOneValue(const ExpressionRecord* node) { return !EmitsNothing(node->opcode) || node->operandCount == 1; }

}  // namespace

StackMachineConstructorGlobals* GetStackMachineConstructorGlobals() {
  return static_cast<StackMachineConstructorGlobals*>(
      GetThreadLocalStackMachineConstructorGlobals(sizeof(StackMachineConstructorGlobals)));
}

SubexpressionList* NewSubexpressionList() {
  void* block = OurAllocateMemory(sizeof(SubexpressionList), true);
  return block != nullptr ? new (block) SubexpressionList : nullptr;
}

void FreeSubexpressionList(SubexpressionList* list) {
  if (list == nullptr) return;
  list->~SubexpressionList();
  OurDisposeMemory(list);
}

bool PushDataLoop(StackMachineConstructorGlobals* state, int32_t slot) {
  if (state->dataLoopCount == state->dataLoopCapacity) {
    const int32_t capacity = state->dataLoopCapacity == 0 ? 16 : state->dataLoopCapacity * 2;
    auto* stack = static_cast<int32_t*>(OurAllocateMemory(size_t(capacity) * sizeof(int32_t), false));
    if (stack == nullptr) return false;
    if (state->dataLoopCount > 0) {
      OurCopyMemory(stack, state->dataLoopStack, size_t(state->dataLoopCount) * sizeof(int32_t));
    }
    OurDisposeMemory(state->dataLoopStack);
    state->dataLoopStack = stack;
    state->dataLoopCapacity = capacity;
  }
  state->dataLoopStack[state->dataLoopCount++] = slot;
  return true;
}

void BeginCSE() {
  StackMachineConstructorGlobals* state = GetStackMachineConstructorGlobals();
  if (state == nullptr) return;
  tSearches.Forget();
  AbandonPendingPrograms(state);
  FreeSubexpressionList(state->computed);
  FreeSubexpressionList(state->temporaries);
  state->computed = NewSubexpressionList();
  state->temporaries = NewSubexpressionList();
  if (state->computed == nullptr || state->temporaries == nullptr) {
    // Without lists no program can share; each compiles on its own.
    FreeSubexpressionList(state->computed);
    FreeSubexpressionList(state->temporaries);
    state->computed = state->temporaries = nullptr;
  }
  state->machineCount = 0;
  state->rComputed = state->rhoComputed = state->thetaComputed = state->phiComputed = 0;
}

int32_t EndCSE() {
  StackMachineConstructorGlobals* state = GetStackMachineConstructorGlobals();
  if (state == nullptr) return kTemporariesBase;
  SubexpressionList* temporaries = state->temporaries;
  const int32_t n = temporaries != nullptr ? temporaries->Count() : 0;
  bool storesComplete = true;
  for (int32_t i = 0; i < n; ++i) {
    const MSubexpression entry = (*temporaries)[i];
    if (entry.loopSlot != 0 || entry.machine < 0 || entry.machine >= state->machineCount) continue;
    for (int32_t j = i + 1; j < n; ++j) {
      MSubexpression& later = (*temporaries)[j];
      if (later.machine == entry.machine && later.position > entry.position) ++later.position;
    }
    PendingProgram& program = state->machines[entry.machine];
    program.writesShared = true;
    if (!InsertInstruction(&program, entry.position, MakeOp(pcStoreTemp, entry.slot))) storesComplete = false;
  }
  // A program that would read a value whose store is missing must not run.
  // One stopped by the deadline or by an edit is no shortage of memory.
  bool sharerStopped = false;
  for (int32_t m = 0; m < state->machineCount; ++m) {
    if (state->machines[m].writesShared && state->machines[m].outOfMemory) sharerStopped = true;
  }
  if (!storesComplete || sharerStopped) {
    for (int32_t m = 0; m < state->machineCount; ++m) state->machines[m].outOfMemory = true;
    if (!storesComplete || !ComputationDeadlinePassed()) QueueError(kOutOfMemoryError);
  }
  DeliverPendingPrograms(state);
  tSearches.Forget();
  FreeSubexpressionList(state->computed);
  FreeSubexpressionList(state->temporaries);
  state->computed = state->temporaries = nullptr;
  return n + kTemporariesBase;
}

bool IsFractionalPower(const ExpressionRecord* node) {
  if (!IsKind(node, kOpOver) || node->parent == nullptr) return false;
  const ExpressionRecord* parent = node->parent;
  if (IsKind(parent, kOpPower)) return IsSecondOperandOf(node, parent) && IsPowerOverBaseOtherThanE(parent);
  return IsKind(parent, kOpMinus) && IsSecondOperandOf(parent, parent->parent) &&
         IsPowerOverBaseOtherThanE(parent->parent);
}

bool CSEisOK(const ExpressionRecord* node) {
  if (IsKind(node, kOpSwappedCondition) || IsKind(node, kOpIf) || IsKind(node, kOpNumber)) return false;
  if (IsKind(node->parent, kOpBranch) || IsFractionalPower(node)) return false;
  if (IsKind(node, kOpMinus) && node->operandCount >= 1 && IsKind(node->operands[0], kOpOver) &&
      IsKind(node->parent, kOpPower))
    return false;
  // One push stands for the node, so its code must leave exactly one value.
  return LeavesOneValue(node);
}

int32_t GetSummationIndexVariable(const ExpressionRecord* indexVariable) {
  const StackMachineConstructorGlobals* state = GetStackMachineConstructorGlobals();
  if (state == nullptr || state->temporaries == nullptr) return -1;
  const SubexpressionList& list = *state->temporaries;
  for (int32_t i = 0; i < list.Count(); ++i) {
    if (list[i].loopSlot != 0 && list[i].expression != nullptr && MATH_Equal(list[i].expression, indexVariable)) {
      return list[i].slot;
    }
  }
  return -1;
}

bool AlreadyComputed(ExpressionRecord* node, int32_t gridLevel, PCodeOp* op, int32_t* slot, bool* outOfMemory) {
  StackMachineConstructorGlobals* state = GetStackMachineConstructorGlobals();
  if (state == nullptr || state->temporaries == nullptr || state->computed == nullptr) return false;
  if (state->gridMode != 0 && gridLevel >= 0 && HoistAt(gridLevel, node, op, slot, outOfMemory)) return true;
  SubexpressionList& temporaries = *state->temporaries;
  // Loop slots are found by the compiler's index test: the same name
  // outside its loop is a parameter, not the loop's index.
  const int32_t shared = tSearches.temporaries.FindFirstEqual(temporaries, node, tSearches.hashes);
  if (shared >= 0) {
    op->opcode = pcPushTemp;
    *slot = temporaries[shared].slot;
    return true;
  }
  const int32_t first = tSearches.computed.FindFirstEqual(*state->computed, node, tSearches.hashes);
  if (first >= 0) {
    MSubexpression promoted = (*state->computed)[first];
    promoted.slot = temporaries.Count();
    if (temporaries.Add(promoted) != 0) *outOfMemory = true;
    op->opcode = pcPushTemp;
    *slot = promoted.slot;
    return true;
  }
  return false;
}
