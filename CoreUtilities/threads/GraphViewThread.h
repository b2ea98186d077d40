#pragma once

#include <atomic>
#include <cstdint>

class AViewEvaluator;

// When 1, evaluations on the graph-view thread stop at their next
// instruction (tested together with IsUIThread). Hidden, as every
// program that links it is an executable: runs read it straight at its
// address.
extern std::atomic<int32_t> gCancelEvaluationForUIEvalThreads [[gnu::visibility("hidden")]];

// Interface thread: runs the view's pending evaluation on the graph-view
// thread and returns once it has ended; after 2 seconds it is told to give up.
void Do2DGraphViewEvaluationsInThreadWithTimeLimit(AViewEvaluator* view);

// Started and stopped by ComputeThreads.h.
void StartGraphViewThread();
void StopGraphViewThread();
