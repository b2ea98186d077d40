#pragma once

class DocumentMainWindow;
class QMenu;

// The Graph menu's items for the focused equation (colour, surface,
// density or contour plot, transparency) and the zoom to given ranges.
void AddGraphSettingItems(DocumentMainWindow* window, QMenu* graph);

// Enables and checks them for the focused equation; the menu does it as it
// opens.
void UpdateGraphSettingItems(DocumentMainWindow* window);
