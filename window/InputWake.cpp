#include "window/InputWake.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMouseEvent>

#include <utility>

namespace {

bool IsInput(const QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel: return true;
    // A hovering mouse changes nothing the idle looks after.
    case QEvent::MouseMove: return static_cast<const QMouseEvent*>(event)->buttons() != Qt::NoButton;
    default: return false;
  }
}

}  // namespace

InputWake::InputWake(std::function<bool(const QObject*)> holds, std::function<void()> wake)
    : fHolds(std::move(holds)), fWake(std::move(wake)) {
  if (QCoreApplication* application = QCoreApplication::instance()) application->installEventFilter(this);
}

InputWake::~InputWake() {
  if (QCoreApplication* application = QCoreApplication::instance()) application->removeEventFilter(this);
}

bool InputWake::eventFilter(QObject* watched, QEvent* event) {
  if (IsInput(event) && fHolds(watched)) fWake();
  return false;
}
