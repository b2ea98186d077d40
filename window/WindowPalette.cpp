#include "window/WindowPalette.h"

#include <QPalette>

uint32_t ZentrolabPaletteColor(int32_t index, const QPalette& palette) {
  if (index != kGraphSelectionPaletteEntry) return 0;
  return palette.color(QPalette::Active, QPalette::Highlight).rgb() & 0xFFFFFF;
}
