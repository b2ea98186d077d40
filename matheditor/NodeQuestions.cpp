#include "matheditor/NodeQuestions.h"

#include "expression/OperatorTable.h"
#include "expression/SymbolTable.h"
#include "expression/VariableIds.h"
#include "matheditor/TypingHelpers.h"

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
  // From both ends: edits at either end of a long list stay cheap.
  for (int32_t lo = 0, hi = parent->operandCount - 1; lo <= hi; ++lo, --hi) {
    if (parent->operands[hi] == node) return hi;
    if (parent->operands[lo] == node) return lo;
  }
  return -1;
}

namespace {

struct OneCharacterNames {
  UniChar names[128][2];
  constexpr OneCharacterNames() : names{} {
    for (int i = 0; i < 128; ++i) names[i][0] = UniChar(i);
  }
};

constexpr OneCharacterNames kOneCharacterNames;
constexpr int32_t kFirstPrintable = 32;

}  // namespace

const UniChar* AtomName(const ExpressionRecord* atom) {
  const int32_t id = atom->payload.id;
  if (id >= kFirstPrintable && id < 128) return kOneCharacterNames.names[id];
  return GetVariableStringFromID(id);
}

int32_t TextLength(const UniChar* text) {
  int32_t length = 0;
  while (text && text[length]) ++length;
  return length;
}

bool IsNumber(const ExpressionRecord* node) { return node && node->opcode == kOpNumber && node->payload.number; }

const UniChar* CaretText(const ExpressionRecord* node, MathIPType type) {
  if (type == kIPStringText && node->opcode == kOpString) return node->text;
  if (type == kIPNumberText && IsNumber(node)) return node->payload.number->text;
  if (type == kIPNameText && node->opcode == kOpAtom) return AtomName(node);
  return nullptr;
}

bool IsRelation(const ExpressionRecord* node) {
  return node && (IsComparisonKind(node->opcode) || node->opcode == kOpIn);
}
