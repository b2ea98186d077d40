#pragma once

#include "CoreUtilities/text/OurString.h"
#include "expression/ExpressionRecord.h"
#include "expression/TreeBuilding.h"

#include <random>
#include <string>
#include <vector>

// Random trees for walker and copy tests, and plain recursive references
// to check the parent-link walkers against.

inline ExpressionRecord* StringLeaf(const std::u16string& text) {
  ExpressionRecord* node = NewExpression(kOpString, 0);
  node->text = OurStringCreate(text.c_str(), text.size());
  return node;
}

// Leaves from a small alphabet so that independently made trees are often
// equal; nullSlotChance leaves operand slots empty, as a damaged tree has.
class RandomTrees {
 public:
  explicit RandomTrees(unsigned seed, double nullSlotChance = 0.0) : fRandom(seed), fNullSlotChance(nullSlotChance) {}

  ExpressionRecord* Make(int depth) {
    const int operandCount = depth <= 0 ? 0 : Pick(0, 5);
    if (operandCount == 0) return Leaf();
    static constexpr OpCodeT kKinds[] = {kOpPlus, kOpTimes, kOpPower, kOpSin, kOpComma, kOpId};
    ExpressionRecord* node = NewExpression(kKinds[Pick(0, 5)], operandCount);
    for (int i = 0; i < operandCount; ++i) {
      if (std::bernoulli_distribution(fNullSlotChance)(fRandom)) continue;
      node->operands[i] = Make(depth - 1 - Pick(0, 1));
      node->operands[i]->parent = node;
    }
    return node;
  }

  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(fRandom); }

 private:
  ExpressionRecord* Leaf() {
    switch (Pick(0, 3)) {
      case 0: return Number(Pick(0, 2) * 0.5);
      case 1: return Atomic(120 + Pick(0, 1));
      case 2: return StringLeaf(Pick(0, 1) ? u"ab" : u"b");
      default: return NewExpression(kOpDummy, 0);
    }
  }

  std::mt19937 fRandom;
  double fNullSlotChance;
};

inline void PreOrder(ExpressionRecord* node, std::vector<ExpressionRecord*>& out) {
  out.push_back(node);
  for (int i = 0; i < node->operandCount; ++i)
    if (node->operands[i]) PreOrder(node->operands[i], out);
}

inline void PostOrder(ExpressionRecord* node, std::vector<ExpressionRecord*>& out) {
  for (int i = 0; i < node->operandCount; ++i)
    if (node->operands[i]) PostOrder(node->operands[i], out);
  out.push_back(node);
}

inline bool RecursiveEqual(const ExpressionRecord* a, const ExpressionRecord* b) {
  if (!a || !b) return a == b;
  if (a->opcode != b->opcode || a->operandCount != b->operandCount) return false;
  if (a->operandCount == 0) {
    if (a->opcode == kOpNumber) return a->payload.number->value == b->payload.number->value;
    if (a->opcode == kOpAtom || a->opcode == kOpDummy) return a->payload.id == b->payload.id;
    if (a->opcode == kOpString) return std::u16string(a->text) == std::u16string(b->text);
    return true;
  }
  for (int i = 0; i < a->operandCount; ++i)
    if (!RecursiveEqual(a->operands[i], b->operands[i])) return false;
  return true;
}
