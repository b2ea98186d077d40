#pragma once

#include "CoreUtilities/MRect.h"

#include <QPoint>
#include <QRect>

bool IsOurRectEmpty(const MRect& r);  // bottom <= top or right <= left
bool IsEqualRects(const MRect& a, const MRect& b);
bool IsOurPointInRect(MPoint p, const MRect& r);  // right and bottom outside
// The point moved onto the nearest pixel of the rectangle.
MPoint OurPinRect(const MRect& r, MPoint p);
// Edges saturate at the 16-bit limits rather than wrap.
void OurOffsetRect(MRect* r, int dh, int dv);
// The intersection in `result` (all zero when empty); true when not empty.
bool OurSectRect(const MRect& a, const MRect& b, MRect* result);

QRect ToQRect(const MRect& r);
MRect ToMRect(const QRect& r);  // saturating
QPoint ToQPoint(MPoint p);
int16_t SaturateToInt16(long value);
