#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "evaluation/compiler/SubexpressionSharing.h"
#include "expression/TreeHashing.h"

// The entries of one subexpression list by the hash of their expressions,
// brought up to date with the list before each search: finding the first
// entry equal to a node compares it only with entries of the same hash,
// in list order, so the answer is the one a scan of the whole list gives.
// Loop slots are left out: they are found by their index, not shared.
class SubexpressionIndex {
 public:
  // The position of the first entry equal to the node; -1 for none.
  int32_t FindFirstEqual(const SubexpressionList& list, const ExpressionRecord* node, SubtreeHashes& hashes);
  void Forget();

 private:
  struct Chain {
    int32_t first;
    int32_t last;
  };

  void CatchUp(const SubexpressionList& list, SubtreeHashes& hashes);

  const SubexpressionList* fList = nullptr;
  int32_t fIndexed = 0;
  std::unordered_map<uint64_t, Chain> fChains;
  std::vector<int32_t> fNext;  // per entry: the next of the same hash, -1 for none
};
