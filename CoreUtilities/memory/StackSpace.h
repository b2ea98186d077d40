#pragma once

#include <cstddef>
#include <cstdint>

// Lowest usable stack address of this thread; 0 until first looked up.
extern constinit thread_local uintptr_t gStackLimit;
// Looks the limit up, stores it in gStackLimit and returns it.
uintptr_t LookUpStackLimit();

inline constexpr size_t kStackReserve = 32'768;

// Bytes between the caller's frame and the lowest usable stack address.
// Inline, as every call of a document function asks: the frame is then
// the caller's own.
[[gnu::always_inline]] inline size_t StackBytesRemaining() {
  uintptr_t limit = gStackLimit;
  if (limit == 0) [[unlikely]]
    limit = LookUpStackLimit();
  // The frame address, not a local's: locals may live on a sanitizer's
  // separate stack.
  const auto frame = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
  return frame > limit ? frame - limit : 0;
}

// True when the calling thread has more than n + 32,768 bytes of stack
// between the current frame and the lowest usable address of its stack.
[[gnu::always_inline]] inline bool OurStackSpace(size_t n) {
  const size_t remaining = StackBytesRemaining();
  return n < remaining && remaining - n > kStackReserve;
}
