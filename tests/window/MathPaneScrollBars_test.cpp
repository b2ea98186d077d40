#include "document/BlockDefaults.h"
#include "document/DocumentRecord.h"
#include "document/DocumentTable.h"
#include "document/DocumentWindow.h"
#include "document/MathPaneDrawing.h"
#include "document/MathPaneEditing.h"
#include "document/MathPaneScrolling.h"
#include "expression/MathEditRecord.h"
#include "matheditor/LayoutPipeline.h"
#include "matheditor/LineBreaking.h"
#include "matheditor/MathEditInterface.h"
#include "matheditor/MathEditorStartup.h"
#include "platform/OurPort.h"
#include "tests/expression/ParserTestSupport.h"
#include "tests/window/MathPaneFixture.h"
#include "window/MathPaneWidget.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

class MathPaneScrolling : public MathPaneFixture {
 protected:
  void AddEquation(const std::string& text) {
    MBlock block{};
    SetEquationDefaults(block);
    block.equation = MENew(&fWindow);
    SetEquationTree(block, Parse(text).release());
    fDocument.fContents.blocks.Add(block);
  }
  // y=1 to y=count.
  void AddEquations(int count) {
    for (int i = 1; i <= count; ++i) AddEquation("y=" + std::to_string(i));
  }
  // Columns t and y; row r holds r and 2r.
  void AddTable(int rows, int shown) {
    MBlock block{};
    SetTableDefaults(block);
    block.table = CreateTable(&fDocument);
    SetTableDisplayRows(block, shown);
    for (int column = 1; column <= 2; ++column) {
      AddTableCell(block.table, column == 1 ? "t" : "y", 1, true);
      for (int r = 1; r <= rows; ++r) {
        const std::string cell = std::to_string(column * r);
        AddTableCell(block.table, cell.data(), int32_t(cell.size()), false);
      }
    }
    fDocument.fContents.blocks.Add(block);
  }
  void Show(int width = 400, int height = 300) {
    fWidget = std::make_unique<MathPaneWidget>(&fWindow);
    fWidget->resize(width, height);
    fWidget->show();
    FocusMathPaneBlock(&fWindow, 0);
    fWidget->RedrawMath();
    QCoreApplication::processEvents();
  }
  QScrollBar* Vertical() const { return fWidget->ScrollBars().Vertical(); }
  QRect Pane() const { return fWindow.mathPanePort->bounds; }
  // The blocks where the window shows them now.
  MathPaneLayout Shown() { return LayOutMathPane(&fWindow, MathPaneFrame(&fWindow)); }
  // The blocks from the pane's top, as the export draws them.
  MathPaneLayout Unscrolled() { return LayOutMathPane(&fWindow, Pane()); }
  void Click(QPoint at) {
    QCoreApplication::postEvent(
        fWidget.get(), new QMouseEvent(QEvent::MouseButtonRelease, QPointF(at), QPointF(fWidget->mapToGlobal(at)),
                                       Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
    QTest::mousePress(fWidget.get(), Qt::LeftButton, Qt::NoModifier, at);
  }
  void Wheel(int notches) {
    const QPointF at(Pane().center());
    QWheelEvent event(at, fWidget->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(fWidget.get(), &event);
  }
  int Offset() const { return fWindow.mathPaneScroll.offset.y(); }
  // Some ink of the document inside the rectangle of the pane's picture.
  int Ink(const QRect& r) const {
    int ink = 0;
    const QImage& image = fWindow.mathPanePort->image;
    for (int v = std::max(r.top(), 0); v <= std::min(r.bottom(), image.height() - 1); ++v)
      for (int h = std::max(r.left(), 0); h <= std::min(r.right(), image.width() - 1); ++h)
        ink += (image.pixel(h, v) & 0xFFFFFF) != 0xFFFFFF;
    return ink;
  }
};

TEST_F(MathPaneScrolling, LongDocumentScrollsToItsLastFormulaWhichTakesTheClick) {
  AddEquations(40);
  Show();
  const MathPaneLayout top = Unscrolled();
  ASSERT_GT(top.height, 2 * Pane().height());
  // The whole stack, its margins included, is what the bar runs over.
  EXPECT_EQ(top.height, top.blocks.back().bottom() + 1 + kMathPaneMargin);
  EXPECT_EQ(Vertical()->minimum(), 0);
  EXPECT_EQ(Vertical()->maximum(), top.height - Pane().height());
  EXPECT_EQ(Vertical()->pageStep(), Pane().height());
  EXPECT_GT(Vertical()->height(), Pane().height() - 2);
  EXPECT_EQ(Vertical()->geometry().left(), Pane().right() + 1);  // beside the pane, not over it

  Vertical()->setValue(Vertical()->maximum());
  EXPECT_EQ(Offset(), Vertical()->maximum());
  const QRect last = Shown().blocks.back();
  EXPECT_TRUE(Pane().contains(last)) << last.top() << " " << last.bottom();
  EXPECT_EQ(last.bottom() + 1 + kMathPaneMargin, Pane().height());
  EXPECT_GT(Ink(last), 10);
  EXPECT_EQ(Ink(Shown().blocks[0]), 0);  // scrolled out of sight

  Click(last.center());
  ASSERT_EQ(fDocument.fFocusedBlock, 39);
  MERecord* focused = FocusedEquation(&fWindow);
  ASSERT_NE(focused, nullptr);
  EXPECT_EQ(Written(focused->root), "y=40");
  EXPECT_EQ(focused->active, 1);
  EXPECT_EQ(Offset(), Vertical()->maximum());  // already in view: no jump

  // The export draws from the top, whatever the window shows.
  EXPECT_EQ(Unscrolled().blocks[0].top(), kMathPaneMargin);
}

TEST_F(MathPaneScrolling, WheelAndPageKeysScrollByLinesAndPages) {
  AddEquations(40);
  Show();
  const int line = MathPaneLineHeight(&fWindow);
  ASSERT_GT(line, 0);
  Wheel(-1);  // towards the user: down the document
  EXPECT_EQ(Offset(), QApplication::wheelScrollLines() * line);
  Wheel(1);
  EXPECT_EQ(Offset(), 0);
  Wheel(1);  // not above the top
  EXPECT_EQ(Offset(), 0);

  QTest::keyClick(fWidget.get(), Qt::Key_PageDown);
  EXPECT_EQ(Offset(), Pane().height());
  QTest::keyClick(fWidget.get(), Qt::Key_PageDown);
  EXPECT_EQ(Offset(), 2 * Pane().height());
  QTest::keyClick(fWidget.get(), Qt::Key_PageUp);
  EXPECT_EQ(Offset(), Pane().height());
  for (int i = 0; i < 40; ++i) QTest::keyClick(fWidget.get(), Qt::Key_PageDown);
  EXPECT_EQ(Offset(), Vertical()->maximum());

  // Typing into the first formula brings it back.
  QTest::keyClick(fWidget.get(), Qt::Key_Right);
  EXPECT_TRUE(Pane().contains(Shown().blocks[0]));
  EXPECT_EQ(Offset(), 0);
  EXPECT_EQ(Vertical()->value(), 0);
}

TEST_F(MathPaneScrolling, ReturnAtTheEndKeepsTheNewFormulaInView) {
  AddEquations(40);
  Show();
  FocusMathPaneBlock(&fWindow, 39);
  for (int i = 0; i < 6; ++i) QTest::keyClick(fWidget.get(), Qt::Key_Right);
  for (int i = 0; i < 5; ++i) {
    QTest::keyClick(fWidget.get(), Qt::Key_Return);
    ASSERT_EQ(fDocument.fFocusedBlock, 40 + i);
    const MathPaneLayout shown = Shown();
    ASSERT_EQ(shown.blocks.size(), size_t(41 + i));
    EXPECT_TRUE(Pane().contains(shown.blocks.back())) << i;
    EXPECT_EQ(Vertical()->maximum(), Unscrolled().height - Pane().height());
    EXPECT_EQ(Vertical()->value(), Offset());
  }
  QTest::keyClicks(fWidget.get(), "z");
  EXPECT_EQ(Written(FocusedEquation(&fWindow)->root), "z");
  EXPECT_GT(Ink(Shown().blocks.back()), 5);
}

TEST_F(MathPaneScrolling, ResizingKeepsTheOffsetInRange) {
  AddEquations(40);
  Show();
  Vertical()->setValue(Vertical()->maximum());
  const int height = Unscrolled().height;
  fWidget->resize(400, 600);
  QCoreApplication::processEvents();
  EXPECT_EQ(Pane().height(), 600);
  EXPECT_EQ(Vertical()->maximum(), height - 600);
  EXPECT_EQ(Offset(), height - 600);
  EXPECT_EQ(Vertical()->value(), Offset());
  EXPECT_TRUE(Pane().contains(Shown().blocks.back()));

  // Narrower: the formulas keep their lines, the stack is as tall as laid out.
  fWidget->resize(250, 600);
  QCoreApplication::processEvents();
  EXPECT_EQ(Vertical()->maximum(), Unscrolled().height - 600);
  EXPECT_LE(Offset(), Vertical()->maximum());

  // Tall enough for everything: no range left, the offset back at 0.
  fWidget->resize(400, height + 50);
  QCoreApplication::processEvents();
  EXPECT_EQ(Vertical()->maximum(), 0);
  EXPECT_EQ(Offset(), 0);
}

TEST_F(MathPaneScrolling, ShortDocumentHasNoRange) {
  AddEquations(3);
  Show();
  EXPECT_EQ(Vertical()->maximum(), 0);
  EXPECT_TRUE(Vertical()->isVisible());
  EXPECT_FALSE(fWidget->ScrollBars().Horizontal()->isVisible());
  Wheel(-3);
  QTest::keyClick(fWidget.get(), Qt::Key_PageDown);
  EXPECT_EQ(Offset(), 0);
  EXPECT_EQ(Shown().blocks[0].top(), kMathPaneMargin);
}

TEST_F(MathPaneScrolling, TableShowingFewerRowsScrollsThemWithItsOwnBar) {
  AddEquations(2);
  AddTable(100, 5);
  AddTable(3, 0);  // all rows shown: no bar
  Show();
  QScrollBar* bar = fWidget->ScrollBars().TableBar(2);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(fWidget->ScrollBars().TableBar(3), nullptr);
  EXPECT_TRUE(bar->isVisible());
  EXPECT_EQ(bar->maximum(), 95);
  EXPECT_EQ(bar->pageStep(), 5);
  const Table& table = *fDocument.fContents.blocks[2].table;
  const QRect place = Shown().blocks[2];
  EXPECT_EQ(place.height(), 6 * table.rowHeight);  // the heading and five rows
  // Beside the rows, inside the block.
  EXPECT_EQ(bar->geometry().top(), place.top() + table.rowHeight);
  EXPECT_EQ(bar->geometry().height(), 5 * table.rowHeight);
  EXPECT_EQ(bar->geometry().right(), place.right());

  bar->setValue(bar->maximum());
  EXPECT_EQ(table.firstShownRow, 95);
  // The last line shows row 100: t = 100, y = 200.
  const QPoint t100(place.left() + 10, place.top() + 5 * table.rowHeight + table.rowHeight / 2);
  EXPECT_EQ(MathPaneTableCellAt(&fWindow, Shown(), 2, t100), QPoint(0, 100));
  const QRect padding(place.left() + 2, t100.y() - 2, 1, 4);  // inside the cell, clear of its frame and text
  EXPECT_EQ(Ink(padding), 0);
  Click(t100);
  EXPECT_EQ(fDocument.fFocusedBlock, 2);
  EXPECT_EQ(fDocument.fFocusedColumn, 0);
  ASSERT_EQ(fDocument.fFocusedRow, 100);
  EXPECT_EQ(table.columns[0].Cell(fDocument.fFocusedRow), u"100");
  EXPECT_EQ(table.columns[1].Cell(fDocument.fFocusedRow), u"200");
  EXPECT_EQ(Ink(padding), 4);  // the selected cell is lit
  // The heading stays where it was.
  EXPECT_EQ(MathPaneTableCellAt(&fWindow, Shown(), 2, place.topLeft() + QPoint(5, 5)), QPoint(0, 0));
}

TEST_F(MathPaneScrolling, HorizontalBarOnlyForAFormulaWiderThanThePane) {
  AddEquations(2);
  Show();
  EXPECT_FALSE(fWidget->ScrollBars().Horizontal()->isVisible());

  // A root is never broken across lines: a long one stands out.
  std::string sum = "y=sqrt(a";
  for (int i = 0; i < 60; ++i) sum += "+b";
  AddEquation(sum + ")");
  fWidget->RedrawMath();
  QCoreApplication::processEvents();
  QScrollBar* horizontal = fWidget->ScrollBars().Horizontal();
  ASSERT_TRUE(horizontal->isVisible());
  const MathPaneLayout layout = Unscrolled();
  ASSERT_GT(layout.width, Pane().width());
  EXPECT_EQ(horizontal->maximum(), layout.width - Pane().width());
  EXPECT_EQ(Pane().height(), 300 - horizontal->height());
  horizontal->setValue(horizontal->maximum());
  EXPECT_EQ(Shown().blocks[2].right() + 1 + kMathPaneMargin, Pane().width());

  // The caret of a formula wider than the pane is followed across it.
  FocusMathPaneBlock(&fWindow, 0);
  QTest::keyClick(fWidget.get(), Qt::Key_Right);
  EXPECT_EQ(horizontal->value(), 0);
  FocusMathPaneBlock(&fWindow, 2);
  QTest::keyClick(fWidget.get(), Qt::Key_Right, Qt::ControlModifier);
  EXPECT_GT(horizontal->value(), 0);
  EXPECT_EQ(fWindow.mathPaneScroll.offset.x(), horizontal->value());
  Shown();
  MERecord* wide = FocusedEquation(&fWindow);
  MESetCurrentEqn(wide, &fWindow);
  float x = -1, y1 = -1, y2 = -1;
  MATH_GetIPCoords(&x, &y1, &y2);
  const float caret = ToDisplay(x, y1).h + wide->drawRect[kDrawLeft];
  EXPECT_GT(caret, 0);
  EXPECT_LT(caret, Pane().width());
}

}  // namespace
