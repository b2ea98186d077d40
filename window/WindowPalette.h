#pragma once

#include <cstdint>

class QPalette;

// The document window's palette as the graphs draw with it: entries by
// index, taken from the window's own palette so that they follow a theme
// or palette change.
inline constexpr int32_t kGraphSelectionPaletteEntry = 7;

// The entry as 0xRRGGBB; an index the palette does not define gives black.
uint32_t ZentrolabPaletteColor(int32_t index, const QPalette& palette);
