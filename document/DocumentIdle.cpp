#include "document/DocumentIdle.h"

#include "CoreUtilities/threads/CooperativeThreads.h"
#include "CoreUtilities/OurTime.h"
#include "CoreUtilities/drawing/ScopedSavers.h"
#include "document/DemoState.h"
#include "document/DocumentPaneHooks.h"
#include "document/DocumentRecord.h"
#include "document/SliderAnimation.h"
#include "graphpane/AGraphPane.h"
#include "graphpane/GraphHooks.h"
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

}  // namespace

bool DocumentIdle(DocumentRecord* document, uint32_t passSlice, bool spinFrameDue, IdleDrawing drawing) {
  DestroyContextsAwaitingDestruction();  // never inside a frame
  ExpansionState& state = document->fExpansion;
  if (!state.expansionDone.load(std::memory_order_acquire)) OurYieldFromMainThread();
  if (!document->fGraphPane || !state.expansionDone.load(std::memory_order_acquire)) return false;
  // Each slice of a pass shows the graphs added so far.
  const bool passing = !state.graphed && !IsDemoTyping(document);
  if (passing) DoGraphAtIdle(document, passSlice);
  // The animation steps between whole passes only.
  if (state.graphed && GetGraphingAnimationState(document)) StepAnimation(document);
  const bool finished = TakeGraphFinished(document);
  if (passing || finished) UpdateGraphMessages(document);
  // A spinning 3-D view turns a frame when one is due.
  const bool changed = passing || finished || (spinFrameDue && document->fGraphPane->AreAnyGraphsSpinning());
  if (changed && drawing == IdleDrawing::kShowsProgress) DrawDocumentGraph(document);
  return changed;
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
  document->fGraphPane->Draw(kBothViews, true);
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
