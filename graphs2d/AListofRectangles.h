#pragma once

#include <cstdint>

#include "CoreUtilities/MRect.h"
#include "renderer/CountedMemory.h"

// Pixel rectangles still to compute, worked from the end as a stack. Memory
// comes from the budget; an insertion that cannot get it is dropped and
// reported by its result (1), the list unchanged.
class AListofRectangles {
 public:
  AListofRectangles() = default;
  AListofRectangles(const AListofRectangles&) = delete;
  AListofRectangles& operator=(const AListofRectangles&) = delete;

  int Push(const MRect& r) { return Insert(r, fCount); }
  int PushFront(const MRect& r) { return Insert(r, 0); }
  // The last rectangle, removed; the list must not be empty.
  MRect Pop() { return fItems[--fCount]; }
  bool IsEmpty() const { return fCount == 0; }
  int32_t Count() const { return fCount; }
  const MRect& operator[](int32_t i) const { return fItems[i]; }
  // Keeps the memory for reuse.
  void Clear() { fCount = 0; }
  void RemoveAllElements();

  // The least top and greatest bottom; the list must not be empty.
  void GetVerticalRange(int32_t* top, int32_t* bottom) const;
  // Moves every rectangle by (dh, dv), clips it to bounds and removes those
  // left empty, keeping the order of the rest.
  void Scroll(int32_t dh, int32_t dv, const MRect& bounds);
  // Puts at the front the strips of bounds outside old (left, right, above,
  // below, each clipped to bounds); the last one put ends first. Returns the
  // number of strips dropped for lack of memory.
  int PushRevealedRects(const MRect& old, const MRect& bounds);

 private:
  int Insert(const MRect& r, int32_t position);

  CountedArray<MRect> fItems;
  int32_t fCount = 0;
  int32_t fCapacity = 0;
};
