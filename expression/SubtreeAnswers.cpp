#include "expression/SubtreeAnswers.h"

#include "expression/NumericComputability.h"
#include "expression/TableHeadingQueries.h"
#include "expression/TreeComputability.h"
#include "expression/TreeWalking.h"

namespace {

int32_t HeldOperandCount(const ExpressionRecord* node) {
  int32_t count = 0;
  for (int32_t i = 0; node->operands != nullptr && i < node->operandCount; ++i) count += node->operands[i] != nullptr;
  return count;
}

// A leaf is answered on its own as fast as looked up.
bool IsLeaf(const ExpressionRecord* node) { return HeldOperandCount(node) == 0; }

// The walks ask at most this many nodes before every subtree is answered.
constexpr int32_t kShortWalk = 32;

}  // namespace

// A subtree reads table data when a heading in it has no statistic
// between it and the subtree's top, the top included. A walk that does
// not end at the root met a damaged tree: the full walks answer then.
void SubtreeAnswers::Build() {
  ExpressionRecord* root = fRoot;
  DocumentRecord* document = fDocument;
  fBuilt = true;
  fWalksOnly = true;
  for (ExpressionRecord* node = LeftMost(root); node != nullptr; node = NextBottomUp(node)) {
    const int32_t answer = AnswerAtEveryStop(node, document, kAllowParametersAndConditions);
    uint8_t facts = answer != 0 ? kNoNodeFails : 0;
    if (answer == 1) facts |= kEveryNodePasses;
    if (node->opcode == kOpAtom && IsIDTableHeading(node->payload.id, document)) facts |= kReadsTableData;
    const size_t operands = size_t(HeldOperandCount(node));
    if (operands > fPending.size()) return;
    for (size_t i = fPending.size() - operands; i < fPending.size(); ++i) {
      facts &= uint8_t(fPending[i] | kReadsTableData);
      facts |= fPending[i] & kReadsTableData;
    }
    fPending.resize(fPending.size() - operands);
    if (IsScalarStatisticalOperation(node, document)) facts &= uint8_t(~kReadsTableData);
    if (facts != 0 && operands > 0) fFacts[node] = facts;
    fPending.push_back(facts);
    if (node == root) {
      fWalksOnly = false;
      return;
    }
  }
}

void SubtreeAnswers::Reset(ExpressionRecord* root, DocumentRecord* document) {
  fRoot = root;
  fDocument = document;
  fBuilt = false;
  fWalksOnly = true;
  // A new map: clearing would keep, and sweep, a long tree's buckets.
  std::unordered_map<const ExpressionRecord*, uint8_t>().swap(fFacts);
  fPending.clear();
}

uint8_t SubtreeAnswers::Facts(const ExpressionRecord* node) const {
  const auto found = fFacts.find(node);
  return found != fFacts.end() ? found->second : 0;
}

bool SubtreeAnswers::IsNumeric(ExpressionRecord* node) {
  if (!fBuilt) {
    int32_t steps = 0;
    ExpressionRecord* n = node;
    for (; n != nullptr && steps < kShortWalk; n = NextTopDownWithin(n, node), ++steps) {
      if (!CanComputeNumerically(n, fDocument, kAllowParametersAndConditions, node)) return false;
    }
    if (n == nullptr) return true;
    Build();
  }
  if (fWalksOnly || IsLeaf(node)) return DIM_EvalsToNumAllowingParameters(node, fDocument);
  const uint8_t facts = Facts(node);
  if ((facts & kNoNodeFails) == 0) return false;
  if ((facts & kEveryNodePasses) != 0) return true;
  // Some node's answer depends on how far up the subtree reaches.
  return DIM_EvalsToNumAllowingParameters(node, fDocument);
}

bool SubtreeAnswers::ReferencesTableData(ExpressionRecord* node) {
  if (!fBuilt) {
    int32_t steps = 0;
    ExpressionRecord* n = node;
    for (; n != nullptr && steps < kShortWalk; n = NextTopDownWithin(n, node), ++steps) {
      if (n->opcode == kOpAtom && IsIDTableHeading(n->payload.id, fDocument) &&
          !ParentIsScalarStatisticalOperation(n, node->parent, fDocument))
        return true;
    }
    if (n == nullptr) return false;
    Build();
  }
  if (fWalksOnly || IsLeaf(node)) return ExprReferencesTableData(node, fDocument);
  return (Facts(node) & kReadsTableData) != 0;
}
