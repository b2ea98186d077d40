#pragma once

#include "matheditor/DrawingLayer.h"

// For the drag loops: waits for the next move or the release, stores the
// mouse in one-line formula coordinates, and is true while the button is
// still held. The pinned form keeps the point inside the whole formula.
bool DIM_MouseStillDown(FPoint& where);
bool DIM_MouseStillDownPinned(FPoint& where);
