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

WidgetMouseSource::WidgetMouseSource(QWidget* widget, QPoint pressedAt) : fWidget(widget), fLast(pressedAt) {
  fTimeout.setSingleShot(true);
  QObject::connect(&fTimeout, &QTimer::timeout, this, [this] {
    if (fLoop) fLoop->quit();
  });
  QCoreApplication::instance()->installEventFilter(this);
}

WidgetMouseSource::~WidgetMouseSource() {
  QCoreApplication::instance()->removeEventFilter(this);
  for (auto& [receiver, event] : fHeld)
    if (receiver) QCoreApplication::postEvent(receiver, event.release());
}

bool WidgetMouseSource::IsButtonDown() {
  return fDown && std::none_of(fReceived.begin(), fReceived.end(), [](const Received& r) { return r.released; });
}

bool WidgetMouseSource::WaitMouseUp(QPoint* where, double timeoutSeconds) { return Wait(where, timeoutSeconds); }

bool WidgetMouseSource::WaitMouseEvent(QPoint* where) { return Wait(where, -1); }

bool WidgetMouseSource::Wait(QPoint* where, double timeoutSeconds) {
  if (fDown && fWidget && fReceived.empty()) {
    QEventLoop loop;
    fLoop = &loop;
    if (timeoutSeconds >= 0) fTimeout.start(static_cast<int>(std::ceil(timeoutSeconds * 1000)));
    loop.exec();
    fTimeout.stop();
    fLoop = nullptr;
  }
  if (!fReceived.empty()) {
    fLast = fReceived.front().where;
    fDown = fDown && !fReceived.front().released;
    fReceived.pop_front();
  }
  if (!fWidget) fDown = false;
  if (where) *where = fLast;
  return fDown;
}

void WidgetMouseSource::HoldBack(QObject* receiver, const QEvent* event) {
  if (event->type() == QEvent::Timer) {
    const int id = static_cast<const QTimerEvent*>(event)->timerId();
    if (!fHeldTimers.emplace(std::make_pair(receiver, id), true).second) return;
  }
  fHeld.emplace_back(receiver, std::unique_ptr<QEvent>(event->clone()));
}

bool WidgetMouseSource::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (watched == fWidget && (type == QEvent::MouseMove || type == QEvent::MouseButtonRelease)) {
    fReceived.push_back({static_cast<QMouseEvent*>(event)->position().toPoint(), type == QEvent::MouseButtonRelease});
    if (fLoop) fLoop->quit();
    return true;
  }
  if (watched == &fTimeout || !IsHeldBack(type)) return false;
  // Input reaches a widget through its window: hold the widget's copy. A
  // close is held at the window, whose replay closes the widget properly.
  const bool atWidget = watched->isWidgetType();
  if (type == QEvent::Close ? atWidget : (!atWidget && type != QEvent::Timer)) return false;
  HoldBack(watched, event);
  return true;
}
