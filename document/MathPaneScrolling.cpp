#include "document/MathPaneScrolling.h"

#include "document/DocumentContents.h"
#include "document/DocumentRecord.h"
#include "document/DocumentTable.h"
#include "document/DocumentWindow.h"
#include "document/MathPaneDrawing.h"
#include "expression/MathEditRecord.h"
#include "matheditor/LayoutPipeline.h"
#include "matheditor/LineBreaking.h"
#include "matheditor/MathEditInterface.h"
#include "platform/OurPort.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

QSize PaneSize(const DocumentWindow* window) {
  return window && window->mathPanePort ? window->mathPanePort->bounds.size() : QSize();
}

// The least change of a start that shows [low, high) inside [0, span), with
// the pane's margin around it where that fits; the low end wins when both
// ends cannot be shown.
int32_t ShowSpan(int32_t start, int32_t low, int32_t high, int32_t span) {
  if (high - low + 2 * kMathPaneMargin <= span) {
    low -= kMathPaneMargin;
    high += kMathPaneMargin;
  }
  if (high - low > span || low < 0) return start + low;
  if (high > span) return start + high - span;
  return start;
}

// The caret bar of the focused formula in the port, when it has one.
std::optional<QRect> CaretBar(DocumentWindow* window, MERecord* record) {
  MERecord* const wasCurrent = gMathCurrentMEH;
  MESetCurrentEqn(record, window);
  float x = NAN, y1 = NAN, y2 = NAN;
  MATH_GetIPCoords(&x, &y1, &y2);
  std::optional<QRect> bar;
  if (!std::isnan(x)) {
    const FPoint top = ToDisplay(x, std::min(y1, y2)), bottom = ToDisplay(x, std::max(y1, y2));
    bar = QRect(QPoint(int(std::floor(top.h)), int(std::floor(top.v))),
                QPoint(int(std::ceil(bottom.h)), int(std::ceil(bottom.v))))
              .translated(record->drawRect[kDrawLeft], record->drawRect[kDrawTop]);
  }
  if (wasCurrent) MESetCurrentEqn(wasCurrent, wasCurrent->window);
  return bar;
}

// What of the focused block must be seen when all of it cannot: a
// formula's caret, a table's selected cell.
std::optional<QRect> FocusSpot(DocumentWindow* window, const MathPaneLayout& layout, int32_t focused) {
  const DocumentRecord* document = Document(window);
  const MBlock& block = document->fContents.blocks[focused];
  if (block.kind == kEquationBlock && block.equation) return CaretBar(window, block.equation);
  const QRect cell =
      MathPaneTableCellRect(window, layout, focused, QPoint(document->fFocusedColumn, document->fFocusedRow));
  if (cell.isEmpty()) return std::nullopt;
  return cell;
}

}  // namespace

QRect MathPaneFrame(const DocumentWindow* window) {
  if (!window || !window->mathPanePort) return {};
  return window->mathPanePort->bounds.translated(-window->mathPaneScroll.offset);
}

QPoint ClampScroll(QPoint offset, QSize extent, QSize pane) {
  return {std::clamp(offset.x(), 0, std::max(0, extent.width() - pane.width())),
          std::clamp(offset.y(), 0, std::max(0, extent.height() - pane.height()))};
}

MathPaneLayout LayOutScrolledPane(DocumentWindow* window) {
  MathPaneScroll& scroll = window->mathPaneScroll;
  MathPaneLayout layout = LayOutMathPane(window, MathPaneFrame(window));
  // Wrapping follows the pane's width alone, so a second pass only moves
  // the blocks.
  const QSize extent(layout.width, layout.height);
  const QPoint clamped = ClampScroll(scroll.offset, extent, PaneSize(window));
  if (clamped != scroll.offset) {
    scroll.offset = clamped;
    layout = LayOutMathPane(window, MathPaneFrame(window));
  }
  scroll.extent = extent;
  scroll.tables.clear();
  const DocumentRecord* document = Document(window);
  for (int32_t i = 0; document && i < document->fContents.blocks.Count(); ++i) {
    const QRect bar = TableScrollBarRect(window, layout, i);
    if (bar.isEmpty()) continue;
    const Table& table = *document->fContents.blocks[i].table;
    const int32_t last = table.LastFirstShownRow();
    scroll.tables.push_back({i, bar, last, std::clamp(table.firstShownRow, 0, last), table.ShownRows()});
  }
  return layout;
}

void ScrollMathPane(DocumentWindow* window, QPoint offset) {
  if (!window) return;
  window->mathPaneScroll.offset = ClampScroll(offset, window->mathPaneScroll.extent, PaneSize(window));
}

void ScrollFocusIntoView(DocumentWindow* window) {
  DocumentRecord* document = Document(window);
  if (!document || !window->mathPanePort) return;
  const MathPaneLayout layout = LayOutScrolledPane(window);
  const int32_t focused = document->fFocusedBlock;
  if (focused < 0 || size_t(focused) >= layout.blocks.size()) return;
  QRect target = layout.blocks[size_t(focused)];
  const QSize pane = PaneSize(window);
  const bool tall = target.height() > pane.height(), wide = target.width() > pane.width();
  const std::optional<QRect> spot = tall || wide ? FocusSpot(window, layout, focused) : std::nullopt;
  if (spot && tall) target = QRect(target.left(), spot->top(), target.width(), spot->height());
  if (spot && wide) target = QRect(spot->left(), target.top(), spot->width(), target.height());
  MathPaneScroll& scroll = window->mathPaneScroll;
  const QPoint offset(ShowSpan(scroll.offset.x(), target.left(), target.right() + 1, pane.width()),
                      ShowSpan(scroll.offset.y(), target.top(), target.bottom() + 1, pane.height()));
  scroll.offset = ClampScroll(offset, scroll.extent, pane);
}

void ScrollTableRows(DocumentWindow* window, int32_t block, int32_t first) {
  DocumentRecord* document = Document(window);
  MBlock* b = document ? document->fContents.blocks.At(block) : nullptr;
  if (!b || b->kind != kTableBlock || !b->table) return;
  b->table->firstShownRow = std::clamp(first, 0, b->table->LastFirstShownRow());
}

int32_t MathPaneLineHeight(const DocumentWindow* window) {
  const DocumentRecord* document = Document(window);
  const int32_t size = document ? FontSizeInUse(document->fContents) : 12;
  return size + size / 2;
}
