#include "document/GraphingPass.h"

#include <utility>

#include "CoreUtilities/threads/BuildInterruption.h"
#include "CoreUtilities/threads/ComputationDeadline.h"
#include "CoreUtilities/threads/CooperativeThreads.h"
#include "CoreUtilities/memory/MemoryBudget.h"
#include "CoreUtilities/OurTime.h"
#include "document/DocumentIdle.h"
#include "document/DocumentPaneHooks.h"
#include "document/DocumentRecord.h"
#include "graphpane/AGraphPane.h"
#include "graphpane/EquationDefinitions.h"
#include "graphpane/GraphColorGlobals.h"
#include "graphpane/GraphHooks.h"
#include "graphpane/GraphabilityDiagnostics.h"

namespace {

size_t gPassHold = kNoPassHold;

// An equation in primed coordinates is drawn in the second view, which is
// shown beside the first; it is a 3-D view when such an equation is 3-D.
struct SecondView {
  bool shown = false;
  bool threeD = false;
};

SecondView SecondViewOf(const ExpansionState& state) {
  SecondView second;
  for (const ExpandedEquation& e : state.expanded) {
    if (!e.info.graphable || !e.info.primed || e.computed || e.transformation) continue;
    second.shown = true;
    second.threeD = second.threeD || e.info.threeD;
  }
  return second;
}

// Nothing of a pass is left: no graph, row or message.
void ErasePass(DocumentRecord* document) {
  ExpansionState& state = document->fExpansion;
  document->fGraphPane->EraseGraph();
  for (MBlock& block : document->fContents.blocks)
    if (block.graphRows) block.graphRows->RemoveAllElements();
  state.messages.assign(state.expanded.size(), 0);
  state.rows.assign(state.expanded.size(), -1);
  state.passNext = 0;
  state.passStarted = false;
}

void StartPass(DocumentRecord* document) {
  ExpansionState& state = document->fExpansion;
  AGraphPane* pane = document->fGraphPane.get();
  gMathError = 0;
  gDoNotYieldFromMainThreadSoUICanStayResponsive = 0;
  ErasePass(document);
  state.passMathError = 0;
  state.passStarted = true;
  CoordinateTransformation& ct = state.transformation;
  ct.block = document->fContents.blocks.At(state.transformationBlock);
  const SecondView second = SecondViewOf(state);
  // The pass lends the shown view's ranges to the others: the user's edits
  // are taken first, and the lending is no edit.
  TakeRangeEdits(*pane, document->fRangesSeen, &document->fContents.pane);
  pane->StartAddingEquations(state.viewIs3D, state.viewIs4D, second.shown, second.threeD, ct);
  LookAtRanges(*pane, &document->fRangesSeen);
}

void FinishPass(DocumentRecord* document) {
  ExpansionState& state = document->fExpansion;
  document->fGraphPane->DoneAddingEquations();
  PaneHooks::RedrawCoordinates(document);
  state.passStarted = false;
  state.passCutShort = state.passNext < state.expanded.size();
  state.graphed = true;
}

// Definitions are applied, constant formulas computed and the
// transformation handed to the pass, not graphed.
bool HandedToThePane(const ExpandedEquation& e) {
  return !(!e.info.graphable && IsExprDefinition(e.tree.get())) && !e.computed && !e.transformation;
}

// Adds the equation; the pane keeps no pointer into the expansion. False
// when an edit cut its build short: what the build made is then no use.
bool AddExpandedEquation(DocumentRecord* document, size_t i) {
  ExpansionState& state = document->fExpansion;
  const ExpandedEquation& e = state.expanded[i];
  MBlock& block = document->fContents.blocks[e.block];
  const InterruptibleBuild build;
  // Only the chosen block's colour makes its program text for export.
  gHackExportShaderFlag2 = gHackExportShaderFlag && e.block == gHackExportShaderBlock;
  const int32_t row =
      document->fGraphPane->AddEquation(e.tree.get(), e.info.threeD, state.viewIs4D, state.transformation, block.Color,
                                        block.Grain, block.Opacity, block.PlottingMode, block.XYType);
  gHackExportShaderFlag2 = false;
  if (build.Interrupted()) return false;
  state.rows[i] = row;
  if (row >= 0) {
    SetTransformEquationBlockIndex(&block, row);
  } else {
    state.messages[i] = GetEqnSyntaxErr(e.tree.get(), e.info.threeD, state.viewIs4D, document);
  }
  return !build.Interrupted();
}

}  // namespace

size_t HoldGraphPassesAt(size_t next) { return std::exchange(gPassHold, next); }

void DoGraph(DocumentRecord* document) {
  gDoNotYieldFromMainThreadSoUICanStayResponsive = 0;
  document->fExpansion.graphed = false;
  document->fExpansion.passStarted = false;
}

void DoGraphAtIdle(DocumentRecord* document, uint32_t slice) {
  ExpansionState& state = document->fExpansion;
  if (!document->fGraphPane) return;
  if (!state.passStarted) StartPass(document);
  const uint32_t start = OurTime();
  // The error state is the pass's own, whatever ran between its slices.
  gMathError = state.passMathError;
  bool sliceSpent = false;
  while (state.passNext < state.expanded.size() && !sliceSpent) {
    // Past the deadline the graphs made so far are all there will be.
    if (ComputationDeadlinePassed() || state.passNext >= gPassHold) break;
    const size_t i = state.passNext++;
    if (!HandedToThePane(state.expanded[i])) continue;
    if (!AddExpandedEquation(document, i)) {
      // The edit that cut it comes next; an input that edits nothing still
      // finds the pass to do again.
      ErasePass(document);
      gMathError = state.passMathError;
      return;
    }
    sliceSpent = slice != kWholePass && OurTime() - start >= slice;
  }
  state.passMathError = gMathError;
  if (state.passNext == state.expanded.size() || ComputationDeadlinePassed()) FinishPass(document);
}
