#include "graphs2d/AListofFrames.h"

#include "CoreUtilities/memory/MemoryBudget.h"

int AListofFrames::Add(double value, RelocatableBlock* block) { return fFrames.Add(Frame{value, block}); }

RelocatableBlock* AListofFrames::Get(double value) const {
  for (const Frame& frame : fFrames) {
    if (frame.value == value) return frame.block;
  }
  return nullptr;
}

void AListofFrames::RemoveAllElements() {
  for (Frame& frame : fFrames) OurDisposeMemoryPurgeable(frame.block);
  fFrames.RemoveAllElements();
}

bool AreAllComputeThreadsFinished(const bool* done, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    if (!done[i]) return false;
  }
  return true;
}
