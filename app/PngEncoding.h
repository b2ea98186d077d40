#pragma once

#include <cstdint>
#include <ctime>
#include <vector>

class QImage;

// What a written PNG says of itself besides its pixels: the writing
// program's name (a "Software" text chunk) and when it was made (a time
// chunk). Pictures kept inside documents carry neither, so that saving
// twice writes the same bytes.
struct PngStamp {
  const char* software = nullptr;
  std::time_t madeAt = 0;
};

// The image as RGBA PNG bytes appended to out; false when libpng failed.
bool EncodePng(const QImage& image, std::vector<uint8_t>& out, const PngStamp* stamp = nullptr);
