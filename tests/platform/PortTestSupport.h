#pragma once

#include "platform/OurPort.h"

#include <cstdint>
#include <memory>

struct PortDeleter {
  void operator()(OurPort* port) const { DisposeOffscreenPort(port); }
};
using PortPtr = std::unique_ptr<OurPort, PortDeleter>;

// The colour of a pixel without the meaningless top byte.
inline uint32_t RgbAt(const QImage& image, int x, int y) {
  return reinterpret_cast<const uint32_t*>(image.constScanLine(y))[x] & 0xFFFFFF;
}
inline uint32_t RgbAt(OurPort& port, int h, int v) { return *PortPixel(port, h, v) & 0xFFFFFF; }
