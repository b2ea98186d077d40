#pragma once

#include <cstdint>

struct FontFace;

inline constexpr uint32_t kOurFontBold = 1;
inline constexpr uint32_t kOurFontItalic = 2;

// A font as the system asks for one: a family by name, a size in points and
// a face. Unknown families become "Times"; sizes not above 0 become 12.
class OurFontDesc {
 public:
  OurFontDesc(const char* familyName, float size, bool bold, bool italic);
  OurFontDesc(const OurFontDesc&) = delete;
  OurFontDesc& operator=(const OurFontDesc&) = delete;

  void CreateFont(const char* familyName, float size, bool bold, bool italic);
  // The face every measure uses; null when no pinned face could be had.
  const FontFace* GetStyle() const;
  float GetAscent() const;
  float GetDescent() const;  // descent plus leading
  // The face id with the style flags applied.
  uint32_t FaceId() const;

  uint32_t fontId = 0;
  float size = 12.0f;
  uint32_t styleFlags = 0;  // kOurFontBold, kOurFontItalic; the face is chosen at construction
};

// For questions that depend on the text alone: caret motion and direction.
extern const OurFontDesc kDummyFontDesc;
