#pragma once

#include "CoreUtilities/text/UniChar.h"

#include <cstdint>

class OurFontDesc;

// Measures of zero-terminated UTF-16 text in points. Every one is 0 for
// null or empty text and when the font cannot be had.
float OurStringWidth(const UniChar* text, const OurFontDesc& font);
// One Unicode scalar value; above 0xFFFF it is measured as its surrogate pair.
float OurCharWidth(uint32_t character, const OurFontDesc& font);
// Height of the inked image above the baseline.
float OurStringAscent(const UniChar* text, const OurFontDesc& font);
// Depth of the inked image below the baseline (0 when none reaches it).
float OurStringDescent(const UniChar* text, const OurFontDesc& font);
// The caret offset nearest x (measured from the text's start).
int32_t OurPositionToOffset(const UniChar* text, float x, const OurFontDesc& font);
// The x of the caret at the offset.
float OurOffsetToPosition(const UniChar* text, int32_t offset, const OurFontDesc& font);
