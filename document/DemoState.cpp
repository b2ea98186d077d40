#include "document/DemoState.h"

#include <atomic>

namespace {
std::atomic<bool> gDemoRunning{false};
}

bool IsDemoRunning() { return gDemoRunning.load(std::memory_order_acquire); }
void SetDemoRunning(bool running) { gDemoRunning.store(running, std::memory_order_release); }
