#include "CoreUtilities/memory/MemoryBudget.h"

#include "CoreUtilities/threads/ComputationDeadline.h"
#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/memory/StackSpace.h"

#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

std::atomic<double> gPhysicalMemory{1'000'000'000.0};
std::atomic<int64_t> gApproximateTotalMemoryUsed{0};
std::atomic<int32_t> gMathError{0};

namespace {

constexpr double kPlainMargin = 314'572'800.0;   // 300 MB
constexpr double kHandleMargin = 419'430'400.0;  // 400 MB

int64_t LimitOf(double share, double margin) {
  const double physical = gPhysicalMemory.load(std::memory_order_relaxed);
  const double limit = std::max(share * physical, physical - margin);
  if (!(limit > 0.0)) return 0;  // NaN too
  if (limit >= 9.2e18) return INT64_MAX;
  return static_cast<int64_t>(limit);
}

// Counts the request before the heap is asked, so that concurrent callers
// cannot together pass the limit.
bool Reserve(int64_t size, int64_t limit) {
  int64_t total = gApproximateTotalMemoryUsed.load(std::memory_order_relaxed);
  do {
    if (total > limit - size) return false;
  } while (!gApproximateTotalMemoryUsed.compare_exchange_weak(total, total + size, std::memory_order_relaxed));
  return true;
}

void* AllocateCounted(size_t size, bool zeroFill, int64_t limit) {
  if (size == 0 || size > static_cast<size_t>(PTRDIFF_MAX)) return nullptr;
  const auto requested = static_cast<int64_t>(size);
  if (!Reserve(requested, limit)) return nullptr;
  void* block = zeroFill ? std::calloc(1, size) : std::malloc(size);
  // Disposal can only learn the heap's size for the block, so that is the
  // size counted; a failed request is counted at nothing.
  const int64_t counted = block ? static_cast<int64_t>(malloc_usable_size(block)) : 0;
  gApproximateTotalMemoryUsed.fetch_add(counted - requested, std::memory_order_relaxed);
  return block;
}

void UncountAndFree(void* block) {
  gApproximateTotalMemoryUsed.fetch_sub(static_cast<int64_t>(malloc_usable_size(block)), std::memory_order_relaxed);
  std::free(block);
}

bool IsTotalAbovePlainLimit() {
  return gApproximateTotalMemoryUsed.load(std::memory_order_relaxed) > PlainMemoryLimit();
}

bool IsUsableCount(const void* block, size_t byteCount) {
  return block != nullptr && byteCount > 0 && byteCount <= static_cast<size_t>(PTRDIFF_MAX);
}

}  // namespace

int64_t PlainMemoryLimit() { return LimitOf(0.75, kPlainMargin); }

int64_t HandleMemoryLimit() { return LimitOf(0.5, kHandleMargin); }

void* OurAllocateMemory(size_t size, bool zeroFill) { return AllocateCounted(size, zeroFill, PlainMemoryLimit()); }

void OurDisposeMemory(void* block) {
  if (block) UncountAndFree(block);
}

void OurZeroMemory(void* block, size_t byteCount) {
  if (IsUsableCount(block, byteCount)) std::memset(block, 0, byteCount);
}

void OurCopyMemory(void* destination, const void* source, size_t byteCount) {
  if (IsUsableCount(destination, byteCount) && source) std::memmove(destination, source, byteCount);
}

RelocatableBlock* OurAllocateMemoryPurgeable(size_t size) {
  void* data = AllocateCounted(size, false, HandleMemoryLimit());
  if (!data) return nullptr;
  auto* block = new (std::nothrow) RelocatableBlock{data, size};
  if (!block) UncountAndFree(data);
  return block;
}

RelocatableBlock* NewHandleTempOrAppRespectingMargins(size_t size) { return OurAllocateMemoryPurgeable(size); }

void* OurLockMemoryPurgeable(RelocatableBlock* block) { return block ? block->data : nullptr; }

void OurUnlockMemoryPurgeable(RelocatableBlock*) {}

void OurDisposeMemoryPurgeable(RelocatableBlock* block) {
  if (!block) return;
  UncountAndFree(block->data);
  delete block;
}

bool IsDesperatelyLowOnMemory() {
  if (gMathError.load() != 0) return true;
  if (!IsTotalAbovePlainLimit()) return false;
  QueueError(kOutOfMemoryError);
  gMathError.store(1);
  return true;
}

int MATH_MemCheckInRecursion() {
  if (gMathError.load() != 0 || ComputationDeadlinePassed()) return 1;
  if (!OurStackSpace(0)) {
    gMathError.store(1);
    return 1;
  }
  return IsDesperatelyLowOnMemory() ? 1 : 0;
}
