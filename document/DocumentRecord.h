#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "CoreUtilities/OurMutex.h"
#include "document/DocumentContents.h"
#include "document/DocumentFunctionList.h"

class AGraphPane;

enum MathPaneState : int32_t {
  kMathPaneResultsBeingComputed = 2,
  kMathPaneResultsDone = 3,
};

// A value an equation gives a name that running programs read
// (GetParameter): a point plot's point, or a math-pane slider's value.
struct ParameterDefinition {
  int32_t variableId = 0;
  std::atomic<double> re{0};
  std::atomic<double> im{0};
  bool fromSlider = false;
};

// A document: its contents, and what the math-pane thread and the running
// programs read while the interface thread works on it.
class DocumentRecord {
 public:
  DocumentRecord() = default;
  DocumentRecord(const DocumentRecord&) = delete;
  DocumentRecord& operator=(const DocumentRecord&) = delete;
  virtual ~DocumentRecord() = default;

  // Compiles every user-defined function of the document; on the thread
  // that queues the document, before it is queued. A document without
  // user-defined functions has nothing to compile.
  virtual void CompileDocumentFunctions() { CompileDocumentFunctionList(this); }
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

  DocumentContents fContents;
  DocumentFunctionList fFunctions;

  // Read by running programs while the interface thread moves the slider.
  std::atomic<double> fSliderValue{0};
  // Rebuilt only while no computation reads the document; the values in
  // them may change at any time.
  std::vector<std::unique_ptr<ParameterDefinition>> fParameterDefinitions;
  // Computations that read the document's tables and equations right now.
  // Tables, equations and the lists derived from them change only when it
  // is 0: the document cancels and waits for its graphs first.
  std::atomic<int32_t> fRunningComputations{0};

  // The graph area, once the document's window has made it.
  std::shared_ptr<AGraphPane> fGraphPane;  // not shared; the pane stays an incomplete type here
};

// Brackets a computation that reads the document's tables or equations.
void BeginDocumentComputation(DocumentRecord* document);
void EndDocumentComputation(DocumentRecord* document);
// Called before tables, equations or their derived lists change: checks, in
// debug builds, that no computation is reading them.
void AssertNoDocumentComputation(const DocumentRecord* document);
