#include "evaluation/compiler/VariableRestriction.h"

#include "expression/NumericComputability.h"
#include "expression/SymbolTable.h"
#include "expression/TreeWalking.h"

bool HasOnlyWithFlags(ExpressionRecord* tree, DocumentRecord* document, int32_t flags, const AllowedVariables& ids,
                      bool passMatricesAndFunctions) {
  for (ExpressionRecord* node = tree; node != nullptr; node = NextTopDownWithin(node, tree)) {
    if (passMatricesAndFunctions && (node->opcode == kOpMatrix || node->opcode == kOpFunction)) continue;
    if (CanComputeNumerically(node, document, flags, nullptr)) continue;
    if (node->opcode == kOpAtom) {
      // Only a subscripted name's base loses its coordinate meaning (x_1);
      // an index such as the x of a_x still names x.
      const bool subscriptBase = node->parent != nullptr && node->parent->opcode == kOpIndexes && OP_NUMeq(node, 0);
      const int32_t id = subscriptBase ? 0 : node->payload.id;
      if (id == ids[0] || id == ids[1] || id == ids[2] || id == ids[3] || !Is_xyzwtuvr_theta_phi(id)) continue;
    }
    return false;
  }
  return true;
}

bool HasOnly(ExpressionRecord* tree, DocumentRecord* document, int32_t id1, int32_t id2, int32_t id3, int32_t id4) {
  return HasOnlyWithFlags(tree, document, kHasOnlyFlags, {id1, id2, id3, id4}, false);
}
