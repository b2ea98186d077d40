#include "CoreUtilities/threads/ProcessorCount.h"

#include <sched.h>

#include <atomic>
#include <thread>

namespace {

std::atomic<int> gProcessorCount{0};

int AskSystem() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) == 0) {
    const int count = CPU_COUNT(&set);
    if (count > 0) return count;
  }
  const unsigned hardware = std::thread::hardware_concurrency();
  return hardware > 0 ? static_cast<int>(hardware) : 1;
}

}  // namespace

int OurNumberOfProcessors() {
  int count = gProcessorCount.load(std::memory_order_acquire);
  if (count <= 0) {
    count = AskSystem();
    gProcessorCount.store(count, std::memory_order_release);
  }
  return count;
}

void DebugSetNumProcessors(int count) { gProcessorCount.store(count > 0 ? count : 0, std::memory_order_release); }
