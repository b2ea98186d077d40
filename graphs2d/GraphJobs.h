#pragma once

#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <memory>

#include "CoreUtilities/threads/JobQueue.h"
#include "CoreUtilities/threads/OurMutex.h"

class AGraph;
class AGraphColor;
class AnExpression;
class DocumentRecord;

// The jobs of one 2-D graph: one per processor (each a band of the work) or
// a single one, a cancel flag the slices poll, and done flags under the
// graph's mutex. Every change that invalidates results goes Stop, change,
// Submit, so that no slice of the old work outlives it.
class GraphJobs {
 public:
  enum Split { kOneJob, kOnePerProcessor, kTwicePerProcessor };
  GraphJobs(AGraph* graph, Split split);
  // Exactly count jobs (at least 1).
  GraphJobs(AGraph* graph, int32_t count);
  static int32_t CountFor(Split split);
  // Graphs stop their jobs in their own destructor, while they are whole;
  // this one finds them stopped before they go.
  ~GraphJobs();
  GraphJobs(const GraphJobs&) = delete;
  GraphJobs& operator=(const GraphJobs&) = delete;

  int32_t Count() const { return fCount; }
  // Every job waits in the queue until the graph is done computing.
  void DependOn(AComputeTarget* graph);
  // Polled by the slices after every unit of work.
  bool Cancelled() const {
    if (const PollHook hook = sPollHook.load(std::memory_order_relaxed)) [[unlikely]]
      hook(fCancel);
    return fCancel.load(std::memory_order_acquire);
  }
  // Called at every poll, before the flag is read, with the flag: a test
  // holds a slice midway there until a stop raises it. Null for none.
  using PollHook = void (*)(const std::atomic<bool>& cancel);
  static void SetPollHook(PollHook hook) { sPollHook.store(hook); }

  // Lowers the cancel flags (the graph's, the colour's and the
  // expressions') and submits every job with its done flag cleared.
  void Submit(AGraphColor* colour, std::initializer_list<AnExpression*> expressions);
  // Raises the flags, takes queued jobs off the queue and waits for the
  // running ones. No notification comes after Stop has begun.
  void Stop(AGraphColor* colour, std::initializer_list<AnExpression*> expressions);

  // The end of a slice, with what its Compute returns: finished (3) and
  // nothing to compute (5) count as done; the last slice to be done tells
  // the document once. Returns the status.
  int32_t Finish(int32_t slice, int32_t status, DocumentRecord* document);
  // Forgets the finished slices, so that a graph stopped for a restart
  // does not count as done before its new results are in.
  void ForgetDone();
  // Also true when no jobs could be had (error 36 was queued): nothing will
  // ever compute, and waiting for it must not hang.
  bool AllDone();

 private:
  AGraph* fGraph;
  std::unique_ptr<AJob[]> fJobs;
  int32_t fCount;
  std::unique_ptr<bool[]> fDone;
  OurMutex fMutex;
  std::atomic<bool> fCancel{false};
  static inline std::atomic<PollHook> sPollHook{nullptr};
};
