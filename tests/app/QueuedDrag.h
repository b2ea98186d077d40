#pragma once

#include <QTest>
#include <QWidget>

#include <vector>

#include "tests/app/ApplicationFixture.h"

// Presses at `from`, moves through `moves` and releases at `to`; the moves
// and the release are queued before the press, which follows the mouse
// itself until the release.
inline void QueuedDrag(QWidget* widget, QPoint from, const std::vector<QPoint>& moves, QPoint to) {
  for (const QPoint at : moves)
    QMetaObject::invokeMethod(
        widget, [widget, at] { MoveWithButtonHeld(widget, at); }, Qt::QueuedConnection);
  QMetaObject::invokeMethod(
      widget, [widget, to] { QTest::mouseRelease(widget, Qt::LeftButton, {}, to); }, Qt::QueuedConnection);
  QTest::mousePress(widget, Qt::LeftButton, {}, from);
}
