#include "CoreUtilities/ScopedSavers.h"

#include "CoreUtilities/OurRects.h"
#include "platform/TextBlock.h"

#include <QPainter>

#include <algorithm>

APushPort::APushPort(OurPort* port) : saved_(CurrentPort()) { SetCurrentPort(port); }
APushPort::~APushPort() { SetCurrentPort(saved_); }

APushWindowPort::APushWindowPort(OurPort* windowPort) : saved_(CurrentPort()), changed_(windowPort != saved_) {
  if (changed_) SetCurrentPort(windowPort);
}
APushWindowPort::~APushWindowPort() {
  if (changed_) SetCurrentPort(saved_);
}

APushPenState::APushPenState() : port_(CurrentPort()) {
  if (port_ != nullptr) saved_ = std::make_unique<OurPenState>(port_->pen);
}
APushPenState::~APushPenState() {
  if (port_ != nullptr) port_->pen = *saved_;
}

APushClip::APushClip() : port_(CurrentPort()) {
  if (port_ != nullptr) saved_ = std::make_unique<QRegion>(port_->clip);
}
APushClip::APushClip(const OurPort& window) : APushClip() {
  if (port_ != nullptr) port_->clip = QRegion(window.bounds);
}
APushClip::APushClip(const MRect& rect) : APushClip() {
  if (port_ != nullptr) port_->clip = IsOurRectEmpty(rect) ? QRegion() : QRegion(ToQRect(rect));
}
APushClip::~APushClip() {
  if (port_ != nullptr) port_->clip = *saved_;
}

APushTextInfo::APushTextInfo(OurText text, int selector, bool value) : text_(text), selector_(selector) {
  if (text_ == nullptr) return;
  saved_ = text_->Feature(selector_);
  text_->SetFeature(selector_, value);
}
APushTextInfo::~APushTextInfo() {
  if (text_ != nullptr) text_->SetFeature(selector_, saved_);
}

ALockPixelsOnCurrentPort::ALockPixelsOnCurrentPort() : port_(CurrentPort()) {
  if (port_ == nullptr) return;
  wasLocked_ = port_->pixelsLocked;
  lockFailed_ = port_->image.isNull();
  if (!lockFailed_) port_->pixelsLocked = true;
}
ALockPixelsOnCurrentPort::~ALockPixelsOnCurrentPort() {
  if (port_ != nullptr) port_->pixelsLocked = wasLocked_;
}

APrepareGraphicsContext::APrepareGraphicsContext(OurPort* port, const MRect* rect, QPainter** context) {
  *context = nullptr;
  port_ = port != nullptr ? port : CurrentPort();
  if (port_ == nullptr || port_->image.isNull()) return;
  if (port_->recording != nullptr) {
    bufferRect_ = rect != nullptr ? ToQRect(*rect) : port_->bounds;
    if (bufferRect_.isEmpty()) return;
    buffer_ = QImage(bufferRect_.size(), QImage::Format_RGB32);
    if (buffer_.isNull()) return;
    buffer_.fill(0xFFFFFFFFu);
    painter_ = std::make_unique<QPainter>(&buffer_);
    painter_->translate(-bufferRect_.topLeft());
  } else {
    painter_ = std::make_unique<QPainter>(&port_->image);
    painter_->translate(-port_->bounds.topLeft());
    if (rect != nullptr) painter_->setClipRect(ToQRect(*rect));
  }
  painter_->setRenderHint(QPainter::Antialiasing);
  painter_->setRenderHint(QPainter::TextAntialiasing);
  painter_->setPen(Qt::black);
  painter_->setBrush(Qt::black);
  *context = painter_.get();
}

APrepareGraphicsContext::~APrepareGraphicsContext() {
  if (painter_ == nullptr) return;
  painter_->end();
  if (buffer_.isNull()) return;
  const QRect target = bufferRect_.intersected(port_->bounds);
  for (int v = target.top(); v <= target.bottom(); ++v) {
    const auto* ink = reinterpret_cast<const uint32_t*>(buffer_.constScanLine(v - bufferRect_.top()));
    uint32_t* pixel = PortPixel(*port_, target.left(), v);
    for (int h = target.left(); h <= target.right(); ++h, ++pixel) {
      const uint32_t a = ink[h - bufferRect_.left()], b = *pixel;
      uint32_t darkest = 0;
      for (int shift = 0; shift <= 16; shift += 8)
        darkest |= std::min((a >> shift) & 0xFF, (b >> shift) & 0xFF) << shift;
      *pixel = darkest;
    }
  }
}
