#include "CoreUtilities/GraphViewThread.h"
#include "CoreUtilities/OurRegions.h"
#include "graphs2d/A2DGraphView.h"

// Mouse tracking and cursor regions come with the selection; until then the
// window drags the whole picture on a click. Of the graph-view requests only
// the one zooming needs is served: the selection evaluated again.

int32_t A2DGraphView::MouseDown(MPoint, long, bool, bool, bool, bool, bool) { return 1; }

void A2DGraphView::MouseUp(MPoint) {}

void A2DGraphView::MouseMove(MPoint, MPoint) {}

void A2DGraphView::GetHandCursorRgn(QRegion* region, bool) { OurSetRegionToEmpty(region); }

void A2DGraphView::GetMarkCursorRgn(QRegion* region, bool, MPoint) { OurSetRegionToEmpty(region); }

void A2DGraphView::GetDragCursorRgn(QRegion* region) { OurSetRegionToEmpty(region); }

void A2DGraphView::Threaded2DGraphViewEvaluation() {
  fResult = 0;
  if (fRequest != kRequestSelection) return;
  A2DGraph* graph = ValidGraph(fSelectedGraph);
  Selection answer = graph ? graph->GetSelection(fSelection.x, fSelection.y) : Selection();
  if (gCancelEvaluationForUIEvalThreads.load(std::memory_order_acquire) != 0) answer.Clear();
  fSelection = std::move(answer);
}
