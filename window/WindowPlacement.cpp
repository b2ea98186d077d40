#include "window/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

QRect FitWindowToScreen(const QRect& wanted, const QRect& screen) {
  if (screen.isEmpty()) return wanted;
  const int width = std::min(wanted.width(), screen.width());
  const int height = std::min(wanted.height(), screen.height());
  const int left = std::clamp(wanted.left(), screen.left(), screen.left() + screen.width() - width);
  const int top = std::clamp(wanted.top(), screen.top(), screen.top() + screen.height() - height);
  return QRect(left, top, width, height);
}

QRect AvailableScreenArea() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->availableGeometry() : QRect();
}
