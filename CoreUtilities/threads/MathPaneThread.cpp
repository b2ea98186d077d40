#include "CoreUtilities/threads/MathPaneThread.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>

#include "CoreUtilities/threads/MathPaneDocument.h"
#include "CoreUtilities/threads/ThreadLocalState.h"

std::atomic<int32_t> gCancelEvaluationForMathPaneResultsEvalThreads{0};

namespace {

// Guards the queue, the document being computed and the raising of the
// cancel flag. Lock order: this mutex before a document's own.
std::mutex gMathPaneQueueMutex;
std::condition_variable gMathPaneQueueCond;
std::deque<AMathPaneDocument*> gMathPaneQueue;
AMathPaneDocument* gMathPaneCurrentDocument = nullptr;
bool gStopMathPaneThread = false;
std::thread gMathPaneThread;

void SetCancelFlag(int32_t value) {
  gCancelEvaluationForMathPaneResultsEvalThreads.store(value, std::memory_order_relaxed);
}

AMathPaneDocument* TakeNextDocument() {
  std::unique_lock lock(gMathPaneQueueMutex);
  gMathPaneQueueCond.wait(lock, [] { return gStopMathPaneThread || !gMathPaneQueue.empty(); });
  if (gStopMathPaneThread) return nullptr;
  AMathPaneDocument* document = gMathPaneQueue.front();
  gMathPaneQueue.pop_front();
  document->fMathPaneState.store(kMathPaneResultsBeingComputed, std::memory_order_release);
  gMathPaneCurrentDocument = document;
  return document;
}

// The document is marked done while it is still the current one, so a
// canceller that saw it current finds it done before it may free it.
void FinishDocument(AMathPaneDocument* document) {
  std::lock_guard lock(gMathPaneQueueMutex);
  {
    OurLock documentLock(document->fMathPaneMutex);
    document->fMathPaneState.store(kMathPaneResultsDone, std::memory_order_release);
    document->fMathPaneCondition.Broadcast();
  }
  gMathPaneCurrentDocument = nullptr;
  SetCancelFlag(0);
}

void MathPaneConsumer() {
  SetThisIsMathPaneResultsThread();
  while (AMathPaneDocument* document = TakeNextDocument()) {
    ReallocateThreadLocalVariablesIfNecessary();
    document->ThreadedCalculateMathPaneResultStrings();
    FinishDocument(document);
  }
}

}  // namespace

void DoThreadedMathPaneCalculations(AMathPaneDocument* document) {
  if (!document) return;
  document->CompileDocumentFunctions();
  std::lock_guard lock(gMathPaneQueueMutex);
  if (std::find(gMathPaneQueue.begin(), gMathPaneQueue.end(), document) != gMathPaneQueue.end()) return;
  gMathPaneQueue.push_back(document);
  gMathPaneQueueCond.notify_all();
}

void CancelThreadedMathPaneCalculations(AMathPaneDocument* document) {
  if (!document) return;
  bool computing = false;
  {
    std::lock_guard lock(gMathPaneQueueMutex);
    std::erase(gMathPaneQueue, document);
    computing = gMathPaneCurrentDocument == document;
    if (computing) SetCancelFlag(1);
  }
  if (!computing) return;
  OurLock lock(document->fMathPaneMutex);
  document->fMathPaneCondition.Wait(lock, [document] {
    return document->fMathPaneState.load(std::memory_order_acquire) != kMathPaneResultsBeingComputed;
  });
}

void StartMathPaneThread() {
  if (gMathPaneThread.joinable()) return;
  gStopMathPaneThread = false;
  try {
    gMathPaneThread = std::thread(MathPaneConsumer);
  } catch (const std::system_error&) {
    // Without the thread, queued documents simply wait; cancelling still
    // takes them off.
  }
}

void StopMathPaneThread() {
  if (!gMathPaneThread.joinable()) return;
  {
    std::lock_guard lock(gMathPaneQueueMutex);
    gStopMathPaneThread = true;
    gMathPaneQueue.clear();
    if (gMathPaneCurrentDocument) SetCancelFlag(1);
    gMathPaneQueueCond.notify_all();
  }
  gMathPaneThread.join();
  gMathPaneThread = std::thread();
}
