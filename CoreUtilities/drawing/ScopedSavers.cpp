#include "CoreUtilities/drawing/ScopedSavers.h"

#include "CoreUtilities/drawing/OurRects.h"
#include "platform/TextBlock.h"

#include <QPainter>

#include <algorithm>

APushPort::APushPort(OurPort* port) : fSaved(CurrentPort()) { SetCurrentPort(port); }
APushPort::~APushPort() { SetCurrentPort(fSaved); }

APushWindowPort::APushWindowPort(OurPort* windowPort) : fSaved(CurrentPort()), fChanged(windowPort != fSaved) {
  if (fChanged) SetCurrentPort(windowPort);
}
APushWindowPort::~APushWindowPort() {
  if (fChanged) SetCurrentPort(fSaved);
}

APushPenState::APushPenState() : fPort(CurrentPort()) {
  if (fPort != nullptr) fSaved = std::make_unique<OurPenState>(fPort->pen);
}
APushPenState::~APushPenState() {
  if (fPort != nullptr) fPort->pen = *fSaved;
}

APushClip::APushClip() : fPort(CurrentPort()) {
  if (fPort != nullptr) fSaved = std::make_unique<QRegion>(fPort->clip);
}
APushClip::APushClip(const OurPort& window) : APushClip() {
  if (fPort != nullptr) fPort->clip = QRegion(window.bounds);
}
APushClip::APushClip(const MRect& rect) : APushClip() {
  if (fPort != nullptr) fPort->clip = IsOurRectEmpty(rect) ? QRegion() : QRegion(ToQRect(rect));
}
APushClip::~APushClip() {
  if (fPort != nullptr) fPort->clip = *fSaved;
}

APushTextInfo::APushTextInfo(OurText text, int selector, bool value) : fText(text), fSelector(selector) {
  if (fText == nullptr) return;
  fSaved = fText->Feature(fSelector);
  fText->SetFeature(fSelector, value);
}
APushTextInfo::~APushTextInfo() {
  if (fText != nullptr) fText->SetFeature(fSelector, fSaved);
}

ALockPixelsOnCurrentPort::ALockPixelsOnCurrentPort() : fPort(CurrentPort()) {
  if (fPort == nullptr) return;
  fWasLocked = fPort->pixelsLocked;
  fLockFailed = fPort->image.isNull();
  if (!fLockFailed) fPort->pixelsLocked = true;
}
ALockPixelsOnCurrentPort::~ALockPixelsOnCurrentPort() {
  if (fPort != nullptr) fPort->pixelsLocked = fWasLocked;
}

APrepareGraphicsContext::APrepareGraphicsContext(OurPort* port, const MRect* rect, QPainter** context) {
  *context = nullptr;
  fPort = port != nullptr ? port : CurrentPort();
  if (fPort == nullptr || fPort->image.isNull()) return;
  if (fPort->recording != nullptr) {
    fBufferRect = rect != nullptr ? ToQRect(*rect) : fPort->bounds;
    if (fBufferRect.isEmpty()) return;
    fBuffer = QImage(fBufferRect.size(), QImage::Format_RGB32);
    if (fBuffer.isNull()) return;
    fBuffer.fill(0xFFFFFFFFu);
    fPainter = std::make_unique<QPainter>(&fBuffer);
    fPainter->translate(-fBufferRect.topLeft());
  } else {
    fPainter = std::make_unique<QPainter>(&fPort->image);
    fPainter->translate(-fPort->bounds.topLeft());
    if (rect != nullptr) fPainter->setClipRect(ToQRect(*rect));
  }
  fPainter->setRenderHint(QPainter::Antialiasing);
  fPainter->setRenderHint(QPainter::TextAntialiasing);
  fPainter->setPen(Qt::black);
  fPainter->setBrush(Qt::black);
  *context = fPainter.get();
}

APrepareGraphicsContext::~APrepareGraphicsContext() {
  if (fPainter == nullptr) return;
  fPainter->end();
  if (fBuffer.isNull()) return;
  const QRect target = fBufferRect.intersected(fPort->bounds);
  for (int v = target.top(); v <= target.bottom(); ++v) {
    const auto* ink = reinterpret_cast<const uint32_t*>(fBuffer.constScanLine(v - fBufferRect.top()));
    uint32_t* pixel = PortPixel(*fPort, target.left(), v);
    for (int h = target.left(); h <= target.right(); ++h, ++pixel) {
      const uint32_t a = ink[h - fBufferRect.left()], b = *pixel;
      uint32_t darkest = 0;
      for (int shift = 0; shift <= 16; shift += 8)
        darkest |= std::min((a >> shift) & 0xFF, (b >> shift) & 0xFF) << shift;
      *pixel = darkest;
    }
  }
}
