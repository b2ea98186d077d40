#pragma once

#include "CoreUtilities/MRect.h"
#include "CoreUtilities/text/UniChar.h"

#include <cstdint>

class OurFontDesc;
class QPainter;

enum OurTextHorizontalAlignment : int32_t { kOurTextAlignLeft = 0 };
enum OurTextVerticalAlignment : int32_t { kOurTextAlignTop = 0, kOurTextAlignCenter = 1, kOurTextAlignBottom = 2 };

// Without a context the text is drawn in the current port's foreground
// colour with its baseline starting at the pen, inside the port's clip.
// A context is a painter already placed at the text position (baseline
// start at its origin) with the pen it should draw with.
void OurDrawString(const UniChar* text, const OurFontDesc& font, QPainter* context = nullptr);
void OurDrawChar(uint32_t character, const OurFontDesc& font, QPainter* context = nullptr);

// Breaks the text into lines no wider than the rectangle and draws them
// from its left edge, the block placed at the top, centre or bottom.
void OurDrawTextBox(const UniChar* text, const MRect& box, const OurFontDesc& font,
                    OurTextHorizontalAlignment horizontal, OurTextVerticalAlignment vertical,
                    QPainter* context = nullptr);
