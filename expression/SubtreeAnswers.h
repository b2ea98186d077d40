#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "expression/ExpressionRecord.h"

class DocumentRecord;

// Two tree-wide questions about the subtrees of one tree:
// DIM_EvalsToNumAllowingParameters's and ExprReferencesTableData's. A
// question whose walk ends within a few nodes is walked; the first that
// would walk further has every subtree answered in one walk from the
// leaves up, where asking each subtree on its own walks it again for every
// node above it. The answers hold while the tree is not changed; only
// nodes of the tree given may be asked about.
class SubtreeAnswers {
 public:
  void Reset(ExpressionRecord* root, DocumentRecord* document);
  bool IsNumeric(ExpressionRecord* node);
  bool ReferencesTableData(ExpressionRecord* node);

 private:
  enum : uint8_t {
    kNoNodeFails = 1,      // no node's answer is false at every stop
    kEveryNodePasses = 2,  // every node's answer is true at every stop
    kReadsTableData = 4,
  };

  void Build();
  uint8_t Facts(const ExpressionRecord* node) const;

  ExpressionRecord* fRoot = nullptr;
  DocumentRecord* fDocument = nullptr;
  bool fBuilt = false;
  bool fWalksOnly = true;
  // Only operators with some fact are kept: most subtrees hold a
  // coordinate, and leaves are answered by the walks.
  std::unordered_map<const ExpressionRecord*, uint8_t> fFacts;
  std::vector<uint8_t> fPending;  // the facts of operands not yet combined
};
