#pragma once

#include <cstdint>

#include "CoreUtilities/memory/AListGenericSmall.h"

struct RelocatableBlock;

// Finished animation frames, kept by the slider value they were made for.
// The list owns the blocks.
class AListofFrames {
 public:
  AListofFrames() = default;
  ~AListofFrames() { RemoveAllElements(); }
  AListofFrames(const AListofFrames&) = delete;
  AListofFrames& operator=(const AListofFrames&) = delete;

  // Takes the block over; 1 (block not taken) when the list cannot grow.
  int Add(double value, RelocatableBlock* block);
  // The first block made for exactly this value, or null.
  RelocatableBlock* Get(double value) const;
  void RemoveAllElements();
  int32_t Count() const { return fFrames.Count(); }

 private:
  struct Frame {
    double value;
    RelocatableBlock* block;
  };
  AListGenericSmall<Frame> fFrames;
};

// True when count < 1 or all count flags are set.
bool AreAllComputeThreadsFinished(const bool* done, int32_t count);
