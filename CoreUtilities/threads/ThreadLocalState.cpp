#include "CoreUtilities/threads/ThreadLocalState.h"

#include <atomic>
#include <memory>

#include "CoreUtilities/memory/MemoryBudget.h"

constinit thread_local bool thread_kinds::tIsMathResultsThread = false;

namespace {

struct alignas(16) VariableSlot {
  unsigned char bytes[kVariableSlotBytes];
};

thread_local bool tIsUIThread = false;
thread_local bool tIsComputeExpandedThread = false;
// Owns the array gThreadVariableArray names; the owner's destructor, registered
// with the first array of the thread, frees it.
thread_local std::unique_ptr<VariableSlot[]> tVariables;

class CompilerScratch {
 public:
  CompilerScratch() = default;
  CompilerScratch(const CompilerScratch&) = delete;
  CompilerScratch& operator=(const CompilerScratch&) = delete;
  ~CompilerScratch() { OurDisposeMemory(fBlock); }

  void* Get(std::size_t size) {
    if (!fBlock) fBlock = OurAllocateMemory(size, true);
    return fBlock;
  }

 private:
  void* fBlock = nullptr;
};

thread_local CompilerScratch tCompilerScratch;

}  // namespace

// Read by workers without a lock before each job.
std::atomic<int32_t> gMaxVariables{0};
constinit thread_local ThreadVariableArray gThreadVariableArray [[gnu::tls_model("local-exec")]]{nullptr, -1};

bool IsUIThread() { return tIsUIThread; }
bool IsComputeExpandedExprsThread() { return tIsComputeExpandedThread; }
void SetThisIsUIThread() { tIsUIThread = true; }
void SetThisIsMathPaneResultsThread() { thread_kinds::tIsMathResultsThread = true; }
void SetThisIsComputeExpandedExprsThread() { tIsComputeExpandedThread = true; }

void* GetThreadLocalVariables() { return gThreadVariableArray.slots; }

void ReallocateThreadLocalVariablesIfNecessary() {
  const int32_t wanted = gMaxVariables.load(std::memory_order_acquire);
  if (gThreadVariableArray.slots != nullptr && gThreadVariableArray.count >= wanted) return;
  gThreadVariableArray = {nullptr, -1};
  tVariables.reset();
  // Zeroed: programs read slots (the table row, 11) that a caller may not fill.
  tVariables = std::make_unique<VariableSlot[]>(static_cast<std::size_t>(wanted));
  gThreadVariableArray = {tVariables.get(), wanted};
}

void CheckgVariablesSize(int32_t n) {
  int32_t current = gMaxVariables.load(std::memory_order_relaxed);
  while (current < n && !gMaxVariables.compare_exchange_weak(current, n, std::memory_order_acq_rel)) {
  }
  ReallocateThreadLocalVariablesIfNecessary();
}

int32_t GetMaxVariableCount() { return gMaxVariables.load(std::memory_order_acquire); }

void* GetThreadLocalStackMachineConstructorGlobals(std::size_t size) { return tCompilerScratch.Get(size); }
