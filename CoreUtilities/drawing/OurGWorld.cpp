#include "CoreUtilities/drawing/OurGWorld.h"

#include "CoreUtilities/drawing/OurRects.h"
#include "platform/OurPort.h"
#include "platform/PortCopy.h"

namespace {

// Locks the pixels of both sides for a copy and unlocks afterwards only those
// that were not locked before.
class PixelsLockedForCopy {
 public:
  PixelsLockedForCopy(OurPort& a, OurPort& b) : fA(a), fB(b), fAWas(a.pixelsLocked), fBWas(b.pixelsLocked) {
    a.pixelsLocked = b.pixelsLocked = true;
  }
  ~PixelsLockedForCopy() {
    fA.pixelsLocked = fAWas;
    fB.pixelsLocked = fBWas;
  }
  PixelsLockedForCopy(const PixelsLockedForCopy&) = delete;
  PixelsLockedForCopy& operator=(const PixelsLockedForCopy&) = delete;

 private:
  OurPort& fA;
  OurPort& fB;
  bool fAWas, fBWas;
};

OurPort* WorldOrCurrent(OurPort* world) { return world != nullptr ? world : CurrentPort(); }

void PlainCopy(OurPort* source, OurPort* destination, const MRect& sourceRect, const MRect& destinationRect) {
  if (source == nullptr || destination == nullptr) return;
  PixelsLockedForCopy locked(*source, *destination);
  CopyPortPixels(*source, *destination, ToQRect(sourceRect), ToQRect(destinationRect));
}

}  // namespace

OurPort* OurNewGWorld(const MRect& bounds) {
  if (IsOurRectEmpty(bounds)) return nullptr;
  return NewOffscreenPort(ToQRect(bounds));
}

void OurDisposeGWorld(OurPort* world) { DisposeOffscreenPort(world); }

bool OurLockPixels(OurPort* world) {
  if (world == nullptr || world->image.isNull()) return false;
  world->pixelsLocked = true;
  return true;
}

void OurUnlockPixels(OurPort* world) {
  if (world != nullptr) world->pixelsLocked = false;
}

void OurLockPixelsAndAssert(OurPort* world) { OurLockPixels(world); }

bool IsOurGWorldPurged(OurPort* world) { return world == nullptr || world->image.isNull(); }

uint8_t* GetBaseAddress(OurPort* world) {
  OurPort* port = WorldOrCurrent(world);
  return port != nullptr && !port->image.isNull() ? port->image.bits() : nullptr;
}

long GetRowBytes(OurPort* world) {
  OurPort* port = WorldOrCurrent(world);
  return port != nullptr ? port->image.bytesPerLine() : 0;
}

MRect GetBounds(OurPort* world) {
  OurPort* port = WorldOrCurrent(world);
  return port != nullptr ? ToMRect(port->bounds) : MRect{};
}

MRect GetPortRect(OurPort* world) { return GetBounds(world); }

void OurCopyGWorldToGWorld(OurPort* source, OurPort* destination, const MRect& sourceRect,
                           const MRect& destinationRect) {
  PlainCopy(source, destination, sourceRect, destinationRect);
}

void OurCopyCurrentPortToGWorld(OurPort* world, const MRect& sourceRect, const MRect& destinationRect) {
  PlainCopy(CurrentPort(), world, sourceRect, destinationRect);
}

void CopyBitsWithCG(OurPort* source, OurPort* destination, const MRect& sourceRect, const MRect& destinationRect) {
  if (source == nullptr || destination == nullptr) return;
  PixelsLockedForCopy locked(*source, *destination);
  ReducePortPixelsByHalf(*source, *destination, ToQRect(sourceRect), ToQRect(destinationRect));
}

void OurCopyGWorldToCurrentPort(OurPort* world, const MRect& sourceRect, const MRect& destinationRect) {
  const long sw = sourceRect.right - sourceRect.left, sh = sourceRect.bottom - sourceRect.top;
  const long dw = destinationRect.right - destinationRect.left, dh = destinationRect.bottom - destinationRect.top;
  if (dw > 0 && dh > 0 && sw == 2 * dw && sh == 2 * dh)
    CopyBitsWithCG(world, CurrentPort(), sourceRect, destinationRect);
  else
    PlainCopy(world, CurrentPort(), sourceRect, destinationRect);
}

void OurCopyGWorldToCurrentPort(OurPort* world, const MRect& rect) { OurCopyGWorldToCurrentPort(world, rect, rect); }

void OurBlendGWorldToCurrentPort(OurPort* world, const MRect& rect) {
  OurPort* destination = CurrentPort();
  if (world == nullptr || destination == nullptr) return;
  PixelsLockedForCopy locked(*world, *destination);
  BlendPortPixels(*world, *destination, ToQRect(rect));
}
