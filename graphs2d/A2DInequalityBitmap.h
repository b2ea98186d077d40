#pragma once

#include <cstdint>

#include "CoreUtilities/MRect.h"
#include "renderer/CountedMemory.h"

// The 2-bit map of an inequality (the layout of CoreUtilities/drawing/TwoBitMaps.h)
// in pixel coordinates of its frame. Workers write it while the interface
// thread draws it, each row written by one worker only, so every access is
// a relaxed atomic load or store of a 32-bit word; rowBytes is a multiple
// of 4. The TwoBitMaps routines may take Bytes() only while no worker runs.
class InequalityBitmap {
 public:
  InequalityBitmap() = default;
  InequalityBitmap(const InequalityBitmap&) = delete;
  InequalityBitmap& operator=(const InequalityBitmap&) = delete;

  // A zeroed map of the frame; false (and no map) when the frame has no
  // height or memory runs out.
  bool Allocate(const MRect& frame);
  void Free();
  void Swap(InequalityBitmap& other);

  bool Exists() const { return fWords != nullptr; }
  uint8_t* Bytes() { return reinterpret_cast<uint8_t*>(fWords.get()); }
  long RowBytes() const { return fRowBytes; }
  long ByteCount() const { return fRowBytes * fHeight; }
  const MRect& Frame() const { return fFrame; }
  int32_t Width() const { return fWidth; }
  int32_t Height() const { return fHeight; }
  bool Contains(int32_t h, int32_t v) const {
    return h >= fFrame.left && h < fFrame.right && v >= fFrame.top && v < fFrame.bottom;
  }

  // (h, v) must lie in the frame; writers own the row.
  int Get(int32_t h, int32_t v) const;
  void Set(int32_t h, int32_t v, int value);
  // The rectangle, clipped to the frame, set to one value.
  void Fill(const MRect& r, int value);
  void Zero();
  // ByteCount() bytes out or in.
  void CopyOut(void* destination) const;
  void CopyIn(const void* source);
  bool IsAllZero() const;

 private:
  CountedArray<uint32_t> fWords;
  long fRowBytes = 0;
  MRect fFrame;
  int32_t fWidth = 0, fHeight = 0;
};
