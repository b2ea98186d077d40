#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "CoreUtilities/MRect.h"

class DocumentMainWindow;

// The demo player: plays a script of the message table (ids 50 to 59) into
// a document window, one step a line. A step runs its commands, shows its
// caption in the window's hint line, types its text through the window's
// keys at a pace a viewer can follow (the formulas are graphed once the
// step's last key is typed) and plays its animation range once;
// the next step starts when the step's graphs are all done and its hold
// has passed. One demo plays at a time; starting one stops the other.

// The demo idle: runs first in every window timer callback.
void DemoIdle();

// Plays message `messageId` into a new untitled window; null when the
// window could not be made.
DocumentMainWindow* PlayDemo(int32_t messageId);
// Plays the script's text into the window.
void PlayDemoScript(const std::u32string& script, DocumentMainWindow* window);
// Ends the running demo: the document stays as the demo made it, marked
// unmodified, and the hint line shows the typing hint again.
void StopDemo();
// A paused demo types nothing and its animation stands until Resume.
void PauseDemo();
void ResumeDemo();
// The window the running demo plays into; null when none runs.
DocumentMainWindow* DemoWindow();

// The mouse of a drag the demo makes: the next point of the drag with the
// button held, false once released (at the last point).
bool MyWaitMouseUp(MPoint* where, double timeoutSeconds);
// The point of the demo's drag at a step of it, in the graph pane.
MPoint GetDemoMouseLocation(int32_t step);

// Tests: every key, drag point and hold is due at once.
void SetDemoImmediatePace(bool immediate);
// Tests: called with the line's index once a step's graphs are done and
// its animation played, before its hold.
void SetDemoStepObserver(std::function<void(int32_t line)> observer);
// Tests: called after each key a step types, with the count typed so far;
// the step's graphing waits until its last key.
void SetDemoKeyObserver(std::function<void(int32_t line, size_t keys)> observer);
