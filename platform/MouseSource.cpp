#include "platform/MouseSource.h"

namespace {
MouseSource* sMouseSource = nullptr;
}

void SetMouseSource(MouseSource* source) { sMouseSource = source; }
MouseSource* CurrentMouseSource() { return sMouseSource; }

bool ScriptedMouseSource::IsButtonDown() { return !fSteps.empty() && !fSteps.front().released; }

bool ScriptedMouseSource::Next(QPoint* where) {
  bool held = false;
  if (!fSteps.empty()) {
    fLast = fSteps.front().where;
    held = !fSteps.front().released;
    fSteps.pop_front();
  }
  if (where != nullptr) *where = fLast;
  return held;
}

bool ScriptedMouseSource::WaitMouseUp(QPoint* where, double timeoutSeconds) {
  fTimeouts.push_back(timeoutSeconds);
  return Next(where);
}

bool ScriptedMouseSource::WaitMouseEvent(QPoint* where) { return Next(where); }

void ScriptedMouseSource::FlushMouseEvents() { fSteps.clear(); }
