#pragma once

#include <cstdint>
#include <string_view>

// Width of a text in a face and size, in points; 0 when it cannot be laid
// out. The editor measures the same short strings over and over, and a
// layout costs far more than a lookup, so widths are kept per (face, text)
// for a size of one point and scaled.
double CachedTextWidth(std::u16string_view text, uint32_t faceId, double size);
