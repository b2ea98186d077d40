#pragma once

#include "CoreUtilities/memory/ListGrowth.h"
#include "CoreUtilities/memory/MemoryBudget.h"

#include <cstdint>
#include <memory>
#include <new>
#include <type_traits>

// A growable list of records kept in zero-filled chunks of 2^N records, so
// a stored record never moves and growing copies only the chunk table.
// Record i lives in chunk i >> N at position i & (2^N - 1). All memory comes
// from the budget.
template <typename T, int N>
class AListGenericLarge {
  static_assert(std::is_trivially_copyable_v<T>, "records are copied bytewise");
  static_assert(N >= 0 && N <= 20, "chunk exponent out of range");

 public:
  static constexpr int32_t kChunkRecords = int32_t{1} << N;

  AListGenericLarge() = default;
  ~AListGenericLarge() { RemoveAllElements(); }
  AListGenericLarge(const AListGenericLarge&) = delete;
  AListGenericLarge& operator=(const AListGenericLarge&) = delete;

  // 0, or 1 with nothing added when memory for a chunk or a larger table is
  // refused.
  int Add(const T& record) {
    if (fCount == INT32_MAX) return 1;
    if ((fChunkCount == 0 || fUsedInLastChunk == kChunkRecords) && !AppendChunk()) return 1;
    OurCopyMemory(fChunks[fChunkCount - 1] + fUsedInLastChunk, &record, sizeof(T));
    ++fUsedInLastChunk;
    ++fCount;
    return 0;
  }

  void RemoveAllElements() {
    for (int32_t i = 0; i < fChunkCount; ++i) OurDisposeMemory(fChunks[i]);
    OurDisposeMemory(fChunks);
    OurDisposeMemory(fSpareChunk);
    fChunks = nullptr;
    fSpareChunk = nullptr;
    fChunkCount = fTableCapacity = fUsedInLastChunk = fCount = 0;
  }

  // An independent copy, or null (the partial copy released) when memory
  // is refused.
  std::unique_ptr<AListGenericLarge> Clone() const {
    std::unique_ptr<AListGenericLarge> copy(new (std::nothrow) AListGenericLarge);
    if (!copy || fChunkCount == 0) return copy;
    copy->fChunks = static_cast<T**>(OurAllocateMemory(size_t(fTableCapacity) * sizeof(T*), false));
    if (!copy->fChunks) return nullptr;
    copy->fTableCapacity = fTableCapacity;
    for (int32_t i = 0; i < fChunkCount; ++i) {
      T* chunk = static_cast<T*>(OurAllocateMemory(kChunkBytes, false));
      if (!chunk) return nullptr;
      OurCopyMemory(chunk, fChunks[i], kChunkBytes);
      copy->fChunks[copy->fChunkCount++] = chunk;
    }
    copy->fUsedInLastChunk = fUsedInLastChunk;
    copy->fCount = fCount;
    return copy;
  }

  int32_t Count() const { return fCount; }

  // Index must be below Count().
  T& operator[](int32_t index) { return fChunks[index >> N][index & (kChunkRecords - 1)]; }
  const T& operator[](int32_t index) const { return fChunks[index >> N][index & (kChunkRecords - 1)]; }

  // Null when the index is out of range.
  T* At(int32_t index) { return index >= 0 && index < fCount ? &(*this)[index] : nullptr; }
  const T* At(int32_t index) const { return index >= 0 && index < fCount ? &(*this)[index] : nullptr; }

 private:
  static constexpr size_t kChunkBytes = sizeof(T) << N;

  bool AppendChunk() {
    T* chunk = fSpareChunk;
    fSpareChunk = nullptr;
    if (!chunk) chunk = static_cast<T*>(OurAllocateMemory(kChunkBytes, true));
    if (!chunk) return false;
    if (fChunkCount == fTableCapacity && !GrowTable()) {
      // Kept, still zero-filled, for the next attempt.
      fSpareChunk = chunk;
      return false;
    }
    fChunks[fChunkCount++] = chunk;
    fUsedInLastChunk = 0;
    return true;
  }

  bool GrowTable() {
    const int32_t capacity = NextListCapacity(fTableCapacity);
    if (capacity == 0) return false;
    T** table = static_cast<T**>(OurAllocateMemory(size_t(capacity) * sizeof(T*), false));
    if (!table) return false;
    OurCopyMemory(table, fChunks, size_t(fChunkCount) * sizeof(T*));
    OurDisposeMemory(fChunks);
    fChunks = table;
    fTableCapacity = capacity;
    return true;
  }

  T** fChunks = nullptr;
  int32_t fChunkCount = 0;
  int32_t fTableCapacity = 0;
  T* fSpareChunk = nullptr;
  int32_t fUsedInLastChunk = 0;
  int32_t fCount = 0;
};
