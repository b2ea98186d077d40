#pragma once

#include <cstdint>
#include <vector>

class QImage;

// What a written PNG says of itself besides its pixels: the writing
// program's name (a "Software" text chunk). Pictures kept inside documents
// carry none. No time is written, so that one picture always gives the same
// bytes.
struct PngStamp {
  const char* software = nullptr;
};

// The image as RGBA PNG bytes appended to out; false when libpng failed or
// the deadline clock reached giveUpAt first (out then holds a part to be
// dropped). giveUpAt is a deadline as DeadlineAfter makes it, 0 for none.
bool EncodePng(const QImage& image, std::vector<uint8_t>& out, const PngStamp* stamp = nullptr, int64_t giveUpAt = 0);
