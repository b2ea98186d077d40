#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

// Every block a computation takes is counted against a budget derived from
// physical memory, so that a graph too large for the machine fails with a
// message instead of driving the machine into swap or the kernel's OOM killer.

// Bytes of physical memory the budget is derived from. Start-up replaces the
// default with the machine's figure (InitializePhysicalMemory).
extern std::atomic<double> gPhysicalMemory;

// Bytes currently counted: each block at the size the heap reports for it.
extern std::atomic<int64_t> gApproximateTotalMemoryUsed;

// Set to 1 when a computation must stop (memory or stack exhausted); the
// code that starts a computation clears it.
extern std::atomic<int32_t> gMathError;

// The larger of 3/4 of physical memory and physical memory less 300 MB.
int64_t PlainMemoryLimit();
// The larger of 1/2 of physical memory and physical memory less 400 MB.
int64_t HandleMemoryLimit();

// A request is granted only when the total plus its size stays within the
// plain limit. Sizes of 0, or above PTRDIFF_MAX (a negative count converted
// to size_t), are refused. Null when refused or when the heap fails; a
// refused or failed request leaves the total unchanged.
void* OurAllocateMemory(size_t size, bool zeroFill);
void OurDisposeMemory(void* block);

void OurZeroMemory(void* block, size_t byteCount);
// The ranges may overlap.
void OurCopyMemory(void* destination, const void* source, size_t byteCount);

// A block whose data is reached through the record, counted like the plain
// blocks but against the handle limit. Its data is never purged or moved.
struct RelocatableBlock {
  void* data;
  size_t size;
};

RelocatableBlock* OurAllocateMemoryPurgeable(size_t size);
RelocatableBlock* NewHandleTempOrAppRespectingMargins(size_t size);
void* OurLockMemoryPurgeable(RelocatableBlock* block);
void OurUnlockMemoryPurgeable(RelocatableBlock* block);
void OurDisposeMemoryPurgeable(RelocatableBlock* block);

// For long loops: true when gMathError is set, or when the total is above the
// plain limit (then message 36 is queued and gMathError set).
bool IsDesperatelyLowOnMemory();

// On entry to each level of a deep recursion: 1 = stop (gMathError is then
// set), 0 = go on. A stack shortage queues no message; a memory shortage
// queues message 36.
int MATH_MemCheckInRecursion();
