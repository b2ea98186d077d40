#include "document/MathPaneResults.h"

#include <cmath>

#include "CoreUtilities/threads/MathPaneThread.h"
#include "CoreUtilities/text/MessageTable.h"
#include "CoreUtilities/text/NumberText.h"
#include "document/DocumentExpansion.h"
#include "document/DocumentRecord.h"
#include "evaluation/ScalarExprEval.h"
#include "expression/TreeComparison.h"
#include "expression/TreeComputability.h"
#include "expression/TreeShorthands.h"
#include "graphpane/EquationDefinitions.h"

namespace {

constexpr int32_t kMessageFalse = 31;
constexpr int32_t kMessageTrue = 32;
constexpr int32_t kMessageUndecided = 35;

bool IsTruthValued(const ExpressionRecord* formula) {
  switch (formula->opcode) {
    case kOpLess:
    case kOpLeq:
    case kOpGreater:
    case kOpGeq:
    case kOpNotEqual:
    case kOpAnd:
    case kOpOr:
    case kOpNot: return true;
    default: return false;
  }
}

std::u16string Text(const UniChar* units) { return std::u16string(reinterpret_cast<const char16_t*>(units)); }

std::u16string NumberString(double x, int32_t digits) {
  UniChar text[kNumberTextCapacity + 4];
  PrefixDoubleToString(text, nullptr, x, digits);
  return Text(text);
}

}  // namespace

const ExpressionRecord* ResultFormulaOf(ExpressionRecord* tree, DocumentRecord* document) {
  if (tree == nullptr) return nullptr;
  ExpressionRecord* formula = tree;
  if (tree->opcode == kOpEquals) {
    if (!IsExprDefinition(tree) || tree->operands[0]->opcode != kOpAtom || IsExprPointPlot(tree)) return nullptr;
    formula = tree->operands[1];
    // A name still defined by itself (a = a + 1) has no value.
    if (DIM_Contains(formula, tree->operands[0]->payload.id)) return nullptr;
  }
  if (formula->opcode == kOpSlider) return nullptr;
  return DIM_EvalsToNumWithoutExpansion(formula, document) ? formula : nullptr;
}

std::u16string MathPaneResultString(const ExpressionRecord* formula, DocumentRecord* document, int32_t digits) {
  if (IsTruthValued(formula)) {
    double lo = 0, hi = 0;
    IntervalExprEval(formula, document, &lo, &hi);
    const int32_t word = lo == 1 && hi == 1 ? kMessageTrue : lo == 0 && hi == 0 ? kMessageFalse : kMessageUndecided;
    return Text(OurGetLocalizedString(word));
  }
  if (ContainsInterval(formula)) {
    double lo = 0, hi = 0;
    IntervalExprEval(formula, document, &lo, &hi);
    return u"[" + NumberString(lo, digits) + u", " + NumberString(hi, digits) + u"]";
  }
  if (DIM_Complex(const_cast<ExpressionRecord*>(formula), document)) {
    const Complex z = ComplexExprEval(formula, document);
    if (z.im != 0 && !std::isnan(z.im)) {
      UniChar text[2 * kNumberTextCapacity + 8];
      PrefixComplexToString(text, nullptr, z, digits);
      return Text(text);
    }
    return NumberString(std::isnan(z.im) ? z.im : z.re, digits);
  }
  return NumberString(ScalarExprEval(formula, document), digits);
}

void ComputeMathPaneResults(DocumentRecord* document) {
  ExpansionState& state = document->fExpansion;
  std::vector<MathPaneResult> results;
  for (const ResultFormula& r : state.resultFormulas) {
    if (gCancelEvaluationForMathPaneResultsEvalThreads.load(std::memory_order_relaxed) != 0) return;
    results.push_back({r.block, MathPaneResultString(r.tree.get(), document, state.resultDigits)});
  }
  {
    std::lock_guard<std::mutex> lock(state.resultsMutex);
    state.results.swap(results);
  }
  state.resultsPublished.store(true, std::memory_order_release);
  WakeDocument(document);
}

std::u16string MathPaneResultForBlock(const DocumentRecord* document, int32_t block) {
  const ExpansionState& state = document->fExpansion;
  std::lock_guard<std::mutex> lock(state.resultsMutex);
  for (const MathPaneResult& r : state.results)
    if (r.block == block) return r.text;
  return {};
}
