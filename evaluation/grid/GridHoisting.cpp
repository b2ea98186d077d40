#include "evaluation/grid/GridHoisting.h"

#include <new>

#include "CoreUtilities/threads/ThreadLocalState.h"
#include "evaluation/compiler/ExpressionCompiler.h"
#include "evaluation/grid/GridRecords.h"
#include "evaluation/StackMachine.h"

void BeginCSEoverGrid() {
  StackMachineConstructorGlobals* state = GetStackMachineConstructorGlobals();
  if (state == nullptr) return;
  for (SubexpressionList*& list : state->hoisting) {
    FreeSubexpressionList(list);
    list = NewSubexpressionList();
  }
  state->gridMode = 1;
  BeginCSE();
}

void BuildMachinesForHoistedGridLoopExprs(SubexpressionList* list, DocumentRecord* document,
                                          MGridProgramList* programs) {
  if (list == nullptr) return;
  for (int32_t n = 0; n < list->Count(); ++n) {
    auto* program = new AStackMachine;
    if (program == nullptr) continue;
    BeginCSE();
    CompileExpression(program, (*list)[n].expression, nullptr, false, false, document);
    CheckgVariablesSize(EndCSE());
    program->FixLoops();
    if (!programs->Add(program)) delete program;
  }
}

std::unique_ptr<MGridData> EndCSEoverGrid(DocumentRecord* document) {
  StackMachineConstructorGlobals* state = GetStackMachineConstructorGlobals();
  const int32_t variableCount = EndCSE();
  std::unique_ptr<MGridData> data(new (std::nothrow) MGridData);
  if (state == nullptr) return data;
  // The hoisted programs compile outside grid mode: nothing in them is
  // hoisted again.
  state->gridMode = 0;
  if (data != nullptr) {
    data->variableCount = variableCount;
    data->document = document;
    int32_t* counts[3] = {&data->level1Count, &data->level2Count, &data->level3Count};
    MGridProgramList* levels[3] = {&data->level1, &data->level2, &data->level3};
    for (int32_t level = 0; level < 3; ++level) {
      SubexpressionList* list = state->hoisting[level];
      *counts[level] = list != nullptr ? list->Count() : 0;
    }
    for (int32_t level = 0; level < 3; ++level) {
      BuildMachinesForHoistedGridLoopExprs(state->hoisting[level], document, levels[level]);
    }
  }
  for (SubexpressionList*& list : state->hoisting) {
    FreeSubexpressionList(list);
    list = nullptr;
  }
  return data;
}
