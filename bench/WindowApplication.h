#pragma once

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <functional>

#include "app/Application.h"
#include "window/WindowDialogs.h"

// Where a benchmark's windows are, unless QT_QPA_PLATFORM says.
enum class WindowPlatform { kOffscreen, kDisplayWhereThereIsOne };

// The application as `zl` starts it, once a process, with its alerts
// dropped: benchmarks of document windows. Its layers stop before the
// program ends; the application lives until exit, after Qt's own statics.
inline void StartWindowApplication(WindowPlatform platform) {
  static int argc = 1;
  static char name[] = "bench";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
      (platform == WindowPlatform::kOffscreen || qEnvironmentVariableIsEmpty("DISPLAY")))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  struct Session {
    Session() {
      new QApplication(argc, argv);
      QApplication::setQuitOnLastWindowClosed(false);
      StartLayers();
      SetAlertShower([](int, const QString&) {});
    }
    ~Session() { StopLayers(); }
  };
  static Session session;
}

// Runs the event loop until the condition holds, blocking between events
// as the application does, so that the cooperative threads have the baton
// meanwhile.
inline void RunUntil(const std::function<bool()>& done) {
  if (done()) return;
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (done()) loop.quit();
  });
  poll.start(10);
  loop.exec();
}
