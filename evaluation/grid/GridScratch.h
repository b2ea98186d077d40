#pragma once

#include <cstddef>

// Scratch of one grid run, taken from a block the calling thread keeps
// between runs, so that evaluating row after row allocates nothing once
// the block is large enough. A run nested in another on the same thread
// gets a block of its own. The block counts against the memory budget and
// is released when the thread ends.
class GridScratch {
 public:
  explicit GridScratch(size_t bytes);
  ~GridScratch();
  GridScratch(const GridScratch&) = delete;
  GridScratch& operator=(const GridScratch&) = delete;

  void* Block() const { return fBlock; }  // null when the budget refused

 private:
  void* fBlock = nullptr;
  bool fOwnsBlock = false;
};
