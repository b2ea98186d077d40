#include "evaluation/compiler/SubexpressionIndex.h"

#include "expression/TreeComparison.h"

void SubexpressionIndex::Forget() {
  fList = nullptr;
  fIndexed = 0;
  // clear() keeps the buckets of the largest list ever indexed and sweeps
  // them all at every later compile: a new map starts small.
  decltype(fChains)().swap(fChains);
  fNext.clear();
}

// Lists only grow while they live; another list, or a shorter one, is
// indexed afresh.
void SubexpressionIndex::CatchUp(const SubexpressionList& list, SubtreeHashes& hashes) {
  if (&list != fList || list.Count() < fIndexed) {
    Forget();
    fList = &list;
  }
  for (; fIndexed < list.Count(); ++fIndexed) {
    fNext.push_back(-1);
    const MSubexpression& entry = list[fIndexed];
    if (entry.loopSlot != 0 || entry.expression == nullptr) continue;
    const auto [chain, made] = fChains.try_emplace(hashes.Of(entry.expression), Chain{fIndexed, fIndexed});
    if (made) continue;
    fNext[size_t(chain->second.last)] = fIndexed;
    chain->second.last = fIndexed;
  }
}

int32_t SubexpressionIndex::FindFirstEqual(const SubexpressionList& list, const ExpressionRecord* node,
                                           SubtreeHashes& hashes) {
  CatchUp(list, hashes);
  const auto found = fChains.find(hashes.Of(node));
  if (found == fChains.end()) return -1;
  for (int32_t position = found->second.first; position >= 0; position = fNext[size_t(position)]) {
    if (MATH_Equal(list[position].expression, node)) return position;
  }
  return -1;
}
