#pragma once

#include "CoreUtilities/MRect.h"

#include <QRect>

#include <cstdint>
#include <vector>

struct DocumentWindow;
struct MathGraphicsContext;

// The math pane: the document's blocks stacked top to bottom, each a fixed
// margin in from the pane's sides and apart from the next.
inline constexpr int32_t kMathPaneMargin = 10;
inline constexpr int32_t kMathPaneBlockGap = 8;

// Where the blocks stand: one rectangle per block, in block order, and the
// height they fill, margins included.
struct MathPaneLayout {
  std::vector<QRect> blocks;
  int32_t height = 0;
  int32_t width = 0;  // more than the pane's where a formula or table stands out
};

// Places every block in the pane (equation draw rectangles and wrap widths,
// text destinations, table rectangles). Empty for a window without a
// document.
MathPaneLayout LayOutMathPane(DocumentWindow* window, const QRect& pane);
// The block under the point, or -1.
int32_t MathPaneBlockAt(const MathPaneLayout& layout, QPoint point);
// The cell of the block's table under the point: column, and row as a cell
// index (0 the heading); (-1, -1) when none.
QPoint MathPaneTableCellAt(DocumentWindow* window, const MathPaneLayout& layout, int32_t block, QPoint point);
// Where the cell (column, and row as a cell index) of the block's table
// stands; empty when the table does not show it now.
QRect MathPaneTableCellRect(DocumentWindow* window, const MathPaneLayout& layout, int32_t block, QPoint cell);
// Where the bar of a table that scrolls its rows goes: beside its data
// rows. Empty for a block that is no such table.
QRect TableScrollBarRect(DocumentWindow* window, const MathPaneLayout& layout, int32_t block);

// Lays the pane out, then paints what the pane shows of it: background,
// the focused formula's highlight, the formulas, text blocks and table
// cells in the pane, then the caret bar. With a null context it paints
// the current port (the caret by XOR); with one, its painter (no caret: a
// picture has none). The current record is the same afterwards.
void DrawMathPane(DocumentWindow* window, const QRect& pane, MathGraphicsContext* context);
// The same with the blocks already laid out (the layout may start above or
// left of the pane: the pane shows that part of it).
void PaintMathPane(DocumentWindow* window, const QRect& pane, const MathPaneLayout& layout,
                   MathGraphicsContext* context);

// The window's math pane port painted afresh (DrawMathPane over the port's
// bounds, the blocks scrolled by the window's offset), then the window told
// its pane changed. Nothing without a port.
void RedrawMathPane(DocumentWindow* window);

// The window layer's way to hear that the pane's port changed.
void SetMathPaneChangedHandler(void (*changed)(DocumentWindow* window));
void NotifyMathPaneChanged(DocumentWindow* window);

// The pane's clip rectangle: the port's bounds, or the window's own clip
// when it set one; empty without a port.
MRect MathPaneClipRect(DocumentWindow* window);

// Makes the document's pane the editor's way to redraw and clip.
void InstallMathPaneDrawing();
