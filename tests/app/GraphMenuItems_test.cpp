#include "tests/app/ApplicationFixture.h"

#include <QAction>
#include <QMenuBar>

#include <cmath>
#include <fstream>
#include <sstream>

#include "app/AppMenus.h"
#include "app/EditCommands.h"
#include "app/GraphMenuItems.h"
#include "document/DocumentIdle.h"
#include "document/MathPaneEditing.h"
#include "algebra/RewriteHelpers.h"
#include "evaluation/ScalarExprEval.h"
#include "expression/MathEditRecord.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeWalking.h"
#include "graphpane/AGraphPane.h"
#include "graphs2d/A2DGraphView.h"
#include "platform/OurPort.h"
#include "window/GraphPaneWidget.h"
#include "window/ZoomRangesDialog.h"

// The Math and Graph items reach what they name, on the focused equation.

namespace {

class GraphMenuItemsTest : public WindowTest {
 protected:
  void TearDown() override {
    SetZoomRangesQuestion(nullptr);
    WindowTest::TearDown();
  }
  static bool Enabled(DocumentMainWindow* window, const QString& name) {
    UpdateEditItems(window);
    UpdateGraphSettingItems(window);
    return MenuItem(window, name)->isEnabled();
  }
  // The window with its graphs drawn; the first equation has the focus.
  DocumentMainWindow* Graphed(const char* name, const std::string& statements) {
    DocumentMainWindow* window = Open(name, "Zentrolabworksheet 4;\n" + statements);
    if (!window) return nullptr;
    FocusMathPaneBlock(window->WindowRecord(), 0);
    EXPECT_TRUE(WaitUntilGraphed(window));
    return window;
  }
  static int CountPixels(DocumentMainWindow* window, const std::function<bool(QRgb)>& wanted) {
    const QImage& image = window->GraphPane()->World()->image;
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) count += wanted(image.pixel(x, y));
    return count;
  }
};

bool IsRed(QRgb p) { return qRed(p) > 200 && qGreen(p) < 80 && qBlue(p) < 80; }

TEST_F(GraphMenuItemsTest, ColorItemsRecolourTheFocusedEquationsGraph) {
  DocumentMainWindow* window = Graphed("c.zlf", "2D.GraphPaper 0;\nExpr y = x;\n");
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(Enabled(window, "Red"));
  EXPECT_EQ(CountPixels(window, IsRed), 0);
  MenuItem(window, "Red")->trigger();
  EXPECT_EQ(window->Document()->fContents.blocks[0].Color, 2);
  EXPECT_TRUE(window->Document()->fModified);
  ASSERT_TRUE(WaitUntilGraphed(window));
  EXPECT_GT(CountPixels(window, IsRed), 100);
  UpdateGraphSettingItems(window);
  EXPECT_TRUE(MenuItem(window, "Red")->isChecked());
  EXPECT_FALSE(MenuItem(window, "Purple")->isChecked());
}

TEST_F(GraphMenuItemsTest, ContourPlotTurnsASurfaceIntoAPlaneGraph) {
  DocumentMainWindow* window = Graphed("s.zlf", "Expr z = x*y;\nExpr y = x;\n");
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(Enabled(window, "Contour Plot"));
  EXPECT_TRUE(Enabled(window, "Use Transparency"));
  const int32_t graphsBefore = window->Document()->fGraphPane->View2D(0)->GraphCount();
  MenuItem(window, "Contour Plot")->trigger();
  EXPECT_EQ(window->Document()->fContents.blocks[0].XYType, 3);
  EXPECT_TRUE(window->Document()->fModified);
  ASSERT_TRUE(WaitUntilGraphed(window));
  EXPECT_EQ(window->Document()->fGraphPane->View2D(0)->GraphCount(), graphsBefore + 1);
  MenuItem(window, "Use Transparency")->trigger();
  EXPECT_NE(window->Document()->fContents.blocks[0].Opacity, 1);

  // A line is neither: the choices don't apply to it.
  FocusMathPaneBlock(window->WindowRecord(), 1);
  EXPECT_FALSE(Enabled(window, "Contour Plot"));
  EXPECT_FALSE(Enabled(window, "Density Plot"));
  EXPECT_FALSE(Enabled(window, "Use Transparency"));
  EXPECT_TRUE(Enabled(window, "Red"));
}

TEST_F(GraphMenuItemsTest, ZoomToRangesShowsTheGivenRangesAndSamplesTheGivenAngles) {
  DocumentMainWindow* window = Graphed("z.zlf", "2D.GraphPaper 0;\n2D.Axes 0;\nExpr r = 1;\n");
  ASSERT_NE(window, nullptr);
  ZoomRanges shown{};
  SetZoomRangesQuestion([&](QWidget*, const ZoomRanges& current) {
    shown = current;
    ZoomRanges asked = current;
    asked.x[0] = -1.5, asked.x[1] = 1.5, asked.y[0] = -1.5, asked.y[1] = 1.5;
    asked.theta[0] = 0, asked.theta[1] = 3.14159;  // the upper half of the circle
    return std::optional<ZoomRanges>(asked);
  });
  EXPECT_TRUE(Enabled(window, "Zoom to Ranges..."));
  MenuItem(window, "Zoom to Ranges...")->trigger();
  EXPECT_EQ(shown.theta[1], 2 * 3.141592653589793);
  EXPECT_EQ(shown.t[1], 1);
  EXPECT_EQ(shown.r[1], 2);
  EXPECT_TRUE(window->Document()->fModified);
  ASSERT_TRUE(WaitUntilGraphed(window));
  auto* view = dynamic_cast<A2DGraphView*>(window->Document()->fGraphPane->CurrentView());
  const A2DTransform& t = view->ViewTransform();
  const MRect& r = view->ViewRect();
  EXPECT_LE(t.ITOX(r.left), -1.5);
  EXPECT_GE(t.ITOX(r.right - 1), 1.5);
  EXPECT_LE(t.ITOY(r.bottom - 1), -1.5);
  EXPECT_GE(t.ITOY(r.top), 1.5);
  EXPECT_EQ(view->Record().ranges[kCoordTheta][1], 3.14159);
  // The circle's top is drawn, its bottom not.
  const QImage& image = window->GraphPane()->World()->image;
  const auto drawnNear = [&](double x, double y) {
    const int h = static_cast<int>(std::lround((x - t.ITOX(0)) / t.xUnitsPerPixel));
    const int v = static_cast<int>(std::lround((t.ITOY(0) - y) / t.yUnitsPerPixel));
    for (int dv = -2; dv <= 2; ++dv)
      for (int dh = -2; dh <= 2; ++dh)
        if ((image.pixel(h + dh, v + dv) & 0xFFFFFF) != 0xFFFFFF) return true;
    return false;
  };
  EXPECT_TRUE(drawnNear(0, 1));
  EXPECT_FALSE(drawnNear(0, -1));
}

// The value of the right side at x, by the project's own evaluator.
double RightSideAt(const ExpressionRecord* equation, double x) {
  ExpressionRecord* copy = Copy(equation->operands[equation->operandCount - 1]);
  PostOrder(copy, [&](ExpressionRecord* n) {
    if (n->opcode == kOpAtom && n->payload.id == 'x') Become(n, Number(x));
  });
  const double value = ScalarExprEval(copy, nullptr);
  DisposExpr(copy);
  return value;
}

TEST_F(GraphMenuItemsTest, MathItemsAgreeWithAnIndependentAlgebra) {
  std::ifstream reference(ZL_TEST_DATA_DIR "/menu_algebra_reference.txt");
  std::string line;
  int cases = 0;
  while (std::getline(reference, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string item, formula;
    std::getline(fields, item, '\t');
    std::getline(fields, formula, '\t');
    SCOPED_TRACE(item + ": " + formula);
    DocumentMainWindow* window = Open("a.zlf", "Zentrolabworksheet 4;\nExpr " + formula + ";\n");
    ASSERT_NE(window, nullptr);
    FocusMathPaneBlock(window->WindowRecord(), 0);
    MERecord* record = FocusedFormula(window);
    ASSERT_NE(record, nullptr);
    if (item == "Solve for Selection") {
      // x alone is selected.
      ExpressionRecord* n = record->root;
      while (n && !(n->opcode == kOpAtom && n->payload.id == 'x')) n = NextTopDownWithin(n, record->root);
      ASSERT_NE(n, nullptr);
      record->selected = n;
      record->caretType = kIPWholeNode;
    } else {
      EditSelectAll(window);
    }
    EXPECT_TRUE(Enabled(window, QString::fromStdString(item)));
    MenuItem(window, QString::fromStdString(item))->trigger();
    EXPECT_TRUE(window->Document()->fModified);
    const ExpressionRecord* result = EquationTree(window->Document()->fContents.blocks[0]);
    double at = 0, expected = 0;
    while (fields >> at >> expected) EXPECT_NEAR(RightSideAt(result, at), expected, 1e-12 * (1 + std::abs(expected)));
    CloseEveryWindow();
    ++cases;
  }
  EXPECT_EQ(cases, 3);
}

TEST_F(GraphMenuItemsTest, MoveItemsMoveTheSelectedTerm) {
  DocumentMainWindow* window = Open("m.zlf", "Zentrolabworksheet 4;\nExpr y = a + b;\n");
  ASSERT_NE(window, nullptr);
  FocusMathPaneBlock(window->WindowRecord(), 0);
  MERecord* record = FocusedFormula(window);
  record->selected = record->root->operands[1]->operands[0];
  record->caretType = kIPWholeNode;
  EXPECT_TRUE(Enabled(window, "Move Right"));
  MenuItem(window, "Move Right")->trigger();
  EXPECT_EQ(FormulaText(window->Document(), 0), "y=b+a");
  EXPECT_TRUE(window->Document()->fModified);
  for (const char* name : {"Move Right Into", "Move Right All the Way", "Move Left", "Move Left Into",
                           "Move Left All the Way", "Move Up", "Move Down", "Move Left Swap", "Move Right Swap"})
    EXPECT_NE(MenuItem(window, name), nullptr);
}

}  // namespace
