#pragma once

#include <cstdint>

// Colours are 0xRRGGBB words; stored pixels are 0x00RRGGBB.
inline constexpr uint32_t kGridLineColor = 0xCCFFFF;
inline constexpr uint32_t kGrayColor = 0xC0C0C0;

// Brightness of a destination pixel, 0 to 255, or 256 on a grid line so that
// graphs keep their own colour where they cross the graph paper.
inline int PixelLuminance(uint32_t pixel) {
  if ((pixel & 0xFFFFFF) == kGridLineColor) return 256;
  const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
  const int weighted = 77 * r + 150 * g + 29 * b;  // at most 65280
  return (weighted + 1 + (weighted >> 8)) >> 8;    // exactly weighted / 255 in that range
}

inline uint32_t ShadeColor(uint32_t color, int luminance) {
  const uint32_t r = (luminance * ((color >> 16) & 0xFF)) >> 8;
  const uint32_t g = (luminance * ((color >> 8) & 0xFF)) >> 8;
  const uint32_t b = (luminance * (color & 0xFF)) >> 8;
  return (r << 16) | (g << 8) | b;
}

// The colour to store when `color` is drawn over `pixel`: the paper below
// shows through as shading.
inline uint32_t OurComposeColors(uint32_t color, uint32_t pixel) {
  return ShadeColor(color & 0xFFFFFF, PixelLuminance(pixel));
}
