#include "graphs3d/A3DGraphView.h"

#include "graphs3d/DefaultRanges.h"
#include "graphs3d/GraphViewMinimumSize.h"

A3DGraphView::A3DGraphView() {
  fRecord.keptRanges = RangeBits({kCoordX, kCoordY, kCoordZ, kCoordR, kCoordTheta, kCoordPhi, kCoordT, kCoordU,
                                  kCoordV});
  SetDefaultRanges(fRecord);
}

void A3DGraphView::ConstructContextNeededByGraphConstructors() { AtLeastOnePixel(&fViewRect); }

AGraphView* MakeA3DGraphView() { return new A3DGraphView; }
