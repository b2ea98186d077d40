#pragma once

#include "expression/ExpressionRecord.h"

#include <cstdint>
#include <vector>

// What ordering and grouping ask of each factor of a product, gathered in
// one walk of the factor and carried along as the factors move, so a
// product of long factors is not walked once per question.

struct FactorSummary {
  uint64_t baseHash;  // StructureHash of the factor's base (a power's base, else the factor)
  bool holdsMatrix;   // anywhere in the factor, its exponent included
};

inline constexpr uint64_t kStructureHashOffset = 0xcbf29ce484222325ull;

// A hash of the node kinds, counts and leaf values of a tree in pre-order:
// structurally equal trees hash alike (0 and -0 too). *holdsMatrix, when
// given, is set when a matrix node was met.
uint64_t StructureHash(const ExpressionRecord* tree, uint64_t hash, bool* holdsMatrix = nullptr);

FactorSummary SummariseFactor(const ExpressionRecord* factor);
// One per operand of the product; empty for any other node.
std::vector<FactorSummary> SummariseFactors(const ExpressionRecord* product);
