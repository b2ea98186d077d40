#include "platform/OurPicture.h"

#include <QPainter>

void RenderPicture(const OurPicture& picture, QImage& target, QPointF topLeft, double scale) {
  if (target.isNull() || picture.frame.isEmpty()) return;
  QPainter painter(&target);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, scale != 1.0);
  painter.translate(topLeft);
  painter.scale(scale, scale);
  if (!picture.image.isNull()) {
    painter.drawImage(QRectF(QPointF(0, 0), QSizeF(picture.frame.size())), picture.image);
  } else if (!picture.recording.isNull()) {
    painter.translate(-picture.frame.topLeft());
    painter.drawPicture(0, 0, picture.recording);
  }
}
