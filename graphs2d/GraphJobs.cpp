#include "graphs2d/GraphJobs.h"

#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/threads/ProcessorCount.h"
#include "graphpane/AGraph.h"
#include "graphpane/AGraphColor.h"
#include "graphpane/GraphHooks.h"
#include "graphs2d/AListofFrames.h"

int32_t GraphJobs::CountFor(Split split) {
  const int32_t processors = OurNumberOfProcessors();
  switch (split) {
    case kOneJob: return 1;
    case kOnePerProcessor: return processors;
    case kTwicePerProcessor: return processors == 1 ? 1 : 2 * processors;
  }
  return 1;
}

GraphJobs::GraphJobs(AGraph* graph, Split split) : GraphJobs(graph, CountFor(split)) {}

GraphJobs::GraphJobs(AGraph* graph, int32_t count) : fGraph(graph), fCount(count < 1 ? 1 : count) {
  fJobs.reset(OurAllocateJobs(graph, fCount));
  if (fJobs == nullptr) {
    fCount = 0;
    QueueError(kOutOfMemoryError);
  }
  fDone = std::make_unique<bool[]>(static_cast<size_t>(fCount > 0 ? fCount : 1));
}

GraphJobs::~GraphJobs() { Stop(nullptr, {}); }

void GraphJobs::DependOn(AComputeTarget* graph) {
  for (int32_t i = 0; i < fCount; ++i) fJobs[i].dependsOn = graph;
}

void GraphJobs::Submit(AGraphColor* colour, std::initializer_list<AnExpression*> expressions) {
  if (colour) AGraphColor::ClearCancelFlag(colour);
  for (AnExpression* e : expressions) {
    if (e) e->SetCancel(false);
  }
  {
    OurLock lock(fMutex);
    for (int32_t i = 0; i < fCount; ++i) fDone[i] = false;
  }
  fCancel.store(false, std::memory_order_release);
  if (fCount > 0) OurSubmitJobs(fJobs.get(), fCount);
}

void GraphJobs::Stop(AGraphColor* colour, std::initializer_list<AnExpression*> expressions) {
  fCancel.store(true, std::memory_order_release);
  if (colour) AGraphColor::Cancel(colour);
  for (AnExpression* e : expressions) {
    if (e) e->SetCancel(true);
  }
  OurCancelJobs(fGraph);
  for (int32_t i = 0; i < fCount; ++i) OurWaitforJobToFinish(&fJobs[i]);
}

int32_t GraphJobs::Finish(int32_t slice, int32_t status, DocumentRecord* document) {
  if (status != kJobFinished && status != kJobNothingToCompute) return status;
  // Under the lock, so that no notification slips in once Stop has begun.
  OurLock lock(fMutex);
  // The flag itself: a poll hook must never hold a slice under the lock.
  if (slice < 0 || slice >= fCount || fCancel.load(std::memory_order_acquire) || fDone[slice]) return status;
  fDone[slice] = true;
  if (AreAllComputeThreadsFinished(fDone.get(), fCount)) PaneHooks::NotifyWindowGraphFinished(document);
  return status;
}

void GraphJobs::ForgetDone() {
  OurLock lock(fMutex);
  for (int32_t i = 0; i < fCount; ++i) fDone[i] = false;
}

bool GraphJobs::AllDone() {
  OurLock lock(fMutex);
  return AreAllComputeThreadsFinished(fDone.get(), fCount);
}
