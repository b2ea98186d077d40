#pragma once

#include <QApplication>

#include <gtest/gtest.h>

// Makes the process's Qt application unless there is one; it lives until
// exit, after Qt's own statics.
inline void EnsureQtApplication() {
  static int argc = 1;
  static char name[] = "test";
  static char* argv[] = {name};
  if (!QApplication::instance()) new QApplication(argc, argv);
}

// Makes the application before any test of the program runs. A program
// with suites that make widgets registers it: a suite that measures text
// first would otherwise make a GUI-only application, on which no widget can
// be made.
class QtApplicationEnvironment : public testing::Environment {
 public:
  void SetUp() override { EnsureQtApplication(); }
};
