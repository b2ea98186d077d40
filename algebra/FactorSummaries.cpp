#include "algebra/FactorSummaries.h"

#include "algebra/SimplifierNodes.h"
#include "expression/TreeShorthands.h"

#include <cstring>

// Pre-order with the first operand taken next directly: in a deep chain of
// one-operand nodes nothing is pushed.
namespace {

constexpr uint64_t kPrime = 0x100000001b3ull;

thread_local bool gMatrixFree = false;

uint64_t MixNode(const ExpressionRecord* node, uint64_t hash) {
  hash = (hash ^ (uint64_t(node->opcode) << 32 | node->operandCount)) * kPrime;
  if (IsNumberNode(node)) {
    const double value = NumberValue(node) == 0.0 ? 0.0 : NumberValue(node);
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    hash = (hash ^ bits) * kPrime;
  } else if (node->opcode == kOpAtom || node->opcode == kOpDummy) {
    hash = (hash ^ static_cast<uint32_t>(node->payload.id)) * kPrime;
  }
  return hash;
}

}  // namespace

uint64_t StructureHash(const ExpressionRecord* tree, uint64_t hash, bool* holdsMatrix) {
  thread_local std::vector<const ExpressionRecord*> pending;
  pending.clear();
  bool matrix = false;
  for (const ExpressionRecord* node = tree; node;) {
    hash = MixNode(node, hash);
    matrix = matrix || node->opcode == kOpMatrix;
    const ExpressionRecord* next = nullptr;
    for (int32_t k = node->operands ? node->operandCount - 1 : -1; k >= 0; --k) {
      if (!node->operands[k]) continue;
      if (next) pending.push_back(next);
      next = node->operands[k];
    }
    if (!next && !pending.empty()) {
      next = pending.back();
      pending.pop_back();
    }
    node = next;
  }
  if (holdsMatrix) *holdsMatrix = matrix;
  return hash;
}

uint64_t ScreenHash(const ExpressionRecord* tree, uint64_t hash) {
  const ExpressionRecord* queue[kScreenNodes];
  int32_t taken = 0, queued = 0;
  if (tree) queue[queued++] = tree;
  while (taken < queued) {
    const ExpressionRecord* node = queue[taken++];
    hash = MixNode(node, hash);
    for (int32_t k = 0; node->operands && k < node->operandCount && queued < kScreenNodes; ++k) {
      if (node->operands[k]) queue[queued++] = node->operands[k];
    }
  }
  return hash;
}

MatrixFreeScope::MatrixFreeScope(bool matrixFree) : fOuter(gMatrixFree) { gMatrixFree = gMatrixFree || matrixFree; }

MatrixFreeScope::~MatrixFreeScope() { gMatrixFree = fOuter; }

bool MayHoldMatrix(const ExpressionRecord* tree) { return !gMatrixFree && ContainsMatrix(tree); }

FactorSummary SummariseFactor(const ExpressionRecord* factor) {
  FactorSummary summary{};
  summary.baseHash = ScreenHash(IsPower(factor) ? factor->operands[0] : factor, kStructureHashOffset);
  summary.holdsMatrix = MayHoldMatrix(factor);
  return summary;
}

std::vector<FactorSummary> SummariseFactors(const ExpressionRecord* product) {
  std::vector<FactorSummary> summaries;
  if (!IsKind(product, kOpTimes)) return summaries;
  summaries.reserve(product->operandCount);
  for (int32_t k = 0; k < product->operandCount; ++k) summaries.push_back(SummariseFactor(product->operands[k]));
  return summaries;
}
