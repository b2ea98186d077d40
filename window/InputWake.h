#pragma once

#include <QObject>

#include <functional>

// Watches the application's input for one window: a key, a press, a
// release, a drag or the wheel reaching anything the window holds runs
// the wake. The window's idle sleeps while nothing moves on its own, so
// the user's input is what starts it again.
class InputWake : public QObject {
 public:
  // holds: whether an object belongs to the window; wake: the window's.
  InputWake(std::function<bool(const QObject*)> holds, std::function<void()> wake);
  ~InputWake() override;
  InputWake(const InputWake&) = delete;
  InputWake& operator=(const InputWake&) = delete;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<bool(const QObject*)> fHolds;
  std::function<void()> fWake;
};
