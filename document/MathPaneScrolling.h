#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <cstdint>
#include <vector>

struct DocumentWindow;
struct MathPaneLayout;

// A table that shows fewer rows than it holds scrolls them with a bar of
// its own, beside its data rows.
struct TableScrollBarPlace {
  int32_t block = 0;
  QRect bar;            // in the pane port
  int32_t maximum = 0;  // the first row shown runs from 0 to this
  int32_t first = 0;
  int32_t page = 0;  // rows shown
};

// How a window's math pane is scrolled, and what it held at its last
// drawing into the port: the scroll bars follow it.
struct MathPaneScroll {
  QPoint offset;  // the content moved left and up by this much
  QSize extent;   // what the blocks fill, margins included
  std::vector<TableScrollBarPlace> tables;
};

// Where the layout starts: the port's bounds moved by the offset. Empty
// without a port.
QRect MathPaneFrame(const DocumentWindow* window);
// The offset kept inside 0 to extent less pane, in each direction.
QPoint ClampScroll(QPoint offset, QSize extent, QSize pane);

// Lays the pane out for the port at the window's offset, first bringing
// the offset back in range when the blocks shrank or the pane grew, and
// records the extent and the tables' bars.
MathPaneLayout LayOutScrolledPane(DocumentWindow* window);

// Sets the offset (clamped against the last extent); the caller redraws.
void ScrollMathPane(DocumentWindow* window, QPoint offset);
// Scrolls the least that shows the focused block whole with the margin
// around it, or, for a block taller or wider than the pane, a formula's
// caret or a table's selected cell.
void ScrollFocusIntoView(DocumentWindow* window);
// The first data row (from 0) the table of the block shows, clamped.
void ScrollTableRows(DocumentWindow* window, int32_t block, int32_t first);

// One line of the wheel's scrolling: a line of the document's font.
int32_t MathPaneLineHeight(const DocumentWindow* window);
