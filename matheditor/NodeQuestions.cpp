#include "matheditor/NodeQuestions.h"

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
