#include "graphs2d/GraphJobs.h"

#include "CoreUtilities/ErrorQueue.h"
#include "CoreUtilities/ProcessorCount.h"
#include "graphpane/AGraph.h"
#include "graphpane/AGraphColor.h"
#include "graphpane/GraphHooks.h"
#include "graphs2d/AListofFrames.h"

GraphJobs::GraphJobs(AGraph* graph, Split split)
    : fGraph(graph), fCount(split == kOneJob ? 1 : OurNumberOfProcessors()) {
  fJobs = OurAllocateJobs(graph, fCount);
  if (fJobs == nullptr) {
    fCount = 0;
    QueueError(kOutOfMemoryError);
  }
  fDone = new bool[fCount > 0 ? fCount : 1]();
}

GraphJobs::~GraphJobs() {
  Stop(nullptr, {});
  delete[] fJobs;
  delete[] fDone;
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
  if (fCount > 0) OurSubmitJobs(fJobs, fCount);
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
  if (slice < 0 || slice >= fCount || Cancelled() || fDone[slice]) return status;
  fDone[slice] = true;
  if (AreAllComputeThreadsFinished(fDone, fCount)) PaneHooks::NotifyWindowGraphFinished(document);
  return status;
}

void GraphJobs::ForgetDone() {
  OurLock lock(fMutex);
  for (int32_t i = 0; i < fCount; ++i) fDone[i] = false;
}

void GraphJobs::DependOn(AComputeTarget* source) {
  for (int32_t i = 0; i < fCount; ++i) fJobs[i].dependsOn = source;
}

bool GraphJobs::AllDone() {
  OurLock lock(fMutex);
  return AreAllComputeThreadsFinished(fDone, fCount);
}
