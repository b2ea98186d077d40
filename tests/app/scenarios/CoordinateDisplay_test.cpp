#include "tests/app/ApplicationFixture.h"

#include <QLineEdit>
#include <QToolButton>

#include <cmath>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "CoreUtilities/drawing/ScopedSavers.h"
#include "document/CoordinateDisplay.h"
#include "document/DocumentIdle.h"
#include "expression/DocumentHooks.h"
#include "graphpane/AGraphPane.h"
#include "graphpane/GraphHooks.h"
#include "graphpane/GraphMakers.h"
#include "graphs2d/A2DGraphView.h"
#include "graphs3d/grid/AGridSurface4D.h"
#include "platform/OurPort.h"
#include "tests/support/FileBytes.h"
#include "window/CoordinateDisplayWidget.h"
#include "window/GraphPaneWidget.h"
#include "window/MathPaneWidget.h"
#include "window/ViewControls.h"

namespace {

constexpr double kPi = std::numbers::pi;

// World points of a curve, dense enough that neighbours are under a pixel
// apart at the zooms used here.
using Curve = std::vector<std::pair<double, double>>;

Curve Spiral(double thetaLow, double thetaHigh) {  // r = theta
  Curve curve;
  for (double theta = thetaLow; theta <= thetaHigh; theta += 5e-4)
    curve.emplace_back(theta * std::cos(theta), theta * std::sin(theta));
  return curve;
}

Curve Line(double slope, double xLow, double xHigh) {  // y = slope x
  Curve curve;
  for (double x = xLow; x <= xHigh; x += 5e-4) curve.emplace_back(x, slope * x);
  return curve;
}

bool Ink(const QImage& image, int h, int v) {
  return image.rect().contains(h, v) && (image.pixel(h, v) & 0xFFFFFF) != 0xFFFFFF;
}

// How a picture drawn without axes or graph paper matches a curve: the
// share of the curve's on-screen points with ink within a pixel, and the
// share of the ink within two pixels of the curve.
struct Match {
  double curveInked = 0;
  double inkOnCurve = 0;
};

Match Compare(const QImage& image, const A2DTransform& t, const Curve& curve) {
  const QRect inside = image.rect().adjusted(3, 3, -3, -3);
  std::vector<char> nearCurve(size_t(image.width()) * size_t(image.height()), 0);
  int onScreen = 0, inked = 0;
  for (const auto& [x, y] : curve) {
    const int h = t.XTOI_InfSafe(x), v = t.YTOI_InfSafe(y);
    if (!inside.contains(h, v)) continue;
    ++onScreen;
    bool found = false;
    for (int dv = -2; dv <= 2; ++dv) {
      for (int dh = -2; dh <= 2; ++dh) {
        nearCurve[size_t(v + dv) * size_t(image.width()) + size_t(h + dh)] = 1;
        found = found || (std::abs(dh) <= 1 && std::abs(dv) <= 1 && Ink(image, h + dh, v + dv));
      }
    }
    inked += found;
  }
  int ink = 0, onCurve = 0;
  for (int v = inside.top(); v <= inside.bottom(); ++v) {
    for (int h = inside.left(); h <= inside.right(); ++h) {
      if (!Ink(image, h, v)) continue;
      ++ink;
      onCurve += nearCurve[size_t(v) * size_t(image.width()) + size_t(h)];
    }
  }
  return {onScreen ? double(inked) / onScreen : 0, ink ? double(onCurve) / ink : 0};
}

class CoordinateDisplayTest : public WindowTest {
 protected:
  DocumentMainWindow* OpenGraphed(const char* name, const std::string& formulas) {
    DocumentMainWindow* window = Open(name, "Zentrolabworksheet 4;\n" + formulas);
    if (window == nullptr) return nullptr;
    fDocument = window->Document();
    EXPECT_TRUE(WaitForGraphs());
    return window;
  }
  // The pass that follows an edit, and its graphs, are done.
  bool WaitForGraphs() {
    return WaitFor([&] { return IsDocumentGraphDone(fDocument); });
  }
  AGraphPane& Pane() const { return *fDocument->fGraphPane; }
  const A2DTransform& Transform() const { return static_cast<const A2DGraphView*>(Pane().View2D(0))->ViewTransform(); }
  // The plane at the given square, with nothing drawn but the graphs.
  void PlainView(DocumentMainWindow* window, double extent) {
    Pane().Zoom(-extent, extent, -extent, extent, kCurrentView);
    window->ViewButtons()->AxesButton(kCurrentView)->click();
    window->ViewButtons()->PaperButton(kCurrentView)->click();
    ASSERT_FALSE(Pane().IsShowingAxes(kCurrentView));
    ASSERT_FALSE(Pane().IsShowingGraphPaper(kCurrentView));
    ASSERT_TRUE(WaitForGraphs());
  }
  QImage Picture(DocumentMainWindow* window) const {
    DrawDocumentGraph(fDocument);
    return window->GraphPane()->World()->image.copy();
  }
  static void Enter(QLineEdit* field, const QString& text) {
    field->setText(text);
    QTest::keyClick(field, Qt::Key_Return);
  }
  bool Shown(int32_t field) const { return fDocument->fCoordinates.shown[field]; }

  DocumentRecord* fDocument = nullptr;
};

TEST_F(CoordinateDisplayTest, EditedThetaRangeDrawsTheSpiralsSecondTurn) {
  DocumentMainWindow* window = OpenGraphed("spiral.zlf", "Expr r = theta;\n");
  ASSERT_NE(window, nullptr);
  window->RunIdle();
  CoordinateDisplayWidget* display = window->Coordinates();
  ASSERT_TRUE(Shown(kCoordTheta));
  EXPECT_FALSE(Shown(kCoordX));
  EXPECT_FALSE(Shown(kCoordT));
  QLineEdit* low = display->RangeField(kCoordTheta, 0);
  QLineEdit* high = display->RangeField(kCoordTheta, 1);
  ASSERT_TRUE(low->isVisibleTo(window));
  EXPECT_EQ(low->text().toDouble(), 0);
  EXPECT_NEAR(high->text().toDouble(), 2 * kPi, 1e-6);

  PlainView(window, 13);
  Match first = Compare(Picture(window), Transform(), Spiral(0, 2 * kPi));
  EXPECT_GT(first.curveInked, 0.95);
  EXPECT_GT(first.inkOnCurve, 0.99);
  EXPECT_LT(Compare(Picture(window), Transform(), Spiral(2 * kPi + 0.5, 4 * kPi)).curveInked, 0.05);

  Enter(high, "4*pi");
  EXPECT_TRUE(fDocument->fModified);
  EXPECT_TRUE(window->isWindowModified());
  ASSERT_TRUE(WaitForGraphs());
  window->RunIdle();
  EXPECT_NEAR(fDocument->fCoordinates.high[kCoordTheta], 4 * kPi, 1e-12);
  EXPECT_NEAR(high->text().toDouble(), 4 * kPi, 1e-6);
  const Match both = Compare(Picture(window), Transform(), Spiral(0, 4 * kPi));
  EXPECT_GT(both.curveInked, 0.95);
  EXPECT_GT(both.inkOnCurve, 0.99);
  EXPECT_GT(Compare(Picture(window), Transform(), Spiral(2 * kPi + 0.5, 4 * kPi)).curveInked, 0.95);
}

TEST_F(CoordinateDisplayTest, ParameterValueSetsTheSlope) {
  DocumentMainWindow* window = OpenGraphed("slope.zlf", "Expr y = a*x;\n");
  ASSERT_NE(window, nullptr);
  window->RunIdle();
  QLineEdit* a = window->Coordinates()->ParameterField('a');
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->text(), "1");
  EXPECT_EQ(window->Coordinates()->ParameterField('x'), nullptr);
  // One view: no buttons for a second.
  EXPECT_TRUE(window->ViewButtons()->AxesButton(kCurrentView)->isVisibleTo(window));
  EXPECT_FALSE(window->ViewButtons()->AxesButton(kSecondView)->isVisibleTo(window));
  PlainView(window, 5);
  EXPECT_GT(Compare(Picture(window), Transform(), Line(1, -50, 50)).inkOnCurve, 0.99);

  Enter(a, "2");
  EXPECT_TRUE(fDocument->fModified);
  ASSERT_TRUE(WaitForGraphs());
  window->RunIdle();
  EXPECT_EQ(GetValueFromParameterList('a', fDocument), 2);
  const Match doubled = Compare(Picture(window), Transform(), Line(2, -50, 50));
  EXPECT_GT(doubled.curveInked, 0.95);
  EXPECT_GT(doubled.inkOnCurve, 0.99);
  EXPECT_LT(Compare(Picture(window), Transform(), Line(1, 1, 50)).curveInked, 0.05);
}

TEST_F(CoordinateDisplayTest, TextThatIsNoNumberChangesNothing) {
  DocumentMainWindow* window = OpenGraphed("refused.zlf", "Expr r = theta;\nExpr y = a*x;\n");
  ASSERT_NE(window, nullptr);
  window->RunIdle();
  CoordinateDisplayWidget* display = window->Coordinates();
  for (const char* text : {"x", "1/0", "2*", "", "pi pi ("}) {
    Enter(display->RangeField(kCoordTheta, 1), text);
    Enter(display->ParameterField('a'), text);
  }
  // Equal ends make no range.
  Enter(display->RangeField(kCoordTheta, 1), "0");
  EXPECT_FALSE(fDocument->fModified);
  EXPECT_TRUE(IsDocumentGraphDone(fDocument));
  EXPECT_NEAR(Pane().View2D(0)->Record().ranges[kCoordTheta][1], 2 * kPi, 1e-12);
  EXPECT_EQ(GetValueFromParameterList('a', fDocument), 1);
}

TEST_F(CoordinateDisplayTest, ParametricCurveShowsTAndTheEditedRangeSurvivesReopening) {
  DocumentMainWindow* window = OpenGraphed("curve.zlf", "Expr matrix(2,1,x,y) = matrix(2,1,b*cos(t),sin(t));\n");
  ASSERT_NE(window, nullptr);
  window->RunIdle();
  ASSERT_TRUE(Shown(kCoordT));
  EXPECT_FALSE(Shown(kCoordTheta));
  CoordinateDisplayWidget* display = window->Coordinates();
  // Edited while the curve computes.
  window->Recompute();
  window->RunIdle();
  Enter(display->RangeField(kCoordT, 0), "-1");
  Enter(display->RangeField(kCoordT, 1), "pi/2");
  Enter(display->ParameterField('b'), "-3.5");
  ASSERT_TRUE(WaitForGraphs());

  const QString path = fFolder.path() + "/curve2.zlf";
  SetFileNameQuestion([path](QWidget*, bool, const QString&) { return path; });
  ASSERT_TRUE(SaveWindowAs(window));
  DocumentMainWindow* reopened = OpenDocumentWindow(path);
  ASSERT_NE(reopened, nullptr);
  fDocument = reopened->Document();
  ASSERT_TRUE(WaitForGraphs());
  reopened->RunIdle();
  EXPECT_EQ(fDocument->fCoordinates.low[kCoordT], -1);
  EXPECT_EQ(fDocument->fCoordinates.high[kCoordT], kPi / 2);
  // T sets every view's.
  const std::string saved = FileBytes(path.toStdString());
  for (const char* view : {"2D", "3D", "4D"})
    EXPECT_NE(saved.find(std::string(view) + ".T -1 1.5707963267948966;"), std::string::npos) << view;
  EXPECT_EQ(reopened->Coordinates()->ParameterField('b')->text(), "-3.5");
  EXPECT_FALSE(fDocument->fModified);
}

// A range field sets one end of every view's range: each view saves the
// end typed and keeps its own other end, though the pass lent every view
// the shown view's.
TEST_F(CoordinateDisplayTest, ATypedEndIsSavedInEveryViewBesideItsOwnOtherEnd) {
  const std::string curve =
      "T 0.625 2.75;\n2D.T -2.875 7.25;\n3D.T 1.125 12.566370614359172;\n4D.T -5.875 6.25;\nExpr "
      "vector(cos(t),sin(t),t/4);\n";
  const std::string surface = "U 0.5 1.5;\n3D.U -1 2;\n4D.U 3 4;\nExpr matrix(3,1,x,y,z) = matrix(3,1,u,v,u*v);\n";
  const struct {
    const std::string& formulas;
    int32_t field, end;
    const char* typed;
    std::vector<std::string> saved;
  } cases[] = {
      {curve, kCoordT, 0, "2", {"\nT 2 2.75;", "\n2D.T 2 7.25;", "\n3D.T 2 12.566370614359172;", "\n4D.T 2 6.25;"}},
      {curve, kCoordT, 1, "3", {"\nT 0.625 3;", "\n2D.T -2.875 3;", "\n3D.T 1.125 3;", "\n4D.T -5.875 3;"}},
      {surface, kCoordU, 0, "0", {"\nU 0 1.5;", "\n3D.U 0 2;", "\n4D.U 0 4;"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.formulas + c.typed);
    DocumentMainWindow* window = OpenGraphed("ends.zlf", c.formulas);
    ASSERT_NE(window, nullptr);
    window->RunIdle();
    ASSERT_TRUE(Shown(c.field));
    window->activateWindow();
    ASSERT_TRUE(WaitFor([&] { return window->isActiveWindow(); }));
    QLineEdit* field = window->Coordinates()->RangeField(c.field, c.end);
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, c.typed);
    QTest::keyClick(field, Qt::Key_Return);
    ASSERT_TRUE(WaitForGraphs());
    EXPECT_TRUE(fDocument->fModified);
    const QString path = fFolder.path() + "/ends2.zlf";
    SetFileNameQuestion([path](QWidget*, bool, const QString&) { return path; });
    ASSERT_TRUE(SaveWindowAs(window));
    const std::string saved = FileBytes(path.toStdString());
    for (const std::string& statement : c.saved) EXPECT_NE(saved.find(statement), std::string::npos) << statement;
    CloseEveryWindow();
  }
}

// A 3-D box or a 4-D range typed into the fields follows the rule the
// reader applies: one the view can draw, however narrow beside its size,
// is taken, saved and read back as typed; one it cannot changes nothing.
TEST_F(CoordinateDisplayTest, TypedRangesAreSavedAndReadBackOrRefused) {
  const std::string ripple = "Expr z = 1000000 + sin(x)*cos(y);\n";
  const std::string fourD = "Expr vector(x,y,u,v)=vector(u,v,(u^2-v^2)/2,0.4*u*v+0.3);\n";
  const struct {
    std::string formulas;
    const char *low, *high;
    bool taken;
  } cases[] = {{ripple, "999999", "1000001", true},
               {"Expr z = 1000 + 0.01*sin(x);\n", "999.99", "1000.01", true},
               {ripple, "1000000", "1000000.25", false},  // four float steps
               {fourD, "-0.2", "0.2", true},
               {fourD, "0", "1e-310", false}};
  const auto z = [&] { return (Pane().IsView4D() ? Pane().View4D() : Pane().View3D(0))->Record().ranges[kCoordZ]; };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.formulas + c.low + " " + c.high);
    DocumentMainWindow* window = OpenGraphed("box.zlf", c.formulas);
    ASSERT_NE(window, nullptr);
    window->RunIdle();
    const double expected[2] = {c.taken ? std::stod(c.low) : z()[0], c.taken ? std::stod(c.high) : z()[1]};
    window->Coordinates()->RangeField(kCoordZ, 0)->setText(c.low);  // Return in either field sends both
    Enter(window->Coordinates()->RangeField(kCoordZ, 1), c.high);
    ASSERT_TRUE(WaitForGraphs());
    EXPECT_EQ(fDocument->fModified, c.taken);
    if (auto* surface = dynamic_cast<AGridSurface4D*>(Pane().View4D()->GraphAt(0))) {
      // The graph is normalised by the range typed: u = 1, v = 0 gives z = 1/2.
      const double n = 2 * (0.5 - expected[0]) / (expected[1] - expected[0]) - 1;
      EXPECT_NEAR(surface->Point(surface->GridSize() - 1, 0).c, n, 1e-9);
    }
    const QString path = fFolder.path() + "/box2.zlf";
    SetFileNameQuestion([path](QWidget*, bool, const QString&) { return path; });
    ASSERT_TRUE(SaveWindowAs(window));
    fDocument = OpenDocumentWindow(path)->Document();
    ASSERT_TRUE(WaitForGraphs());
    EXPECT_TRUE(RecordedAlerts().empty());
    EXPECT_EQ(z()[0], expected[0]);
    EXPECT_EQ(z()[1], expected[1]);
    CloseEveryWindow();
  }
}

TEST_F(CoordinateDisplayTest, FieldBeingEditedSurvivesARegraph) {
  DocumentMainWindow* window = OpenGraphed("focus.zlf", "Expr r = theta;\nExpr y = a*x;\n");
  ASSERT_NE(window, nullptr);
  window->RunIdle();
  window->activateWindow();
  ASSERT_TRUE(WaitFor([&] { return window->isActiveWindow(); }));
  QLineEdit* low = window->Coordinates()->RangeField(kCoordTheta, 0);
  low->setFocus();
  ASSERT_TRUE(low->hasFocus());
  EXPECT_EQ(fDocument->fCoordinates.focusedField, kCoordTheta);
  low->setText("0.2");  // typed, not entered

  // The graph pass clears the display first; the edited field stays.
  ClearCoordinateDisplay(fDocument);
  EXPECT_TRUE(Shown(kCoordTheta));
  EXPECT_TRUE(fDocument->fCoordinates.shownParameters.empty());
  window->Recompute();
  ASSERT_TRUE(WaitForGraphs());
  window->RunIdle();
  EXPECT_TRUE(low->isVisibleTo(window));
  EXPECT_EQ(low->text(), "0.2");
  EXPECT_NE(window->Coordinates()->ParameterField('a'), nullptr);

  // Once the user leaves it, the field shows the range again.
  window->MathPane()->setFocus();
  EXPECT_EQ(fDocument->fCoordinates.focusedField, -1);
  window->RedrawCoordinates();
  EXPECT_EQ(low->text(), "0");

  // So does a refused range as soon as the user leaves its row, with no
  // pass to redraw the display; moving to the other end keeps what was typed.
  QLineEdit* high = window->Coordinates()->RangeField(kCoordTheta, 1);
  low->setFocus();
  low->setText("7");
  high->setFocus();
  EXPECT_EQ(low->text(), "7");
  high->setText("7");
  QTest::keyClick(high, Qt::Key_Return);
  EXPECT_FALSE(fDocument->fModified);
  window->MathPane()->setFocus();
  EXPECT_EQ(low->text(), "0");
  EXPECT_NEAR(high->text().toDouble(), 2 * kPi, 1e-6);
}

TEST_F(CoordinateDisplayTest, PrimedEquationsShowTheSecondView) {
  // The file quotes primed names: 'x''' is x'.
  for (const char* formulas :
       {"Expr 'y''' = 'x'''^2;\n", "Expr matrix(2,1,x,y) = matrix(2,1,'x'''+1,'y''');\nExpr 'y''' = 'x'''^2;\n"}) {
    SCOPED_TRACE(formulas);
    DocumentMainWindow* window = OpenGraphed("primed.zlf", formulas);
    ASSERT_NE(window, nullptr);
    window->RunIdle();
    EXPECT_EQ(Pane().CurrentView(), Pane().View2D(0));
    ASSERT_EQ(Pane().SecondView(), Pane().View2D(1));
    EXPECT_GE(Pane().View2D(1)->GraphCount(), 1);
    const ExpansionState& state = fDocument->fExpansion;
    for (size_t i = 0; i < state.messages.size(); ++i) EXPECT_EQ(state.messages[i], 0) << i;

    // Each view's axes button toggles that view's axes only.
    ViewControls* buttons = window->ViewButtons();
    ASSERT_TRUE(buttons->AxesButton(kSecondView)->isVisibleTo(window));
    ASSERT_TRUE(buttons->PaperButton(kSecondView)->isVisibleTo(window));
    EXPECT_TRUE(buttons->AxesButton(kCurrentView)->isChecked());
    EXPECT_EQ(buttons->AxesButton(kCurrentView)->toolTip(), "Hide the axes");
    buttons->AxesButton(kCurrentView)->click();
    EXPECT_FALSE(Pane().IsShowingAxes(kCurrentView));
    EXPECT_TRUE(Pane().IsShowingAxes(kSecondView));
    EXPECT_FALSE(buttons->AxesButton(kCurrentView)->isChecked());
    EXPECT_TRUE(buttons->AxesButton(kSecondView)->isChecked());
    EXPECT_EQ(buttons->AxesButton(kCurrentView)->toolTip(), "Show the axes");
    EXPECT_EQ(buttons->AxesButton(kSecondView)->toolTip(), "Hide the axes of the second view");
    buttons->PaperButton(kSecondView)->click();
    EXPECT_TRUE(Pane().IsShowingGraphPaper(kCurrentView));
    EXPECT_FALSE(Pane().IsShowingGraphPaper(kSecondView));
    EXPECT_EQ(buttons->PaperButton(kSecondView)->toolTip(), "Show the graph paper of the second view");
    EXPECT_TRUE(fDocument->fModified);
    CloseEveryWindow();
  }
}

TEST_F(CoordinateDisplayTest, ManyParametersScrollAndLeaveTheGraphItsRoom) {
  DocumentMainWindow* window = OpenGraphed("many.zlf", "Expr y = a+b+c+g+h+j+k+m+q+s+p*x;\n");
  ASSERT_NE(window, nullptr);
  window->RunIdle();
  EXPECT_EQ(fDocument->fCoordinates.shownParameters.size(), 11u);
  CoordinateDisplayWidget* display = window->Coordinates();
  ASSERT_NE(display->ParameterField('p'), nullptr);
  EXPECT_LT(display->height(), 6 * display->ParameterField('p')->height());
  EXPECT_GT(window->GraphPane()->height(), window->height() / 2);
}

TEST_F(CoordinateDisplayTest, SurfaceShowsUAndV) {
  if (gGraphMakers.GridSurface == nullptr) GTEST_SKIP() << "no grid surfaces are made yet";
  DocumentMainWindow* window = OpenGraphed("surface.zlf", "Expr matrix(3,1,x,y,z) = matrix(3,1,u,v,u*v);\n");
  ASSERT_NE(window, nullptr);
  window->RunIdle();
  for (int32_t field : {kCoordU, kCoordV, kCoordX, kCoordY, kCoordZ}) {
    EXPECT_TRUE(Shown(field)) << field;
    EXPECT_TRUE(window->Coordinates()->RangeField(field, 0)->isVisibleTo(window)) << field;
  }
  EXPECT_FALSE(Shown(kCoordT));
}

TEST_F(CoordinateDisplayTest, SelectionColourFollowsThePalette) {
  DocumentMainWindow* window = OpenGraphed("colour.zlf", "Expr y = x;\n");
  ASSERT_NE(window, nullptr);
  OurPort* port = window->GraphPane()->World();
  APushPort current(port);
  for (const QColor colour : {QColor(0x12, 0x34, 0x56), QColor(0xFE, 0xDC, 0x10)}) {
    QPalette palette = window->palette();
    palette.setColor(QPalette::Active, QPalette::Highlight, colour);
    window->setPalette(palette);
    PaneHooks::SetGraphSelectionForeColor(fDocument);
    EXPECT_EQ(port->foreColor, colour.rgb() & 0xFFFFFF);
  }
}

}  // namespace
