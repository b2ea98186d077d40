#include "expression/CoordinateExchange.h"

#include "expression/TreeWalking.h"
#include "expression/VariableIds.h"

namespace {

bool IsAtomWithId(const ExpressionRecord* node, int32_t id) {
  return node != nullptr && node->opcode == kOpAtom && node->payload.id == id;
}

bool IsRgbColumn(const ExpressionRecord* node) {
  return node->opcode == kOpMatrix && node->operandCount == 3 && node->payload.shape.rows == 3 &&
         node->payload.shape.columns == 1 && IsAtomWithId(node->operands[0], kIdR) &&
         IsAtomWithId(node->operands[1], 'g') && IsAtomWithId(node->operands[2], 'b');
}

// Only x, y, z and r: a primed equation keeps theta and phi as they are.
int32_t PrimedPartner(int32_t id) {
  switch (id) {
    case kIdX: return kIdXPrime;
    case kIdY: return kIdYPrime;
    case kIdZ: return kIdZPrime;
    case kIdR: return kIdRPrime;
    case kIdXPrime: return kIdX;
    case kIdYPrime: return kIdY;
    case kIdZPrime: return kIdZ;
    case kIdRPrime: return kIdR;
    default: return 0;
  }
}

}  // namespace

bool IsInRGBGraphRHS(const ExpressionRecord* node) {
  if (!IsAtomWithId(node, kIdR)) return false;
  const ExpressionRecord* column = node->parent;
  if (column == nullptr || !IsRgbColumn(column)) return false;
  return column->parent != nullptr && column->parent->opcode == kOpEquals;
}

void ExchangeXYZwithXYZprime(ExpressionRecord* tree) {
  if (tree == nullptr) return;
  for (ExpressionRecord* node = tree; node != nullptr; node = NextTopDownWithin(node, tree)) {
    if (node->opcode != kOpAtom || IsInRGBGraphRHS(node)) continue;
    const int32_t swapped = PrimedPartner(node->payload.id);
    if (swapped != 0) node->payload.id = swapped;
  }
}
