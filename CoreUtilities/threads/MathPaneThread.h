#pragma once

#include <atomic>
#include <cstdint>

class AMathPaneDocument;

// When 1, evaluations on the math-pane thread stop at their next
// instruction (tested together with IsMathPaneResultsThread). Raised only
// while the document being cancelled is the one computing, and lowered by
// the thread before it takes the next, so one document's cancel never
// aborts another's results. Hidden: see gCancelEvaluationForUIEvalThreads.
extern std::atomic<int32_t> gCancelEvaluationForMathPaneResultsEvalThreads [[gnu::visibility("hidden")]];

// Compiles the document's functions on the calling thread, then queues the
// document for its result strings unless it is queued already.
void DoThreadedMathPaneCalculations(AMathPaneDocument* document);
// Takes the document off the queue and, while its results are being
// computed, stops that and waits for the end. A document calls it before it
// is freed: the thread may still be touching its mutex even after its state
// reads done.
void CancelThreadedMathPaneCalculations(AMathPaneDocument* document);

// Started and stopped by ComputeThreads.h. Stopping forgets queued documents.
void StartMathPaneThread();
void StopMathPaneThread();
