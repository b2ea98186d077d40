#include "platform/WidgetMouseSource.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMouseEvent>
#include <QTimerEvent>

#include <algorithm>
#include <cmath>

namespace {

bool IsHeldBack(QEvent::Type type) {
  switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::Close:
    case QEvent::Timer: return true;
    default: return false;
  }
}

}  // namespace

WidgetMouseSource::WidgetMouseSource(QWidget* widget, QPoint pressedAt) : widget_(widget), last_(pressedAt) {
  timeout_.setSingleShot(true);
  QObject::connect(&timeout_, &QTimer::timeout, this, [this] {
    if (loop_) loop_->quit();
  });
  QCoreApplication::instance()->installEventFilter(this);
}

WidgetMouseSource::~WidgetMouseSource() {
  QCoreApplication::instance()->removeEventFilter(this);
  for (auto& [receiver, event] : held_)
    if (receiver) QCoreApplication::postEvent(receiver, event.release());
}

bool WidgetMouseSource::IsButtonDown() {
  return down_ && std::none_of(received_.begin(), received_.end(), [](const Received& r) { return r.released; });
}

bool WidgetMouseSource::WaitMouseUp(QPoint* where, double timeoutSeconds) { return Wait(where, timeoutSeconds); }

bool WidgetMouseSource::WaitMouseEvent(QPoint* where) { return Wait(where, -1); }

bool WidgetMouseSource::Wait(QPoint* where, double timeoutSeconds) {
  if (down_ && widget_ && received_.empty()) {
    QEventLoop loop;
    loop_ = &loop;
    if (timeoutSeconds >= 0) timeout_.start(static_cast<int>(std::ceil(timeoutSeconds * 1000)));
    loop.exec();
    timeout_.stop();
    loop_ = nullptr;
  }
  if (!received_.empty()) {
    last_ = received_.front().where;
    down_ = down_ && !received_.front().released;
    received_.pop_front();
  }
  if (!widget_) down_ = false;
  if (where) *where = last_;
  return down_;
}

void WidgetMouseSource::HoldBack(QObject* receiver, const QEvent* event) {
  if (event->type() == QEvent::Timer) {
    const int id = static_cast<const QTimerEvent*>(event)->timerId();
    if (!heldTimers_.emplace(std::make_pair(receiver, id), true).second) return;
  }
  held_.emplace_back(receiver, std::unique_ptr<QEvent>(event->clone()));
}

bool WidgetMouseSource::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (watched == widget_ && (type == QEvent::MouseMove || type == QEvent::MouseButtonRelease)) {
    received_.push_back({static_cast<QMouseEvent*>(event)->position().toPoint(), type == QEvent::MouseButtonRelease});
    if (loop_) loop_->quit();
    return true;
  }
  if (watched == &timeout_ || !IsHeldBack(type)) return false;
  // Input reaches a widget through its window: hold the widget's copy. A
  // close is held at the window, whose replay closes the widget properly.
  const bool atWidget = watched->isWidgetType();
  if (type == QEvent::Close ? atWidget : (!atWidget && type != QEvent::Timer)) return false;
  HoldBack(watched, event);
  return true;
}
