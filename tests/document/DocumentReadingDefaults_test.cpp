#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "CoreUtilities/MathConstants.h"
#include "document/DocumentStatements.h"
#include "document/DocumentWriter.h"
#include "tests/document/GraphedDocument.h"

// What a document without view statements holds and draws, and how a file
// cut short is read.

namespace {

class DocumentDefaults : public GraphingTest {};

// The default view of kGraphRect: 64 pixels per unit, the origin at the
// centre (x from -120/64, y from -100/64 at the bottom row).
QPoint DefaultPixelOf(double x, double y) {
  const double h = kGraphRect.left + (x + 120.0 / 64) * 64;
  const double v = kGraphRect.bottom - 1 - (y + 100.0 / 64) * 64;
  return {int(std::floor(h + 0.5)), int(std::floor(v + 0.5))};
}

// Whether the graph changed some pixel within one of the point.
bool DrawnNear(const QImage& graph, const QImage& empty, QPoint p) {
  for (int dv = -1; dv <= 1; ++dv)
    for (int dh = -1; dh <= 1; ++dh)
      if (graph.pixel(p.x() + dh, p.y() + dv) != empty.pixel(p.x() + dh, p.y() + dv)) return true;
  return false;
}

// The curve's points over [from, to] that lie inside the view, off the
// axes: a curve tints what lies below it, and the black axes stay black.
void ExpectCurve(const GraphedDocument& g, const GraphedDocument& empty, double from, double to,
                 const std::function<std::pair<double, double>(double)>& curve, bool drawn) {
  const QRect inside(4, 4, 240 - 8, 200 - 8);
  const QPoint origin = DefaultPixelOf(0, 0);
  for (int k = 0; k <= 40; ++k) {
    const double s = from + (to - from) * k / 40;
    const auto [x, y] = curve(s);
    const QPoint p = DefaultPixelOf(x, y);
    if (!inside.contains(p) || std::abs(p.x() - origin.x()) <= 2 || std::abs(p.y() - origin.y()) <= 2) continue;
    EXPECT_EQ(DrawnNear(g.Picture(), empty.Picture(), p), drawn) << "at " << s;
  }
}

TEST_F(DocumentDefaults, PolarAndParametricCurvesDrawOverTheDefaultRanges) {
  GraphedDocument empty("");
  ASSERT_TRUE(empty.document && empty.RunUntilDone());
  const auto spiral = [](double theta) { return std::pair{theta * std::cos(theta), theta * std::sin(theta)}; };
  // Files written so far hold the ranges as "0 0": they read as not given.
  for (const char* text : {"Expr r = theta;\n", "2D.Theta 0 0;\nTheta 0 0;\nR 0 0;\nExpr r = theta;\n"}) {
    GraphedDocument g(text);
    ASSERT_TRUE(g.document && g.RunUntilDone());
    ExpectCurve(g, empty, 0.1, 1.5, spiral, true);
  }
  GraphedDocument cardioid("Expr r = 1 + cos(theta);\n");
  ASSERT_TRUE(cardioid.document && cardioid.RunUntilDone());
  ExpectCurve(
      cardioid, empty, 1.2, 5.1,
      [](double t) {
        const double r = 1 + std::cos(t);
        return std::pair{r * std::cos(t), r * std::sin(t)};
      },
      true);
  // t runs from 0 to 1: a piece of the ellipse, and none of the rest.
  GraphedDocument ellipse("Expr vector(x, y) = vector(2*cos(t), sin(t));\n");
  ASSERT_TRUE(ellipse.document && ellipse.RunUntilDone());
  const auto arc = [](double t) { return std::pair{2 * std::cos(t), std::sin(t)}; };
  ExpectCurve(ellipse, empty, 0.45, 1, arc, true);
  ExpectCurve(ellipse, empty, 1.2, 2.9, arc, false);
}

TEST_F(DocumentDefaults, ANewViewShowsAxesAndGraphPaperUntilAFileHidesThem) {
  GraphedDocument plain("");
  ASSERT_TRUE(plain.document && plain.RunUntilDone());
  EXPECT_TRUE(plain.document->fGraphPane->IsShowingAxes(kCurrentView));
  EXPECT_TRUE(plain.document->fGraphPane->IsShowingGraphPaper(kCurrentView));
  const QImage& picture = plain.Picture();
  // The x axis along y = 0, and paper where no axis is.
  EXPECT_EQ(picture.pixel(DefaultPixelOf(-1.3, 0)) & 0xFFFFFF, 0u);
  int paper = 0;
  for (int h = 2; h < 40; ++h) paper += (picture.pixel(h, 20) & 0xFFFFFF) != 0xFFFFFF;
  EXPECT_GT(paper, 0);

  for (const char* hidden : {"HideAxes 1;\n", "2D.Axes 0;\n2D.GraphPaper 0;\n"}) {
    GraphedDocument g(hidden);
    ASSERT_TRUE(g.document && g.RunUntilDone()) << hidden;
    EXPECT_FALSE(g.document->fGraphPane->IsShowingAxes(kCurrentView)) << hidden;
    EXPECT_FALSE(g.document->fGraphPane->IsShowingGraphPaper(kCurrentView)) << hidden;
    for (int h = 2; h < 40; ++h) EXPECT_EQ(g.Picture().pixel(h, 20) & 0xFFFFFF, 0xFFFFFFu) << hidden;
  }
}

// "0 0", which files have held for a parameter's range never set, keeps
// the default quietly; other equal ends, and a box's, are refused aloud.
TEST_F(DocumentDefaults, RangesWithEqualEndsReadAsNotGivenAndAreWrittenAsTheyAre) {
  const int32_t refusedBefore = RefusedSettingCount();
  const auto read = DocumentOf(
      "T 0 0;\nR 0 0;\nTheta 0 0;\n2D.T 0 0;\n2D.R 0 0;\n2D.Theta 3 3;\n3D.X 0 0;\n3D.Phi 0 0;\n4D.W 1 1;\n"
      "3D.Z -1 5;\n");
  ASSERT_TRUE(read);
  EXPECT_EQ(RefusedSettingCount() - refusedBefore, 3);  // 2D.Theta, 3D.X and 4D.W
  const GraphPaneSettings& p = read->fContents.pane;
  ExpectRange(p.view2D.t, 0, 1);
  ExpectRange(p.view2D.r, 0, 2);
  ExpectRange(p.view2D.theta, 0, 2 * gPi);
  ExpectRange(p.view2Dp.theta, 0, 2 * gPi);
  ExpectRange(p.view3D.x, -2, 2);
  ExpectRange(p.view3D.phi, 0, gPi);
  ExpectRange(p.view3D.z, -1, 5);
  ExpectRange(p.view4D.w, -2, 2);
  ExpectRange(p.view4D.t, 0, 1);
  EXPECT_TRUE(p.axes2D && p.graphPaper2D && p.axes3D);

  const auto written = WriteDocumentText(*DocumentOf("2D.Theta 0.5 6;\n"));
  ASSERT_TRUE(written);
  for (const char* statement : {"\n2D.Theta 0.5 6;\n", "\n2D.R 0 2;\n", "\nT 0 1;\n", "\n3D.X -2 2;\n",
                                "\n3D.Phi 0 3.141592653589793;\n", "\n2D.Axes 1;\n", "\n2D.GraphPaper 1;\n"})
    EXPECT_NE(written->find(statement), std::string::npos) << statement << *written;
}

// What a function graph says of the view once it is done: its columns'
// enclosures decide, an unbounded column being grey over the whole view.
TEST_F(DocumentDefaults, FunctionGraphsSayWhatTheViewShowsOfThem) {
  GraphedDocument g("Expr y = 10^10*x + 10^12;\nExpr y = 10^400*x;\nExpr y = 1/(x - x);\nExpr y = sqrt(-1 - x^2);\n");
  ASSERT_TRUE(g.document && g.RunUntilDone());
  UpdateGraphMessages(g.document.get());
  EXPECT_EQ(EquationMessage(g.document.get(), 0), 5);  // "Curve is outside the region shown"
  EXPECT_EQ(EquationMessage(g.document.get(), 1), 4);  // "Infinite in the domain shown"
  EXPECT_EQ(EquationMessage(g.document.get(), 2), 0);  // every column grey, so in view
  EXPECT_EQ(EquationMessage(g.document.get(), 3), 3);  // "Undefined in the domain shown"
}

// A cut just after a statement's semicolon (and the line break after it)
// reads what comes before; a cut anywhere else is refused.
TEST_F(DocumentDefaults, AFileCutInsideAStatementIsRefused) {
  const std::string welcome = Golden("../../examples/welcome.zlf");
  ASSERT_FALSE(welcome.empty());
  const size_t header = welcome.find('\n');
  for (size_t cut = 0; cut < welcome.size(); ++cut) {
    const std::string text = welcome.substr(0, cut);
    size_t end = text.find_last_not_of(" \t\r\n");
    const bool boundary = cut >= header && end != std::string::npos && text[end] == ';' && welcome[end + 1] == '\n';
    const auto document = Read(text);
    EXPECT_EQ(document != nullptr, boundary) << "cut at " << cut;
    if (!document) continue;
    int32_t blocks = 0;
    for (const char* start : {"\nExpr ", "\nText \"", "\nTable\n"})
      for (size_t at = text.find(start); at != std::string::npos; at = text.find(start, at + 1)) ++blocks;
    EXPECT_EQ(document->fContents.blocks.Count(), blocks) << "cut at " << cut;
  }
}

}  // namespace
