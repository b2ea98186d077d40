#pragma once

#include "CoreUtilities/memory/ListGrowth.h"
#include "CoreUtilities/memory/MemoryBudget.h"

#include <cstdint>
#include <type_traits>

// A growable contiguous array of records, copied bytewise, with its memory
// from the budget. Add and Insert return 0, or 1 with the list unchanged
// when memory is refused or the position is out of range.
template <typename T>
class AListGenericSmall {
  static_assert(std::is_trivially_copyable_v<T>, "records are copied bytewise");

 public:
  AListGenericSmall() = default;
  ~AListGenericSmall() { RemoveAllElements(); }
  AListGenericSmall(const AListGenericSmall&) = delete;
  AListGenericSmall& operator=(const AListGenericSmall&) = delete;

  int Add(const T& record) { return Insert(record, fCount); }

  int Insert(const T& record, int32_t position) {
    if (position < 0 || position > fCount) return 1;
    if (fCount == fCapacity && !Grow()) return 1;
    OurCopyMemory(fItems + position + 1, fItems + position, size_t(fCount - position) * sizeof(T));
    OurCopyMemory(fItems + position, &record, sizeof(T));
    ++fCount;
    return 0;
  }

  // Later entries move down; an index out of range does nothing.
  void Remove(int32_t position) {
    if (position < 0 || position >= fCount) return;
    OurCopyMemory(fItems + position, fItems + position + 1, size_t(fCount - position - 1) * sizeof(T));
    --fCount;
  }

  void RemoveAllElements() {
    OurDisposeMemory(fItems);
    fItems = nullptr;
    fCount = fCapacity = 0;
  }

  int32_t Count() const { return fCount; }
  int32_t Capacity() const { return fCapacity; }

  // Index must be below Count().
  T& operator[](int32_t index) { return fItems[index]; }
  const T& operator[](int32_t index) const { return fItems[index]; }

  // Null when the index is out of range.
  T* At(int32_t index) { return index >= 0 && index < fCount ? fItems + index : nullptr; }
  const T* At(int32_t index) const { return index >= 0 && index < fCount ? fItems + index : nullptr; }

  T* begin() { return fItems; }
  T* end() { return fItems + fCount; }
  const T* begin() const { return fItems; }
  const T* end() const { return fItems + fCount; }

 private:
  bool Grow() {
    const int32_t capacity = NextListCapacity(fCapacity);
    if (capacity == 0) return false;
    T* items = static_cast<T*>(OurAllocateMemory(size_t(capacity) * sizeof(T), false));
    if (!items) return false;
    OurCopyMemory(items, fItems, size_t(fCount) * sizeof(T));
    OurDisposeMemory(fItems);
    fItems = items;
    fCapacity = capacity;
    return true;
  }

  T* fItems = nullptr;
  int32_t fCount = 0;
  int32_t fCapacity = 0;
};
