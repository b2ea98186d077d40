#include "window/MathPaneScrollBars.h"

#include "CoreUtilities/drawing/OurMouse.h"
#include "CoreUtilities/drawing/OurScrollBars.h"
#include "document/DocumentWindow.h"
#include "document/MathPaneScrolling.h"
#include "platform/OurPort.h"

#include <QApplication>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QWidget>

#include <algorithm>

namespace {

void SetBar(QScrollBar* bar, int maximum, int value, int page, int step) {
  const QSignalBlocker quiet(bar);
  bar->setRange(0, std::max(0, maximum));
  bar->setPageStep(std::max(1, page));
  bar->setSingleStep(std::max(1, step));
  bar->setValue(value);
}

}  // namespace

MathPaneScrollBars::MathPaneScrollBars(QWidget* pane, DocumentWindow* window, std::function<void()> redraw)
    : fPane(pane),
      fWindow(window),
      fRedraw(std::move(redraw)),
      fVertical(new QScrollBar(Qt::Vertical, pane)),
      fHorizontal(new QScrollBar(Qt::Horizontal, pane)) {
  SetScrollbarPlacer(MoveandResizeScrollbar);
  for (QScrollBar* bar : {fVertical, fHorizontal}) {
    bar->setFocusPolicy(Qt::NoFocus);
    QObject::connect(bar, &QScrollBar::valueChanged, pane, [this] { Moved(); });
  }
  fHorizontal->hide();
}

QSize MathPaneScrollBars::PortSize(QSize widget) const {
  return QSize(widget.width() - OurGetScrollBarWidth(),
               widget.height() - (fHorizontalShown ? OurGetScrollBarHeight() : 0))
      .expandedTo(QSize(1, 1));
}

void MathPaneScrollBars::Place(QSize widget) {
  const QSize port = PortSize(widget);
  MoveandResizeVerticalScrollbar(fVertical, 0, port.width(), port.height(), fWindow);
  MoveandResizeHorizontalScrollbar(fHorizontal, 0, port.height(), port.width(), fWindow);
  fHorizontal->setVisible(fHorizontalShown);
  fVertical->show();
}

bool MathPaneScrollBars::Follow() {
  if (!fWindow || !fWindow->mathPanePort) return false;
  const MathPaneScroll& scroll = fWindow->mathPaneScroll;
  const QSize port = fWindow->mathPanePort->bounds.size();
  const int line = MathPaneLineHeight(fWindow);
  SetBar(fVertical, scroll.extent.height() - port.height(), scroll.offset.y(), port.height(), line);
  SetBar(fHorizontal, scroll.extent.width() - port.width(), scroll.offset.x(), port.width(), line);

  fTableBlocks.clear();
  for (const TableScrollBarPlace& place : scroll.tables) {
    const size_t i = fTableBlocks.size();
    if (i == fTableBars.size()) {
      auto* bar = new QScrollBar(Qt::Vertical, fPane);
      bar->setFocusPolicy(Qt::NoFocus);
      QObject::connect(bar, &QScrollBar::valueChanged, fPane, [this, i](int value) { TableMoved(i, value); });
      fTableBars.push_back(bar);
    }
    fTableBlocks.push_back(place.block);
    SetBar(fTableBars[i], place.maximum, place.first, place.page, 1);
    MoveandResizeVerticalScrollbar(fTableBars[i], place.bar.top(), place.bar.left(), place.bar.height(), fWindow);
    fTableBars[i]->show();
  }
  for (size_t i = fTableBlocks.size(); i < fTableBars.size(); ++i) fTableBars[i]->hide();
  // A table scrolled under the pane's own bars stays under them.
  fVertical->raise();
  fHorizontal->raise();

  const bool wide = scroll.extent.width() > port.width();
  if (wide == fHorizontalShown) return false;
  fHorizontalShown = wide;
  return true;
}

void MathPaneScrollBars::Wheel(QPoint notches) {
  const int lines = QApplication::wheelScrollLines();
  fVertical->setValue(fVertical->value() - notches.y() * lines * fVertical->singleStep());
  if (fHorizontalShown) fHorizontal->setValue(fHorizontal->value() - notches.x() * lines * fHorizontal->singleStep());
}

void MathPaneScrollBars::Page(int direction) {
  fVertical->triggerAction(direction < 0 ? QAbstractSlider::SliderPageStepSub : QAbstractSlider::SliderPageStepAdd);
}

QScrollBar* MathPaneScrollBars::TableBar(int32_t block) const {
  for (size_t i = 0; i < fTableBlocks.size(); ++i)
    if (fTableBlocks[i] == block) return fTableBars[i];
  return nullptr;
}

void MathPaneScrollBars::Moved() {
  ScrollMathPane(fWindow, QPoint(fHorizontal->value(), fVertical->value()));
  fRedraw();
}

void MathPaneScrollBars::TableMoved(size_t bar, int value) {
  if (bar >= fTableBlocks.size()) return;
  ScrollTableRows(fWindow, fTableBlocks[bar], value);
  fRedraw();
}

void MoveandResizeScrollbar(QScrollBar* control, int along, int across, int length, int vertical, DocumentWindow*) {
  if (!control) return;
  if (vertical) {
    control->setGeometry(across, along, OurGetScrollBarWidth(), length);
  } else {
    control->setGeometry(along, across, length, OurGetScrollBarHeight());
  }
}
