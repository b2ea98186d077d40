#include "tests/app/ApplicationFixture.h"
#include "tests/app/DemoFixtures.h"

#include <QLabel>
#include <QLayout>
#include <QStatusBar>

#include <cmath>
#include <map>
#include <numbers>
#include <string>
#include <vector>

#include "CoreUtilities/text/MessageTable.h"
#include "app/DemoPlayer.h"
#include "app/DemoScript.h"
#include "app/EditCommands.h"
#include "document/DemoState.h"
#include "expression/MathEditRecord.h"
#include "expression/OperatorKinds.h"
#include "graphpane/AGraphPane.h"
#include "graphpane/EquationClassification.h"
#include "graphpane/GraphKinds.h"
#include "graphs2d/APointPlot.h"
#include "graphs3d/views/A3DGraphView.h"
#include "graphs3d/views/ViewClock.h"

namespace {

constexpr int kEveryDemoScript[] = {50, 51, 53, 54, 55, 57, 58, 59};

std::vector<DemoStep> DemoScriptSteps(int script) {
  std::vector<DemoStep> steps;
  const QString text = QString::fromUtf16(OurGetLocalizedString(script));
  for (const std::u32string& line : DemoScriptLines(text.toStdU32String())) steps.push_back(ReadDemoLine(line));
  return steps;
}

QString DemoCaptionOf(const DemoStep& step) {
  return QString::fromUcs4(step.caption.data(), static_cast<qsizetype>(step.caption.size()));
}

// The kinds of the graphs drawn, in the order of their equations.
std::vector<GraphKind> DemoDrawnKinds(DocumentRecord* document) {
  const ExpansionState& state = document->fExpansion;
  std::vector<GraphKind> kinds;
  for (size_t i = 0; i < state.expanded.size(); ++i) {
    const ExpandedEquation& e = state.expanded[i];
    if (state.rows[i] < 0 || !e.tree) continue;
    kinds.push_back(static_cast<GraphKind>(BaseKind(ExprType(e.tree.get(), e.info.threeD, state.viewIs4D, document))));
  }
  return kinds;
}

// Where each point the scripts set is, worked out by hand: x the real
// part, y the imaginary part.
struct DemoPointAt {
  double x;
  double y;
};
const std::map<std::string, DemoPointAt> kDemoPointValues = {
    {"p=1+2*i", {1, 2}},     {"q=-2-i", {-2, -1}}, {"s=3*i", {0, 3}}, {"a=-2+2*i", {-2, 2}}, {"p=i", {0, 1}},
    {"q=e^(i*pi)", {-1, 0}}, {"c=1+i", {1, 1}},    {"p=2+i", {2, 1}}, {"q=-1+2*i", {-1, 2}}, {"c=-2-i", {-2, -1}},
};

// Every point drawn stands at the value its formula names.
void ExpectPointsAtTheirValues(DocumentRecord* document, const std::string& where) {
  const ExpansionState& state = document->fExpansion;
  for (size_t i = 0; i < state.expanded.size(); ++i) {
    const GraphLookup* row = state.rows[i] >= 0 ? document->fGraphPane->Lookup().At(state.rows[i]) : nullptr;
    const GraphLookup::Pair* pair = row && row->pairs[0].view ? &row->pairs[0] : nullptr;
    const auto* point = pair ? dynamic_cast<const APointPlot*>(pair->view->GraphAt(pair->index)) : nullptr;
    if (!point) continue;
    std::unique_ptr<char[]> text(
        ExportTextFormatOfExpr(EquationTree(document->fContents.blocks[state.expanded[i].block]), false));
    const auto value = kDemoPointValues.find(text.get());
    ASSERT_NE(value, kDemoPointValues.end()) << where << ": " << text.get();
    EXPECT_NEAR(point->X(), value->second.x, 1e-12) << where << ": " << text.get();
    EXPECT_NEAR(point->Y(), value->second.y, 1e-12) << where << ": " << text.get();
  }
}

A3DGraphView* DemoShownView3D(DocumentRecord* document) {
  AGraphPane* pane = document->fGraphPane.get();
  if (!pane || !pane->AreAnyViews3D()) return nullptr;
  return dynamic_cast<A3DGraphView*>(pane->View3D(0));
}

// How far above the x-y plane the eye looks from, in degrees: 0 is edge-on.
double DemoElevation(const A3DGraphView& view) {
  const Matrix3& m = view.Camera().rotation;
  return std::asin(std::clamp(m[6], -1.0, 1.0)) * 180 / std::numbers::pi;
}

class DemoCaptionTest : public DemoWindowTest {
 protected:
  void SetUp() override {
    SetDemoImmediatePace(true);
    SetSaveChangesQuestion([](QWidget*, const QString&) { return SaveChangesAnswer::kDontSave; });
  }
  static void PlayToTheEnd(int script) {
    DocumentMainWindow* window = PlayDemo(script);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitFor([] { return !IsDemoRunning(); })) << "hang in script " << script;
  }
};

constexpr GraphKind kDemoCurve = GraphKind::kY_X, kDemoCurveOfY = GraphKind::kX_Y, kDemoPolar = GraphKind::kR_Theta,
                    kDemoImplicit = GraphKind::kXYRTh_eq_XYRTh, kDemoRegion = GraphKind::kInequality,
                    kDemoPoint = GraphKind::kComplexParameter, kDemoSurface = GraphKind::kZ_XY,
                    kDemoImplicitSurface = GraphKind::kXYZ_equals_XYZ;
using DemoKinds = std::vector<GraphKind>;

// What each step draws, line by line, as its caption names it.
const std::map<int, std::vector<DemoKinds>> kDrawnAtEachStep = {
    {51,
     {{},
      {},
      {kDemoCurve},
      {kDemoCurve},
      {kDemoCurve},
      {kDemoCurve, kDemoRegion},
      {kDemoCurve, kDemoPolar},
      {kDemoCurve, kDemoImplicit},
      {kDemoCurve, kDemoCurve},
      {kDemoPoint},
      {kDemoSurface},
      {kDemoSurface},
      {kDemoSurface},
      {kDemoSurface},
      {kDemoImplicitSurface},
      {kDemoCurve},
      {kDemoRegion},
      {kDemoCurve}}},
    {53,
     {{kDemoCurve},
      {kDemoCurve},
      {kDemoCurve},
      {kDemoCurve},
      {kDemoCurve},
      {kDemoCurve},
      {kDemoCurve, kDemoCurve},
      {kDemoCurve, kDemoCurve},
      {kDemoCurve, kDemoCurve, kDemoCurve},
      {kDemoCurve, kDemoCurve, kDemoCurve},
      {kDemoCurve},
      {kDemoCurve},
      {kDemoCurve, kDemoCurve},
      {kDemoCurve, kDemoCurve},
      {kDemoCurve},
      {kDemoCurve},
      {kDemoCurve, kDemoCurve},
      {kDemoCurve, kDemoCurve},
      {kDemoCurve},
      {kDemoCurve},
      {kDemoCurve, kDemoCurve},
      {kDemoCurve, kDemoCurve},
      {kDemoCurve, kDemoCurve, kDemoCurve},
      {kDemoCurve, kDemoCurve, kDemoCurve},
      {kDemoCurve},
      {kDemoCurve},
      {kDemoCurve},
      {kDemoCurve},
      {kDemoCurve},
      {kDemoCurve},
      {kDemoCurve},
      {kDemoCurve},
      {kDemoCurve},
      {kDemoCurve},
      {kDemoCurve, kDemoCurve},
      {kDemoCurve, kDemoCurve},
      {kDemoCurve},
      {kDemoCurve, kDemoCurve},
      {kDemoCurve},
      {kDemoCurve},
      {kDemoCurve, kDemoCurve},
      {kDemoCurve, kDemoCurve},
      {kDemoCurveOfY},
      {kDemoCurveOfY},
      {kDemoImplicit},
      {kDemoImplicit},
      {kDemoImplicit, kDemoImplicit},
      {kDemoImplicit, kDemoImplicit},
      {kDemoPolar},
      {kDemoPolar}}},
    {54,
     {{kDemoSurface},
      {kDemoSurface},
      {kDemoSurface},
      {kDemoSurface},
      {kDemoSurface},
      {kDemoSurface},
      {kDemoSurface},
      {kDemoSurface},
      {kDemoSurface},
      {kDemoSurface},
      {kDemoSurface},
      {kDemoSurface},
      {kDemoSurface},
      {kDemoSurface},
      {kDemoSurface},
      {kDemoSurface},
      {kDemoImplicitSurface},
      {kDemoImplicitSurface},
      {kDemoImplicitSurface},
      {kDemoImplicitSurface},
      {kDemoImplicitSurface},
      {kDemoImplicitSurface},
      {kDemoImplicitSurface, kDemoSurface},
      {kDemoImplicitSurface, kDemoSurface},
      {kDemoSurface},
      {kDemoSurface, kDemoImplicitSurface},
      {kDemoSurface, kDemoImplicitSurface},
      {kDemoSurface, kDemoImplicitSurface}}},
    {55, std::vector<DemoKinds>(20, DemoKinds{kDemoRegion})},
    {57,
     {{},
      {kDemoPoint},
      {kDemoPoint, kDemoPoint},
      {kDemoPoint, kDemoPoint, kDemoCurve},
      {kDemoPoint, kDemoPoint, kDemoCurve},
      {kDemoPoint, kDemoPoint, kDemoCurve, kDemoCurve},
      {kDemoPoint, kDemoPoint, kDemoCurve, kDemoCurve, kDemoPoint},
      {kDemoPoint, kDemoPoint, kDemoCurve, kDemoCurve, kDemoPoint, kDemoImplicit},
      {kDemoPoint, kDemoPoint, kDemoCurve, kDemoCurve, kDemoPoint, kDemoImplicit, kDemoPoint},
      {kDemoPoint, kDemoPoint, kDemoCurve, kDemoCurve, kDemoPoint, kDemoImplicit, kDemoPoint},
      {kDemoPoint, kDemoPoint, kDemoCurve, kDemoCurve, kDemoPoint, kDemoImplicit, kDemoPoint, kDemoCurveOfY},
      {kDemoPoint, kDemoPoint, kDemoCurve, kDemoCurve, kDemoPoint, kDemoImplicit, kDemoPoint, kDemoCurveOfY},
      {kDemoPoint, kDemoPoint, kDemoCurve, kDemoCurve, kDemoPoint, kDemoImplicit, kDemoPoint, kDemoCurveOfY}}},
    {58,
     {{},
      {kDemoPoint},
      {kDemoPoint, kDemoPoint},
      {kDemoPoint, kDemoPoint, kDemoPoint},
      {kDemoPoint, kDemoPoint, kDemoPoint, kDemoImplicit},
      {kDemoPoint},
      {kDemoPoint, kDemoPoint},
      {kDemoPoint, kDemoPoint, kDemoPoint},
      {kDemoPoint, kDemoPoint, kDemoPoint, kDemoImplicit},
      {kDemoPoint, kDemoPoint, kDemoPoint, kDemoImplicit, kDemoRegion},
      {kDemoPoint, kDemoPoint, kDemoPoint, kDemoImplicit, kDemoRegion}}},
    {59,
     {{kDemoCurve},
      {kDemoCurve},
      {kDemoCurve, kDemoCurve},
      {kDemoCurve, kDemoCurve},
      {kDemoCurve},
      {kDemoCurve},
      {kDemoCurve},
      {kDemoCurve, kDemoCurve},
      {kDemoCurve, kDemoCurve},
      {kDemoCurve, kDemoCurve},
      {kDemoCurve, kDemoCurve},
      {kDemoCurve},
      {kDemoCurve, kDemoCurve},
      {kDemoCurve, kDemoCurve, kDemoCurve},
      {kDemoCurve},
      {kDemoCurve},
      {kDemoCurve},
      {kDemoCurve, kDemoCurve},
      {kDemoCurve, kDemoCurve, kDemoCurve},
      {kDemoCurve, kDemoCurve, kDemoCurve}}},
};

// The 3-D steps, from the line whose graph opens the 3-D view to the last.
struct DemoThreeDSteps {
  int32_t first;
  int32_t last;
};
const std::map<int, DemoThreeDSteps> kDemoThreeDSteps = {{51, {10, 14}}, {54, {0, 27}}};

// However a new 3-D view starts, the script's own drags keep it seen from
// above the x-y plane with +z up the screen, as its captions say ("a bowl",
// "the plane cuts the cone"); time passes as frames are drawn.
constexpr double kLeastElevationDegrees = 15;

TEST_F(DemoCaptionTest, EachStepDrawsWhatItsCaptionNamesAndSeesItFromAbove) {
  SteppingViewClock passing;
  for (const bool fromDefaultAngle : {false, true}) {
    for (const auto& [script, drawn] : kDrawnAtEachStep) {
      DocumentMainWindow* window = nullptr;
      const std::vector<DemoStep> steps = DemoScriptSteps(script);
      ASSERT_EQ(drawn.size(), steps.size()) << script;
      const auto threeD = kDemoThreeDSteps.find(script);
      int32_t observed = 0;
      SetDemoStepObserver([&](int32_t line) {
        ++observed;
        DocumentRecord* document = window->Document();
        const std::string where = "script " + std::to_string(script) + " line " + std::to_string(line) + " '" +
                                  DemoCaptionOf(steps[line]).toStdString() + "'";
        EXPECT_EQ(DemoDrawnKinds(document), drawn[line]) << where;
        // An empty formula (a lone prompt) asks for nothing to be drawn.
        for (int32_t b = 0; b < document->fContents.blocks.Count(); ++b)
          if (FormulaText(document, b) != "?") {
            EXPECT_EQ(EquationMessage(document, b), 0) << where << ": " << FormulaText(document, b);
          }
        ExpectPointsAtTheirValues(document, where);
        if (DemoCaptionOf(steps[line]).contains("axes")) {
          AGraphPane* pane = document->fGraphPane.get();
          EXPECT_TRUE(pane && pane->IsShowingAxes(kCurrentView)) << where;
        }
        if (threeD == kDemoThreeDSteps.end()) return;
        A3DGraphView* view = DemoShownView3D(document);
        if (fromDefaultAngle && line == threeD->second.first && view) {
          view->Zoom(kZoomDefaultView);
          view->SetViewParameter(kAttributeStopSpin);
        }
        if (line < threeD->second.first || line > threeD->second.last) return;
        ASSERT_NE(view, nullptr) << where;
        const std::string start = fromDefaultAngle ? " from default" : "";
        // The screen's up, the rotation's third column, is square to the
        // eye's line: +z goes up the screen where the up's z is positive.
        EXPECT_GT(view->Camera().rotation[8], 0) << where << start;
        EXPECT_GE(DemoElevation(*view), kLeastElevationDegrees) << where << start;
        EXPECT_LT(DemoElevation(*view), 90) << where << start;
      });
      window = PlayDemo(script);
      ASSERT_NE(window, nullptr);
      ASSERT_TRUE(WaitFor([] { return !IsDemoRunning(); })) << "hang in script " << script;
      EXPECT_EQ(observed, static_cast<int32_t>(steps.size())) << script;
      // A caption naming colours would need graphs of different colours;
      // every new equation is drawn in the same one.
      for (const DemoStep& step : steps)
        EXPECT_FALSE(DemoCaptionOf(step).contains("colour", Qt::CaseInsensitive)) << script;
      window->close();
    }
  }
  EXPECT_TRUE(RecordedAlerts().empty());
}

// Between any two keys of a step the document may expand and graph as
// often as it likes: a half-typed formula never shows a message, and the
// pane keeps the kind of view of the step before.
TEST_F(DemoCaptionTest, NoMessageOrEmptiedViewWhileAStepIsTyped) {
  for (const int script : kEveryDemoScript) {
    DocumentMainWindow* window = nullptr;
    bool threeD = false;
    int32_t keys = 0;
    SetDemoStepObserver([&](int32_t) {
      AGraphPane* pane = window->Document()->fGraphPane.get();
      threeD = pane && pane->AreAnyViews3D();
    });
    SetDemoKeyObserver([&](int32_t line, size_t) {
      ++keys;
      DocumentRecord* document = window->Document();
      ASSERT_TRUE(WaitFor([&] { return document->fExpansion.expansionDone.load(); }));
      window->RunIdle();
      const std::string where = "script " + std::to_string(script) + " line " + std::to_string(line);
      for (int32_t b = 0; b < document->fContents.blocks.Count(); ++b)
        if (FormulaText(document, b) != "?") {
          EXPECT_EQ(EquationMessage(document, b), 0) << where << ": " << FormulaText(document, b);
        }
      AGraphPane* pane = document->fGraphPane.get();
      EXPECT_EQ(pane && pane->AreAnyViews3D(), threeD) << where;
    });
    window = PlayDemo(script);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitFor([] { return !IsDemoRunning(); })) << "hang in script " << script;
    EXPECT_EQ(keys > 0, script != 50) << script;
    window->close();
  }
  EXPECT_TRUE(RecordedAlerts().empty());
}

TEST_F(DemoCaptionTest, EveryCaptionFitsTheHintLine) {
  DocumentMainWindow* window = NewDocumentWindow();
  ASSERT_NE(window, nullptr);
  QLabel* hint = window->statusBar()->findChild<QLabel*>();
  ASSERT_NE(hint, nullptr);
  window->statusBar()->layout()->activate();
  const int width = hint->contentsRect().width();
  ASSERT_GT(width, 0);
  for (const int script : kEveryDemoScript)
    for (const DemoStep& step : DemoScriptSteps(script)) {
      const QString caption = DemoCaptionOf(step);
      EXPECT_LE(hint->fontMetrics().horizontalAdvance(caption), width) << script << ": " << caption.toStdString();
    }
}

// The tour leaves the document ready to type into: the caret stands in no
// exponent.
TEST_F(DemoCaptionTest, TheTourEndsWithTheCaretOutsideAnyExponent) {
  PlayToTheEnd(51);
  DocumentMainWindow* window = AllWindows().back();
  const MERecord* record = FocusedFormula(window);
  ASSERT_NE(record, nullptr);
  ASSERT_NE(record->selected, nullptr);
  for (const ExpressionRecord* node = record->selected; node->parent != nullptr; node = node->parent)
    EXPECT_FALSE(node->parent->opcode == kOpPower && node->parent->operands[1] == node)
        << FormulaText(window->Document(), 0);
  EXPECT_TRUE(window->StatusText().isEmpty());
}

}  // namespace
