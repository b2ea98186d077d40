#pragma once

#include <atomic>
#include <cstdint>

#include "CoreUtilities/threads/OurMutex.h"
#include "CoreUtilities/threads/ComputeTarget.h"

enum JobState : int32_t {
  kJobIdle = 0,
  kJobQueued = 1,
  kJobRunning = 2,
  kJobFinished = 3,
  kJobCancelled = 4,
  kJobNothingToCompute = 5,
};

// One slice of a graph's work. A graph with a single job embeds one; others
// get arrays from OurAllocateJobs and free them with delete[].
struct AJob {
  AComputeTarget* graph = nullptr;
  // A graph that must be done before this job may run; null for none.
  AComputeTarget* dependsOn = nullptr;
  int32_t index = 0;
  std::atomic<int32_t> state{kJobIdle};
  // Guard the final state, which OurWaitforJobToFinish watches.
  OurMutex mutex;
  OurConditionVariable condition;
};

// count jobs for the graph, job i with slice i (one per processor when the
// count is left out); null for a count below 1 or when memory runs out.
AJob* OurAllocateJobs(AComputeTarget* graph, int32_t count);
AJob* OurAllocateJobs(AComputeTarget* graph);

void OurSubmitJob(AJob* job);
// The count consecutive jobs of an array, in order, under one lock.
void OurSubmitJobs(AJob* jobs, int32_t count);
// Returns once the job is idle or has a final state.
void OurWaitforJobToFinish(AJob* job);
// Takes every queued or parked job of the graph off the queues and makes it
// idle again; running jobs are left to the graph's own cancel flags.
void OurCancelJobs(AComputeTarget* graph);

// The worker pool, one worker per processor; started and stopped by
// ComputeThreads.h.
void StartComputeThreads();
void StopComputeThreads();
// Stops and joins every worker, then starts count of them (0: one per
// processor). Queued jobs stay queued for the new workers.
void DebugSetNumberComputeThreads(int count);
