#pragma once

#include <cstdint>

#include "graphpane/GraphViewRecord.h"

class DocumentRecord;

// The coordinate display as values: which ranges the graphs use and their
// ends, for the window to show and edit.
struct CoordinateDisplayValues {
  bool shown[kCoordDisplayParamCount] = {};
  double low[kCoordDisplayParamCount] = {};
  double high[kCoordDisplayParamCount] = {};
  // The field being edited keeps its values through a clear; -1 none.
  int32_t focusedField = -1;
};

void SetCoordinateValues(int32_t field, double low, double high, DocumentRecord* document);
// Hides every field but the one being edited.
void ClearCoordinateDisplay(DocumentRecord* document);
// Shows again every range the pane's graphs use, at its current ends.
void RedoCoordinateDisplay(DocumentRecord* document);
