#pragma once

#include "CoreUtilities/MRect.h"

#include <QRegion>

QRegion* OurNewRegion();                 // empty
void OurDisposeRegion(QRegion* region);  // null accepted
void OurSetRegionToEmpty(QRegion* region);
void OurSetRegionToRect(QRegion* region, const MRect& r);
void OurUnionRegion(const QRegion* a, const QRegion* b, QRegion* destination);
bool IsOurPointInRegion(MPoint p, const QRegion* region);
