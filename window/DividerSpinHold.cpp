#include "window/DividerSpinHold.h"

#include <QEvent>

#include "graphpane/GraphHooks.h"

bool DividerSpinHold::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress) gInhibit3DRotationKluge = true;
  if (event->type() == QEvent::MouseButtonRelease) gInhibit3DRotationKluge = false;
  return QObject::eventFilter(watched, event);
}
