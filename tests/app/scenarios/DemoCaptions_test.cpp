#include "tests/app/ApplicationFixture.h"

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

constexpr int kEveryScript[] = {50, 51, 53, 54, 55, 57, 58, 59};

std::vector<DemoStep> ScriptSteps(int script) {
  std::vector<DemoStep> steps;
  const QString text = QString::fromUtf16(OurGetLocalizedString(script));
  for (const std::u32string& line : DemoScriptLines(text.toStdU32String())) steps.push_back(ReadDemoLine(line));
  return steps;
}

QString CaptionOf(const DemoStep& step) {
  return QString::fromUcs4(step.caption.data(), static_cast<qsizetype>(step.caption.size()));
}

// The kinds of the graphs drawn, in the order of their equations.
std::vector<GraphKind> DrawnKinds(DocumentRecord* document) {
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
struct PointAt {
  double x;
  double y;
};
const std::map<std::string, PointAt> kPointValues = {
    {"p=1+2*i", {1, 2}}, {"q=-2-i", {-2, -1}}, {"s=3*i", {0, 3}}, {"a=-2+2*i", {-2, 2}}, {"p=i", {0, 1}},
    {"q=-i", {0, -1}},   {"c=1+i", {1, 1}},    {"p=2+i", {2, 1}}, {"q=-1+2*i", {-1, 2}}, {"c=-2-i", {-2, -1}},
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
    const auto value = kPointValues.find(text.get());
    ASSERT_NE(value, kPointValues.end()) << where << ": " << text.get();
    EXPECT_NEAR(point->X(), value->second.x, 1e-12) << where << ": " << text.get();
    EXPECT_NEAR(point->Y(), value->second.y, 1e-12) << where << ": " << text.get();
  }
}

A3DGraphView* ShownView3D(DocumentRecord* document) {
  AGraphPane* pane = document->fGraphPane.get();
  if (!pane || !pane->AreAnyViews3D()) return nullptr;
  return dynamic_cast<A3DGraphView*>(pane->View3D(0));
}

// How far above the x-y plane the eye looks from, in degrees: 0 is edge-on.
double Elevation(const A3DGraphView& view) {
  const Matrix3& m = view.Camera().rotation;
  return std::asin(std::clamp(m[6], -1.0, 1.0)) * 180 / std::numbers::pi;
}

// A drag leaves no spin to turn the view between the steps.
class StillViewClock {
 public:
  StillViewClock() {
    gViewClock = {[] { return int64_t{1000000}; }, [] { return uint32_t{1000}; }};
  }
  ~StillViewClock() { gViewClock = fSaved; }
  StillViewClock(const StillViewClock&) = delete;
  StillViewClock& operator=(const StillViewClock&) = delete;

 private:
  ViewClock fSaved = gViewClock;
};

class DemoCaptionTest : public WindowTest {
 protected:
  void SetUp() override {
    SetDemoImmediatePace(true);
    SetSaveChangesQuestion([](QWidget*, const QString&) { return SaveChangesAnswer::kDontSave; });
  }
  void TearDown() override {
    SetDemoStepObserver(nullptr);
    SetDemoKeyObserver(nullptr);
    StopDemo();
    SetDemoImmediatePace(false);
    WindowTest::TearDown();
  }
  static void PlayToTheEnd(int script) {
    DocumentMainWindow* window = PlayDemo(script);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitFor([] { return !IsDemoRunning(); })) << "hang in script " << script;
  }
};

constexpr GraphKind kCurve = GraphKind::kY_X, kCurveOfY = GraphKind::kX_Y, kPolar = GraphKind::kR_Theta,
                    kImplicit = GraphKind::kXYRTh_eq_XYRTh, kRegion = GraphKind::kInequality,
                    kPoint = GraphKind::kComplexParameter, kSurface = GraphKind::kZ_XY,
                    kImplicitSurface = GraphKind::kXYZ_equals_XYZ;
using Kinds = std::vector<GraphKind>;

// What each step draws, line by line, as its caption names it.
const std::map<int, std::vector<Kinds>> kDrawnAtEachStep = {
    {51,
     {{},
      {},
      {kCurve},
      {kCurve},
      {kCurve},
      {kCurve, kRegion},
      {kCurve, kPolar},
      {kCurve, kImplicit},
      {kCurve, kCurve},
      {kPoint},
      {kSurface},
      {kSurface},
      {kSurface},
      {kSurface},
      {kImplicitSurface},
      {kCurve},
      {kRegion},
      {kCurve}}},
    {53,
     {{kCurve},
      {kCurve},
      {kCurve},
      {kCurve},
      {kCurve},
      {kCurve},
      {kCurve, kCurve},
      {kCurve, kCurve},
      {kCurve, kCurve, kCurve},
      {kCurve, kCurve, kCurve},
      {kCurve},
      {kCurve},
      {kCurve, kCurve},
      {kCurve, kCurve},
      {kCurve},
      {kCurve},
      {kCurve, kCurve},
      {kCurve, kCurve},
      {kCurve},
      {kCurve},
      {kCurve, kCurve},
      {kCurve, kCurve},
      {kCurve, kCurve, kCurve},
      {kCurve, kCurve, kCurve},
      {kCurve},
      {kCurve},
      {kCurve},
      {kCurve},
      {kCurve},
      {kCurve},
      {kCurve},
      {kCurve},
      {kCurve},
      {kCurve},
      {kCurve, kCurve},
      {kCurve, kCurve},
      {kCurve},
      {kCurve, kCurve},
      {kCurve},
      {kCurve},
      {kCurve, kCurve},
      {kCurve, kCurve},
      {kCurveOfY},
      {kCurveOfY},
      {kImplicit},
      {kImplicit},
      {kImplicit, kImplicit},
      {kImplicit, kImplicit},
      {kPolar},
      {kPolar}}},
    {54,
     {{kSurface},
      {kSurface},
      {kSurface},
      {kSurface},
      {kSurface},
      {kSurface},
      {kSurface},
      {kSurface},
      {kSurface},
      {kSurface},
      {kSurface},
      {kSurface},
      {kSurface},
      {kSurface},
      {kSurface},
      {kSurface},
      {kImplicitSurface},
      {kImplicitSurface},
      {kImplicitSurface},
      {kImplicitSurface},
      {kImplicitSurface},
      {kImplicitSurface},
      {kImplicitSurface, kSurface},
      {kImplicitSurface, kSurface},
      {kSurface},
      {kSurface, kImplicitSurface},
      {kSurface, kImplicitSurface},
      {kSurface, kImplicitSurface}}},
    {55, std::vector<Kinds>(20, Kinds{kRegion})},
    {57,
     {{},
      {kPoint},
      {kPoint, kPoint},
      {kPoint, kPoint, kCurve},
      {kPoint, kPoint, kCurve},
      {kPoint, kPoint, kCurve, kCurve},
      {kPoint, kPoint, kCurve, kCurve, kPoint},
      {kPoint, kPoint, kCurve, kCurve, kPoint, kImplicit},
      {kPoint, kPoint, kCurve, kCurve, kPoint, kImplicit, kPoint},
      {kPoint, kPoint, kCurve, kCurve, kPoint, kImplicit, kPoint},
      {kPoint, kPoint, kCurve, kCurve, kPoint, kImplicit, kPoint, kCurveOfY},
      {kPoint, kPoint, kCurve, kCurve, kPoint, kImplicit, kPoint, kCurveOfY},
      {kPoint, kPoint, kCurve, kCurve, kPoint, kImplicit, kPoint, kCurveOfY}}},
    {58,
     {{},
      {kPoint},
      {kPoint, kPoint},
      {kPoint, kPoint, kPoint},
      {kPoint, kPoint, kPoint, kImplicit},
      {kPoint},
      {kPoint, kPoint},
      {kPoint, kPoint, kPoint},
      {kPoint, kPoint, kPoint, kImplicit},
      {kPoint, kPoint, kPoint, kImplicit, kRegion},
      {kPoint, kPoint, kPoint, kImplicit, kRegion}}},
    {59, {{kCurve},         {kCurve}, {kCurve, kCurve}, {kCurve, kCurve},         {kCurve},
          {kCurve},         {kCurve}, {kCurve, kCurve}, {kCurve, kCurve},         {kCurve, kCurve},
          {kCurve, kCurve}, {kCurve}, {kCurve, kCurve}, {kCurve, kCurve, kCurve}, {kCurve},
          {kCurve},         {kCurve}, {kCurve, kCurve}, {kCurve, kCurve, kCurve}, {kCurve, kCurve, kCurve}}},
};

// The 3-D steps whose captions need the view seen from above the x-y plane,
// from the line that tilts it to the last 3-D one.
struct TiltedSteps {
  int32_t firstThreeD;  // the line whose graph opens the 3-D view
  int32_t first;
  int32_t last;
};
const std::map<int, TiltedSteps> kTiltedSteps = {{51, {10, 11, 14}}, {54, {0, 1, 27}}};

// However a new 3-D view starts (edge-on or from its default angle), the
// script's own drags turn it to show what its captions say.
constexpr double kLeastElevationDegrees = 15;

TEST_F(DemoCaptionTest, EachStepDrawsWhatItsCaptionNamesAndSeesItFromAbove) {
  StillViewClock still;
  for (const bool fromDefaultAngle : {false, true}) {
    for (const auto& [script, drawn] : kDrawnAtEachStep) {
      DocumentMainWindow* window = nullptr;
      const std::vector<DemoStep> steps = ScriptSteps(script);
      ASSERT_EQ(drawn.size(), steps.size()) << script;
      const auto tilted = kTiltedSteps.find(script);
      int32_t observed = 0;
      SetDemoStepObserver([&](int32_t line) {
        ++observed;
        DocumentRecord* document = window->Document();
        const std::string where = "script " + std::to_string(script) + " line " + std::to_string(line) + " '" +
                                  CaptionOf(steps[line]).toStdString() + "'";
        EXPECT_EQ(DrawnKinds(document), drawn[line]) << where;
        // An empty formula (a lone prompt) asks for nothing to be drawn.
        for (int32_t b = 0; b < document->fContents.blocks.Count(); ++b)
          if (FormulaText(document, b) != "?") {
            EXPECT_EQ(EquationMessage(document, b), 0) << where << ": " << FormulaText(document, b);
          }
        ExpectPointsAtTheirValues(document, where);
        if (CaptionOf(steps[line]).contains("axes")) {
          AGraphPane* pane = document->fGraphPane.get();
          EXPECT_TRUE(pane && pane->IsShowingAxes(kCurrentView)) << where;
        }
        if (tilted == kTiltedSteps.end()) return;
        A3DGraphView* view = ShownView3D(document);
        if (fromDefaultAngle && line == tilted->second.firstThreeD && view) {
          view->Zoom(kZoomDefaultView);
          view->SetViewParameter(kAttributeStopSpin);
        }
        if (line < tilted->second.first || line > tilted->second.last) return;
        ASSERT_NE(view, nullptr) << where;
        EXPECT_GE(Elevation(*view), kLeastElevationDegrees) << where << (fromDefaultAngle ? " from default" : "");
      });
      window = PlayDemo(script);
      ASSERT_NE(window, nullptr);
      ASSERT_TRUE(WaitFor([] { return !IsDemoRunning(); })) << "hang in script " << script;
      EXPECT_EQ(observed, static_cast<int32_t>(steps.size())) << script;
      // A caption naming colours would need graphs of different colours;
      // every new equation is drawn in the same one.
      for (const DemoStep& step : steps)
        EXPECT_FALSE(CaptionOf(step).contains("colour", Qt::CaseInsensitive)) << script;
      window->close();
    }
  }
  EXPECT_TRUE(RecordedAlerts().empty());
}

// Between any two keys of a step the document may expand and graph as
// often as it likes: a half-typed formula never shows a message, and the
// pane keeps the kind of view of the step before.
TEST_F(DemoCaptionTest, NoMessageOrEmptiedViewWhileAStepIsTyped) {
  for (const int script : kEveryScript) {
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
  for (const int script : kEveryScript)
    for (const DemoStep& step : ScriptSteps(script)) {
      const QString caption = CaptionOf(step);
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
