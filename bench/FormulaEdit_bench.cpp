// Editing at the end of a long sum: typing "+" (a new term), pasting a
// term into it and deleting it again, per edit, for sums that grow to
// 1,000 and 10,000 terms (the most an edit may make). An operand array is exactly as long as its node's count,
// so each growth or shrink copies the array: the baseline is a
// std::vector of as many pointers taking an insert and an erase at its
// front, which move every pointer too (and, for scale, at its end).
#include "expression/MathEditRecord.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeDisposal.h"
#include "matheditor/CaretPlacement.h"
#include "matheditor/CommandDispatch.h"
#include "matheditor/FormulaClipboard.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr int32_t kEditsPerRound = 4;  // "+", paste, and two backspaces

MERecord* SumRecord(int32_t terms) {
  MEInit();
  MERecord* record = MATH_New();
  ExpressionRecord* sum = NewExpression(kOpPlus, terms);
  for (int32_t i = 0; i < terms; ++i) {
    sum->operands[i] = Atomic('a' + i % 26);
    sum->operands[i]->parent = sum;
  }
  DisposExpr(record->root);
  record->root = sum;
  gMathCurrentMEH = record;
  return record;
}

void BM_EditAtTheEndOfASum(benchmark::State& state) {
  const auto terms = static_cast<int32_t>(state.range(0));
  MERecord* record = SumRecord(terms);
  gMathClipboard = Atomic('z');
  gMathClipboardType = 0;
  for (auto _ : state) {
    MOVE_SetIP(record->root->operands[terms - 1], kIPAfterNode);
    if (record->root->operandCount != terms) break;
    MATH_FunctionCode(kOpPlus);         // a prompt term at the end
    MATH_FunctionCode(kCodePaste);      // the clipboard fills it
    MATH_FunctionCode(kCodeBackspace);  // the term becomes a prompt
    MATH_FunctionCode(kCodeBackspace);  // and the prompt leaves the sum
  }
  if (record->root->operandCount != terms || record->root->operands[terms - 1]->opcode != kOpAtom)
    state.SkipWithError("the edits did not give back the sum");
  state.SetItemsProcessed(state.iterations() * kEditsPerRound);
  ClearMathClipboard();
  MEDispose(record);
  gMathCurrentMEH = nullptr;
}

// Insert and erase as a list edit that moves every pointer.
void BM_VectorInsertEraseAtFront(benchmark::State& state) {
  std::vector<void*> pointers(size_t(state.range(0)), &state);
  for (auto _ : state) {
    pointers.insert(pointers.begin(), &state);
    benchmark::DoNotOptimize(pointers.data());
    pointers.erase(pointers.begin());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 2);
}

void BM_VectorInsertEraseAtEnd(benchmark::State& state) {
  std::vector<void*> pointers(size_t(state.range(0)), &state);
  for (auto _ : state) {
    pointers.insert(pointers.end(), &state);
    benchmark::DoNotOptimize(pointers.data());
    pointers.erase(pointers.end() - 1);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 2);
}

}  // namespace

// One term short of the size reached: "+" adds the last.
BENCHMARK(BM_EditAtTheEndOfASum)->Arg(999)->Arg(9999);
BENCHMARK(BM_VectorInsertEraseAtFront)->Arg(1000)->Arg(10000);
BENCHMARK(BM_VectorInsertEraseAtEnd)->Arg(1000)->Arg(10000);
