#include "algebra/RewriteHelpers.h"

#include "expression/TreeSurgery.h"

bool Become(ExpressionRecord* node, ExpressionRecord* replacement) {
  return replacement && DeleteOperandsTransferAndDispose(replacement, node);
}

bool NumberValue(const ExpressionRecord* node, double* value) {
  if (!node || node->opcode != kOpNumber || !node->payload.number) return false;
  *value = node->payload.number->value;
  return true;
}

bool IsAtom(const ExpressionRecord* node, int32_t variableId) {
  return node && node->opcode == kOpAtom && node->payload.id == variableId;
}
