#pragma once

class QMenu;

// The Demos submenu: one item per demo script, named by its first caption,
// each playing into a new untitled window; then Pause or Resume, and Stop,
// for the demo that runs.
void AddDemoMenu(QMenu* menu);
