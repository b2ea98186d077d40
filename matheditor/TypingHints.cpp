#include "matheditor/TypingHints.h"

#include "expression/MathEditRecord.h"
#include "expression/OperatorTable.h"
#include "expression/VariableIds.h"

namespace {

bool IsAtom(const ExpressionRecord* node, int32_t id) {
  return node && node->opcode == kOpAtom && node->payload.id == id;
}

bool Blocks(const ExpressionRecord* node, OpCodeT avoid) {
  if (node->opcode == avoid) return true;
  const OperatorInfo* info = FindOperatorInfo(node->opcode);
  return info && (info->syntacticKind == kEnclosing || info->syntacticKind == kPostfix);
}

}  // namespace

bool IsIPAfterExponentOrFraction(const MERecord* record, OpCodeT reach, OpCodeT avoid) {
  if (!record || record->caretType != kIPAfterNode || !record->selected) return false;
  for (const ExpressionRecord* node = record->selected; node->parent; node = node->parent) {
    const ExpressionRecord* parent = node->parent;
    const int32_t last = parent->operandCount - 1;
    if (last < 0 || parent->operands[last] != node) return false;
    if (parent->opcode == reach) return last == 1;
    if (Blocks(parent, avoid)) return false;
  }
  return false;
}

bool IsIPAfterFraction(const MERecord* record) { return IsIPAfterExponentOrFraction(record, kOpOver, kOpPower); }

bool IsIPAfterExponent(const MERecord* record) { return IsIPAfterExponentOrFraction(record, kOpPower, kOpOver); }

bool IsIPAfterFofX(const MERecord* record) {
  const ExpressionRecord* root = record ? record->root : nullptr;
  if (!root) return false;
  const ExpressionRecord* side = root->opcode == kOpEquals && root->operandCount > 0 ? root->operands[0] : root;
  if (side->opcode != kOpTimes || side->operandCount != 2) return false;
  const ExpressionRecord* group = side->operands[1];
  return IsAtom(side->operands[0], 'f') && group->opcode == kOpId && group->operandCount == 1 &&
         IsAtom(group->operands[0], kIdX);
}
