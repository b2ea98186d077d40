#pragma once

#include <cstdint>
#include <vector>

// The frames of a walk down a tree that visits every node once: the first
// levels on the caller's stack, deeper ones on the heap, so that copying or
// freeing a tree never looks a node up among its parent's operands.
template <typename Frame>
class WalkFrames {
 public:
  bool Empty() const { return fDepth == 0; }
  Frame& Top() { return fDepth <= kInline ? fInline[fDepth - 1] : fDeeper.back(); }

  void Push(const Frame& frame) {
    if (fDepth < kInline) fInline[fDepth] = frame;
    else fDeeper.push_back(frame);
    ++fDepth;
  }

  void Pop() {
    if (fDepth > kInline) fDeeper.pop_back();
    --fDepth;
  }

 private:
  static constexpr int32_t kInline = 48;
  Frame fInline[kInline];
  std::vector<Frame> fDeeper;
  int32_t fDepth = 0;
};
