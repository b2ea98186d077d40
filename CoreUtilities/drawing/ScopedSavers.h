#pragma once

#include "CoreUtilities/MRect.h"
#include "CoreUtilities/text/OurTextEngine.h"
#include "platform/OurPort.h"

#include <QImage>

#include <memory>

class QPainter;

// Each saver keeps one piece of drawing state from its constructor and puts
// it back in its destructor.

class APushPort {
 public:
  explicit APushPort(OurPort* port);
  ~APushPort();
  APushPort(const APushPort&) = delete;
  APushPort& operator=(const APushPort&) = delete;

 private:
  OurPort* fSaved;
};

// Swaps a window's port in; restores the old one only when it changed.
class APushWindowPort {
 public:
  explicit APushWindowPort(OurPort* windowPort);
  ~APushWindowPort();
  APushWindowPort(const APushWindowPort&) = delete;
  APushWindowPort& operator=(const APushWindowPort&) = delete;

 private:
  OurPort* fSaved;
  bool fChanged;
};

class APushPenState {
 public:
  APushPenState();
  ~APushPenState();
  APushPenState(const APushPenState&) = delete;
  APushPenState& operator=(const APushPenState&) = delete;

 private:
  OurPort* fPort;
  std::unique_ptr<OurPenState> fSaved;
};

// Saves the current port's clip; the window form then clips to the window
// port's rectangle, the rectangle form to the rectangle.
class APushClip {
 public:
  APushClip();
  explicit APushClip(const OurPort& window);
  explicit APushClip(const MRect& rect);
  ~APushClip();
  APushClip(const APushClip&) = delete;
  APushClip& operator=(const APushClip&) = delete;

 private:
  OurPort* fPort;
  std::unique_ptr<QRegion> fSaved;
};

// Sets one feature of a text block (its feature number as the engine has
// it) and puts the former setting back.
class APushTextInfo {
 public:
  APushTextInfo(OurText text, int selector, bool value);
  ~APushTextInfo();
  APushTextInfo(const APushTextInfo&) = delete;
  APushTextInfo& operator=(const APushTextInfo&) = delete;

 private:
  OurText fText;
  int fSelector;
  bool fSaved = false;
};

class ALockPixelsOnCurrentPort {
 public:
  ALockPixelsOnCurrentPort();
  ~ALockPixelsOnCurrentPort();
  ALockPixelsOnCurrentPort(const ALockPixelsOnCurrentPort&) = delete;
  ALockPixelsOnCurrentPort& operator=(const ALockPixelsOnCurrentPort&) = delete;

  bool LockFailed() const { return fLockFailed; }

 private:
  OurPort* fPort;
  bool fWasLocked = false;
  bool fLockFailed = true;
};

// An antialiased painter for the port (or the current port when null), in
// the port's local coordinates, clipped to the rectangle when one is given;
// *context is null when there is no port. A port that records a picture is
// painted through a private white buffer whose ink is laid into the port as
// pixels at the end, darkest channel winning.
class APrepareGraphicsContext {
 public:
  APrepareGraphicsContext(OurPort* port, const MRect* rect, QPainter** context);
  ~APrepareGraphicsContext();
  APrepareGraphicsContext(const APrepareGraphicsContext&) = delete;
  APrepareGraphicsContext& operator=(const APrepareGraphicsContext&) = delete;

 private:
  OurPort* fPort = nullptr;
  std::unique_ptr<QPainter> fPainter;
  QImage fBuffer;
  QRect fBufferRect;
};
