#include "CoreUtilities/drawing/OurDrawing.h"

#include "CoreUtilities/drawing/OurRects.h"
#include "platform/OurPort.h"
#include "platform/PenDrawing.h"

#include <QRgba64>

namespace {

template <typename Change>
void WithCurrentPort(Change change) {
  if (OurPort* port = CurrentPort()) change(*port);
}

}  // namespace

void OurMoveTo(int h, int v) {
  WithCurrentPort([&](OurPort& port) { port.pen.location = QPoint(h, v); });
}

void OurMove(int dh, int dv) {
  WithCurrentPort([&](OurPort& port) { port.pen.location += QPoint(dh, dv); });
}

void OurLineTo(int h, int v) {
  WithCurrentPort([&](OurPort& port) { PortLineTo(port, QPoint(h, v)); });
}

void OurLineToWithEndpoints(int h, int v) { OurLineTo(h, v); }

void OurPoint(int h, int v) {
  OurMoveTo(h, v);
  OurLineTo(h, v);
}

void OurPenNormal() {
  WithCurrentPort([](OurPort& port) {
    port.pen.size = QSize(1, 1);
    port.pen.mode = OurPenMode::kCopy;
    port.pen.pattern = OurPenPattern::kBlack;
  });
}

void OurPenSize(int n) {
  WithCurrentPort([&](OurPort& port) { port.pen.size = QSize(n, n); });
}

void OurPenXor() {
  WithCurrentPort([](OurPort& port) { port.pen.mode = OurPenMode::kXor; });
}

void OurPenPatBlack() {
  WithCurrentPort([](OurPort& port) { port.pen.pattern = OurPenPattern::kBlack; });
}

void OurPenPatGray() {
  WithCurrentPort([](OurPort& port) { port.pen.pattern = OurPenPattern::kGray; });
}

void OurForeColorBlack() { OurRGBForeColor(0x000000); }
void OurBackColorWhite() { OurRGBBackColor(0xFFFFFF); }

QColor ToPlatformColor(uint32_t rgb) {
  const auto channel = [&](int shift) { return static_cast<quint16>(((rgb >> shift) & 0xFF) * 257); };
  return QColor(QRgba64::fromRgba64(channel(16), channel(8), channel(0), 0xFFFF));
}

uint32_t FromPlatformColor(const QColor& color) {
  const QRgba64 c = color.rgba64();
  return static_cast<uint32_t>(c.red() >> 8) << 16 | static_cast<uint32_t>(c.green() >> 8) << 8 |
         static_cast<uint32_t>(c.blue() >> 8);
}

void OurRGBForeColor(uint32_t rgb) {
  WithCurrentPort([&](OurPort& port) { port.foreColor = FromPlatformColor(ToPlatformColor(rgb)); });
}

void OurRGBBackColor(uint32_t rgb) {
  WithCurrentPort([&](OurPort& port) { port.backColor = FromPlatformColor(ToPlatformColor(rgb)); });
}

void OurTextModeTransparent() {
  WithCurrentPort([](OurPort& port) { port.text.transfer = OurTextTransfer::kOr; });
}

void OurClipRect(const MRect& r) {
  WithCurrentPort([&](OurPort& port) { port.clip = QRegion(ToQRect(r)); });
}

void OurEraseRect(const MRect& r) {
  WithCurrentPort([&](OurPort& port) { PortEraseRect(port, ToQRect(r)); });
}

void OurPaintRect(const MRect& r) {
  WithCurrentPort([&](OurPort& port) { PortPaintRect(port, ToQRect(r)); });
}

void OurFrameRect(const MRect& r) {
  WithCurrentPort([&](OurPort& port) { PortFrameRect(port, ToQRect(r)); });
}

void OurInvertRect(const MRect& r) {
  WithCurrentPort([&](OurPort& port) { PortInvertRect(port, ToQRect(r)); });
}
