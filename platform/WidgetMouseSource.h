#pragma once

#include "platform/MouseSource.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <map>
#include <memory>
#include <utility>
#include <vector>

class QEvent;
class QEventLoop;

// The live mouse of one widget, for the drag loops of a press the widget
// received: each wait runs a nested event loop until the widget's next
// mouse move or release, or the timeout. Positions are the widget's own.
// While the source lives, keys, other presses, window closing and timer
// ticks are held back and delivered, in order, when the source goes, so
// that nothing frees what the drag works on; painting and queued calls
// pass.
class WidgetMouseSource : public QObject, public MouseSource {
 public:
  WidgetMouseSource(QWidget* widget, QPoint pressedAt);
  ~WidgetMouseSource() override;
  WidgetMouseSource(const WidgetMouseSource&) = delete;
  WidgetMouseSource& operator=(const WidgetMouseSource&) = delete;

  bool IsButtonDown() override;
  bool WaitMouseUp(QPoint* where, double timeoutSeconds) override;
  bool WaitMouseEvent(QPoint* where) override;
  void FlushMouseEvents() override {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool Wait(QPoint* where, double timeoutSeconds);
  void HoldBack(QObject* receiver, const QEvent* event);

  QPointer<QWidget> fWidget;
  QPoint fLast;
  bool fDown = true;
  // Moves and the release received but not yet waited for: one pass of the
  // event loop may deliver several.
  struct Received {
    QPoint where;
    bool released;
  };
  std::deque<Received> fReceived;
  QEventLoop* fLoop = nullptr;
  QTimer fTimeout;
  std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> fHeld;
  std::map<std::pair<QObject*, int>, bool> fHeldTimers;  // one tick each is enough
};
