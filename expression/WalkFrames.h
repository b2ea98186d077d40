#pragma once

#include <cstdint>
#include <vector>

// The nodes a walk down a tree has still to visit, last pushed first: the
// first ones on the caller's stack, more on the heap, so that copying or
// freeing a tree neither recurses nor looks a node up among its parent's
// operands.
template <typename Entry>
class WalkFrames {
 public:
  bool Empty() const { return fDepth == 0; }

  void Push(const Entry& entry) {
    if (fDepth < kInline)
      fInline[fDepth] = entry;
    else
      fDeeper.push_back(entry);
    ++fDepth;
  }

  Entry Pop() {
    --fDepth;
    if (fDepth < kInline) return fInline[fDepth];
    const Entry entry = fDeeper.back();
    fDeeper.pop_back();
    return entry;
  }

 private:
  static constexpr int32_t kInline = 128;
  Entry fInline[kInline];
  std::vector<Entry> fDeeper;
  int32_t fDepth = 0;
};
