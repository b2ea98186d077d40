#include "document/DemoState.h"

#include <atomic>

#include "document/DocumentRecord.h"

namespace {
std::atomic<bool> gDemoRunning{false};
}

bool IsDemoRunning() { return gDemoRunning.load(std::memory_order_acquire); }
void SetDemoRunning(bool running) { gDemoRunning.store(running, std::memory_order_release); }

bool IsDemoPaused(DocumentRecord* document) { return document != nullptr && document->fDemoPaused; }
void SetDemoPaused(DocumentRecord* document, bool paused) {
  if (document) document->fDemoPaused = paused;
}

bool IsDemoTyping(const DocumentRecord* document) { return document != nullptr && document->fDemoTyping; }
void SetDemoTyping(DocumentRecord* document, bool typing) {
  if (document) document->fDemoTyping = typing;
}
