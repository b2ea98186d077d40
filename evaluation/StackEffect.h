#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>

#include "evaluation/PCodeOp.h"

// The shape of a comparison chain of a operands: how many it removes and
// how many neighbouring pairs it compares. A non-strict chain of at most one
// operand compares nothing and is true; a strict one (<, >) compares second
// with top even then, and keeps second.
struct ChainShape {
  int32_t operands;
  int32_t pairs;
};

inline ChainShape ChainShapeOf(int32_t opcode, int32_t a) {
  const bool strict = opcode == pcLess || opcode == pcGreater;
  const int32_t operands = std::max(a, 1);
  return {operands, operands == 1 && !strict ? 0 : std::max(operands, 2) - 1};
}

struct StackEffect {
  int32_t reads;   // cells below the top the instruction reads
  int32_t change;  // change of the stack depth
};

// Beyond this many pairs a choice is taken for a malformed program.
inline constexpr int32_t kMostBranchPairs = 1 << 24;

// Empty for a number outside the table and for an a no run can follow (a
// negative count, a choice of more pairs than kMostBranchPairs). A choice
// of no pairs and a call of no arguments read nothing and push one cell.
inline std::optional<StackEffect> StackEffectOf(const PCodeOp& op) {
  const PCodeInfo* info = PCodeInfoOf(op.opcode);
  if (info == nullptr) return std::nullopt;
  if (info->read != kByA) return StackEffect{info->read, info->change};
  const int32_t a = op.ids.a;
  switch (op.opcode) {
    case pcBranch:
      if (a < 0 || a > kMostBranchPairs) return std::nullopt;
      return StackEffect{std::max(2 * a - 1, 0), 1 - 2 * a};
    case pcCallFunction:
      if (a < 0) return std::nullopt;
      return StackEffect{std::max(a - 1, 0), 1 - a};
    default: {
      const ChainShape chain = ChainShapeOf(op.opcode, a);
      return StackEffect{chain.pairs, 1 - chain.operands};
    }
  }
}
