#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

#include <functional>

#include "tests/support/HangLimit.h"

// Runs the event loop as the application does until the condition holds: it
// blocks between events, so the cooperative threads have the baton
// meanwhile, as they have while a user looks. False, reported as a hang,
// when the condition did not come within the guard.
inline bool WaitFor(const std::function<bool()>& condition) {
  const QDeadlineTimer guard(kHangLimit);
  QTimer look;  // wakes the loop to look again
  look.start(10);
  while (!condition()) {
    if (guard.hasExpired()) {
      ADD_FAILURE() << "hang: what the test waits for never came";
      return false;
    }
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  return true;
}
