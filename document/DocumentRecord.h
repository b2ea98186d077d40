#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "CoreUtilities/threads/MathPaneDocument.h"
#include "document/CoordinateDisplay.h"
#include "document/DocumentContents.h"
#include "document/DocumentGraphPane.h"
#include "document/DocumentFunctionList.h"
#include "document/ExpansionState.h"
#include "document/MathEditing.h"

class AGraphPane;

// A value an equation gives a name that running programs read
// (GetParameter): a point plot's point, or a math-pane slider's value.
// A right side that needs evaluating gets its value from the expansion,
// which folds it as the math pane does; until then it has none.
struct ParameterDefinition {
  int32_t variableId = 0;
  std::atomic<double> re{0};
  std::atomic<double> im{0};
  bool fromSlider = false;
  // The equation block whose expansion gives the value; -1 when written.
  int32_t expandedBlock = -1;
  std::atomic<bool> hasValue{true};
};

// A document: its contents, and what the math-pane thread and the running
// programs read while the interface thread works on it.
class DocumentRecord : public AMathPaneDocument {
 public:
  DocumentRecord() = default;
  // Stops the expansion, the result strings and the graphs first: they
  // read the document.
  ~DocumentRecord() override;

  // A document without user-defined functions has nothing to compile.
  void CompileDocumentFunctions() override { CompileDocumentFunctionList(this); }
  void ThreadedCalculateMathPaneResultStrings() override;

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

  // The math-pane block with the editing focus, and its table cell (column,
  // and row with 0 the heading) when the block is a table; -1 when none.
  int32_t fFocusedBlock = -1;
  int32_t fFocusedColumn = -1;
  int32_t fFocusedRow = -1;
  MathUndoState fMathUndo;
  // Changed since it was last read or saved; closing asks while it is set.
  bool fModified = false;
  // A demo playing into the document stands paused (interface thread).
  bool fDemoPaused = false;
  // The demo is typing a step into it; its graphing waits.
  bool fDemoTyping = false;

  // The ranges the graphs use, as the coordinate display shows them.
  CoordinateDisplayValues fCoordinates;
  // What the expansion derived from the equations, and its progress.
  ExpansionState fExpansion;

  // The views' ranges as the last look found them: a pass's lending of
  // ranges is no edit.
  ViewRangesSeen fRangesSeen;
  // The graph area, once the document's window has made it.
  std::shared_ptr<AGraphPane> fGraphPane;  // not shared; the pane stays an incomplete type here
};

// Brackets a computation that reads the document's tables or equations.
void BeginDocumentComputation(DocumentRecord* document);
void EndDocumentComputation(DocumentRecord* document);
// Called before tables, equations or their derived lists change: checks, in
// debug builds, that no computation is reading them.
void AssertNoDocumentComputation(const DocumentRecord* document);
