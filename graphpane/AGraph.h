#pragma once

#include <cstdint>

// What the job queue needs of a graph; the graph pane's classes build on it.
class AGraph {
 public:
  AGraph() = default;
  AGraph(const AGraph&) = delete;
  AGraph& operator=(const AGraph&) = delete;
  virtual ~AGraph() = default;

  // One slice of the graph, on a worker thread with no queue lock held.
  // Returns 3 finished, 4 cancelled or 5 nothing to compute.
  virtual int32_t Compute(int32_t slice) = 0;
  // True when the graph has all its results. Called with the job-queue
  // mutex held, so it must not submit, cancel or wait on jobs.
  virtual bool IsDoneComputing() = 0;
};
