#include "graphpane/AnEmptyGraphView.h"

#include "CoreUtilities/drawing/OurDrawing.h"

int32_t AnEmptyGraphView::Draw(bool /*drawGraphs*/) {
  OurEraseRect(fViewRect);
  return 0;
}
