#include "CoreUtilities/OurRegions.h"
#include "graphs2d/A2DGraphView.h"

// Mouse tracking, cursor regions and the graph-view evaluations come with
// the selection; until then the window drags the whole picture on a click.

int32_t A2DGraphView::MouseDown(MPoint, long, bool, bool, bool, bool, bool) { return 1; }

void A2DGraphView::MouseUp(MPoint) {}

void A2DGraphView::MouseMove(MPoint, MPoint) {}

void A2DGraphView::GetHandCursorRgn(QRegion* region, bool) { OurSetRegionToEmpty(region); }

void A2DGraphView::GetMarkCursorRgn(QRegion* region, bool, MPoint) { OurSetRegionToEmpty(region); }

void A2DGraphView::GetDragCursorRgn(QRegion* region) { OurSetRegionToEmpty(region); }

void A2DGraphView::Threaded2DGraphViewEvaluation() { fResult = 0; }
