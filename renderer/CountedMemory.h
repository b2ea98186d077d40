#pragma once

#include <cstddef>
#include <memory>

#include "CoreUtilities/memory/MemoryBudget.h"

// An array counted against the memory budget, given back with its handle.
struct CountedMemoryDeleter {
  void operator()(void* block) const { OurDisposeMemory(block); }
};

template <typename T>
using CountedArray = std::unique_ptr<T[], CountedMemoryDeleter>;

// Null when the budget refuses it.
template <typename T>
CountedArray<T> NewCountedArray(size_t count, bool zeroFill = false) {
  return CountedArray<T>(static_cast<T*>(OurAllocateMemory(count * sizeof(T), zeroFill)));
}
