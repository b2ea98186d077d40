#pragma once

#include <QApplication>
#include <QEvent>
#include <QWidget>

// Paints reaching a window's widgets while it counts.
class PaintCount final : public QObject {
 public:
  explicit PaintCount(const QWidget* window) : fWindow(window) { qApp->installEventFilter(this); }
  ~PaintCount() override { qApp->removeEventFilter(this); }
  int paints = 0;

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    const auto* widget = qobject_cast<const QWidget*>(object);
    if (event->type() == QEvent::Paint && widget && widget->window() == fWindow) ++paints;
    return false;
  }

 private:
  const QWidget* fWindow;
};
