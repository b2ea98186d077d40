#include "document/MathPaneDrawing.h"

#include "CoreUtilities/threads/ComputationDeadline.h"
#include "CoreUtilities/drawing/OurMouse.h"
#include "CoreUtilities/text/OurTextEngine.h"
#include "CoreUtilities/drawing/ScopedSavers.h"
#include "document/DocumentRecord.h"
#include "document/DocumentTable.h"
#include "document/EquationAnnotations.h"
#include "document/DocumentWindow.h"
#include "document/MathPaneScrolling.h"
#include "expression/MathEditRecord.h"
#include "expression/SelectionGeometry.h"
#include "matheditor/DrawingLayer.h"
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
#include <optional>
#include <unordered_map>

namespace {

void (*sPaneChanged)(DocumentWindow*) = nullptr;

constexpr int32_t kTableCellPadding = 4;
constexpr int32_t kTableMinimumColumn = 40;

MRect ToMRect(const QRect& r) {
  return {DoubleToInt16(r.top()), DoubleToInt16(r.left()), DoubleToInt16(r.top() + r.height()),
          DoubleToInt16(r.left() + r.width())};
}

QFont TableFont(const DocumentRecord* document, const Table& table, bool bold) {
  const uint32_t family = FindFontFamily(document->fContents.fontName);
  const FontFace* face = GetFontFace(FontFaceId(family == kNoFontFace ? 0 : family, bold, false));
  if (!face) face = GetFontFace(FallbackFontFace());
  QFont font = face ? face->font : QFont();
  font.setPixelSize(std::max(1, table.fontSize));
  return font;
}

// A text's width as the sum of its characters' advances, each character
// measured once: a data cell is measured without laying it out, however
// many cells there are. Kerning and joining mostly narrow a text, so the
// sum leaves room for it.
class CellWidths {
 public:
  explicit CellWidths(const QFont& font) : fMetrics(font) {
    for (char16_t c = 0; c < 128; ++c) fAscii[c] = fMetrics.horizontalAdvance(QChar(c));
  }
  double operator()(const std::u16string& text) {
    double width = 0;
    for (size_t i = 0; i < text.size(); ++i) {
      const char16_t c = text[i];
      if (c < 128) {
        width += fAscii[c];
        continue;
      }
      const bool pair = QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1]);
      const char32_t code = pair ? QChar::surrogateToUcs4(c, text[++i]) : c;
      const auto [at, fresh] = fOthers.try_emplace(code, 0.0);
      if (fresh) at->second = fMetrics.horizontalAdvance(QString::fromUcs4(&code, 1));
      width += at->second;
    }
    return width;
  }

 private:
  QFontMetricsF fMetrics;
  double fAscii[128];
  std::unordered_map<char32_t, double> fOthers;
};

// Each column as wide as its widest text, padded: scrolling the rows
// leaves the widths alone. The data cells are measured once a font.
std::vector<int32_t> TableColumnWidths(const DocumentRecord* document, const Table& table) {
  const QFont plain = TableFont(document, table, false);
  const QFontMetricsF bold(TableFont(document, table, true));
  const std::string fontKey = plain.key().toStdString();
  std::optional<CellWidths> cellWidths;
  const auto width = [&](const std::u16string& text) {
    if (!cellWidths) cellWidths.emplace(plain);
    return (*cellWidths)(text);
  };
  std::vector<int32_t> widths;
  for (const TableColumn& column : table.columns) {
    const double widest = std::max(bold.horizontalAdvance(QString::fromStdU16String(column.HeadingText())),
                                   column.WidestDataCell(fontKey, width));
    widths.push_back(std::max(kTableMinimumColumn, DoubleToInt32(widest) + 2 * kTableCellPadding));
  }
  return widths;
}

// Lines or columns of a table, from low up to but not including high.
struct TableSpan {
  int low = 0;
  int high = 0;
};

// Where a table's cells stand: the heading line, then the shown rows from
// the first shown one, and the scroll bar's strip at the right when the
// rows scroll.
struct TableGeometry {
  std::vector<int32_t> widths;
  int32_t rowHeight = 1;
  int32_t shown = 0;
  int32_t first = 0;
  bool scrolls = false;

  TableGeometry(const DocumentRecord* document, const Table& table)
      : widths(TableColumnWidths(document, table)),
        rowHeight(std::max(1, table.rowHeight)),
        shown(table.ShownRows()),
        first(std::clamp(table.firstShownRow, 0, table.LastFirstShownRow())),
        scrolls(shown < table.DataRows()) {}

  int32_t ColumnsWidth() const {
    int32_t width = 0;
    for (int32_t w : widths) width += w;
    return width;
  }
  QSize Size() const {
    return {std::max(1, ColumnsWidth() + (scrolls ? OurGetScrollBarWidth() : 0)), (1 + shown) * rowHeight};
  }
  // Line 0 is the heading, line i the data row first + i (its cell index).
  QRect Cell(QPoint origin, size_t column, int32_t line) const {
    int32_t x = origin.x();
    for (size_t c = 0; c < column; ++c) x += widths[c];
    return {x, origin.y() + line * rowHeight, widths[column], rowHeight};
  }
  int32_t CellIndex(int32_t line) const { return line == 0 ? 0 : first + line; }
  int32_t LineOf(int32_t index) const { return index == 0 ? 0 : index - first; }

  // The lines, and the columns, of the table at the origin that meet the
  // area. The rows are all one height: the lines come from the area's
  // edges, without walking the rows above.
  TableSpan LinesMeeting(QPoint origin, const QRect& area) const {
    const int64_t top = int64_t(area.top()) - origin.y(), bottom = int64_t(area.bottom()) - origin.y();
    if (bottom < 0) return {};
    return {int(std::min<int64_t>(shown + 1, std::max<int64_t>(0, top / rowHeight))),
            int(std::min<int64_t>(shown, bottom / rowHeight) + 1)};
  }
  TableSpan ColumnsMeeting(QPoint origin, const QRect& area) const {
    int64_t x = origin.x();
    size_t c = 0;
    while (c < widths.size() && x + widths[c] <= area.left()) x += widths[c++];
    const int low = int(c);
    while (c < widths.size() && x <= area.right()) x += widths[c++];
    return {low, int(c)};
  }
  // The column and line under the point; (-1, -1) off the cells.
  QPoint CellAt(QPoint origin, QPoint point) const {
    const QRect spot(point, QSize(1, 1));
    const TableSpan columns = ColumnsMeeting(origin, spot), lines = LinesMeeting(origin, spot);
    if (columns.low >= columns.high || lines.low >= lines.high) return {-1, -1};
    return {columns.low, lines.low};
  }
};

QRect PlaceEquation(DocumentWindow* window, MERecord* record, int32_t left, int32_t top, int32_t width) {
  record->wrapWidth = static_cast<float>(std::max(width, 1));
  MESetCurrentEqn(record, window);
  MATH_Hmm();
  const int32_t height = DoubleToInt32(LB_Height(record));
  const int32_t laidOutWidth = DoubleToInt32(LB_Width(record));
  record->drawRect[kDrawTop] = DoubleToInt16(top);
  record->drawRect[kDrawLeft] = DoubleToInt16(left);
  record->drawRect[kDrawBottom] = DoubleToInt16(top + height);
  record->drawRect[kDrawRight] = DoubleToInt16(left + std::min(width, laidOutWidth));
  // A part that cannot be broken may stand out past the wrap width.
  return QRect(left, top, std::max({width, laidOutWidth, 1}), std::max(height, 1));
}

// Only the cells in the pane are drawn: a table shown whole may run far
// past it.
void DrawTable(const DocumentRecord* document, const Table& table, const QRect& place, const QRect& pane,
               QPoint selected, QPainter& painter) {
  const TableGeometry geometry(document, table);
  const QFont plain = TableFont(document, table, false), bold = TableFont(document, table, true);
  const TableSpan columns = geometry.ColumnsMeeting(place.topLeft(), pane);
  const TableSpan lines = geometry.LinesMeeting(place.topLeft(), pane);
  painter.save();
  painter.setPen(Qt::black);
  for (int c = columns.low; c < columns.high; ++c) {
    const TableColumn& column = table.columns[size_t(c)];
    for (int32_t line = lines.low; line < lines.high; ++line) {
      // An export out of time keeps the cells drawn so far.
      if (DrawingDeadlinePassed()) break;
      const QRect cell = geometry.Cell(place.topLeft(), size_t(c), line);
      const int32_t index = geometry.CellIndex(line);
      if (selected == QPoint(c, index)) {
        MathGraphicsContext cellContext{&painter, {}};
        DIM_InvertRect(ToMRect(cell), &cellContext);
      }
      painter.drawRect(cell.adjusted(0, 0, -1, -1));
      if (index >= column.CellCount()) continue;
      painter.setFont(line == 0 ? bold : plain);
      painter.drawText(cell.adjusted(kTableCellPadding, 0, -kTableCellPadding, 0), Qt::AlignVCenter | Qt::AlignLeft,
                       QString::fromStdU16String(column.Cell(index)));
    }
  }
  painter.restore();
}

// The block's table, when the block is one and is laid out.
const Table* LaidOutTable(DocumentWindow* window, const MathPaneLayout& layout, int32_t block) {
  const DocumentRecord* document = Document(window);
  const MBlock* b = document ? document->fContents.blocks.At(block) : nullptr;
  if (!b || b->kind != kTableBlock || !b->table || block < 0 || size_t(block) >= layout.blocks.size()) return nullptr;
  return b->table;
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
  int32_t right = left;
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
      place.setSize(TableGeometry(document, *block.table).Size());
    }
    layout.blocks.push_back(place);
    top = place.bottom() + 1 + kMathPaneBlockGap;
    right = std::max(right, place.right() + 1);
  }
  layout.height = top - kMathPaneBlockGap + kMathPaneMargin - pane.top();
  layout.width = right + kMathPaneMargin - pane.left();
  if (wasCurrent) MESetCurrentEqn(wasCurrent, wasCurrent->window);
  return layout;
}

int32_t MathPaneBlockAt(const MathPaneLayout& layout, QPoint point) {
  for (size_t i = 0; i < layout.blocks.size(); ++i)
    if (layout.blocks[i].contains(point)) return static_cast<int32_t>(i);
  return -1;
}

QPoint MathPaneTableCellAt(DocumentWindow* window, const MathPaneLayout& layout, int32_t block, QPoint point) {
  const Table* table = LaidOutTable(window, layout, block);
  if (!table) return {-1, -1};
  const TableGeometry geometry(Document(window), *table);
  const QPoint cell = geometry.CellAt(layout.blocks[size_t(block)].topLeft(), point);
  return cell.x() < 0 ? cell : QPoint(cell.x(), geometry.CellIndex(cell.y()));
}

QRect MathPaneTableCellRect(DocumentWindow* window, const MathPaneLayout& layout, int32_t block, QPoint cell) {
  const Table* table = LaidOutTable(window, layout, block);
  if (!table || cell.x() < 0 || size_t(cell.x()) >= table->columns.size() || cell.y() < 0) return {};
  const TableGeometry geometry(Document(window), *table);
  const int32_t line = geometry.LineOf(cell.y());
  if (line < 0 || line > geometry.shown) return {};
  return geometry.Cell(layout.blocks[size_t(block)].topLeft(), size_t(cell.x()), line);
}

QRect TableScrollBarRect(DocumentWindow* window, const MathPaneLayout& layout, int32_t block) {
  const Table* table = LaidOutTable(window, layout, block);
  if (!table) return {};
  const TableGeometry geometry(Document(window), *table);
  if (!geometry.scrolls) return {};
  const QRect& place = layout.blocks[size_t(block)];
  return {place.left() + geometry.ColumnsWidth(), place.top() + geometry.rowHeight, OurGetScrollBarWidth(),
          geometry.shown * geometry.rowHeight};
}

void PaintMathPane(DocumentWindow* window, const QRect& pane, const MathPaneLayout& layout,
                   MathGraphicsContext* context) {
  DocumentRecord* document = Document(window);
  if (!document || layout.blocks.size() != size_t(document->fContents.blocks.Count())) return;
  MERecord* const wasCurrent = gMathCurrentMEH;
  const uint8_t* rgb = document->fContents.backgroundColor;
  WithPainter(context, [&](QPainter& painter) { painter.fillRect(pane, QColor(rgb[0], rgb[1], rgb[2])); });
  const bool onPort = !(context && context->painter);
  int32_t index = 0;
  for (MBlock& block : document->fContents.blocks) {
    const QRect& place = layout.blocks[size_t(index++)];
    // A block out of the pane is not drawn, but for the focused one: its
    // caret keeps its state.
    const bool focused = index - 1 == document->fFocusedBlock || (block.equation && block.equation->active);
    if (!focused && !place.intersects(pane)) continue;
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
      const QPoint selected = index - 1 == document->fFocusedBlock
                                  ? QPoint(document->fFocusedColumn, document->fFocusedRow)
                                  : QPoint(-1, -1);
      WithPainter(context,
                  [&](QPainter& painter) { DrawTable(document, *block.table, place, pane, selected, painter); });
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

void DrawMathPane(DocumentWindow* window, const QRect& pane, MathGraphicsContext* context) {
  PaintMathPane(window, pane, LayOutMathPane(window, pane), context);
}

void RedrawMathPane(DocumentWindow* window) {
  if (!window || !window->mathPanePort) return;
  OurPort* port = window->mathPanePort;
  const APushPort pushed(port);
  const QRegion wasClip = port->clip;
  const MRect clip = MathPaneClipRect(window);
  port->clip = wasClip.intersected(QRect(clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top));
  PaintMathPane(window, port->bounds, LayOutScrolledPane(window), nullptr);
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

void InstallMathPaneDrawing() {
  InstallMathPaneHooks({.redrawMath = RedrawMathPane, .mathPaneClipRect = MathPaneClipRect});
}
