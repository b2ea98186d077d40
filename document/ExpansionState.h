#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "CoreUtilities/threads/CooperativeThreads.h"
#include "expression/ExpressionRecord.h"
#include "expression/OwnedTree.h"
#include "graphpane/CoordinateTransformation.h"
#include "graphpane/GraphKindQueries.h"

class DocumentRecord;

// One equation block as the expansion left it, for graphing.
struct ExpandedEquation {
  int32_t block = -1;
  Tree tree;
  ExprTypeInfo info;
  // It computes to a number: a result string, not a graph.
  bool computed = false;
  // It is the document's coordinate transformation, not a graph of its own.
  bool transformation = false;
};

// A block's formula as the math-pane thread computes it.
struct ResultFormula {
  int32_t block = -1;
  Tree tree;  // only the math-pane thread reads it
};

struct MathPaneResult {
  int32_t block = -1;
  std::u16string text;
};

// What the document derives from its formulas after every edit, and the
// flags that tell the interface thread how far that got.
struct ExpansionState {
  ExpansionState() = default;
  ExpansionState(const ExpansionState&) = delete;
  ExpansionState& operator=(const ExpansionState&) = delete;
  ~ExpansionState();

  // Frees the derived trees; only while no thread reads them.
  void Clear();

  OurThreadID thread = 0;
  // Written by the expansion before it sets expansionDone; read by the
  // interface thread after.
  std::vector<ExpandedEquation> expanded;
  std::vector<ResultFormula> resultFormulas;
  // The first transformation equation's, its formulas in its expanded
  // tree; the block is set as each pass starts.
  CoordinateTransformation transformation;
  int32_t transformationBlock = -1;
  bool viewIs3D = false;
  bool viewIs4D = false;
  std::atomic<bool> expansionDone{false};
  // The interface thread handed this expansion to the graph pane.
  bool graphed = false;
  // A pass under way: the next expanded equation it adds, and the math
  // error state it left at the end of its last slice.
  bool passStarted = false;
  size_t passNext = 0;
  int32_t passMathError = 0;
  // The last pass ended at the deadline with equations left to add: the
  // graphs shown are not all the document makes.
  bool passCutShort = false;
  // By expanded equation: the lookup row its graph made (-1 none) and the
  // message shown under it (0 none).
  std::vector<int32_t> rows;
  std::vector<int32_t> messages;

  // The document's significant digits when the expansion started: the
  // math-pane thread reads these, never the editor's global.
  int32_t resultDigits = 8;
  // Published by the math-pane thread.
  mutable std::mutex resultsMutex;
  std::vector<MathPaneResult> results;
  // Set when the strings of the current expansion are published.
  std::atomic<bool> resultsPublished{false};

  // A graph finished or the expansion is done: the interface thread has
  // work. The window installs a queued call; headless callers wait on the
  // condition.
  std::mutex wakeMutex;
  std::condition_variable wakeCondition;
  bool graphFinished = false;
  bool woken = false;
  void (*wakeWindow)(DocumentRecord*) = nullptr;

  // Requests the window timer serves.
  bool runTimeErrorCheck = false;
  bool fragmentProgramFlag = false;
  // What the renderer asks before a frame: some equation block is drawn
  // translucent; a 3-D data plot draws symbols or labels.
  std::atomic<bool> translucent{false};
  std::atomic<bool> dataPlotSymbolsOrLabels{false};
  // The last frame times of animation, in seconds.
  double frameTimes[40] = {};
  int32_t frameIndex = 0;
  // Ticks of the last animation step.
  uint32_t lastStepTime = 0;
};
