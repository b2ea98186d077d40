#include "CoreUtilities/text/OurTextDrawing.h"

#include "CoreUtilities/text/OurFontDesc.h"
#include "CoreUtilities/text/OurString.h"
#include "CoreUtilities/text/UnicodeCharacter.h"
#include "platform/OurPort.h"
#include "platform/TextLayout.h"

#include <QPainter>

#include <functional>

namespace {

std::u16string_view DrawnText(const UniChar* text) { return {text, text != nullptr ? OurStringLength(text) : 0}; }

QColor PortColor(uint32_t rgb) { return QColor::fromRgb(static_cast<QRgb>(rgb & 0xFFFFFF)); }

// Runs draw with a painter in the local coordinates of the current port,
// clipped to it, pen in its foreground colour; or with the given context.
void WithPainter(QPainter* context, const std::function<void(QPainter&, QPointF pen)>& draw) {
  if (context != nullptr) {
    draw(*context, QPointF(0, 0));
    return;
  }
  PaintOnCurrentPort([&](QPainter& painter, const OurPort& port) {
    painter.setPen(PortColor(port.foreColor));
    draw(painter, QPointF(port.pen.location));
  });
}

}  // namespace

void OurDrawString(const UniChar* text, const OurFontDesc& font, QPainter* context) {
  const TextLayout layout(DrawnText(text), font.FaceId(), font.size);
  if (!layout.IsValid()) return;
  WithPainter(context, [&](QPainter& painter, QPointF pen) { layout.DrawLine(painter, 0, pen); });
}

void OurDrawChar(uint32_t character, const OurFontDesc& font, QPainter* context) {
  UniChar units[3] = {};
  if (EncodeUTF16(character, units)) OurDrawString(units, font, context);
}

void OurDrawTextBox(const UniChar* text, const MRect& box, const OurFontDesc& font, OurTextHorizontalAlignment,
                    OurTextVerticalAlignment vertical, QPainter* context) {
  const int width = box.right - box.left;
  if (width <= 0) return;
  const TextLayout layout(DrawnText(text), font.FaceId(), font.size, width);
  if (!layout.IsValid()) return;
  const double ascent = font.GetAscent();
  const double lineHeight = ascent + font.GetDescent();
  const double blockHeight = layout.LineCount() * lineHeight;
  double baseline = box.top + ascent;
  if (vertical == kOurTextAlignCenter) baseline += ((box.bottom - box.top) - blockHeight) / 2;
  if (vertical == kOurTextAlignBottom) baseline = box.bottom + ascent - blockHeight;
  // The box is in the port's (or the context's) own coordinates: the pen plays no part.
  WithPainter(context, [&](QPainter& painter, QPointF) {
    for (int line = 0; line < layout.LineCount(); ++line) {
      layout.DrawLine(painter, line, QPointF(box.left, baseline));
      baseline += lineHeight;
    }
  });
}
