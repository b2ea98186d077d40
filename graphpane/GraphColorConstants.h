#pragma once

#include <cstdint>

#include "platform/CheckedConvert.h"

// The colours of the colour menu and of the legend swatches, 0x00RRGGBB.
inline constexpr uint32_t kPurple = 0xCE00CE;
inline constexpr uint32_t kRed = 0xFF0000;
inline constexpr uint32_t kGreen = 0x00FF00;
inline constexpr uint32_t kBlue = 0x0000FF;
inline constexpr uint32_t kCyan = 0x00FFFF;
inline constexpr uint32_t kYellow = 0xFFFF00;
inline constexpr uint32_t kWhite = 0xFFFFFF;
inline constexpr uint32_t kMauve = 0xF0C0F0;
inline constexpr uint32_t kFrost = 0xCCCCCC;
inline constexpr uint32_t kOffBlack = 0x333333;
inline constexpr uint32_t kLegendGray = 0xE5E5E5;

// Components in 0 to 1, each times 255 and truncated, packed 0x00RRGGBB.
inline uint32_t PackColor(double red, double green, double blue) {
  const auto channel = [](double c) { return static_cast<uint32_t>(DoubleToInt32(c * 255.0)) & 0xFF; };
  return channel(red) << 16 | channel(green) << 8 | channel(blue);
}
