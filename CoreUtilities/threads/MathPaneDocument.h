#pragma once

#include <atomic>
#include <cstdint>

#include "CoreUtilities/threads/OurMutex.h"

enum MathPaneState : int32_t {
  kMathPaneResultsBeingComputed = 2,
  kMathPaneResultsDone = 3,
};

// What the math-pane thread needs of a document; the document record
// implements it.
class AMathPaneDocument {
 public:
  AMathPaneDocument() = default;
  AMathPaneDocument(const AMathPaneDocument&) = delete;
  AMathPaneDocument& operator=(const AMathPaneDocument&) = delete;
  virtual ~AMathPaneDocument() = default;

  // Compiles every user-defined function of the document; on the thread
  // that queues the document, before it is queued.
  virtual void CompileDocumentFunctions() = 0;
  // On the math-pane thread: evaluates the result strings and publishes
  // them under the document's lock; stops early when
  // gCancelEvaluationForMathPaneResultsEvalThreads is set. A document
  // without result strings has nothing to compute.
  virtual void ThreadedCalculateMathPaneResultStrings() {}

  // Set to being-computed under the math-pane queue mutex and to done under
  // fMathPaneMutex, with fMathPaneCondition broadcast.
  std::atomic<int32_t> fMathPaneState{kMathPaneResultsDone};
  OurMutex fMathPaneMutex;
  OurConditionVariable fMathPaneCondition;
};
