#pragma once

#include "expression/ExpressionRecord.h"

#include <cstdint>
#include <vector>

// What ordering and grouping ask of each factor of a product, gathered in
// one walk of the factor and carried along as the factors move, so a
// product of long factors is not walked once per question.

struct FactorSummary {
  uint64_t baseHash;  // ScreenHash of the factor's base (a power's base, else the factor)
  bool holdsMatrix;   // anywhere in the factor, its exponent included
};

inline constexpr uint64_t kStructureHashOffset = 0xcbf29ce484222325ull;

// A hash of the node kinds, counts and leaf values of a tree in pre-order:
// structurally equal trees hash alike (0 and -0 too). *holdsMatrix, when
// given, is set when a matrix node was met.
uint64_t StructureHash(const ExpressionRecord* tree, uint64_t hash, bool* holdsMatrix = nullptr);

// The same hash of at most the first kScreenNodes nodes breadth first: the
// top of the tree across all its branches. Equal trees hash alike, so it
// screens pairs for an exact comparison; its work does not grow with the
// tree, so a long sum hashed again at every level above it costs nothing
// more each time.
inline constexpr int32_t kScreenNodes = 64;
uint64_t ScreenHash(const ExpressionRecord* tree, uint64_t hash);

// While one lives on this thread, the trees being worked on hold no matrix
// (its opener walked the whole tree once to know, and no rule makes one):
// each factor summarised is not walked again for one.
class MatrixFreeScope {
 public:
  explicit MatrixFreeScope(bool matrixFree);
  ~MatrixFreeScope();
  MatrixFreeScope(const MatrixFreeScope&) = delete;
  MatrixFreeScope& operator=(const MatrixFreeScope&) = delete;

 private:
  bool fOuter;
};

// A matrix anywhere in the tree, unless a MatrixFreeScope rules one out.
bool MayHoldMatrix(const ExpressionRecord* tree);

FactorSummary SummariseFactor(const ExpressionRecord* factor);
// One per operand of the product; empty for any other node.
std::vector<FactorSummary> SummariseFactors(const ExpressionRecord* product);
