#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "expression/ExpressionRecord.h"

// Hashes of subtrees that agree with MATH_Equal: equal trees hash alike,
// so only trees of equal hash need comparing. Each node's hash is worked
// out once, from its operands', and kept until Clear; the trees must not
// change meanwhile.
class SubtreeHashes {
 public:
  uint64_t Of(const ExpressionRecord* tree);
  void Clear();

 private:
  // Open addressing by the node's address, at most half full: one probe
  // or two for each of the many look-ups a compilation makes.
  struct Slot {
    const ExpressionRecord* node = nullptr;
    uint64_t hash = 0;
  };

  const Slot* Find(const ExpressionRecord* node) const;
  void Insert(const ExpressionRecord* node, uint64_t hash);
  size_t Home(const ExpressionRecord* node) const;
  uint64_t OfNode(const ExpressionRecord* node) const;

  std::vector<Slot> fSlots;
  size_t fCount = 0;
};
