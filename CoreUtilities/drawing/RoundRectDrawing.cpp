#include "CoreUtilities/drawing/RoundRectDrawing.h"

#include "platform/OurPort.h"

#include <QPainter>
#include <QPainterPath>

void DrawAntiAliasedRoundRectInContext(QPainter& context, float left, float top, float right, float bottom,
                                       float radius, const uint32_t* rgb) {
  if (!(right > left) || !(bottom > top)) return;
  QPainterPath path;
  path.addRoundedRect(QRectF(left, top, right - left, bottom - top), radius, radius);
  context.save();
  context.setRenderHint(QPainter::Antialiasing, true);
  context.fillPath(path, QColor::fromRgb(static_cast<QRgb>(rgb ? *rgb & 0xFFFFFF : 0xFFFFFF)));
  context.restore();
}

void DrawAntiAliasedRoundRect(float left, float top, float right, float bottom, float radius, const uint32_t* rgb) {
  PaintOnCurrentPort([&](QPainter& painter, const OurPort&) {
    DrawAntiAliasedRoundRectInContext(painter, left, top, right, bottom, radius, rgb);
  });
}
