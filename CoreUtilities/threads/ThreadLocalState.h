#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

// Per-thread state read by the compiler and the interpreters.

// Thread-kind flags: the graph-view thread evaluates for the interface, the
// math-pane thread computes result strings, an expansion thread expands a
// document's definitions.
bool IsUIThread();
namespace thread_kinds {
extern constinit thread_local bool tIsMathResultsThread;
}
// Inline: the node pools ask it for every block.
inline bool IsMathPaneResultsThread() { return thread_kinds::tIsMathResultsThread; }
bool IsComputeExpandedExprsThread();
void SetThisIsUIThread();
void SetThisIsMathPaneResultsThread();
void SetThisIsComputeExpandedExprsThread();

// One slot per variable id, wide enough for the widest value type (four
// doubles); an interpreter indexes the array with its own value type.
inline constexpr std::size_t kVariableSlotBytes = 32;

// The calling thread's variable array: null before its first
// ReallocateThreadLocalVariablesIfNecessary. Values are uninitialised.
void* GetThreadLocalVariables();

// Raises the slot count every thread must have to n (it only grows) and
// regrows the calling thread's array; other threads catch up before their
// next job.
void CheckgVariablesSize(int32_t n);
// Gives the calling thread a fresh array of GetMaxVariableCount() slots when
// its own is smaller; old values are not kept.
void ReallocateThreadLocalVariablesIfNecessary();
int32_t GetMaxVariableCount();

// What CurrentThreadLocalVariables reads inline. The array is owned out of
// line and released when the thread ends. Local-exec and hidden, as every
// program that links it is an executable: each is then read straight at
// its address; in the general model the read is a call, and an
// evaluation's entry would save its arguments around it. A thread without
// an array counts -1 slots, so that a count as large as the one wanted
// always comes with an array.
struct ThreadVariableArray {
  void* slots;
  int32_t count;
};
extern constinit thread_local ThreadVariableArray gThreadVariableArray [[gnu::tls_model("local-exec")]];
extern std::atomic<int32_t> gMaxVariables [[gnu::visibility("hidden")]];  // only grows

// The calling thread's array when it needs no regrowing, else null.
inline void* ThreadLocalVariablesIfCurrent() {
  const ThreadVariableArray array = gThreadVariableArray;
  if (array.count < gMaxVariables.load(std::memory_order_acquire)) return nullptr;
  if (array.slots == nullptr) __builtin_unreachable();
  return array.slots;
}

// The calling thread's array, regrown first when a program compiled since
// needs more slots: the same as ReallocateThreadLocalVariablesIfNecessary
// then GetThreadLocalVariables, and on every evaluation's path, so the
// test of a current array is made here without a call.
inline void* CurrentThreadLocalVariables() {
  if (void* slots = ThreadLocalVariablesIfCurrent()) [[likely]]
    return slots;
  ReallocateThreadLocalVariablesIfNecessary();
  return gThreadVariableArray.slots;
}

// The calling thread's compiler scratch record, zero-filled on first use
// from the memory budget and released when the thread ends. Later sizes are
// not looked at. Null when the budget refuses.
void* GetThreadLocalStackMachineConstructorGlobals(std::size_t size);
