#pragma once

#include <cstddef>
#include <cstdint>
#include <new>

#include "CoreUtilities/memory/ListGrowth.h"
#include "CoreUtilities/memory/MemoryBudget.h"

// A standard container's memory counted against the budget, like every
// block a computation takes: a request the budget refuses throws
// std::bad_alloc, as the heap's own refusal would.
template <typename T>
struct BudgetAllocator {
  using value_type = T;

  BudgetAllocator() = default;
  template <typename U>
  BudgetAllocator(const BudgetAllocator<U>& /*other*/) {}

  T* allocate(size_t count) {
    if (count > PTRDIFF_MAX / sizeof(T)) throw std::bad_array_new_length();
    void* block = OurAllocateMemory(count * sizeof(T), false);
    if (block == nullptr) throw std::bad_alloc();
    return static_cast<T*>(block);
  }
  void deallocate(T* block, size_t /*count*/) { OurDisposeMemory(block); }

  friend bool operator==(const BudgetAllocator& /*a*/, const BudgetAllocator& /*b*/) { return true; }
};

// Room for one more entry in a container of budgeted memory, which grows
// as a list does (ListGrowth.h); false, the container unchanged, when the
// budget refuses.
template <typename Container>
bool RoomForOneMore(Container& container) {
  if (container.size() < container.capacity()) return true;
  const int32_t capacity = NextListCapacity(static_cast<int32_t>(container.capacity()));
  if (capacity == 0) return false;
  try {
    container.reserve(static_cast<size_t>(capacity));
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}
