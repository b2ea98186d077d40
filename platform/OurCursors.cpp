#include "platform/OurCursors.h"

#include <QGuiApplication>

namespace {
OurCursorShape gShownShape = OurCursorShape::kArrow;
}

Qt::CursorShape CursorShapeFor(OurCursorShape shape) {
  switch (shape) {
    case OurCursorShape::kClosedHand:
    case OurCursorShape::kMathFist:
    case OurCursorShape::kFist: return Qt::ClosedHandCursor;
    case OurCursorShape::kHorizontalArrow: return Qt::SizeHorCursor;
    case OurCursorShape::kArrow:
    case OurCursorShape::kPoof: break;
  }
  return Qt::ArrowCursor;
}

QCursor MakeCursor(OurCursorShape shape) { return QCursor(CursorShapeFor(shape)); }

void ShowCursorShape(OurCursorShape shape) {
  gShownShape = shape;
  if (qGuiApp == nullptr) return;
  if (QGuiApplication::overrideCursor() != nullptr)
    QGuiApplication::changeOverrideCursor(MakeCursor(shape));
  else
    QGuiApplication::setOverrideCursor(MakeCursor(shape));
}

OurCursorShape ShownCursorShape() { return gShownShape; }
