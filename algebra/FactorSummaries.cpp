#include "algebra/FactorSummaries.h"

#include "algebra/SimplifierNodes.h"
#include "expression/TreeShorthands.h"

#include <cstring>

uint64_t StructureHash(const ExpressionRecord* tree, uint64_t hash, bool* holdsMatrix) {
  thread_local std::vector<const ExpressionRecord*> pending;
  pending.assign(1, tree);
  bool matrix = false;
  while (!pending.empty()) {
    const ExpressionRecord* node = pending.back();
    pending.pop_back();
    uint64_t leaf = 0;
    if (IsNumberNode(node)) {
      const double value = NumberValue(node) == 0.0 ? 0.0 : NumberValue(node);
      std::memcpy(&leaf, &value, sizeof leaf);
    } else if (node->opcode == kOpAtom || node->opcode == kOpDummy) {
      leaf = static_cast<uint32_t>(node->payload.id);
    }
    matrix = matrix || node->opcode == kOpMatrix;
    for (const uint64_t part : {uint64_t(node->opcode), uint64_t(node->operandCount), leaf})
      hash = (hash ^ part) * 0x100000001b3ull;
    for (int32_t k = node->operands ? node->operandCount - 1 : -1; k >= 0; --k)
      if (node->operands[k]) pending.push_back(node->operands[k]);
  }
  if (holdsMatrix) *holdsMatrix = matrix;
  return hash;
}

FactorSummary SummariseFactor(const ExpressionRecord* factor) {
  FactorSummary summary{};
  const bool power = IsPower(factor);
  summary.baseHash = StructureHash(power ? factor->operands[0] : factor, kStructureHashOffset, &summary.holdsMatrix);
  if (power && !summary.holdsMatrix) summary.holdsMatrix = ContainsMatrix(factor->operands[1]);
  return summary;
}

std::vector<FactorSummary> SummariseFactors(const ExpressionRecord* product) {
  std::vector<FactorSummary> summaries;
  if (!IsKind(product, kOpTimes)) return summaries;
  summaries.reserve(product->operandCount);
  for (int32_t k = 0; k < product->operandCount; ++k) summaries.push_back(SummariseFactor(product->operands[k]));
  return summaries;
}
