#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "expression/ExpressionRecord.h"

class DocumentRecord;

// Two tree-wide questions answered for every subtree of one tree in one
// walk from the leaves up, where asking each subtree on its own walks it
// again for every node above it. The answers are DIM_EvalsToNumAllowing-
// Parameters's and ExprReferencesTableData's, and hold while the tree is
// not changed; only nodes of the tree given may be asked about.
class SubtreeAnswers {
 public:
  void Build(ExpressionRecord* root, DocumentRecord* document);
  bool IsNumeric(ExpressionRecord* node) const;
  bool ReferencesTableData(ExpressionRecord* node) const;

 private:
  enum : uint8_t {
    kNoNodeFails = 1,       // no node's answer is false at every stop
    kEveryNodePasses = 2,   // every node's answer is true at every stop
    kReadsTableData = 4,
  };

  uint8_t Facts(const ExpressionRecord* node) const;

  DocumentRecord* fDocument = nullptr;
  bool fWalksOnly = true;
  // Only nodes with some fact are kept: most subtrees hold a coordinate.
  std::unordered_map<const ExpressionRecord*, uint8_t> fFacts;
  std::vector<uint8_t> fPending;  // the facts of operands not yet combined
};
