#include "graphs3d/A4DGraphView.h"

#include "graphs3d/DefaultRanges.h"
#include "graphs3d/GraphViewMinimumSize.h"

A4DGraphView::A4DGraphView() {
  fRecord.keptRanges = RangeBits({kCoordX, kCoordY, kCoordZ, kCoordW, kCoordT, kCoordU, kCoordV});
  SetDefaultRanges(fRecord);
}

void A4DGraphView::ConstructContextNeededByGraphConstructors() { AtLeastOnePixel(&fViewRect); }

AGraphView* MakeA4DGraphView() { return new A4DGraphView; }
