#include "tests/app/ApplicationFixture.h"

#include <QPainter>
#include <QPicture>
#include <QScrollBar>
#include <QSplitter>

#include "document/DocumentTable.h"
#include "document/MathPaneDrawing.h"
#include "document/MathPaneScrolling.h"
#include "matheditor/MathGraphicsContext.h"
#include "platform/OurPort.h"
#include "window/MathPaneWidget.h"

namespace {

std::string Equations(int count) {
  std::string text = "Zentrolabworksheet 4;\n";
  for (int i = 1; i <= count; ++i) text += "Expr y = " + std::to_string(i) + ";\n";
  return text;
}

// A table shown whole whose rows run through the same round over and over:
// row r holds r mod the round, and twice that.
constexpr int kRound = 50;
constexpr int kRowHeight = 12 + 12 / 2 + 2;  // of its 12-point font
std::string RepeatingTable(int rows) {
  std::string text = "Zentrolabworksheet 4;\nTableDisplayRows " + std::to_string(rows) + ";\nTable\n";
  for (int column = 1; column <= 2; ++column) {
    text += column == 1 ? "\tt" : "\ty";
    for (int row = 0; row < rows; ++row) text += "\t" + std::to_string(column * (row % kRound));
    text += "\n";
  }
  return text + "EndOfTable;\n";
}

class WindowScrollingTest : public WindowTest {
 protected:
  static QRect Port(DocumentMainWindow* window) { return window->WindowRecord()->mathPanePort->bounds; }
  static QScrollBar* Bar(DocumentMainWindow* window) { return window->MathPane()->ScrollBars().Vertical(); }
  // The bar stands along the pane's right edge, as tall as the port, and
  // runs over the laid-out height.
  static void ExpectBarFollowsThePane(DocumentMainWindow* window) {
    QApplication::processEvents();
    const QRect port = Port(window);
    EXPECT_EQ(port.width() + Bar(window)->width(), window->MathPane()->width());
    EXPECT_EQ(Bar(window)->geometry(), QRect(port.right() + 1, 0, Bar(window)->width(), port.height()));
    const int height = LayOutMathPane(window->WindowRecord(), port).height;
    EXPECT_EQ(Bar(window)->maximum(), std::max(0, height - port.height()));
    EXPECT_GE(Bar(window)->value(), 0);
    EXPECT_LE(Bar(window)->value(), Bar(window)->maximum());
    EXPECT_EQ(Bar(window)->value(), window->WindowRecord()->mathPaneScroll.offset.y());
  }
  // What the pane shows, as the drawing commands that show it.
  static QByteArray Shown(DocumentMainWindow* window) {
    QPicture picture;
    {
      QPainter painter(&picture);
      MathGraphicsContext context{&painter, {}};
      PaintMathPane(window->WindowRecord(), Port(window), LayOutScrolledPane(window->WindowRecord()), &context);
    }
    return QByteArray(picture.data(), int(picture.size()));
  }
};

TEST_F(WindowScrollingTest, BarFollowsTheWindowAndTheDivider) {
  DocumentMainWindow* window = Open("long.zlf", Equations(40));
  ASSERT_NE(window, nullptr);
  window->show();
  ASSERT_TRUE(WaitFor([&] { return Bar(window)->maximum() > 0; }));
  ExpectBarFollowsThePane(window);
  Bar(window)->setValue(Bar(window)->maximum());

  window->resize(500, 600);
  ExpectBarFollowsThePane(window);

  const QList<int> sizes = window->Divider()->sizes();
  window->Divider()->setSizes({sizes[0] / 2, sizes[1] + sizes[0] - sizes[0] / 2});
  ExpectBarFollowsThePane(window);
}

TEST_F(WindowScrollingTest, StackedPanesScrollTheMathPaneAbove) {
  DocumentMainWindow* window = Open("stacked.zlf", Equations(40) + "StackPanes 1;\n");
  ASSERT_NE(window, nullptr);
  window->show();
  ASSERT_EQ(window->Divider()->orientation(), Qt::Vertical);
  ASSERT_TRUE(WaitFor([&] { return Bar(window)->maximum() > 0; }));
  ExpectBarFollowsThePane(window);
  EXPECT_LT(Port(window).height(), 500);
  QTest::keyClick(window->MathPane(), Qt::Key_PageDown);
  EXPECT_EQ(Bar(window)->value(), Port(window).height());
  ExpectBarFollowsThePane(window);
}

// However long a table shown whole, the pane draws the rows in view and no
// more: scrolled to the same rows of the round, a table of a million rows
// shows what one of two rounds shows. The bar still runs over every row,
// and a click picks the row under it without scrolling.
TEST_F(WindowScrollingTest, LongTableDrawsOnlyTheRowsInView) {
  constexpr int kRows = 1000000;
  DocumentMainWindow* window = Open("long-table.zlf", RepeatingTable(kRows));
  DocumentMainWindow* two = Open("two-rounds.zlf", RepeatingTable(2 * kRound));
  ASSERT_TRUE(window && two);
  for (DocumentMainWindow* w : {window, two}) w->show();
  ASSERT_TRUE(WaitFor([&] { return Bar(two)->maximum() > 0 && Port(window).size() == Port(two).size(); }));
  ExpectBarFollowsThePane(window);
  EXPECT_EQ(Bar(window)->maximum(), 2 * kMathPaneMargin + (1 + kRows) * kRowHeight - Port(window).height());

  // An offset in the table of two rounds, and how many rounds further
  // down the long one shows the same rows.
  const QPoint cases[] = {{0, 0}, {137, kRows / kRound / 2}, {Bar(two)->maximum(), kRows / kRound - 2}};
  for (const QPoint c : cases) {
    Bar(two)->setValue(c.x());
    Bar(window)->setValue(c.x() + c.y() * kRound * kRowHeight);
    ASSERT_EQ(Bar(window)->value(), c.x() + c.y() * kRound * kRowHeight);
    const QByteArray shown = Shown(window), expected = Shown(two);
    EXPECT_TRUE(shown == expected) << "at " << c.x() << ": " << shown.size() << " bytes drawn, not " << expected.size();
  }

  const int offset = Bar(window)->value();
  const QPoint at(kMathPaneMargin + 5, Port(window).height() / 2);
  QTest::mouseClick(window->MathPane(), Qt::LeftButton, Qt::NoModifier, at);
  const int row = (offset + at.y() - kMathPaneMargin) / kRowHeight;  // the heading is cell 0
  ASSERT_EQ(window->Document()->fFocusedRow, row);
  EXPECT_EQ(window->Document()->fContents.blocks[0].table->columns[0].Cell(row),
            QString::number((row - 1) % kRound).toStdU16String());
  EXPECT_EQ(Bar(window)->value(), offset);
}

}  // namespace
