#pragma once

#include <QObject>

// Holds the 3-D views' spin while the user drags the pane divider, so a
// turning picture does not fight the resize; installed on the handle.
class DividerSpinHold : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};
