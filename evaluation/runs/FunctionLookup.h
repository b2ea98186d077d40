#pragma once

// The program a call of a document function runs, looked up through the
// document's hook once per thread and change of the functions: the runs of
// the program that calls then read it without a lock or a call.

#include <atomic>
#include <cstdint>

class AStackMachine;
class DocumentRecord;

// Counts the changes of any document's functions (a list made, changed,
// compiled or destroyed); the document raises it after each, so that every
// thread's remembered programs go stale at once.
extern std::atomic<uint64_t> gFunctionsGeneration;
void DocumentFunctionsChanged();

struct RememberedFunction {
  const DocumentRecord* document;
  int32_t index;
  uint64_t generation;  // 0: nothing remembered
  AStackMachine* program;
};
inline constexpr uint32_t kRememberedFunctions = 8;
extern constinit thread_local RememberedFunction gRememberedFunctions[kRememberedFunctions];

// Asks the document and remembers its answer for `generation`.
[[gnu::noinline]] AStackMachine* RememberFunction(int32_t index, DocumentRecord* document, uint64_t generation);

[[gnu::always_inline]] inline AStackMachine* DocumentFunctionProgram(int32_t index, DocumentRecord* document) {
  // Read before the lookup: a change during it leaves what is remembered
  // stale, never wrongly current.
  const uint64_t generation = gFunctionsGeneration.load(std::memory_order_acquire);
  const RememberedFunction& remembered = gRememberedFunctions[static_cast<uint32_t>(index) % kRememberedFunctions];
  if (remembered.generation == generation && remembered.document == document && remembered.index == index) [[likely]] {
    return remembered.program;
  }
  return RememberFunction(index, document, generation);
}
