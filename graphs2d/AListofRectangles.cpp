#include "graphs2d/AListofRectangles.h"

#include <algorithm>
#include <utility>

#include "CoreUtilities/memory/ListGrowth.h"
#include "CoreUtilities/memory/MemoryBudget.h"
#include "CoreUtilities/drawing/OurRects.h"

int AListofRectangles::Insert(const MRect& r, int32_t position) {
  if (fCount == fCapacity) {
    const int32_t capacity = NextListCapacity(fCapacity);
    if (capacity == 0) return 1;
    CountedArray<MRect> items = NewCountedArray<MRect>(size_t(capacity));
    if (items == nullptr) return 1;
    OurCopyMemory(items.get(), fItems.get(), size_t(fCount) * sizeof(MRect));
    fItems = std::move(items);
    fCapacity = capacity;
  }
  OurCopyMemory(fItems.get() + position + 1, fItems.get() + position, size_t(fCount - position) * sizeof(MRect));
  fItems[position] = r;
  ++fCount;
  return 0;
}

void AListofRectangles::RemoveAllElements() {
  fItems.reset();
  fCount = fCapacity = 0;
}

void AListofRectangles::GetVerticalRange(int32_t* top, int32_t* bottom) const {
  *top = fItems[0].top;
  *bottom = fItems[0].bottom;
  for (int32_t i = 1; i < fCount; ++i) {
    *top = std::min<int32_t>(*top, fItems[i].top);
    *bottom = std::max<int32_t>(*bottom, fItems[i].bottom);
  }
}

void AListofRectangles::Scroll(int32_t dh, int32_t dv, const MRect& bounds) {
  int32_t kept = 0;
  for (int32_t i = 0; i < fCount; ++i) {
    MRect r = fItems[i];
    OurOffsetRect(&r, dh, dv);
    if (OurSectRect(r, bounds, &r)) fItems[kept++] = r;
  }
  fCount = kept;
}

int AListofRectangles::PushRevealedRects(const MRect& old, const MRect& bounds) {
  const MRect strips[4] = {
      {bounds.top, bounds.left, bounds.bottom, old.left},
      {bounds.top, old.right, bounds.bottom, bounds.right},
      {bounds.top, old.left, old.top, old.right},
      {old.bottom, old.left, bounds.bottom, old.right},
  };
  int dropped = 0;
  for (const MRect& strip : strips) {
    MRect clipped;
    if (OurSectRect(strip, bounds, &clipped)) dropped += PushFront(clipped);
  }
  return dropped;
}
