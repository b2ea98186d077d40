#include "CoreUtilities/threads/JobQueue.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include "CoreUtilities/threads/ProcessorCount.h"
#include "CoreUtilities/threads/ThreadLocalState.h"

namespace {

// Runnable jobs, and jobs parked until their dependsOn graph is done; both
// guarded by gWorkQueueMutex. A job's own mutex is never taken while this
// one is held.
std::mutex gWorkQueueMutex;
std::condition_variable gWorkQueueCond;
std::deque<AJob*> gWorkQueue;
std::deque<AJob*> gWaitQueue;
bool gCancelComputeThreads = false;

// Serialises start and stop, so a restart joins exactly the workers that
// were started.
std::mutex gPoolMutex;
std::vector<std::thread> gThreads;

int32_t FinalState(int32_t status) {
  switch (status) {
    case kJobFinished:
    case kJobCancelled:
    case kJobNothingToCompute: return status;
    default: return kJobCancelled;
  }
}

bool IsSettled(int32_t state) { return state == kJobIdle || state >= kJobFinished; }

// Called with gWorkQueueMutex held: the next job that may run now, or null
// after parking one whose dependsOn graph is not done.
AJob* TakeRunnableJob() {
  AJob* job = gWorkQueue.front();
  gWorkQueue.pop_front();
  if (job->dependsOn && !job->dependsOn->IsDoneComputing()) {
    gWaitQueue.push_back(job);
    return nullptr;
  }
  job->state.store(kJobRunning, std::memory_order_relaxed);
  return job;
}

void RequeueJobsWaitingFor(AComputeTarget* graph) {
  std::lock_guard lock(gWorkQueueMutex);
  bool moved = false;
  for (auto it = gWaitQueue.begin(); it != gWaitQueue.end();) {
    if ((*it)->dependsOn == graph) {
      gWorkQueue.push_back(*it);
      it = gWaitQueue.erase(it);
      moved = true;
    } else {
      ++it;
    }
  }
  // Waking idle workers for nothing would cost every job a stampede.
  if (moved) gWorkQueueCond.notify_all();
}

void PublishFinalState(AJob* job, int32_t status) {
  OurLock lock(job->mutex);
  job->state.store(status, std::memory_order_release);
  job->condition.Broadcast();
}

void WorkQueueConsumer() {
  for (;;) {
    AJob* job = nullptr;
    {
      std::unique_lock lock(gWorkQueueMutex);
      gWorkQueueCond.wait(lock, [] { return gCancelComputeThreads || !gWorkQueue.empty(); });
      if (gCancelComputeThreads) return;
      job = TakeRunnableJob();
    }
    if (!job) continue;
    ReallocateThreadLocalVariablesIfNecessary();
    // Read before the final state is published: from then on the owner may
    // free the job.
    AComputeTarget* graph = job->graph;
    const int32_t status = FinalState(graph->Compute(job->index));
    RequeueJobsWaitingFor(graph);
    PublishFinalState(job, status);
  }
}

void StartWorkersLocked() {
  const int count = OurNumberOfProcessors();
  gThreads.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    try {
      gThreads.emplace_back(WorkQueueConsumer);
    } catch (const std::system_error&) {
      break;  // fewer workers simply serve the queue
    }
  }
}

void StopWorkersLocked() {
  {
    std::lock_guard lock(gWorkQueueMutex);
    gCancelComputeThreads = true;
    gWorkQueueCond.notify_all();
  }
  for (std::thread& worker : gThreads) worker.join();
  gThreads.clear();
  std::lock_guard lock(gWorkQueueMutex);
  gCancelComputeThreads = false;
}

}  // namespace

AJob* OurAllocateJobs(AComputeTarget* graph, int32_t count) {
  if (count < 1) return nullptr;
  AJob* jobs = new (std::nothrow) AJob[static_cast<std::size_t>(count)];
  if (!jobs) return nullptr;
  for (int32_t i = 0; i < count; ++i) {
    jobs[i].graph = graph;
    jobs[i].index = i;
  }
  return jobs;
}

AJob* OurAllocateJobs(AComputeTarget* graph) { return OurAllocateJobs(graph, OurNumberOfProcessors()); }

void OurSubmitJob(AJob* job) { OurSubmitJobs(job, 1); }

void OurSubmitJobs(AJob* jobs, int32_t count) {
  std::lock_guard lock(gWorkQueueMutex);
  for (int32_t i = 0; i < count; ++i) {
    jobs[i].state.store(kJobQueued, std::memory_order_relaxed);
    gWorkQueue.push_back(&jobs[i]);
  }
  // One job needs one worker; waking them all only makes them queue for
  // the mutex.
  if (count == 1)
    gWorkQueueCond.notify_one();
  else
    gWorkQueueCond.notify_all();
}

void OurWaitforJobToFinish(AJob* job) {
  OurLock lock(job->mutex);
  job->condition.Wait(lock, [job] { return IsSettled(job->state.load(std::memory_order_acquire)); });
}

void OurCancelJobs(AComputeTarget* graph) {
  std::vector<AJob*> removed;
  {
    std::lock_guard lock(gWorkQueueMutex);
    for (std::deque<AJob*>* queue : {&gWorkQueue, &gWaitQueue}) {
      std::erase_if(*queue, [&](AJob* job) {
        if (job->graph != graph) return false;
        removed.push_back(job);
        return true;
      });
    }
  }
  // Outside the queue mutex (lock order): a removed job never runs, so a
  // waiter must be released by making it idle again.
  for (AJob* job : removed) PublishFinalState(job, kJobIdle);
}

void StartComputeThreads() {
  std::lock_guard lock(gPoolMutex);
  if (gThreads.empty()) StartWorkersLocked();
}

void StopComputeThreads() {
  std::lock_guard lock(gPoolMutex);
  StopWorkersLocked();
}

void DebugSetNumberComputeThreads(int count) {
  std::lock_guard lock(gPoolMutex);
  StopWorkersLocked();
  DebugSetNumProcessors(count);
  StartWorkersLocked();
}
