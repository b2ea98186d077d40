#include "app/PdfPage.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

QByteArray OnePagePdf(QSize size, const std::function<void(QPainter&)>& draw) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setResolution(72);
    writer.setPageSize(QPageSize(QSizeF(size), QPageSize::Point));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setCreator(QStringLiteral("Zentrolab"));
    QPainter painter;
    if (!painter.begin(&writer)) return {};
    painter.setRenderHint(QPainter::LosslessImageRendering);
    draw(painter);
    if (!painter.end()) return {};
  }
  return bytes;
}
