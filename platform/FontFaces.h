#pragma once

#include <QFont>

#include <cstdint>
#include <string_view>

// The few font families the system draws with, loaded from their installed
// files so that measures never depend on what fontconfig would substitute.
// A face id is family * 4 + bold + 2 * italic.

inline constexpr uint32_t kNoFontFace = 0xFFFFFFFFu;

struct FontFace {
  QFont font;             // at the reference pixel size, pinned fallbacks after it
  int referenceSize = 0;  // pixels; equal to the primary file's units per em
  double ascent = 0;      // at the reference size
  double descent = 0;
  double leading = 0;
};

// The family for a name the documents and the code use ("Times", "Symbol",
// "Helvetica", "Lucida Grande", "Courier", ... or an installed family name),
// compared without regard to case; kNoFontFace when unknown. Needs no font
// loaded, so static initialisers may call it.
uint32_t FindFontFamily(std::string_view name);

// The installed family name of a family index (empty for kNoFontFace).
QString FontFamilyName(uint32_t family);

uint32_t FontFaceId(uint32_t family, bool bold, bool italic);

// Null for an id that names no installed face. The first call loads the
// font files (and makes the GUI application object when there is none).
const FontFace* GetFontFace(uint32_t faceId);

// The plain sans face that stands in when only the text matters.
uint32_t FallbackFontFace();
