#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "expression/ExpressionRecord.h"

class DocumentRecord;

// For every subtree of one tree, the grid level its value can be computed
// at once for: 0 when it uses u or x alone (with constants, parameters and
// indices), 1 for v or y alone, 2 for z alone, -1 otherwise; worked out
// in one walk from the leaves up instead of walking each subtree the
// compiler asks about. Holds while the tree is not changed; only nodes of
// the tree given may be asked about.
class GridHoistLevels {
 public:
  void Build(ExpressionRecord* root, DocumentRecord* document);
  int32_t LevelOf(const ExpressionRecord* node) const;

 private:
  // Per subtree: whether some node keeps it from every level, the
  // coordinates it needs to be allowed, the coordinates it names.
  struct Uses {
    bool refused;
    uint8_t needs;
    uint8_t names;
  };

  std::unordered_map<const ExpressionRecord*, int8_t> fLevels;  // operators at levels 0 to 2 only
  std::vector<Uses> fPending;                                   // the uses of operands not yet combined
  bool fWalksOnly = true;
  DocumentRecord* fDocument = nullptr;
};
