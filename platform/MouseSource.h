#pragma once

#include <QPoint>

#include <deque>
#include <utility>
#include <vector>

// Where the mouse-tracking loops read the button and the position from. The
// live source belongs to the window layer; tests install a scripted one.
class MouseSource {
 public:
  virtual ~MouseSource() = default;
  virtual bool IsButtonDown() = 0;
  // Waits until the button is released, the mouse moves or `timeoutSeconds`
  // pass (negative: no limit); stores the position; false once released.
  virtual bool WaitMouseUp(QPoint* where, double timeoutSeconds) = 0;
  // Waits for the next mouse event; false when it is the release.
  virtual bool WaitMouseEvent(QPoint* where) = 0;
  virtual void FlushMouseEvents() = 0;
};

// Null means no mouse: the button reads as up.
void SetMouseSource(MouseSource* source);
MouseSource* CurrentMouseSource();

// Plays back a list of steps, one per wait; an exhausted script reads as a
// released button at the last position.
class ScriptedMouseSource : public MouseSource {
 public:
  struct Step {
    QPoint where;
    bool released = false;
  };

  explicit ScriptedMouseSource(std::deque<Step> steps) : fSteps(std::move(steps)) {}

  bool IsButtonDown() override;
  bool WaitMouseUp(QPoint* where, double timeoutSeconds) override;
  bool WaitMouseEvent(QPoint* where) override;
  void FlushMouseEvents() override;

  // The timeouts the waits were given, in order.
  const std::vector<double>& Timeouts() const { return fTimeouts; }

 private:
  bool Next(QPoint* where);

  std::deque<Step> fSteps;
  QPoint fLast;
  std::vector<double> fTimeouts;
};
