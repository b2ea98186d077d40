#pragma once

#include <QPoint>
#include <QSize>

#include <cstdint>
#include <functional>
#include <vector>

class QScrollBar;
class QWidget;
struct DocumentWindow;

// The math pane's scroll bars, children of the pane's widget: a vertical
// bar always at its right, a horizontal one at its bottom only while some
// block stands out past the pane's width, and one bar beside each table
// that shows fewer rows than it holds. Moving a bar scrolls the window's
// record and redraws the pane through `redraw`.
class MathPaneScrollBars {
 public:
  MathPaneScrollBars(QWidget* pane, DocumentWindow* window, std::function<void()> redraw);
  MathPaneScrollBars(const MathPaneScrollBars&) = delete;
  MathPaneScrollBars& operator=(const MathPaneScrollBars&) = delete;

  // The pane port's size in a widget of the given size, the bars left out.
  QSize PortSize(QSize widget) const;
  // Puts the pane's bars along the port's right and bottom edges.
  void Place(QSize widget);
  // Takes the ranges, values and tables' bars from the window record after
  // a drawing of the port; true when the horizontal bar came or went, so
  // that the port must change its size.
  bool Follow();

  // The wheel: notches (positive away from the user, or to the left) times
  // the desktop's lines per notch.
  void Wheel(QPoint notches);
  // Page Up (-1) or Page Down (+1).
  void Page(int direction);

  QScrollBar* Vertical() const { return fVertical; }
  QScrollBar* Horizontal() const { return fHorizontal; }
  // The bar of the block's table; null when it has none.
  QScrollBar* TableBar(int32_t block) const;

 private:
  void Moved();
  void TableMoved(size_t bar, int value);

  QWidget* fPane;
  DocumentWindow* fWindow;
  std::function<void()> fRedraw;
  QScrollBar* fVertical;
  QScrollBar* fHorizontal;
  bool fHorizontalShown = false;
  std::vector<QScrollBar*> fTableBars;
  std::vector<int32_t> fTableBlocks;  // the block each shown table bar serves
};

// Places a scroll bar by its position along it, across it and its length:
// vertical (1) bars are the theme's scroll-bar width wide, horizontal (0)
// ones the scroll-bar height high.
void MoveandResizeScrollbar(QScrollBar* control, int along, int across, int length, int vertical,
                            DocumentWindow* window);
