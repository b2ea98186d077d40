#include "CoreUtilities/text/OurFontDesc.h"

#include "platform/FontFaces.h"

const OurFontDesc kDummyFontDesc("Lucida Grande", 12.0f, false, false);

OurFontDesc::OurFontDesc(const char* familyName, float size, bool bold, bool italic) {
  CreateFont(familyName, size, bold, italic);
}

void OurFontDesc::CreateFont(const char* familyName, float newSize, bool bold, bool italic) {
  uint32_t family = familyName != nullptr ? FindFontFamily(familyName) : kNoFontFace;
  if (family == kNoFontFace) family = FindFontFamily("Times");
  size = newSize > 0 ? newSize : 12.0f;  // NaN fails the test too
  styleFlags = 0;
  fontId = FontFaceId(family, bold, italic);
}

uint32_t OurFontDesc::FaceId() const {
  if (fontId == kNoFontFace) return kNoFontFace;
  return fontId | (styleFlags & (kOurFontBold | kOurFontItalic));
}

const FontFace* OurFontDesc::GetStyle() const { return GetFontFace(FaceId()); }

float OurFontDesc::GetAscent() const {
  const FontFace* face = GetStyle();
  return face != nullptr ? static_cast<float>(face->ascent * size / face->referenceSize) : 0.0f;
}

float OurFontDesc::GetDescent() const {
  const FontFace* face = GetStyle();
  return face != nullptr ? static_cast<float>((face->descent + face->leading) * size / face->referenceSize) : 0.0f;
}
