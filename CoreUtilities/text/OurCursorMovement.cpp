#include "CoreUtilities/text/OurCursorMovement.h"

#include "CoreUtilities/text/OurFontDesc.h"
#include "CoreUtilities/text/OurString.h"
#include "platform/TextLayout.h"

#include <algorithm>

namespace {

TextLayout CursorLayout(const UniChar* text) {
  const size_t length = text != nullptr ? OurStringLength(text) : 0;
  return TextLayout({text, length}, kDummyFontDesc.FaceId(), kDummyFontDesc.size);
}

// The start of the last cluster: the source offset its glyph reports.
int32_t LastCharacter(const UniChar* text, const TextLayout& layout) {
  const int32_t length = static_cast<int32_t>(OurStringLength(text));
  return layout.MoveCaret(length, CaretStep::kPrevious);
}

}  // namespace

int32_t OurStringGetLeftmostCharacterPosition(const UniChar* text) { return CursorLayout(text).LeftmostCharacter(); }

int32_t OurStringGetRightmostCharacterPosition(const UniChar* text) { return CursorLayout(text).RightmostCharacter(); }

OurTextDirection OurStringGetDirection(const UniChar* text) {
  const TextLayout layout = CursorLayout(text);
  if (!layout.IsValid()) return kOurTextMixed;
  const int32_t last = LastCharacter(text, layout);
  const int32_t leftmost = layout.LeftmostCharacter();
  const int32_t rightmost = layout.RightmostCharacter();
  if (leftmost == 0 && rightmost == last) return kOurTextLeftToRight;
  if (rightmost == 0 && leftmost == last) return kOurTextRightToLeft;
  return kOurTextMixed;
}

int32_t OurCursorMovement(const UniChar* text, int32_t offset, int32_t verb) {
  if (verb < kOurCursorPrevious || verb > kOurCursorRightward) return offset;
  return CursorLayout(text).MoveCaret(offset, static_cast<CaretStep>(verb));
}

int32_t OurCursorMovement(const UniChar* text, int32_t offset, int32_t otherEnd, int32_t verb) {
  const int32_t larger = std::max(offset, otherEnd);
  const int32_t smaller = std::min(offset, otherEnd);
  int32_t start = offset;
  switch (verb) {
    case kOurCursorPrevious: start = smaller; break;
    case kOurCursorNext: start = larger; break;
    case kOurCursorLeftward:
    case kOurCursorRightward: {
      const bool leftToRight = OurStringGetDirection(text) == kOurTextLeftToRight;
      start = (verb == kOurCursorRightward) == leftToRight ? larger : smaller;
      break;
    }
    default: return offset;
  }
  return OurCursorMovement(text, start, verb);
}
