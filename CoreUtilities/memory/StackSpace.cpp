#include "CoreUtilities/memory/StackSpace.h"

#include <pthread.h>

constinit thread_local uintptr_t gStackLimit = 0;

uintptr_t LookUpStackLimit() {
  pthread_attr_t attributes;
  // A stack that cannot be measured is treated as having no room left.
  uintptr_t limit = UINTPTR_MAX;
  if (pthread_getattr_np(pthread_self(), &attributes) == 0) {
    void* lowest = nullptr;
    size_t size = 0;
    if (pthread_attr_getstack(&attributes, &lowest, &size) == 0) limit = reinterpret_cast<uintptr_t>(lowest);
    pthread_attr_destroy(&attributes);
  }
  gStackLimit = limit;
  return limit;
}
