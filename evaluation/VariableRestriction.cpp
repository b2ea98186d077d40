#include "evaluation/VariableRestriction.h"

#include "expression/NumericComputability.h"
#include "expression/SymbolTable.h"
#include "expression/TreeWalking.h"

bool HasOnly(ExpressionRecord* tree, DocumentRecord* document, int32_t id1, int32_t id2, int32_t id3,
             int32_t id4) {
  constexpr int32_t kMode = kAllowPartialOfVariable | kAllowSummationIndices | kAllowParameters;
  for (ExpressionRecord* node = tree; node != nullptr; node = NextTopDownWithin(node, tree)) {
    if (CanComputeNumerically(node, document, kMode, nullptr)) continue;
    if (node->opcode == kOpAtom) {
      const bool subscripted = node->parent != nullptr && node->parent->opcode == kOpIndexes;
      const int32_t id = subscripted ? 0 : node->payload.id;
      if (id == id1 || id == id2 || id == id3 || id == id4 || !Is_xyzwtuvr_theta_phi(id)) continue;
    }
    return false;
  }
  return true;
}
