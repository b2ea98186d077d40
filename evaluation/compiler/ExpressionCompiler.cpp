#include "evaluation/compiler/ExpressionCompiler.h"

#include "CoreUtilities/threads/ComputationDeadline.h"
#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/MathConstants.h"
#include "CoreUtilities/memory/MemoryBudget.h"
#include "CoreUtilities/threads/ThreadLocalState.h"
#include "evaluation/ConstantsCache.h"
#include "evaluation/grid/GridHoistLevels.h"
#include "evaluation/compiler/LoopContext.h"
#include "evaluation/compiler/PendingPrograms.h"
#include "evaluation/StackMachine.h"
#include "evaluation/compiler/StackMachineRewriting.h"
#include "evaluation/StringValues.h"
#include "evaluation/compiler/SubexpressionSharing.h"
#include "expression/DocumentHooks.h"
#include "expression/NumericComputability.h"
#include "expression/SubtreeAnswers.h"
#include "expression/SymbolTable.h"
#include "expression/TreeComparison.h"
#include "expression/TreeComputability.h"
#include "expression/TreeWalking.h"
#include "expression/VariableIds.h"
#include "platform/CheckedConvert.h"

namespace {

constexpr double kE = 2.718281828459045;

bool IsKind(const ExpressionRecord* node, OpCodeT kind) { return node != nullptr && node->opcode == kind; }

bool IsAtom(const ExpressionRecord* node, int32_t id) { return IsKind(node, kOpAtom) && node->payload.id == id; }

bool IsNumber(const ExpressionRecord* node, double value) {
  return IsKind(node, kOpNumber) && node->payload.number != nullptr && node->payload.number->value == value;
}

bool IsFunctionName(const ExpressionRecord* node) {
  return IsKind(node->parent, kOpFunction) && node->parent->operands[0] == node;
}

bool IsPartOfFractionalExponent(const ExpressionRecord* node) {
  if (IsFractionalPower(node)) return true;
  return IsKind(node, kOpMinus) && node->operandCount >= 1 && IsFractionalPower(node->operands[0]) &&
         IsKind(node->parent, kOpPower);
}

// One program from one tree. The walk is post-order without recursion:
// Descend goes down the leftmost path from a node, emitting what must come
// before the operands (a loop's stores and test, a sum's accumulator, a
// table row's push), and stops at a leaf or at a node whose value comes
// whole (shared by an earlier program, a cached constant, a loop index).
// Such a node is reported `done`: its value is on the stack and nothing of
// it is emitted again. Run then emits each node after all its operands:
// past a node comes its next sibling's descent, or, after the last
// operand, the parent itself with `done` cleared. So the code of each node
// leaves its value above the values of its left siblings, and the
// parent's instructions take its operands' values off the stack. Every
// step of the walk goes through fLoops, and the tree-wide questions about
// subtrees are answered for the whole tree before the walk: the walk never
// changes the tree.
class Compilation {
 public:
  Compilation(AStackMachine* machine, ExpressionRecord* root, AConstantsCache* cache, bool guarded, bool forGrid,
              DocumentRecord* document)
      : fMachine(machine), fRoot(root), fCache(cache), fGuarded(guarded), fForGrid(forGrid), fDocument(document) {}

  void Run();

 private:
  // Each Emit appends one instruction; see its row in PCodeTable.h for
  // what it takes off the stack and leaves.
  void Emit(const PCodeOp& op) {
    if (!AppendInstruction(fProgram, op)) fOutOfMemory = true;
    if (op.opcode == pcUndefined) fEmittedUndefined = true;
  }
  void Emit(int32_t opcode, int32_t a = 0, int32_t b = 0) { Emit(MakeOp(opcode, a, b)); }
  void EmitNumber(double value) { Emit(MakeNumberOp(value)); }

  bool Open();
  bool HasRepeatedIndex() const;
  ExpressionRecord* Descend(ExpressionRecord* node, bool* done);
  bool MaySearchShared(ExpressionRecord* node);
  bool MayRecord(ExpressionRecord* node);
  bool TryShared(ExpressionRecord* node);
  bool IsConstant(ExpressionRecord* node);
  bool TryConstant(ExpressionRecord* node);
  int32_t LoopIndexSlot(const ExpressionRecord* node) const;
  bool HandOutLoopSlots(ExpressionRecord* expression, int32_t count, int32_t* first);
  void EnterDataLoop(ExpressionRecord* node);
  void EmitNode(ExpressionRecord* node);
  void EmitAtom(ExpressionRecord* node);
  void EmitCall(ExpressionRecord* node);
  void EmitDataLoopEnd(ExpressionRecord* node);
  void EmitGuardMarkers(ExpressionRecord* node);
  void Record(ExpressionRecord* node);
  void EmitCoordinate(int32_t* mark, int32_t slot, void (Compilation::*computation)(ExpressionRecord*),
                      ExpressionRecord* node);
  void ComputeR(ExpressionRecord* node);
  void ComputeRho(ExpressionRecord*);
  void ComputeTheta(ExpressionRecord*);
  void ComputePhi(ExpressionRecord* node);
  void Finish();

  AStackMachine* fMachine;
  ExpressionRecord* fRoot;
  AConstantsCache* fCache;
  bool fGuarded;
  bool fForGrid;
  DocumentRecord* fDocument;
  StackMachineConstructorGlobals* fState = nullptr;
  PendingProgram fOwnProgram{};
  PendingProgram* fProgram = &fOwnProgram;
  bool fOwnTemporaries = false;
  bool fSharing = false;
  bool fOutOfMemory = false;
  bool fStopped = false;
  bool fEmittedUndefined = false;
  LoopContext fLoops;
  SubtreeAnswers fAnswers;
  GridHoistLevels fGridLevels;
};

bool Compilation::Open() {
  fState = GetStackMachineConstructorGlobals();
  if (fState == nullptr) return false;
  fState->dataLoopCount = 0;
  if (fState->temporaries == nullptr) {
    fState->temporaries = NewSubexpressionList();
    if (fState->temporaries == nullptr) return false;
    fOwnTemporaries = true;
  }
  // A full machine table leaves the program to compute everything itself.
  fSharing = !fGuarded && !fOwnTemporaries && fState->computed != nullptr && fState->machineCount < kMostSharedMachines;
  if (fSharing) fProgram = &fState->machines[fState->machineCount];
  *fProgram = PendingProgram{};
  fProgram->machine = fMachine;
  return true;
}

bool Compilation::HasRepeatedIndex() const {
  ExpressionRecord* node = LeftMost(fRoot);
  while (node != nullptr) {
    if (HasLoopRange(node)) {
      for (const ExpressionRecord* a = node->parent; a != nullptr; a = a->parent) {
        if (HasLoopRange(a) && MATH_Equal(LoopRangeIndex(a), LoopRangeIndex(node))) return true;
      }
    }
    if (node == fRoot) break;
    node = NextBottomUp(node);
  }
  return false;
}

void Compilation::Run() {
  if (!Open()) {
    fOutOfMemory = true;
  } else if (HasRepeatedIndex()) {
    EmitNumber(gNaN);
  } else {
    fAnswers.Reset(fRoot, fDocument);
    fLoops.Start(fRoot, fDocument);
    if (fSharing && fState->gridMode != 0) fGridLevels.Build(fRoot, fDocument);
    bool done = false;
    ExpressionRecord* node = Descend(fRoot, &done);
    while (!fOutOfMemory) {
      if (ComputationDeadlinePassed()) {
        fStopped = true;
        break;
      }
      if (!done) {
        EmitNode(node);
        Record(node);
      }
      if (fGuarded) EmitGuardMarkers(node);
      if (node == fRoot) break;
      ExpressionRecord* parent = node->parent;
      const int32_t k = OP_NUM(node);
      if (k + 1 < parent->operandCount) {
        fLoops.Across(parent, k + 1);
        node = Descend(parent->operands[k + 1], &done);
      } else {
        fLoops.Up(parent);
        node = parent;
        done = false;
      }
    }
  }
  Finish();
}

void Compilation::Finish() {
  // A compilation stopped by the deadline gives the NaN program, silently.
  if (fOutOfMemory || fStopped) fProgram->outOfMemory = true;
  if (fOutOfMemory) QueueError(kOutOfMemoryError);
  fMachine->fConstantsCache = fCache;
  fMachine->fDocument = fDocument;
  fMachine->fTemporariesBase = kTemporariesBase;
  fMachine->fCancel.store(0, std::memory_order_relaxed);
  if (fState == nullptr) {
    DeliverProgram(fProgram);
    return;
  }
  const int32_t temporaries = fState->temporaries != nullptr ? fState->temporaries->Count() : 0;
  fMachine->fArgumentCount = temporaries;
  // The thread's record outlives nothing it points to.
  OurDisposeMemory(fState->dataLoopStack);
  fState->dataLoopStack = nullptr;
  fState->dataLoopCount = fState->dataLoopCapacity = 0;
  if (fSharing) {
    ++fState->machineCount;
  } else {
    DeliverProgram(fProgram);
  }
  if (fOwnTemporaries) {
    CheckgVariablesSize(temporaries + kTemporariesBase);
    FreeSubexpressionList(fState->temporaries);
    fState->temporaries = nullptr;
  }
}

ExpressionRecord* Compilation::Descend(ExpressionRecord* node, bool* done) {
  *done = false;
  ExpressionRecord* parent = node->parent;
  if (node != fRoot && HasLoopRange(parent) && parent->operands[2] == node) {
    const int32_t t = GetSummationIndexVariable(LoopRangeIndex(parent));
    Emit(pcStoreTempPop, t + 1);
    Emit(pcLoopTest, t);
  }
  if (node != fRoot && IsKind(parent, kOpTableIndex) && OP_NUMeq(node, 1)) Emit(pcPushRow);
  for (;;) {
    if (fOutOfMemory) return node;
    if ((IsScalarDataOpcode(node->opcode) || IsDataMinMax(node, fDocument)) && !IsConstant(node)) {
      if (TryShared(node)) {
        *done = true;
        return node;
      }
      EnterDataLoop(node);
    }
    parent = node->parent;
    if (IsKind(node, kOpEquals) && HasLoopRange(parent) && parent->operands[0] == node) {
      int32_t first = 0;
      if (!HandOutLoopSlots(node->operands[0], 3, &first)) return node;
      fLoops.Down(node, 1);
      node = node->operands[1];
      continue;
    }
    const int32_t indexSlot = LoopIndexSlot(node);
    if (indexSlot >= 0) {
      Emit(pcPushTemp, indexSlot);
      *done = true;
      return node;
    }
    if (TryShared(node) || TryConstant(node)) {
      *done = true;
      return node;
    }
    if (node->operandCount == 0) return node;
    // The accumulator goes below the loop's first value.
    if (HasLoopRange(node)) EmitNumber(node->opcode == kOpPreparedSum ? 0.0 : 1.0);
    const int32_t operand = IsKind(node, kOpFunction) && node->operandCount >= 2 ? 1 : 0;
    fLoops.Down(node, operand);
    node = node->operands[operand];
  }
}

// The slot of the loop index the node names, when it lies in the body of
// a loop over that index; -1 otherwise.
int32_t Compilation::LoopIndexSlot(const ExpressionRecord* node) const {
  if (node->opcode != kOpAtom && node->opcode != kOpIndexes) return -1;
  return fLoops.NamesBodyIndex(node) ? GetSummationIndexVariable(node) : -1;
}

bool Compilation::HandOutLoopSlots(ExpressionRecord* expression, int32_t count, int32_t* first) {
  SubexpressionList* list = fState->temporaries;
  *first = list->Count();
  for (int32_t i = 0; i < count; ++i) {
    if (list->Add({expression, -1, *first, -1, 1}) != 0) {
      fOutOfMemory = true;
      return false;
    }
  }
  return true;
}

// Leaves two accumulators (count and sum, or max and min) and enters the
// loop over the table's rows, the row set from the loop's index.
void Compilation::EnterDataLoop(ExpressionRecord* node) {
  int32_t t = 0;
  if (!HandOutLoopSlots(nullptr, 2, &t)) return;
  if (!PushDataLoop(fState, t)) {
    fOutOfMemory = true;
    return;
  }
  const bool minMax = IsKind(node, kOpMin) || IsKind(node, kOpMax);
  Emit(minMax ? pcBeginMaxMin : pcBeginCountSum, t, GetTableDataSize(node, fDocument) - 1);
  Emit(pcLoopTest, t);
  Emit(pcSetRow, t);
}

// Values computed once in a scope must mean the same wherever they are
// used: nothing that follows a loop index or the current table row.
bool Compilation::MaySearchShared(ExpressionRecord* node) {
  if (!fSharing || !CSEisOK(node)) return false;
  if (node->opcode == kOpAtom) {
    const int32_t id = node->payload.id;
    if (id == DocumentSliderVariable(fDocument) || Is_xyzwtuvr_theta_phi_pi_degree_e_i_inf(id)) return false;
  }
  if (!fLoops.ReadsNoIndex(node)) return false;
  return fDocument == nullptr || !fAnswers.ReferencesTableData(node);
}

// Pushes the node's value from a slot an earlier program of the scope
// stored, or from the grid's hoisted values: one value.
bool Compilation::TryShared(ExpressionRecord* node) {
  if (!MaySearchShared(node)) return false;
  PCodeOp op{};
  int32_t slot = -1;
  bool outOfMemory = false;
  const int32_t gridLevel = fState->gridMode != 0 ? fGridLevels.LevelOf(node) : -1;
  if (!AlreadyComputed(node, gridLevel, &op, &slot, &outOfMemory)) return false;
  if (outOfMemory) fOutOfMemory = true;
  Emit(op.opcode, slot);
  return true;
}

// The cache computes its values once, at the slider's value: a node that
// reads a surrounding loop's index (the slider's letter may be one) is not
// constant even where the slider's letter passes as a parameter.
bool Compilation::IsConstant(ExpressionRecord* node) {
  return fCache != nullptr && fAnswers.IsNumeric(node) && fLoops.ReadsNoIndex(node);
}

// Pushes the node's value from the constants cache: one value.
bool Compilation::TryConstant(ExpressionRecord* node) {
  if (!CSEisOK(node) || IsFunctionName(node)) return false;
  if (node->opcode == kOpAtom &&
      (node->payload.id == DocumentSliderVariable(fDocument) || Is_pi_degree_e_i_inf(node->payload.id)))
    return false;
  if (!IsConstant(node)) return false;
  const int32_t index = fCache->SaveExpr(node);
  if (index < 0) {
    fOutOfMemory = true;
    return true;
  }
  Emit(pcPushConstant, index);
  return true;
}

// Stores are inserted only where every run passes: outside loops, and
// before any pcUndefined has ended the run.
bool Compilation::MayRecord(ExpressionRecord* node) {
  if (!fSharing || fEmittedUndefined || node->operandCount == 0 || !CSEisOK(node)) return false;
  if (HasLoopRange(node) || fLoops.InLoop() || IsKind(node, kOpIf) || IsPartOfFractionalExponent(node)) return false;
  return fDocument == nullptr || !fAnswers.ReferencesTableData(node);
}

void Compilation::Record(ExpressionRecord* node) {
  if (!MayRecord(node)) return;
  if (fState->computed->Add({node, fState->machineCount, -1, fProgram->count, 0}) != 0) fOutOfMemory = true;
}

// Leaves the stack as it is: the markers and skips that let a guarded
// branch's run pass over the pairs it does not take.
void Compilation::EmitGuardMarkers(ExpressionRecord* node) {
  ExpressionRecord* parent = node->parent;
  if (node == fRoot || parent == nullptr) return;
  if (IsKind(parent, kOpBranch)) {
    Emit(pcGuardEnd, parent->payload.branchNumber, OP_NUM(node));
    return;
  }
  ExpressionRecord* branch = parent->parent;
  if (!IsKind(parent, kOpSwappedCondition) || !IsKind(branch, kOpBranch)) return;
  if (OP_NUMeq(node, 0)) {
    Emit(pcSkipIfZero, branch->payload.branchNumber, OP_NUM(parent));
  } else if (OP_NUMeq(node, 1)) {
    Emit(pcSkipRestIfTrue, branch->payload.branchNumber, branch->operandCount - 1);
  }
}

// Pushes a derived coordinate (r, rho, theta, phi): computed and stored in
// its slot the first time in a scope, read from the slot after that.
void Compilation::EmitCoordinate(int32_t* mark, int32_t slot, void (Compilation::*computation)(ExpressionRecord*),
                                 ExpressionRecord* node) {
  if (fSharing && *mark != 0) {
    Emit(pcPushVar, slot);
    return;
  }
  (this->*computation)(node);
  Emit(pcStoreVar, slot);
  // Later programs of the scope read the slot only when every run of this
  // one is sure to have written it.
  if (fSharing && !fEmittedUndefined && !fLoops.InLoop()) {
    *mark = 1;
    fProgram->writesShared = true;
  }
}

// Each Compute leaves its coordinate from x, y and z.
void Compilation::ComputeR(ExpressionRecord*) {
  Emit(pcPushVar, kSlotX);
  Emit(pcPushVar, kSlotY);
  Emit(pcHypot);
}

void Compilation::ComputeRho(ExpressionRecord*) {
  ComputeR(nullptr);
  Emit(pcPushVar, kSlotZ);
  Emit(pcHypot);
}

void Compilation::ComputeTheta(ExpressionRecord*) {
  Emit(pcPushVar, kSlotX);
  Emit(pcPushVar, kSlotY);
  Emit(pcAngle);
}

void Compilation::ComputePhi(ExpressionRecord* node) {
  Emit(pcPushVar, kSlotZ);
  EmitCoordinate(&fState->rComputed, kSlotR, &Compilation::ComputeR, node);
  Emit(pcAngle);
}

// Pushes the value of a name: one value. Nothing for a function's or a
// table's name (their call or index takes them), nor for e as a power's
// base (the power becomes pcExp of the exponent).
void Compilation::EmitAtom(ExpressionRecord* node) {
  ExpressionRecord* parent = node->parent;
  const int32_t id = node->payload.id;
  if (IsKind(parent, kOpIndexes) || IsFunctionName(node)) return;
  if (id == kIdE && IsKind(parent, kOpPower) && parent->operands[0] == node &&
      !(parent->operandCount >= 2 && IsNumber(parent->operands[1], 2.0)))
    return;
  switch (id) {
    case 'u': Emit(pcPushVar, kSlotU); return;
    case 'v': Emit(pcPushVar, kSlotV); return;
    case 'x': Emit(pcPushVar, kSlotX); return;
    case 'y': Emit(pcPushVar, kSlotY); return;
    case 'z': Emit(pcPushVar, kSlotZ); return;
    case 'w': Emit(pcPushVar, kSlotW); return;
    case kIdRowNumber: Emit(pcPushVar, kSlotTableRow); return;
    default: break;
  }
  if (id == DocumentSliderVariable(fDocument)) {
    Emit(pcPushVar, kSlotSlider);
    return;
  }
  switch (id) {
    case kIdR: EmitCoordinate(&fState->rComputed, kSlotR, &Compilation::ComputeR, node); return;
    case kIdRho: EmitCoordinate(&fState->rhoComputed, kSlotRho, &Compilation::ComputeRho, node); return;
    case kIdTheta: EmitCoordinate(&fState->thetaComputed, kSlotTheta, &Compilation::ComputeTheta, node); return;
    case kIdPhi: EmitCoordinate(&fState->phiComputed, kSlotPhi, &Compilation::ComputePhi, node); return;
    case kIdLdots: EmitNumber(gNaN); return;
    case kIdPi: EmitNumber(gPi); return;
    case kIdInf: EmitNumber(gInf); return;
    case kIdDegree: EmitNumber(gPi / 180.0); return;
    case kIdI: Emit(pcPushI); return;
    case kIdE: EmitNumber(kE); return;
    default: break;
  }
  if (IsKind(parent, kOpInterpolate) && parent->operands[0] == node) return;
  Emit(pcPushParameter, id);
}

// Takes the argument values and leaves the result. A call whose argument
// count differs from the definition's parameter count is undefined: the
// callee would read slots nobody set.
void Compilation::EmitCall(ExpressionRecord* node) {
  const int32_t index = node->operandCount == 2 ? DocumentFunctionNumber(node->operands[0], fDocument) : -1;
  if (index < 0) {
    Emit(pcUndefined);
    return;
  }
  const ExpressionRecord* arguments = node->operands[1];
  const int32_t count = IsKind(arguments, kOpComma) ? arguments->operandCount : 1;
  if (count < 1 || count != DocumentFunctionParameterCount(index, fDocument)) {
    Emit(pcUndefined);
    return;
  }
  Emit(pcCallFunction, count, index);
}

// Folds the body's value into the two accumulators, steps the row loop,
// restores the row, and reduces the accumulators to the one value asked:
// the whole loop leaves one value.
void Compilation::EmitDataLoopEnd(ExpressionRecord* node) {
  if (fState->dataLoopCount == 0) {
    Emit(pcUndefined);
    return;
  }
  const int32_t t = fState->dataLoopStack[--fState->dataLoopCount];
  const bool minMax = IsKind(node, kOpMin) || IsKind(node, kOpMax);
  const bool conditional = node->operandCount >= 2;
  if (minMax) {
    Emit(conditional ? pcCondMaxMin : pcMaxMin);
  } else {
    Emit(conditional ? pcCondCountSum : pcCountSum);
  }
  Emit(pcLoopNext, t);
  Emit(pcPopRow);
  switch (node->opcode) {
    case kOpMin:
    case kOpDataSum:
      Emit(pcSwap);
      Emit(pcPop);
      break;
    case kOpMax:
    case kOpDataCount: Emit(pcPop); break;
    default:
      Emit(pcSwap);
      Emit(pcDiv);
      break;
  }
}

bool IsTextOperand(const ExpressionRecord* node, DocumentRecord* document) {
  return IsKind(node, kOpString) || (IsKind(node, kOpAtom) && IsTextColumnId(node->payload.id, document));
}

bool ComparesTexts(const ExpressionRecord* node, DocumentRecord* document) {
  return node->operandCount == 2 && IsTextOperand(node->operands[0], document) &&
         IsTextOperand(node->operands[1], document);
}

int32_t ElementaryOpcode(OpCodeT kind) {
  switch (kind) {
    case kOpSin: return pcSin;
    case kOpCos: return pcCos;
    case kOpTan: return pcTan;
    case kOpCot: return pcCot;
    case kOpCsc: return pcCsc;
    case kOpSec: return pcSec;
    case kOpAsin: return pcAsin;
    case kOpAcos: return pcAcos;
    case kOpAtan: return pcAtan;
    case kOpAcot: return pcAcot;
    case kOpAcsc: return pcAcsc;
    case kOpAsec: return pcAsec;
    case kOpSinh: return pcSinh;
    case kOpCosh: return pcCosh;
    case kOpTanh: return pcTanh;
    case kOpCoth: return pcCoth;
    case kOpCsch: return pcCsch;
    case kOpSech: return pcSech;
    case kOpAsinh: return pcAsinh;
    case kOpAcosh: return pcAcosh;
    case kOpAtanh: return pcAtanh;
    case kOpAcoth: return pcAcoth;
    case kOpAcsch: return pcAcsch;
    case kOpAsech: return pcAsech;
    case kOpSgn: return pcSgn;
    case kOpFact: return pcFact;
    case kOpMinus: return pcNeg;
    case kOpAbs: return pcAbs;
    case kOpOverline: return pcConj;
    case kOpChoice: return pcChoose;
    case kOpInterval: return pcMakeInterval;
    case kOpFloor: return pcFloor;
    case kOpCeil: return pcCeil;
    case kOpLn: return pcLn;
    case kOpExp: return pcExp;
    case kOpArg: return pcArg;
    case kOpImag:
    case kOpIm: return pcIm;
    case kOpReal:
    case kOpRe: return pcRe;
    case kOpBesselJ: return pcBesselJ;
    case kOpMod: return pcMod;
    case kOpClamp: return pcClamp;
    case kOpNot: return pcNot;
    case kOpInf: return pcInf;
    case kOpSup: return pcSup;
    case kOpAngle: return pcAngle;
    case kOpTableIndex: return pcPopRow;
    default: return -1;
  }
}

int32_t ChainOpcode(OpCodeT kind) {
  switch (kind) {
    case kOpEquals: return pcEqual;
    case kOpNotEqual: return pcNotEqual;
    case kOpLess: return pcLess;
    case kOpLeq: return pcLessEq;
    case kOpGreater: return pcGreater;
    case kOpGeq: return pcGreaterEq;
    default: return -1;
  }
}

// The node's own code, after its operands': combines the k values they
// left into one. Kinds that emit nothing leave their operands' values.
void Compilation::EmitNode(ExpressionRecord* node) {
  const int32_t k = node->operandCount;
  ExpressionRecord* parent = node->parent;
  auto repeat = [this, k](int32_t opcode) {
    for (int32_t i = 1; i < k; ++i) Emit(opcode);
  };
  switch (node->opcode) {
    case kOpNumber:
      // A subscript is part of the name its pcPushParameter carries.
      if (IsKind(parent, kOpIndexes)) return;
      // The exponent 2 is never pushed: the power becomes pcSquare.
      if (IsKind(parent, kOpPower) && OP_NUMeq(node, 1) && IsNumber(node, 2.0)) return;
      EmitNumber(node->payload.number != nullptr ? node->payload.number->value : gNaN);
      return;
    case kOpAtom: EmitAtom(node); return;
    case kOpString: EmitNumber(StringValueOfText(node->text)); return;
    case kOpIndexes: {
      const ExpressionRecord* name = k >= 1 ? node->operands[0] : nullptr;
      const ExpressionRecord* index = k >= 2 ? node->operands[1] : nullptr;
      if (!IsKind(name, kOpAtom) || !IsKind(index, kOpNumber) || index->payload.number == nullptr) {
        Emit(pcUndefined);
        return;
      }
      // The subscript and the name share one word: 15 bits each.
      const int32_t n = DoubleToInt32(index->payload.number->value);
      if (n < 0 || n >= 32767) {
        Emit(pcUndefined);
        return;
      }
      Emit(pcPushParameter, ((n + 1) << 16) | (name->payload.id & 0xFFFF));
      return;
    }
    case kOpTimes: repeat(pcMul); return;
    case kOpPlus: repeat(pcAdd); return;
    case kOpFunction: EmitCall(node); return;
    case kOpEquals:
      // A sum's index = start, bound: both go to the loop's slots, nothing
      // stays on the stack.
      if (HasLoopRange(parent) && parent->operands[0] == node) {
        const int32_t t = GetSummationIndexVariable(node->operands[0]);
        Emit(pcStoreTemp, t + 2);
        Emit(pcStoreTempPop, t);
        return;
      }
      if (ComparesTexts(node, fDocument)) {
        Emit(pcStrEqual);
        return;
      }
      Emit(pcEqual, k);
      return;
    case kOpNotEqual:
      if (ComparesTexts(node, fDocument)) {
        Emit(pcStrNotEqual);
        return;
      }
      Emit(pcNotEqual, k);
      return;
    case kOpLess:
    case kOpLeq:
    case kOpGreater:
    case kOpGeq: Emit(ChainOpcode(node->opcode), k); return;
    case kOpLog:
      // To a base (the second operand): ln x / ln base, each log taken
      // where its operand lies.
      if (k == 2) {
        Emit(pcLn);
        Emit(pcSwap);
        Emit(pcLn);
        Emit(pcSwap);
        Emit(pcDiv);
      } else {
        Emit(pcLog10);
      }
      return;
    case kOpSqrt:
      // The n-th root as x^(1/n) through pcPowFrac, which keeps odd roots
      // of negatives real.
      if (k == 2) {
        EmitNumber(1.0);
        Emit(pcSwap);
        Emit(pcPowFrac);
      } else {
        Emit(pcSqrt);
      }
      return;
    case kOpOpTotal:
    case kOpOpPartial: Emit(pcUndefined); return;
    case kOpOver:
      // A fraction as an exponent stays two values for pcPowFrac.
      if (!IsFractionalPower(node)) Emit(pcDiv);
      return;
    case kOpPower: {
      const ExpressionRecord* exponent = k >= 2 ? node->operands[1] : nullptr;
      // A square is one multiply, exact for a negative base in every
      // value type; e as the base was never pushed; a fraction exponent,
      // or its negation, keeps odd roots of negatives real.
      if (IsNumber(exponent, 2.0)) {
        Emit(pcSquare);
      } else if (IsAtom(node->operands[0], kIdE)) {
        Emit(pcExp);
      } else if (IsKind(exponent, kOpOver) || (IsKind(exponent, kOpMinus) && exponent->operandCount >= 1 &&
                                               IsKind(exponent->operands[0], kOpOver))) {
        Emit(pcPowFrac);
      } else {
        Emit(pcPow);
      }
      return;
    }
    case kOpSn:
      // Scientific notation: mantissa * 10^exponent.
      EmitNumber(10.0);
      Emit(pcSwap);
      Emit(pcPow);
      Emit(pcMul);
      return;
    // A condition can turn an undefined operand into a value: the program
    // must not stop at its first NaN.
    case kOpIf:
      fMachine->fNaNRecovery = 1;
      Emit(pcIf);
      return;
    case kOpBranch:
      fMachine->fNaNRecovery = 1;
      Emit(pcBranch, k);
      return;
    case kOpSwappedCondition: fMachine->fNaNRecovery = 1; return;
    case kOpMin:
    case kOpMax:
      if (IsDataMinMax(node, fDocument)) {
        EmitDataLoopEnd(node);
      } else {
        repeat(node->opcode == kOpMin ? pcMin : pcMax);
      }
      return;
    case kOpDataSum:
    case kOpDataCount:
    case kOpDataMean: EmitDataLoopEnd(node); return;
    case kOpInterpolate:
      if ((k != 2 && k != 3) || !IsKind(node->operands[0], kOpAtom)) {
        Emit(pcUndefined);
        return;
      }
      Emit(k == 2 ? pcInterpolate1 : pcInterpolate2, node->operands[0]->payload.id);
      return;
    case kOpAnd:
    case kOpConditions: repeat(pcAnd); return;
    case kOpOr: repeat(pcOr); return;
    case kOpPreparedSum:
    case kOpPreparedProduct: {
      // The body's value into the accumulator, then the loop's step. Only
      // interval runs can see an index stray past its bounds; grid
      // programs never run over intervals and need no check.
      const bool sum = node->opcode == kOpPreparedSum;
      const int32_t t = GetSummationIndexVariable(LoopRangeIndex(node));
      if (!fForGrid) Emit(sum ? pcSumIndexCheck : pcProductIndexCheck, t);
      Emit(sum ? pcAdd : pcMul);
      Emit(pcLoopNext, t);
      return;
    }
    case kOpDummy:
      // A placeholder names an argument slot of a function's program.
      if (node->payload.id < 0 || node->payload.id >= kTemporariesBase) {
        Emit(pcUndefined);
      } else {
        Emit(pcPushVar, node->payload.id);
      }
      return;
    default: {
      const int32_t opcode = ElementaryOpcode(node->opcode);
      if (opcode >= 0) Emit(opcode);
      return;
    }
  }
}

}  // namespace

void CompileExpression(AStackMachine* machine, ExpressionRecord* tree, AConstantsCache* cache, bool guarded,
                       bool forGrid, DocumentRecord* document) {
  if (machine == nullptr) return;
  if (tree == nullptr) {
    machine->Add(MakeNumberOp(gNaN));
    machine->Add(MakeOp(pcEnd));
    return;
  }
  Compilation(machine, tree, cache, guarded, forGrid, document).Run();
}
