#pragma once

#include <QCursor>

// The cursor shapes the system shows; the fists and the horizontal arrow
// stand for its own cursor images, and the poof falls back to the arrow.
enum class OurCursorShape { kArrow, kClosedHand, kMathFist, kFist, kHorizontalArrow, kPoof };

Qt::CursorShape CursorShapeFor(OurCursorShape shape);
QCursor MakeCursor(OurCursorShape shape);  // needs the application object

// Shows the shape over the whole application (when there is one) and
// remembers it.
void ShowCursorShape(OurCursorShape shape);
OurCursorShape ShownCursorShape();
