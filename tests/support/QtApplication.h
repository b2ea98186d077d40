#pragma once

#include <QApplication>

// Makes the process's Qt application unless there is one; it lives until
// exit, after Qt's own statics.
inline void EnsureQtApplication() {
  static int argc = 1;
  static char name[] = "test";
  static char* argv[] = {name};
  if (!QApplication::instance()) new QApplication(argc, argv);
}
