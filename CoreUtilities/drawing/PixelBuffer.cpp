#include "CoreUtilities/drawing/PixelBuffer.h"

#include "platform/OurPort.h"

#include <algorithm>
#include <cstdint>

PixelBuffer CurrentPortPixels() {
  PixelBuffer buffer;
  OurPort* port = CurrentPort();
  if (port == nullptr || port->image.isNull()) return buffer;
  const QRect& b = port->bounds;
  const auto fits = [](long x) { return x >= INT16_MIN && x <= INT16_MAX; };
  // A port beyond the reach of 16-bit coordinates cannot be addressed here.
  if (!fits(b.top()) || !fits(b.left()) || !fits(static_cast<long>(b.top()) + b.height()) ||
      !fits(static_cast<long>(b.left()) + b.width()))
    return buffer;
  buffer.base = port->image.bits();
  buffer.rowBytes = port->image.bytesPerLine();
  buffer.bounds = {static_cast<int16_t>(port->bounds.top()), static_cast<int16_t>(port->bounds.left()),
                   static_cast<int16_t>(port->bounds.top() + port->bounds.height()),
                   static_cast<int16_t>(port->bounds.left() + port->bounds.width())};
  return buffer;
}
