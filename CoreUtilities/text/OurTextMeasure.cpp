#include "CoreUtilities/text/OurTextMeasure.h"

#include "CoreUtilities/text/OurFontDesc.h"
#include "CoreUtilities/text/OurString.h"
#include "CoreUtilities/text/UnicodeCharacter.h"
#include "platform/TextLayout.h"
#include "platform/TextWidthCache.h"

#include <string_view>

namespace {

std::u16string_view View(const UniChar* text) { return {text, text != nullptr ? OurStringLength(text) : 0}; }

TextLayout Layout(const UniChar* text, const OurFontDesc& font) {
  return TextLayout(View(text), font.FaceId(), font.size);
}

}  // namespace

float OurStringWidth(const UniChar* text, const OurFontDesc& font) {
  return static_cast<float>(CachedTextWidth(View(text), font.FaceId(), font.size));
}

float OurCharWidth(uint32_t character, const OurFontDesc& font) {
  UniChar units[3] = {};
  if (!EncodeUTF16(character, units)) return 0;
  return OurStringWidth(units, font);
}

float OurStringAscent(const UniChar* text, const OurFontDesc& font) {
  return static_cast<float>(Layout(text, font).InkAscent());
}

float OurStringDescent(const UniChar* text, const OurFontDesc& font) {
  return static_cast<float>(Layout(text, font).InkDescent());
}

int32_t OurPositionToOffset(const UniChar* text, float x, const OurFontDesc& font) {
  return Layout(text, font).NearestCaret(x);
}

float OurOffsetToPosition(const UniChar* text, int32_t offset, const OurFontDesc& font) {
  return static_cast<float>(Layout(text, font).CaretX(offset));
}
