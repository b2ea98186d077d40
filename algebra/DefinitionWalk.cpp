#include "algebra/DefinitionMatching.h"

#include "algebra/RewriteHelpers.h"

namespace {

// The matrix is a column of exactly the atoms named, in order.
bool IsColumnOf(const ExpressionRecord* m, const char* ids) {
  if (!m || m->opcode != kOpMatrix || m->payload.shape.columns != 1) return false;
  int32_t n = 0;
  for (; ids[n]; ++n)
    if (n >= m->operandCount || !IsAtom(m->operands[n], ids[n])) return false;
  return n == m->operandCount && m->payload.shape.rows == n;
}

// Each entry is the two-operand product d * the named atom.
bool IsDirectionColumnOf(const ExpressionRecord* m, const char* ids) {
  if (!m || m->opcode != kOpMatrix || m->payload.shape.columns != 1) return false;
  int32_t n = 0;
  for (; ids[n]; ++n) {
    if (n >= m->operandCount) return false;
    const ExpressionRecord* e = m->operands[n];
    if (e->opcode != kOpTimes || e->operandCount != 2 || !IsAtom(e->operands[0], 'd') ||
        !IsAtom(e->operands[1], ids[n]))
      return false;
  }
  return n == m->operandCount && m->payload.shape.rows == n;
}

// The pre-order successor of the node's subtree inside root; null at its end.
ExpressionRecord* NextAfterSubtree(ExpressionRecord* node, const ExpressionRecord* root) {
  for (ExpressionRecord* n = node; n != root && n->parent; n = n->parent) {
    const int32_t k = OP_NUM(n);
    if (k >= 0 && k + 1 < n->parent->operandCount) return n->parent->operands[k + 1];
  }
  return nullptr;
}

// Tries the rules in order at the node; true when one rewrote it.
bool RewriteNode(ExpressionRecord* node, const ExpressionRecord* const* rules, int32_t count) {
  if (node->opcode == kOpAtom && DontReplaceRGBHSV(node)) return false;
  for (int32_t i = 0; i < count; ++i)
    if (MATCH_Single(node, rules[i])) return true;
  return false;
}

}  // namespace

bool DontReplaceRGBHSV(const ExpressionRecord* node) {
  if (!node || !node->parent) return false;
  const ExpressionRecord* parent = node->parent;
  if (IsColumnOf(parent, "rgb") || IsColumnOf(parent, "hsv")) return true;
  const ExpressionRecord* grandparent = parent->parent;
  return IsDirectionColumnOf(grandparent, "xy") || IsDirectionColumnOf(grandparent, "xyz");
}

bool MATCH_ApplyDefinitionsOnce(ExpressionRecord* tree, const ExpressionRecord* const* rules, int32_t count) {
  if (!tree || !rules || count <= 0) return false;
  bool rewrote = false;
  ExpressionRecord* node = tree;
  while (node) {
    if (RewriteNode(node, rules, count)) {
      rewrote = true;
      // What the rule put here is not entered again.
      node = NextAfterSubtree(node, tree);
    } else {
      node = NextTopDownWithin(node, tree);
    }
  }
  MATCH_NullifyBindings();
  return rewrote;
}

bool MATCH_ApplyDefinitionOnce(ExpressionRecord* tree, const ExpressionRecord* definition) {
  return MATCH_ApplyDefinitionsOnce(tree, &definition, 1);
}
