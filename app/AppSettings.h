#pragma once

#include <cstdint>
#include <string>

class QSettings;

// What a new untitled document starts with, from the preferences.
struct NewDocumentSettings {
  int32_t significantDigits = 8;
  int32_t fontSize = 12;
  std::string fontName = "Times";
  int32_t background = 0;
  uint8_t backgroundColor[3] = {255, 255, 255};
  bool drawGraphsToRight = true;
};

// Values out of range or of the wrong kind keep the defaults.
NewDocumentSettings ReadNewDocumentSettings(const QSettings& settings);

// The hidden math font switches: the smallest script size (1 to 49 points)
// and the script step (41 to 100 per cent); others leave the editor's
// defaults in force.
void ApplyHiddenMathSettings(const QSettings& settings);

// The hidden renderer switches; a key counts only when its value is 1.
void ApplyHiddenRendererSettings(const QSettings& settings);

// The document text of a new untitled document: the settings and one
// empty equation.
std::string NewDocumentText(const NewDocumentSettings& settings);
