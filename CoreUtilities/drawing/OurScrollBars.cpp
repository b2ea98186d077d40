#include "CoreUtilities/drawing/OurScrollBars.h"

namespace {

ScrollbarPlacer gPlacer = nullptr;

}  // namespace

void SetScrollbarPlacer(ScrollbarPlacer placer) { gPlacer = placer; }

void MoveandResizeVerticalScrollbar(QScrollBar* control, int along, int across, int length, DocumentWindow* window) {
  if (gPlacer) gPlacer(control, along, across, length, 1, window);
}

void MoveandResizeHorizontalScrollbar(QScrollBar* control, int along, int across, int length, DocumentWindow* window) {
  if (gPlacer) gPlacer(control, along, across, length, 0, window);
}
