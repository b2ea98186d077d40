#pragma once

// Placing the window's scroll-bar controls. The window layer places them
// (MoveandResizeScrollbar: position along the bar, across it, its length,
// 1 vertical or 0 horizontal); these pass the orientation for it. Before
// the window installs its placer they do nothing.

class QScrollBar;
struct DocumentWindow;

using ScrollbarPlacer = void (*)(QScrollBar* control, int along, int across, int length, int vertical,
                                 DocumentWindow* window);
void SetScrollbarPlacer(ScrollbarPlacer placer);

void MoveandResizeVerticalScrollbar(QScrollBar* control, int along, int across, int length, DocumentWindow* window);
void MoveandResizeHorizontalScrollbar(QScrollBar* control, int along, int across, int length, DocumentWindow* window);
