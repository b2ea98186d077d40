#include "graphpane/GraphHooks.h"

#include "CoreUtilities/drawing/OurDrawing.h"

GraphPaneHooks gGraphPaneHooks;
bool gInhibit3DRotationKluge = false;

void PaneHooks::SetGraphSelectionForeColor(DocumentRecord* document) {
  constexpr uint32_t kDefaultSelectionColor = 0x99CCFF;
  OurRGBForeColor(gGraphPaneHooks.GraphSelectionColor ? gGraphPaneHooks.GraphSelectionColor(document)
                                                      : kDefaultSelectionColor);
}
