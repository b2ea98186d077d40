#include "document/MathPaneDrawing.h"

#include "CoreUtilities/OurTextEngine.h"
#include "CoreUtilities/ScopedSavers.h"
#include "document/DocumentRecord.h"
#include "document/DocumentTable.h"
#include "document/EquationAnnotations.h"
#include "document/DocumentWindow.h"
#include "expression/MathEditRecord.h"
#include "expression/SelectionGeometry.h"
#include "matheditor/LayoutPipeline.h"
#include "matheditor/LineBreaking.h"
#include "matheditor/MathEditInterface.h"
#include "matheditor/MathPaneHooks.h"
#include "platform/CheckedConvert.h"
#include "platform/FontFaces.h"
#include "platform/OurPort.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace {

void (*sPaneChanged)(DocumentWindow*) = nullptr;

constexpr int32_t kTableCellPadding = 4;
constexpr int32_t kTableMinimumColumn = 40;

MRect ToMRect(const QRect& r) {
  return {DoubleToInt16(r.top()), DoubleToInt16(r.left()), DoubleToInt16(r.top() + r.height()),
          DoubleToInt16(r.left() + r.width())};
}

int32_t ShownTableRows(const Table& table) {
  int32_t rows = 0;
  for (const TableColumn& column : table.columns) rows = std::max(rows, column.DataRows());
  return table.displayRows > 0 ? std::min(rows, table.displayRows) : rows;
}

QFont TableFont(const DocumentRecord* document, const Table& table, bool bold) {
  const uint32_t family = FindFontFamily(document->fContents.fontName);
  const FontFace* face = GetFontFace(FontFaceId(family == kNoFontFace ? 0 : family, bold, false));
  if (!face) face = GetFontFace(FallbackFontFace());
  QFont font = face ? face->font : QFont();
  font.setPixelSize(std::max(1, table.fontSize));
  return font;
}

// Each column as wide as its widest shown text, padded.
std::vector<int32_t> TableColumnWidths(const DocumentRecord* document, const Table& table) {
  const QFontMetricsF plain(TableFont(document, table, false));
  const QFontMetricsF bold(TableFont(document, table, true));
  const int32_t rows = ShownTableRows(table);
  std::vector<int32_t> widths;
  for (const TableColumn& column : table.columns) {
    double widest = bold.horizontalAdvance(QString::fromStdU16String(column.HeadingText()));
    for (int32_t row = 1; row <= rows && row < column.CellCount(); ++row)
      widest = std::max(widest, plain.horizontalAdvance(QString::fromStdU16String(column.Cell(row))));
    widths.push_back(std::max(kTableMinimumColumn, DoubleToInt32(widest) + 2 * kTableCellPadding));
  }
  return widths;
}

QRect PlaceEquation(DocumentWindow* window, MERecord* record, int32_t left, int32_t top, int32_t width) {
  record->wrapWidth = static_cast<float>(std::max(width, 1));
  MESetCurrentEqn(record, window);
  MATH_Hmm();
  const int32_t height = DoubleToInt32(LB_Height(record));
  const int32_t shownWidth = std::min(width, DoubleToInt32(LB_Width(record)));
  record->drawRect[kDrawTop] = DoubleToInt16(top);
  record->drawRect[kDrawLeft] = DoubleToInt16(left);
  record->drawRect[kDrawBottom] = DoubleToInt16(top + height);
  record->drawRect[kDrawRight] = DoubleToInt16(left + shownWidth);
  return QRect(left, top, std::max(width, 1), std::max(height, 1));
}

void DrawTable(const DocumentRecord* document, const Table& table, const QRect& place, QPainter& painter) {
  const std::vector<int32_t> widths = TableColumnWidths(document, table);
  const int32_t rows = ShownTableRows(table);
  const int32_t rowHeight = std::max(1, table.rowHeight);
  painter.save();
  painter.setPen(Qt::black);
  int32_t x = place.left();
  for (size_t c = 0; c < table.columns.size(); ++c) {
    const TableColumn& column = table.columns[c];
    for (int32_t row = 0; row <= rows; ++row) {
      const QRect cell(x, place.top() + row * rowHeight, widths[c], rowHeight);
      painter.drawRect(cell.adjusted(0, 0, -1, -1));
      if (row >= column.CellCount()) continue;
      painter.setFont(TableFont(document, table, row == 0));
      painter.drawText(cell.adjusted(kTableCellPadding, 0, -kTableCellPadding, 0), Qt::AlignVCenter | Qt::AlignLeft,
                       QString::fromStdU16String(column.Cell(row)));
    }
    x += widths[c];
  }
  painter.restore();
}

// Runs draw with the context's painter, or with one on the current port.
template <typename Draw>
void WithPainter(MathGraphicsContext* context, Draw draw) {
  if (context && context->painter) {
    draw(*context->painter);
    return;
  }
  PaintOnCurrentPort([&](QPainter& painter, const OurPort&) { draw(painter); });
}

}  // namespace

MathPaneLayout LayOutMathPane(DocumentWindow* window, const QRect& pane) {
  MathPaneLayout layout;
  DocumentRecord* document = Document(window);
  if (!document) return layout;
  MERecord* const wasCurrent = gMathCurrentMEH;
  const int32_t left = pane.left() + kMathPaneMargin;
  const int32_t width = std::max(1, pane.width() - 2 * kMathPaneMargin);
  int32_t top = pane.top() + kMathPaneMargin;
  for (MBlock& block : document->fContents.blocks) {
    QRect place(left, top, width, 1);
    if (block.kind == kEquationBlock && block.equation) {
      place = PlaceEquation(window, block.equation, left, top, width);
      place.setHeight(place.height() + EquationAnnotationHeight(document, int32_t(layout.blocks.size())));
    } else if (block.kind == kTextBlock && block.text) {
      const MRect destination = ToMRect(QRect(left, top, width, 0));
      OurTextRecalculateMargins(block.text, destination, destination);
      place.setHeight(std::max(1, OurTextGetHeight(block.text)));
    } else if (block.kind == kTableBlock && block.table) {
      const std::vector<int32_t> widths = TableColumnWidths(document, *block.table);
      int32_t tableWidth = 0;
      for (int32_t w : widths) tableWidth += w;
      place.setWidth(std::max(1, tableWidth));
      place.setHeight(std::max(1, (1 + ShownTableRows(*block.table)) * block.table->rowHeight));
    }
    layout.blocks.push_back(place);
    top = place.bottom() + 1 + kMathPaneBlockGap;
  }
  layout.height = top - kMathPaneBlockGap + kMathPaneMargin - pane.top();
  if (wasCurrent) MESetCurrentEqn(wasCurrent, wasCurrent->window);
  return layout;
}

int32_t MathPaneBlockAt(const MathPaneLayout& layout, QPoint point) {
  for (size_t i = 0; i < layout.blocks.size(); ++i)
    if (layout.blocks[i].contains(point)) return static_cast<int32_t>(i);
  return -1;
}

void DrawMathPane(DocumentWindow* window, const QRect& pane, MathGraphicsContext* context) {
  DocumentRecord* document = Document(window);
  if (!document) return;
  MERecord* const wasCurrent = gMathCurrentMEH;
  const MathPaneLayout layout = LayOutMathPane(window, pane);
  const uint8_t* rgb = document->fContents.backgroundColor;
  WithPainter(context, [&](QPainter& painter) { painter.fillRect(pane, QColor(rgb[0], rgb[1], rgb[2])); });
  const bool onPort = !(context && context->painter);
  int32_t index = 0;
  for (MBlock& block : document->fContents.blocks) {
    const QRect& place = layout.blocks[size_t(index++)];
    if (block.kind == kEquationBlock && block.equation) {
      MERecord* record = block.equation;
      if (onPort && record->active) {
        MESetCurrentEqn(record, window);
        ME_InvertRange(nullptr);
      }
      MEUpdate(record, window, context);
      WithPainter(context, [&](QPainter& painter) { DrawEquationAnnotations(document, index - 1, *record, painter); });
    } else if (block.kind == kTextBlock && block.text) {
      OurTextDraw(block.text, context ? context->painter : nullptr);
    } else if (block.kind == kTableBlock && block.table) {
      WithPainter(context, [&](QPainter& painter) { DrawTable(document, *block.table, place, painter); });
    }
  }
  // The caret goes on last: it is the XOR of everything under it.
  for (MBlock& block : document->fContents.blocks)
    if (onPort && block.equation && block.equation->active) {
      MESetCurrentEqn(block.equation, window);
      XorIP(window);
    }
  if (wasCurrent) MESetCurrentEqn(wasCurrent, wasCurrent->window);
}

void RedrawMathPane(DocumentWindow* window) {
  if (!window || !window->mathPanePort) return;
  OurPort* port = window->mathPanePort;
  const APushPort pushed(port);
  const QRegion wasClip = port->clip;
  const MRect clip = MathPaneClipRect(window);
  port->clip = wasClip.intersected(QRect(clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top));
  DrawMathPane(window, port->bounds, nullptr);
  port->clip = wasClip;
  NotifyMathPaneChanged(window);
}

void SetMathPaneChangedHandler(void (*changed)(DocumentWindow* window)) { sPaneChanged = changed; }

void NotifyMathPaneChanged(DocumentWindow* window) {
  if (sPaneChanged) sPaneChanged(window);
}

MRect MathPaneClipRect(DocumentWindow* window) {
  if (!window || !window->mathPanePort) return {};
  const MRect& own = window->mathPaneClip;
  if (own.bottom > own.top && own.right > own.left) return own;
  return ToMRect(window->mathPanePort->bounds);
}

void InstallMathPaneDrawing() { InstallMathPaneHooks({.redrawMath = RedrawMathPane, .mathPaneClipRect = MathPaneClipRect}); }
