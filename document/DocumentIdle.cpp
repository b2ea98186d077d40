#include "document/DocumentIdle.h"

#include "CoreUtilities/ComputationDeadline.h"
#include "CoreUtilities/CooperativeThreads.h"
#include "CoreUtilities/MemoryBudget.h"
#include "CoreUtilities/OurTime.h"
#include "CoreUtilities/ScopedSavers.h"
#include "document/DocumentPaneHooks.h"
#include "document/DocumentRecord.h"
#include "document/SliderAnimation.h"
#include "graphpane/AGraphPane.h"
#include "graphpane/EquationDefinitions.h"
#include "graphpane/GraphColorGlobals.h"
#include "graphpane/GraphHooks.h"
#include "graphpane/GraphabilityDiagnostics.h"
#include "renderer/RendererGlobals.h"

int32_t gHackExportShaderBlock = -1;

namespace {

void StepAnimation(DocumentRecord* document) {
  AGraphPane& pane = *document->fGraphPane;
  const uint32_t now = OurTime();
  const uint32_t last = document->fExpansion.lastStepTime;
  if (!pane.AreAllGraphsDoneComputing() || !GraphingAnimationStepDue(document, now)) return;
  FrameRateFeedback(document, OurTimeToSeconds(now - last));
  // Models of the finished frame stay drawn while the next one computes.
  pane.SaveFinishedModelsBeforeSteppingSliderToStartNextFrame();
  StepGraphingAnimation(document);
  pane.InvalConstant(document->fContents.sliderVariable);
  pane.UpdateSavedVertexObjectsAfterNextFrameHasBegunComputing();
}

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

}  // namespace

void DoGraph(DocumentRecord* document) {
  gDoNotYieldFromMainThreadSoUICanStayResponsive = 0;
  document->fExpansion.graphed = false;
}

void DoGraphAtIdle(DocumentRecord* document) {
  ExpansionState& state = document->fExpansion;
  AGraphPane* pane = document->fGraphPane.get();
  if (!pane) return;
  gMathError = 0;
  gDoNotYieldFromMainThreadSoUICanStayResponsive = 0;
  pane->EraseGraph();
  auto& blocks = document->fContents.blocks;
  for (MBlock& block : blocks)
    if (block.graphRows) block.graphRows->RemoveAllElements();
  state.messages.assign(state.expanded.size(), 0);
  state.rows.assign(state.expanded.size(), -1);
  CoordinateTransformation& ct = state.transformation;
  ct.block = blocks.At(state.transformationBlock);
  const SecondView second = SecondViewOf(state);
  pane->StartAddingEquations(state.viewIs3D, state.viewIs4D, second.shown, second.threeD, ct);
  for (size_t i = 0; i < state.expanded.size(); ++i) {
    // Past the deadline the graphs made so far are all there will be.
    if (ComputationDeadlinePassed()) break;
    const ExpandedEquation& e = state.expanded[i];
    // Definitions are applied, constant formulas computed and the
    // transformation handed to the pass, not graphed.
    if ((!e.info.graphable && IsExprDefinition(e.tree)) || e.computed || e.transformation) continue;
    MBlock& block = blocks[e.block];
    // Only the chosen block's colour makes its program text for export.
    gHackExportShaderFlag2 = gHackExportShaderFlag && e.block == gHackExportShaderBlock;
    const int32_t row = pane->AddEquation(e.tree, e.info.threeD, state.viewIs4D, ct, block.Color, block.Grain,
                                          block.Opacity, block.PlottingMode, block.XYType);
    state.rows[i] = row;
    if (row >= 0) {
      SetTransformEquationBlockIndex(&block, row);
    } else {
      state.messages[i] = GetEqnSyntaxErr(e.tree, e.info.threeD, state.viewIs4D, document);
    }
  }
  gHackExportShaderFlag2 = false;
  pane->DoneAddingEquations();
  PaneHooks::RedrawCoordinates(document);
  state.graphed = true;
}

void DocumentIdle(DocumentRecord* document) {
  DestroyContextsAwaitingDestruction();  // never inside a frame
  ExpansionState& state = document->fExpansion;
  if (!state.expansionDone.load(std::memory_order_acquire)) OurYieldFromMainThread();
  if (!document->fGraphPane || !state.expansionDone.load(std::memory_order_acquire)) return;
  const bool newPass = !state.graphed;
  if (newPass) DoGraphAtIdle(document);
  if (GetGraphingAnimationState(document)) StepAnimation(document);
  const bool finished = TakeGraphFinished(document);
  if (newPass || finished) UpdateGraphMessages(document);
  // A spinning 3-D view turns a frame at every idle.
  if (newPass || finished || document->fGraphPane->AreAnyGraphsSpinning()) DrawDocumentGraph(document);
}

// Graph messages of the rows made, once their graphs are done.
void UpdateGraphMessages(DocumentRecord* document) {
  ExpansionState& state = document->fExpansion;
  AGraphPane& pane = *document->fGraphPane;
  for (size_t i = 0; i < state.rows.size(); ++i) {
    const int32_t row = state.rows[i];
    if (row >= 0 && pane.IsDoneComputing(row)) state.messages[i] = pane.GraphVisibility(row);
  }
}

void DrawDocumentGraph(DocumentRecord* document) {
  if (!document->fGraphPane) return;
  document->fGraphPane->Compute(0, false);
  OurPort* world = PaneHooks::GetOffscreenGWorld(document);
  if (!world) return;
  APushPort port(world);
  document->fGraphPane->Draw(2, true);
}

bool IsDocumentGraphDone(DocumentRecord* document) {
  const ExpansionState& state = document->fExpansion;
  return state.expansionDone.load(std::memory_order_acquire) && state.graphed && document->fGraphPane &&
         document->fGraphPane->AreAllGraphsDoneComputing();
}

int32_t EquationMessage(const DocumentRecord* document, int32_t block) {
  const ExpansionState& state = document->fExpansion;
  for (size_t i = 0; i < state.expanded.size() && i < state.messages.size(); ++i)
    if (state.expanded[i].block == block) return state.messages[i];
  return 0;
}
