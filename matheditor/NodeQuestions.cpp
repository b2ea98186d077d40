#include "matheditor/NodeQuestions.h"

#include "expression/OperatorTable.h"
#include "expression/VariableIds.h"

bool IsEllipsis(const ExpressionRecord* node) {
  return node && node->opcode == kOpAtom && node->payload.id == kIdLdots;
}

bool IsExprSubscriptedLetter(const ExpressionRecord* node) {
  return node && node->opcode == kOpIndexes && node->operandCount == 2 && node->operands[0] &&
         node->operands[0]->opcode == kOpAtom;
}

bool IsAtomicOrSubscriptedLetter(const ExpressionRecord* node) {
  return node && (node->opcode == kOpAtom || IsExprSubscriptedLetter(node));
}

uint8_t SyntacticKindOf(const ExpressionRecord* node) {
  const OperatorInfo* info = FindOperatorInfo(node->opcode);
  return info ? info->syntacticKind : uint8_t{kLeaf};
}

int32_t IndexInParent(const ExpressionRecord* node) {
  const ExpressionRecord* parent = node->parent;
  if (!parent) return -1;
  for (int32_t i = 0; i < parent->operandCount; ++i)
    if (parent->operands[i] == node) return i;
  return -1;
}
