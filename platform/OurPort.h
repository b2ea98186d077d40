#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QSize>
#include <QString>

#include <cstdint>
#include <functional>

class QPainter;
class QPicture;

// The drawing port every 2-D drawing call works on: a 32-bit image whose
// pixels are 0x00RRGGBB words (the top byte carries no meaning and may hold
// junk after QPainter has drawn), addressed in the port's local coordinates
// (h to the right, v downwards) with `bounds.topLeft()` at image pixel (0, 0).

enum class OurPenMode { kCopy, kXor };
enum class OurPenPattern { kBlack, kGray };

struct OurPenState {
  QPoint location;   // x is h, y is v
  QSize size{1, 1};  // the pen hangs below and to the right of `location`
  OurPenMode mode = OurPenMode::kCopy;
  OurPenPattern pattern = OurPenPattern::kBlack;
};

// How text is combined with what lies below: copy fills the glyph boxes with
// the back colour first; "or" leaves the background showing through.
enum class OurTextTransfer { kCopy, kOr, kXor };

enum OurTextStyleBits : int {
  kOurTextBold = 1,
  kOurTextItalic = 2,
  kOurTextUnderline = 4,
};

struct OurTextState {
  QString fontName;   // family name as the system knows it ("Times", ...)
  int fontSize = 12;  // points; ports are 72 dpi, so one point is one pixel
  int style = 0;      // OurTextStyleBits
  OurTextTransfer transfer = OurTextTransfer::kOr;
};

enum class OurPortKind { kOffscreen, kWindow };

struct OurPort {
  OurPortKind kind = OurPortKind::kOffscreen;
  QImage image;  // Format_RGB32
  QRect bounds;  // local coordinates of the image
  QRegion clip;  // in local coordinates
  OurPenState pen;
  uint32_t foreColor = 0x000000;
  uint32_t backColor = 0xFFFFFF;
  OurTextState text;
  bool pixelsLocked = false;
  // Set while the port records a picture: drawing through a graphics context
  // then enters the port as plain pixels, so that the picture holds them.
  QPicture* recording = nullptr;
};

// The current port is per thread: background threads that draw into buffers
// of their own never disturb the interface thread's port.
OurPort* CurrentPort();
void SetCurrentPort(OurPort* port);

// Runs draw with a painter on the current port's image, in the port's local
// coordinates and clipped to its clip; nothing when there is no port.
void PaintOnCurrentPort(const std::function<void(QPainter&, const OurPort&)>& draw);

// A new offscreen port of the rectangle (local coordinates), erased to white,
// clip equal to its bounds and default pen, colours and text; null when the
// rectangle is empty or its pixels cannot be had.
OurPort* NewOffscreenPort(const QRect& bounds);
void DisposeOffscreenPort(OurPort* port);  // null accepted

// The 32-bit pixel at local (h, v); the caller has checked the bounds.
inline uint32_t* PortPixel(OurPort& port, int h, int v) {
  return reinterpret_cast<uint32_t*>(port.image.scanLine(v - port.bounds.top())) + (h - port.bounds.left());
}
