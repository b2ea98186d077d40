#include "platform/MouseSource.h"

namespace {
MouseSource* sMouseSource = nullptr;
}

void SetMouseSource(MouseSource* source) { sMouseSource = source; }
MouseSource* CurrentMouseSource() { return sMouseSource; }

bool ScriptedMouseSource::IsButtonDown() { return !steps_.empty() && !steps_.front().released; }

bool ScriptedMouseSource::Next(QPoint* where) {
  bool held = false;
  if (!steps_.empty()) {
    last_ = steps_.front().where;
    held = !steps_.front().released;
    steps_.pop_front();
  }
  if (where != nullptr) *where = last_;
  return held;
}

bool ScriptedMouseSource::WaitMouseUp(QPoint* where, double timeoutSeconds) {
  timeouts_.push_back(timeoutSeconds);
  return Next(where);
}

bool ScriptedMouseSource::WaitMouseEvent(QPoint* where) { return Next(where); }

void ScriptedMouseSource::FlushMouseEvents() { steps_.clear(); }
