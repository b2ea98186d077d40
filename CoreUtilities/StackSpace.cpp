#include "CoreUtilities/StackSpace.h"

#include <pthread.h>

#include <cstdint>

namespace {

constexpr size_t kStackReserve = 32'768;

// Lowest usable stack address of this thread; 0 until first looked up.
thread_local uintptr_t gStackLimit = 0;

uintptr_t LookUpStackLimit() {
  pthread_attr_t attributes;
  // A stack that cannot be measured is treated as having no room left.
  if (pthread_getattr_np(pthread_self(), &attributes) != 0) return UINTPTR_MAX;
  void* lowest = nullptr;
  size_t size = 0;
  const int result = pthread_attr_getstack(&attributes, &lowest, &size);
  pthread_attr_destroy(&attributes);
  return result == 0 ? reinterpret_cast<uintptr_t>(lowest) : UINTPTR_MAX;
}

}  // namespace

size_t StackBytesRemaining() {
  if (gStackLimit == 0) gStackLimit = LookUpStackLimit();
  // The frame address, not a local's: locals may live on a sanitizer's
  // separate stack.
  const auto frame = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
  return frame > gStackLimit ? frame - gStackLimit : 0;
}

bool OurStackSpace(size_t n) {
  const size_t remaining = StackBytesRemaining();
  return n < remaining && remaining - n > kStackReserve;
}
