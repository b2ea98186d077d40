#pragma once

class DocumentMainWindow;
class QMenu;

// The Graph menu's 4-D View submenu: which axes a plain drag turns, the
// four preset orientations, a spin and a turn in each of the six planes,
// and a stop. The axes and grid of the 4-D view are the Show Axes and
// Show Graph Paper items'. Enabled only while the 4-D view shows.
void AddView4DItems(DocumentMainWindow* window, QMenu* graph);

// Enables them and checks the drag's choice; the menu does it as it opens.
void UpdateView4DItems(DocumentMainWindow* window);
