#pragma once

#include <QCoreApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include <vector>

// A move with the button held, as the desktop sends it during a drag.
inline void MoveWithButtonHeld(QWidget* widget, QPoint at) {
  QMouseEvent move(QEvent::MouseMove, QPointF(at), widget->mapToGlobal(QPointF(at)), Qt::NoButton, Qt::LeftButton,
                   Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &move);
}

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
