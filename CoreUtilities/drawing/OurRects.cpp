#include "CoreUtilities/drawing/OurRects.h"

#include <algorithm>

int16_t SaturateToInt16(long value) { return static_cast<int16_t>(std::clamp<long>(value, INT16_MIN, INT16_MAX)); }

bool IsOurRectEmpty(const MRect& r) { return r.bottom <= r.top || r.right <= r.left; }

bool IsEqualRects(const MRect& a, const MRect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

bool IsOurPointInRect(MPoint p, const MRect& r) {
  return p.h >= r.left && p.h < r.right && p.v >= r.top && p.v < r.bottom;
}

MPoint OurPinRect(const MRect& r, MPoint p) {
  if (IsOurRectEmpty(r)) return p;
  return {std::clamp<int16_t>(p.v, r.top, static_cast<int16_t>(r.bottom - 1)),
          std::clamp<int16_t>(p.h, r.left, static_cast<int16_t>(r.right - 1))};
}

void OurOffsetRect(MRect* r, int dh, int dv) {
  r->top = SaturateToInt16(static_cast<long>(r->top) + dv);
  r->bottom = SaturateToInt16(static_cast<long>(r->bottom) + dv);
  r->left = SaturateToInt16(static_cast<long>(r->left) + dh);
  r->right = SaturateToInt16(static_cast<long>(r->right) + dh);
}

bool OurSectRect(const MRect& a, const MRect& b, MRect* result) {
  const MRect s{std::max(a.top, b.top), std::max(a.left, b.left), std::min(a.bottom, b.bottom),
                std::min(a.right, b.right)};
  const bool nonEmpty = !IsOurRectEmpty(s);
  *result = nonEmpty ? s : MRect{};
  return nonEmpty;
}

QRect ToQRect(const MRect& r) {
  if (IsOurRectEmpty(r)) return QRect(r.left, r.top, 0, 0);
  return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

MRect ToMRect(const QRect& r) {
  return {SaturateToInt16(r.top()), SaturateToInt16(r.left()), SaturateToInt16(static_cast<long>(r.top()) + r.height()),
          SaturateToInt16(static_cast<long>(r.left()) + r.width())};
}

QPoint ToQPoint(MPoint p) { return QPoint(p.h, p.v); }
