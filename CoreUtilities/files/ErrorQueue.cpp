#include "CoreUtilities/files/ErrorQueue.h"

#include <atomic>
#include <cstdint>

namespace {

// Low half: the pending id (0 = none). High half: bit k set = id 36 + k was
// queued and not re-armed. One word, so every thread's update is one
// compare-and-set and no combination of the two halves is ever torn.
std::atomic<uint64_t> gErrorState{0};

constexpr int kFirstOnceOnlyId = 36;
constexpr int kLastOnceOnlyId = 67;

uint64_t ReportedBit(int id) {
  if (id < kFirstOnceOnlyId || id > kLastOnceOnlyId) return 0;
  return uint64_t{1} << (32 + (id - kFirstOnceOnlyId));
}

int PendingOf(uint64_t state) { return static_cast<int32_t>(state & 0xFFFFFFFFu); }

uint64_t WithPending(uint64_t state, int id) { return (state & ~uint64_t{0xFFFFFFFFu}) | static_cast<uint32_t>(id); }

}  // namespace

void QueueError(int messageId) {
  const uint64_t bit = ReportedBit(messageId);
  uint64_t state = gErrorState.load(std::memory_order_acquire);
  for (;;) {
    if (state & bit) return;
    const int pending = PendingOf(state);
    if (pending > 0 && messageId >= pending) return;
    const uint64_t next = WithPending(state, messageId) | bit;
    if (gErrorState.compare_exchange_weak(state, next, std::memory_order_acq_rel)) return;
  }
}

void EnableError(int messageId) { gErrorState.fetch_and(~ReportedBit(messageId), std::memory_order_acq_rel); }

bool IsDeferredErrorWaiting() { return PendingOf(gErrorState.load(std::memory_order_acquire)) > 0; }

int TakeDeferredError() {
  uint64_t state = gErrorState.load(std::memory_order_acquire);
  for (;;) {
    const int pending = PendingOf(state);
    if (pending <= 0) return 0;
    if (gErrorState.compare_exchange_weak(state, WithPending(state, 0), std::memory_order_acq_rel)) return pending;
  }
}

void ResetDeferredErrors() { gErrorState.store(0, std::memory_order_release); }
