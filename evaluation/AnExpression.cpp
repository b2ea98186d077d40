#include "evaluation/AnExpression.h"

#include <algorithm>

#include "CoreUtilities/threads/ThreadLocalState.h"
#include "evaluation/compiler/ExpressionCompiler.h"
#include "evaluation/grid/GridHoisting.h"
#include "evaluation/grid/GridRecords.h"
#include "evaluation/grid/GridSetup.h"
#include "evaluation/StackMachine.h"
#include "evaluation/compiler/StackMachineRewriting.h"
#include "evaluation/compiler/SubexpressionSharing.h"
#include "expression/TreeComparison.h"
#include "expression/TreeComputability.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeWalking.h"
#include "expression/VariableIds.h"

namespace {

bool ContainsXOrU(const ExpressionRecord* tree) { return DIM_Contains(tree, kIdX) || DIM_Contains(tree, kIdU); }

// A sum or product whose range or upper bound moves with x (or u) runs a
// different number of terms at each point of a row.
bool HasRangeAlongRow(ExpressionRecord* tree) {
  for (ExpressionRecord* n = LeftMost(tree); n != nullptr; n = NextBottomUp(n)) {
    if ((n->opcode == kOpSum || n->opcode == kOpProduct) && n->operandCount == 3) {
      const ExpressionRecord* range = n->operands[1];
      if (range != nullptr && range->opcode == kOpEquals && range->operandCount == 2 &&
          (ContainsXOrU(range) || ContainsXOrU(n->operands[2])))
        return true;
    }
    if (n == tree) break;
  }
  return false;
}

// A table row chosen by a grid coordinate differs from point to point.
bool HasTableIndexAlongGrid(ExpressionRecord* tree) {
  for (ExpressionRecord* n = LeftMost(tree); n != nullptr; n = NextBottomUp(n)) {
    if (n->opcode == kOpTableIndex && n->operandCount >= 1) {
      for (int32_t id : {kIdX, kIdU, kIdY, kIdV}) {
        if (DIM_Contains(n->operands[0], id)) return true;
      }
    }
    if (n == tree) break;
  }
  return false;
}

bool HasFunctionApplication(ExpressionRecord* tree) {
  for (ExpressionRecord* n = tree; n != nullptr; n = NextTopDownWithin(n, tree)) {
    if (n->opcode == kOpFunction) return true;
  }
  return false;
}

// Each registered constant gets a guarded program of its own, run once per
// invalidation by the cache.
void CompileConstantPrograms(AConstantsCache& cache) {
  AConstantsImplementation& store = cache.Store();
  for (int32_t i = 0; i < store.pairCount; ++i) {
    MConstantPair& pair = store.pairs[i];
    if (pair.program != nullptr) continue;
    auto* program = new AStackMachine;
    if (program == nullptr) continue;  // its value stays NaN
    CompileExpression(program, pair.subexpression, nullptr, true, false, store.document);
    program->FixLoops();
    pair.program = program;
  }
}

void MarkComplex(AStackMachine* program, AConstantsCache& cache, bool complex) {
  if (program != nullptr) program->fComplex = complex ? 1 : 0;
  cache.fComplex.store(complex ? 1 : 0, std::memory_order_release);
}

}  // namespace

AnExpression::AnExpression(ExpressionRecord* tree, DocumentRecord* document) : fTree(tree), fDocument(document) {
  fPointConstants.SetDocument(document);
  fGridConstants.SetDocument(document);
  if (fTree == nullptr) return;
  if (HasRangeAlongRow(fTree)) fArrayFlag = 0;
  MungeExprForStackMachine(fTree, document);
  if (HasTableIndexAlongGrid(fTree) || HasFunctionApplication(fTree)) fArrayFlag = 0;
}

AnExpression::~AnExpression() { DisposExpr(fTree); }

// Without memory for the machine the expression stays uncompiled: its
// evaluations give NaN.
void AnExpression::CompilePointProgram() {
  fPointMachine.reset();
  fPointConstants.Store().ResetConstants();
  fPointMachine.reset(new AStackMachine);
  CompileExpression(fPointMachine.get(), fTree, &fPointConstants, false, false, fDocument);
  CompileConstantPrograms(fPointConstants);
  MarkComplex(fPointMachine.get(), fPointConstants, DIM_Complex(fTree, fDocument));
}

void AnExpression::CompileGridProgram() {
  fGridMachine.reset();
  fGridConstants.Store().ResetConstants();
  fGridMachine.reset(new AStackMachine);
  CompileExpression(fGridMachine.get(), fTree, &fGridConstants, false, true, fDocument);
  CompileConstantPrograms(fGridConstants);
  MarkComplex(fGridMachine.get(), fGridConstants, DIM_Complex(fTree, fDocument));
}

void AnExpression::Compile(AnExpression** list, int32_t n) {
  if (list == nullptr || n <= 0) return;
  BeginCSE();
  for (int32_t i = 0; i < n; ++i) {
    if (list[i] != nullptr) list[i]->CompilePointProgram();
  }
  int32_t slots = EndCSE();
  bool anyComplex = false;
  for (int32_t i = 0; i < n; ++i) {
    if (list[i] == nullptr || list[i]->fPointMachine == nullptr) continue;
    const AStackMachine* program = list[i]->fPointMachine.get();
    slots = std::max(slots, program->VariableSlotCount());
    anyComplex = anyComplex || program->fComplex != 0;
  }
  CheckgVariablesSize(slots);
  for (int32_t i = 0; i < n; ++i) {
    if (list[i] == nullptr || list[i]->fPointMachine == nullptr) continue;
    if (anyComplex) MarkComplex(list[i]->fPointMachine.get(), list[i]->fPointConstants, true);
    list[i]->fPointMachine->FixLoops();
  }
  for (int32_t i = 0; i < n; ++i) {
    if (list[i] != nullptr) list[i]->DecidePointRun();
  }
}

void AnExpression::Compile(AnExpression* e) { Compile(&e, 1); }

void AnExpression::Compile(AnExpression* e1, AnExpression* e2, AnExpression* e3) {
  AnExpression* list[] = {e1, e2, e3};
  Compile(list, 3);
}

void AnExpression::Compile(AnExpression* e1, AnExpression* e2, AnExpression* e3, AnExpression* e4) {
  AnExpression* list[] = {e1, e2, e3, e4};
  Compile(list, 4);
}

std::unique_ptr<MGridData> AnExpression::CompileForGrid(AnExpression** list, int32_t n) {
  if (list == nullptr || n <= 0) return nullptr;
  BeginCSEoverGrid();
  DocumentRecord* document = nullptr;
  bool first = true;
  bool anyComplex = false;
  for (int32_t i = 0; i < n; ++i) {
    if (list[i] == nullptr) continue;
    list[i]->CompileGridProgram();
    if (first) document = list[i]->fDocument;
    first = false;
    if (list[i]->fGridMachine == nullptr) continue;
    anyComplex = anyComplex || list[i]->fGridMachine->fComplex != 0;
  }
  std::unique_ptr<MGridData> data = EndCSEoverGrid(document);
  int32_t slots = 0;
  for (int32_t i = 0; i < n; ++i) {
    if (list[i] == nullptr || list[i]->fGridMachine == nullptr) continue;
    list[i]->fGridMachine->FixLoops();
    slots = std::max(slots, list[i]->fGridMachine->VariableSlotCount());
  }
  if (data == nullptr) return nullptr;
  data->complex = anyComplex ? 1 : 0;
  // The grid's own array must hold every slot a point run on it names.
  data->variableCount = std::max(data->variableCount, slots);
  CheckgVariablesSize(data->variableCount);
  return data;
}

std::unique_ptr<MGridData> AnExpression::CompileForGrid(AnExpression* e) { return CompileForGrid(&e, 1); }

std::unique_ptr<MGridData> AnExpression::CompileForGrid(AnExpression* e1, AnExpression* e2) {
  AnExpression* list[] = {e1, e2};
  return CompileForGrid(list, 2);
}

std::unique_ptr<MGridData> AnExpression::CompileForGrid(AnExpression* e1, AnExpression* e2, AnExpression* e3) {
  AnExpression* list[] = {e1, e2, e3};
  return CompileForGrid(list, 3);
}

std::unique_ptr<MGridData> AnExpression::CompileForGrid(AnExpression* e1, AnExpression* e2, AnExpression* e3,
                                                        AnExpression* e4) {
  AnExpression* list[] = {e1, e2, e3, e4};
  return CompileForGrid(list, 4);
}

std::unique_ptr<MGridData> AnExpression::CompileForGrid(AnExpression* const (&list)[9]) {
  AnExpression* copy[9];
  std::copy(list, list + 9, copy);
  return CompileForGrid(copy, 9);
}

std::unique_ptr<MGridData> AnExpression::CompileForGrid(AnExpression* const (&list)[12]) {
  AnExpression* copy[12];
  std::copy(list, list + 12, copy);
  return CompileForGrid(copy, 12);
}

void AnExpression::SetupGrid(double x0, double y0, double dx, double dy, int32_t nx, int32_t ny, MGridData* data,
                             MGridVariables* grid) {
  ::SetupGrid(x0, y0, dx, dy, nx, ny, data, grid);
}

void AnExpression::SetupGrid(double x0, double y0, double z0, double dx, double dy, double dz, int32_t nx, int32_t ny,
                             int32_t nz, MGridData* data, MGridVariables* grid) {
  ::SetupGrid(x0, y0, z0, dx, dy, dz, nx, ny, nz, data, grid);
}
