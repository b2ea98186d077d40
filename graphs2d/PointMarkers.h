#pragma once

#include <cstdint>

#include "CoreUtilities/MRect.h"
#include "CoreUtilities/text/UniChar.h"

// The axes' typeface, which point symbols and labels share.
extern const char* gAxesTypeFace;

// A text centred on (h, v) in the axes' typeface at the given size, in the
// colour; returns its full width in pixels.
int32_t DrawCenteredSymbol(const UniChar* text, int h, int v, double size, uint32_t rgb, const MRect& clip);
// A label whose text starts at h, its middle on row v.
void DrawPointLabel(const UniChar* text, int h, int v, double size, uint32_t rgb, const MRect& clip);
