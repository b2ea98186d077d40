#include "document/DocumentExpansion.h"

#include <algorithm>

#include <memory>
#include <thread>

#include "CoreUtilities/threads/MathPaneThread.h"
#include "CoreUtilities/memory/MemoryBudget.h"
#include "CoreUtilities/threads/ThreadLocalState.h"
#include "document/DocumentFunctionList.h"
#include "document/DocumentParameters.h"
#include "document/DocumentRecord.h"
#include "document/EquationExpansion.h"
#include "document/MathPaneResults.h"
#include "document/TableFormulas.h"
#include "document/TransformationEquations.h"
#include "expression/OwnedTree.h"
#include "expression/TreeCopying.h"
#include "graphpane/EquationDefinitions.h"

namespace {

struct ExpansionStart {
  DocumentRecord* document;
  std::thread::id caller;
};

void ExpansionEntry(void* argument) {
  const std::unique_ptr<ExpansionStart> start(static_cast<ExpansionStart*>(argument));
  if (std::this_thread::get_id() != start->caller) SetThisIsComputeExpandedExprsThread();
  ExpandDocument(start->document);
}

struct EquationCopy {
  int32_t block;
  double xyType;
  double color;
  Tree tree;
};

bool IsFunctionDefinition(const ExpressionRecord* tree) {
  return IsExpandableDefinition(tree) && tree->operands[0]->opcode == kOpFunction;
}

// What the expansion made, freed unless handed to the document.
struct ExpansionOutput {
  std::vector<ExpandedEquation> expanded;
  std::vector<ResultFormula> results;
  std::vector<Tree> functions;
  CoordinateTransformation transformation;
  int32_t transformationBlock = -1;
  double transformationColor = 0;
};

void SetTranslucentFlag(DocumentRecord* document) {
  const auto& blocks = document->fContents.blocks;
  bool translucent = false;
  for (int32_t i = 0; i < blocks.Count() && !translucent; ++i)
    translucent = blocks[i].kind == kEquationBlock && blocks[i].Opacity != 1;
  document->fExpansion.translucent.store(translucent);
}

}  // namespace

void StartExpansion(DocumentRecord* document) {
  auto* start = new ExpansionStart{document, std::this_thread::get_id()};
  document->fExpansion.thread = OurNewThread(ExpansionEntry, start);
}

void KillExpansion(DocumentRecord* document) {
  ExpansionState& state = document->fExpansion;
  if (state.thread != 0) OurKillThread(state.thread);
  state.thread = 0;
}

void ExpandDocument(DocumentRecord* document) {
  gMathError = 0;
  ReallocateThreadLocalVariablesIfNecessary();
  // Copied before the first yield: from then on the interface thread may
  // edit the blocks.
  std::vector<EquationCopy> copies;
  const auto& blocks = document->fContents.blocks;
  for (int32_t i = 0; i < blocks.Count(); ++i) {
    const MBlock& block = blocks[i];
    if (block.kind != kEquationBlock) continue;
    if (const ExpressionRecord* tree = EquationTree(block))
      copies.push_back({i, block.XYType, block.Color, Tree(Copy(tree))});
  }
  SetTranslucentFlag(document);
  DefinitionRules rules;
  for (const EquationCopy& c : copies) rules.Add(c.tree.get());
  ComputeTableFormulaColumns(document, rules, document->fExpansion.resultDigits);

  ExpansionOutput output;
  bool killed = false;
  for (EquationCopy& c : copies) {
    OurYield();
    killed = killed || OurThreadKillRequested();
    if (killed || c.tree == nullptr) {
      c.tree.reset();
      continue;
    }
    ExpressionRecord* tree = c.tree.get();
    const bool settled = ApplyDefinitions(tree, rules);
    if (settled && IsFunctionDefinition(tree)) {
      if (ExpressionRecord* rule = DefinitionRule(tree)) output.functions.emplace_back(rule);
    }
    ComputeExpandedExprs(tree);
    ApplyAlgebraicTransformationsToExpandedExpr(tree, document);
    TakeExpandedParameterValue(document, c.block, tree);
    const ExpressionRecord* formula = ResultFormulaOf(tree, document);
    if (formula) output.results.push_back({c.block, Tree(Copy(formula))});
    ExpandedEquation expanded{c.block, std::move(c.tree), GetExprTypeInfo(tree, c.xyType, document), formula == tree};
    if (output.transformationBlock < 0) {
      const CoordinateTransformation ct = TransformationOf(tree);
      if (ct.kind != CoordinateTransformation::kNone) {
        output.transformation = ct;
        output.transformation.colorCode = c.color;
        output.transformationBlock = c.block;
        expanded.transformation = true;
      }
    }
    output.expanded.push_back(std::move(expanded));
  }
  if (killed) return;

  ExpansionState& state = document->fExpansion;
  ClearDocumentFunctions(document);
  for (Tree& f : output.functions) AddDocumentFunction(document, f.release());
  state.expanded.swap(output.expanded);
  state.resultFormulas.swap(output.results);
  state.transformation = output.transformation;
  state.transformationBlock = output.transformationBlock;
  // A graphable 3-D equation opens the pass in the 3-D view.
  state.viewIs3D = std::any_of(state.expanded.begin(), state.expanded.end(),
                               [](const ExpandedEquation& e) { return e.info.graphable && e.info.threeD; });
  // A graphable 4-D equation shows the 4-D view; the others then have no place.
  state.viewIs4D = std::any_of(state.expanded.begin(), state.expanded.end(),
                               [](const ExpandedEquation& e) { return e.info.graphable && e.info.fourD; });
  // Symbols and labels of a 3-D data plot are drawn by the software renderer.
  state.dataPlotSymbolsOrLabels.store(std::any_of(state.expanded.begin(), state.expanded.end(),
                                                  [](const ExpandedEquation& e) { return e.info.labelled; }));
  state.expansionDone.store(true, std::memory_order_release);
  DoThreadedMathPaneCalculations(document);
  WakeDocument(document);
}

void WakeDocument(DocumentRecord* document) {
  ExpansionState& state = document->fExpansion;
  {
    std::lock_guard<std::mutex> lock(state.wakeMutex);
    state.woken = true;
  }
  state.wakeCondition.notify_all();
  if (state.wakeWindow) state.wakeWindow(document);
}
