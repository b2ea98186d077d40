#include "expression/TreeComputability.h"

#include "expression/DocumentHooks.h"
#include "expression/NumericComputability.h"
#include "expression/SymbolTable.h"
#include "expression/TreeWalking.h"

#include <algorithm>

namespace {

enum class Verdict { kAccept, kRefuse, kAsk };
using ExtraRule = Verdict (*)(const ExpressionRecord* node, DocumentRecord* document);

Verdict NoExtraRule(const ExpressionRecord*, DocumentRecord*) { return Verdict::kAsk; }

Verdict AcceptInterval(const ExpressionRecord* node, DocumentRecord*) {
  return node->opcode == kOpInterval ? Verdict::kAccept : Verdict::kAsk;
}

Verdict WithoutExpansionRule(const ExpressionRecord* node, DocumentRecord* document) {
  if (node->opcode == kOpAtom && IsReservedWord(node->payload.id)) return Verdict::kRefuse;
  if (node->opcode == kOpInterval) return Verdict::kAccept;
  if (node->opcode == kOpAtom && node->payload.id == DocumentSliderVariable(document)) return Verdict::kAccept;
  return Verdict::kAsk;
}

bool EveryNodeComputes(ExpressionRecord* tree, DocumentRecord* document, int32_t flags, ExpressionRecord* stop,
                       ExtraRule extra) {
  if (!tree) return false;
  for (ExpressionRecord* n = tree; n; n = NextTopDownWithin(n, tree)) {
    const Verdict verdict = extra(n, document);
    if (verdict == Verdict::kRefuse) return false;
    if (verdict == Verdict::kAsk && !CanComputeNumerically(n, document, flags, stop)) return false;
  }
  return true;
}

bool IsComplexKind(OpCodeT kind) {
  return kind == kOpArg || kind == kOpImag || kind == kOpReal || kind == kOpRe || kind == kOpIm || kind == kOpOverline;
}

}  // namespace

bool DIM_EvalsToNum(ExpressionRecord* tree, DocumentRecord* document) {
  return EveryNodeComputes(tree, document, 0, nullptr, NoExtraRule);
}

bool DIM_EvalsToNumAllowingParameters(ExpressionRecord* tree, DocumentRecord* document) {
  return EveryNodeComputes(tree, document, kAllowParametersAndConditions, tree, NoExtraRule);
}

bool DIM_EvalsToNumWithoutExpansion(ExpressionRecord* tree, DocumentRecord* document) {
  return EveryNodeComputes(tree, document, kAllowParameters | kAllowConditions | kAllowSummationIndices, nullptr,
                           WithoutExpansionRule);
}

bool DIM_EvalsToNumForFloatReplace(ExpressionRecord* tree, ExpressionRecord* enclosing, DocumentRecord* document) {
  return EveryNodeComputes(tree, document, kAllowSummationIndices, enclosing, AcceptInterval);
}

bool DIM_Complex(ExpressionRecord* tree, DocumentRecord* document) {
  if (!tree) return false;
  for (ExpressionRecord* n = tree; n; n = NextTopDownWithin(n, tree)) {
    if (IsComplexKind(n->opcode)) return true;
    if (n->opcode == kOpAtom && n->payload.id == 'i' && !IsSummationIndex(n, nullptr, document)) return true;
  }
  // The whole tree: a complex parameter anywhere needs complex arithmetic.
  return UsesComplexParameter(tree, document);
}

int32_t GetTableDataSize(ExpressionRecord* tree, DocumentRecord* document) {
  int32_t most = 0;
  if (!tree || !document) return most;
  for (ExpressionRecord* n = tree; n; n = NextTopDownWithin(n, tree))
    if (n->opcode == kOpAtom) most = std::max(most, TableColumnRows(document, n->payload.id));
  return most;
}
