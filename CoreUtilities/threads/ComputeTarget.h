#pragma once

#include <cstdint>

// What the job queue needs of the work it runs; graphs implement it.
class AComputeTarget {
 public:
  AComputeTarget() = default;
  AComputeTarget(const AComputeTarget&) = delete;
  AComputeTarget& operator=(const AComputeTarget&) = delete;
  virtual ~AComputeTarget() = default;

  // One slice, on a worker thread with no queue lock held.
  // Returns 3 finished, 4 cancelled or 5 nothing to compute.
  virtual int32_t Compute(int32_t slice) = 0;
  // True when all results are in. Called with the job-queue mutex held, so
  // it must not submit, cancel or wait on jobs.
  virtual bool IsDoneComputing() = 0;
};
