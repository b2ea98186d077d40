// An edit of a 50-equation document until its last graph is done: the
// expansion, the result strings and the graphing pass through the
// document's idle, beside the same graphs built in the same run from trees
// expanded beforehand.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "CoreUtilities/threads/ComputeThreads.h"
#include "document/DocumentGraphPane.h"
#include "document/DocumentHooks.h"
#include "document/DocumentIdle.h"
#include "document/DocumentReading.h"
#include "document/DocumentRecord.h"
#include "document/InvalExprs.h"
#include "expression/TreeCopying.h"
#include "expression/TreeDisposal.h"
#include "graphpane/AGraphPane.h"

namespace {

using Clock = std::chrono::steady_clock;

// Two definitions and 48 curves that use them.
std::string FiftyEquations() {
  std::string text = "Zentrolabworksheet 4;\nExpr 'f'(x) = sin(x) + x^2/8;\nExpr b = 0.3;\n";
  for (int k = 0; k < 48; ++k)
    text += "Expr y = 'f'(x - " + std::to_string(k) + "/10)*b + " + std::to_string(k) + "/20;\n";
  return text;
}

struct Setting {
  Setting() {
    InitializeZLThreads();
    InstallDocumentHooks();
    const std::string text = FiftyEquations();
    document = ReadDocumentText(text.data(), static_cast<int32_t>(text.size()));
    document->fGraphPane = MakeDocumentGraphPane(document.get(), MRect{0, 0, 400, 600}, nullptr);
  }
  ~Setting() {
    document.reset();
    ShutdownZLThreads();
  }
  std::unique_ptr<DocumentRecord> document;
};

double EditToLastGraph(DocumentRecord* document) {
  const auto start = Clock::now();
  InvalExprs(document);
  while (!IsDocumentGraphDone(document)) {
    DocumentIdle(document);
    std::this_thread::yield();
  }
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The pass alone, from copies of the expanded equations.
double GraphsFromExpandedTrees(AGraphPane& pane, const std::vector<ExpressionRecord*>& trees) {
  const auto start = Clock::now();
  pane.EraseGraph();
  const CoordinateTransformation none;
  pane.StartAddingEquations(false, false, false, false, none);
  for (ExpressionRecord* tree : trees) pane.AddEquation(tree, false, false, none, 1, 0.5, 1, 2, 1);
  pane.DoneAddingEquations();
  while (!pane.AreAllGraphsDoneComputing()) std::this_thread::yield();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_EditToLastGraphDone(benchmark::State& state) {
  Setting setting;
  DocumentRecord* document = setting.document.get();
  EditToLastGraph(document);
  std::vector<ExpressionRecord*> expanded;
  for (const ExpandedEquation& e : document->fExpansion.expanded)
    if (!e.computed && e.info.graphable) expanded.push_back(Copy(e.tree.get()));
  double ours = 0, baseline = 0;
  for (auto _ : state) {
    ours += EditToLastGraph(document);
    baseline += GraphsFromExpandedTrees(*document->fGraphPane, expanded);
  }
  state.counters["ms"] = 1e3 * ours / state.iterations();
  state.counters["graphs"] = static_cast<double>(expanded.size());
  state.counters["vs_preexpanded"] = ours / baseline;
  document->fGraphPane->EraseGraph();
  for (ExpressionRecord* tree : expanded) DisposExpr(tree);
}

}  // namespace

BENCHMARK(BM_EditToLastGraphDone)->Unit(benchmark::kMillisecond)->MinTime(2);
