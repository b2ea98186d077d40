#include "CoreUtilities/drawing/OurRegions.h"

#include "CoreUtilities/drawing/OurRects.h"

QRegion* OurNewRegion() { return new QRegion; }

void OurDisposeRegion(QRegion* region) { delete region; }

void OurSetRegionToEmpty(QRegion* region) {
  if (region != nullptr) *region = QRegion();
}

void OurSetRegionToRect(QRegion* region, const MRect& r) {
  if (region != nullptr) *region = IsOurRectEmpty(r) ? QRegion() : QRegion(ToQRect(r));
}

void OurUnionRegion(const QRegion* a, const QRegion* b, QRegion* destination) {
  if (a != nullptr && b != nullptr && destination != nullptr) *destination = a->united(*b);
}

bool IsOurPointInRegion(MPoint p, const QRegion* region) { return region != nullptr && region->contains(ToQPoint(p)); }
