#pragma once

// The window layer's start-up call: fills the window's entries of the
// graph pane's upward calls (drawing, the graph world, cursors, the idle
// timer, the changed mark, wake-ups, the coordinate display, the view
// buttons' help tags, the selection colour, the 4-D axis indicator) and
// shows queued errors in alerts.
void InstallWindowHooks();
