#pragma once

#include <QGuiApplication>
#include <QImage>
#include <QRect>
#include <QScreen>

// Whether the program runs on a display rather than the offscreen platform.
inline bool OnADisplay() { return QGuiApplication::platformName() != QLatin1String("offscreen"); }

// What the screen shows in the rectangle, in global coordinates, whatever
// windows lie there.
inline QImage ScreenPicture(const QRect& global) {
  return QGuiApplication::primaryScreen()
      ->grabWindow(0, global.x(), global.y(), global.width(), global.height())
      .toImage()
      .convertToFormat(QImage::Format_RGB32);
}
