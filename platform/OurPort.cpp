#include "platform/OurPort.h"

#include <QPainter>

namespace {
thread_local OurPort* tCurrentPort = nullptr;
}

OurPort* CurrentPort() { return tCurrentPort; }

void PaintOnCurrentPort(const std::function<void(QPainter&, const OurPort&)>& draw) {
  OurPort* port = CurrentPort();
  if (port == nullptr || port->image.isNull()) return;
  QPainter painter(&port->image);
  painter.translate(-port->bounds.left(), -port->bounds.top());
  painter.setClipRegion(port->clip);
  draw(painter, *port);
}

void SetCurrentPort(OurPort* port) { tCurrentPort = port; }

OurPort* NewOffscreenPort(const QRect& bounds) {
  if (bounds.isEmpty()) return nullptr;
  QImage image(bounds.size(), QImage::Format_RGB32);
  if (image.isNull()) return nullptr;
  image.fill(0x00FFFFFFu);
  auto* port = new OurPort;
  port->image = std::move(image);
  port->bounds = bounds;
  port->clip = QRegion(bounds);
  return port;
}

void DisposeOffscreenPort(OurPort* port) {
  if (port != nullptr && CurrentPort() == port) SetCurrentPort(nullptr);
  delete port;
}
