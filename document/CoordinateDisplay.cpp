#include "document/CoordinateDisplay.h"

#include "document/DocumentRecord.h"
#include "graphpane/AGraphPane.h"

void SetCoordinateValues(int32_t field, double low, double high, DocumentRecord* document) {
  if (!document || field < 0 || field >= kCoordDisplayParamCount) return;
  CoordinateDisplayValues& display = document->fCoordinates;
  display.shown[field] = true;
  display.low[field] = low;
  display.high[field] = high;
}

void ClearCoordinateDisplay(DocumentRecord* document) {
  if (!document) return;
  CoordinateDisplayValues& display = document->fCoordinates;
  for (int32_t p = 0; p < kCoordDisplayParamCount; ++p)
    if (p != display.focusedField) display.shown[p] = false;
}

void RedoCoordinateDisplay(DocumentRecord* document) {
  if (!document || !document->fGraphPane) return;
  ClearCoordinateDisplay(document);
  const int32_t* flags = document->fGraphPane->CoordinateDisplayFlags();
  for (int32_t p = 0; p < kCoordDisplayParamCount; ++p)
    if (flags[p] != 0) document->fGraphPane->ShowParam(CoordDisplayParam(p));
}
