#pragma once

class DocumentMainWindow;
class QMenu;

// Gives the window its menu bar: File, Edit, Math, Graph and Insert.
void InstallMenus(DocumentMainWindow* window);

// Enables the Edit, Math and Insert items that apply to the focused block
// now; the menus do it as they open.
void UpdateEditItems(DocumentMainWindow* window);
