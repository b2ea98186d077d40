#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <thread>
#include <vector>

#include "platform/MouseSource.h"
#include "platform/OurPicture.h"
#include "CoreUtilities/threads/ComputeThreads.h"
#include "CoreUtilities/threads/GraphViewThread.h"
#include "graphs2d/IntersectionSnap.h"
#include "graphs2d/SelectionReadout.h"
#include "tests/CoreUtilities/ThreadTestSupport.h"
#include "tests/graphpane/PlainGraph2D.h"
#include "tests/graphs2d/FunctionGraphTestSupport.h"

namespace {

// y = f(x), its points and neighbourhoods taken straight above or below the
// point asked about; the parameter is x.
class CurveGraph : public PlainGraph2D {
 public:
  explicit CurveGraph(std::function<double(double)> f, int32_t graphClass = kGraphClassCurves)
      : fF(std::move(f)), fClass(graphClass) {}
  int32_t GraphClass() override { return fClass; }
  bool IsPointOverCurve(double x, double y) override { return std::fabs(fF(x) - y) < 0.05; }
  Selection GetSelection(double x, double) override {
    Selection s;
    s.kind = kSelectPoint;
    s.parameter = x, s.x = x, s.y = fF(x);
    return s;
  }
  Neighborhood GetNeighborhood(double x, double, double radius, double low, double high) override {
    const double p = std::clamp(x, low, high);
    Neighborhood n;
    n.before = {p - radius, p - radius, fF(p - radius)};
    n.centre = {p, p, fF(p)};
    n.after = {p + radius, p + radius, fF(p + radius)};
    n.found = 1;
    return n;
  }

 private:
  std::function<double(double)> fF;
  int32_t fClass;
};

double LineAt(double m, double c, double x) { return m * x + c; }

// Snaps from the given point of a onto its crossing with b.
bool Snap(CurveGraph& a, CurveGraph& b, double x, Selection* out) {
  const double unitsPerPixel = 1.0 / 64;
  const Neighborhood na = a.GetNeighborhood(x, 0, 4 * unitsPerPixel, -INFINITY, INFINITY);
  const Neighborhood nb = b.GetNeighborhood(x, 0, 4 * unitsPerPixel, -INFINITY, INFINITY);
  return FindIntersectionAndSnap(na, nb, a, b, unitsPerPixel, out);
}

TEST(IntersectionSnap, CrossingsByValueAndCoincidingLinesNot) {
  CurveGraph rising([](double x) { return LineAt(2, 1, x); }), falling([](double x) { return LineAt(-1, 4, x); });
  Selection s;
  ASSERT_TRUE(Snap(rising, falling, 1.03, &s));
  EXPECT_EQ(s.x, 1);
  EXPECT_EQ(s.y, 3);
  EXPECT_EQ(s.snapped, 1);

  CurveGraph parabola([](double x) { return x * x; }), two([](double) { return 2.0; });
  ASSERT_TRUE(Snap(parabola, two, 1.40, &s));
  EXPECT_NEAR(s.x, std::sqrt(2.0), 1e-12);
  EXPECT_EQ(s.y, 2);

  CurveGraph same1([](double x) { return LineAt(0.5, 1, x); }), same2([](double x) { return LineAt(0.5, 1, x); });
  Selection untouched;
  EXPECT_FALSE(Snap(same1, same2, 0.5, &untouched));
  EXPECT_EQ(untouched.snapped, 0);
}

TEST(SelectionReadout, LinesByKind) {
  Selection s;
  EXPECT_TRUE(SelectionReadoutLines(s).empty());
  s.kind = kSelectPoint, s.x = 1.5, s.y = -0.0;
  EXPECT_EQ(SelectionReadoutLines(s), (std::vector<std::u16string>{u"x: 1.5", u"y: 0"}));
  s.kind = kSelectBox, s.xRange[0] = 1, s.xRange[1] = 2, s.yRange[0] = -3, s.yRange[1] = 4;
  EXPECT_EQ(SelectionReadoutLines(s), (std::vector<std::u16string>{u"x: 1 ... 2", u"y: -3 ... 4"}));
  s.kind = kSelectParametric, s.x = 3, s.y = 4, s.parameter = 0.25;
  EXPECT_EQ(SelectionReadoutLines(s).back(), u"t: 0.25");
  s.kind = kSelectPolarOfTheta;
  EXPECT_EQ(SelectionReadoutLines(s), (std::vector<std::u16string>{u"x: 3", u"y: 4", u"r: 5", u"\u03B8: 0.25"}));
  s.kind = kSelectPolarOfR, s.x = 0, s.y = -2, s.parameter = 2;  // theta 3 pi / 2
  EXPECT_EQ(SelectionReadoutLines(s)[2], u"r: 2");
  EXPECT_EQ(SelectionReadoutLines(s)[3], u"\u03B8: 4.712389");
  s.kind = kSelectDensityValue, s.parameter = 7;
  EXPECT_EQ(SelectionReadoutLines(s).back(), u"value: 7");
  s.kind = kSelectVector, s.xComponent = -1, s.yComponent = 0.5;
  EXPECT_EQ(SelectionReadoutLines(s),
            (std::vector<std::u16string>{u"x: 0", u"y: -2", u"x component: -1", u"y component: 0.5"}));
  s.kind = kSelectSolutionPaths;
  EXPECT_EQ(SelectionReadoutLines(s).size(), 2u);
  s.kind = kSelectDraggedPoint;
  EXPECT_TRUE(SelectionReadoutLines(s).empty());
}

bool IsBlack(uint32_t rgb) { return (rgb & 0xFFFFFF) == 0; }

TEST(A2DSelectionDrawing, CrosshairMarkerArrowAndUnplaceableMarks) {
  HookRecorder hooks;
  ViewOnPort v(400, 300);
  v.Draw();
  std::vector<uint32_t> axisColumn, plainColumn;
  for (int row = 0; row < 300; ++row) axisColumn.push_back(v.At(200, row)), plainColumn.push_back(v.At(232, row));

  Selection& s = v.view.MutableSelection();
  s.kind = kSelectPoint, s.x = 0.5, s.y = 1;  // pixel (232, 85)
  v.Draw();
  EXPECT_TRUE(IsBlack(v.At(228, 81)));  // the marker's frame, 9 x 9
  EXPECT_TRUE(IsBlack(v.At(236, 89)));
  EXPECT_FALSE(IsBlack(v.At(232, 85)));
  EXPECT_NE(v.At(232, 85), 0xFFFFFFu);  // the selection colour blended in
  int dots = 0;
  for (int row = 100; row < 130; ++row) dots += IsBlack(v.At(232, row));
  EXPECT_EQ(dots, 10);  // every third pixel

  // On the y axis the vertical line is white over the axis, so the column
  // reads as the axis alone.
  s.x = 0;
  v.Draw();
  for (int row = 0; row < 300; ++row) {
    if (row >= 81 && row < 90) continue;  // the marker
    if (row == 85) continue;              // the horizontal line
    if (row < 30) continue;               // the readout
    ASSERT_EQ(v.At(200, row), axisColumn[row]) << row;
  }

  s.kind = kSelectVector, s.x = 0.5, s.y = 1, s.arrow[0] = 1, s.arrow[1] = 1, s.color = 0x00FF00;
  v.Draw();
  const uint32_t mid = v.At(248, 69);
  EXPECT_TRUE((mid & 0xFF00FF) == 0 && mid != 0) << std::hex << mid;

  // Coordinates with no pixel draw nothing and do not outlive the view's check.
  s.kind = kSelectPoint, s.x = NAN, s.y = 1;
  v.Draw();
  for (int row = 30; row < 300; ++row) ASSERT_EQ(v.At(232, row), plainColumn[row]) << row;
  v.view.InvalidateSelectionIfOffscreen();
  EXPECT_EQ(v.view.CurrentSelection().kind, kSelectNothing);
}

// A view of two crossing lines on the graph-view thread, with a scripted
// mouse for the drag loops.
struct MouseFixture {
  MouseFixture() : v(400, 300) { InitializeZLThreads(); }
  ~MouseFixture() {
    SetMouseSource(nullptr);
    ShutdownZLThreads();
  }
  MPoint PixelOf(double x, double y) const {
    const A2DTransform& t = v.view.ViewTransform();
    return MPoint{static_cast<int16_t>(t.YTOI_InfSafe(y)), static_cast<int16_t>(t.XTOI_InfSafe(x))};
  }
  void Script(std::deque<ScriptedMouseSource::Step> steps) {
    mouse = std::make_unique<ScriptedMouseSource>(std::move(steps));
    SetMouseSource(mouse.get());
  }
  int32_t Click(MPoint p, bool command = false, bool option = false, bool control = false, bool shift = false) {
    return v.view.MouseDown(p, 0, command, option, control, shift, false);
  }
  HookRecorder hooks;
  ViewOnPort v;
  std::unique_ptr<ScriptedMouseSource> mouse;
};

TEST(A2DMouse, ClicksDispatchByModifier) {
  Watchdog watchdog("mouse dispatch");
  MouseFixture f;
  f.v.view.AddGraph(std::make_unique<CurveGraph>([](double x) { return LineAt(1, 0, x); }));
  f.v.view.AddGraph(std::make_unique<CurveGraph>([](double x) { return LineAt(-1, 2, x); }));
  const ViewState2D before = f.v.view.State();

  // Command: not handled, nothing changes.
  EXPECT_EQ(f.Click(f.PixelOf(1, 1), true), 1);
  EXPECT_EQ(f.v.view.CurrentSelection().kind, kSelectNothing);
  EXPECT_EQ(f.v.view.State().xMinimum, before.xMinimum);

  // Off every curve and off the axes: not handled either.
  f.Script({{QPoint(20, 20), true}});
  EXPECT_EQ(f.Click(MPoint{20, 20}), 1);

  // Control far from both lines tracks graph 0 where the mouse is.
  f.Script({{QPoint(20, 20), true}});
  EXPECT_EQ(f.Click(MPoint{20, 20}, false, false, true), 0);
  EXPECT_EQ(f.v.view.SelectedGraph(), 0);
  EXPECT_EQ(f.v.view.CurrentSelection().kind, kSelectPoint);
  EXPECT_EQ(f.v.view.CurrentSelection().y, f.v.view.CurrentSelection().x);

  // Near the right-angle crossing of the lines: the mark snaps to (1, 1)
  // and clicks once.
  const int32_t clicks = f.v.view.ClickCount();
  const MPoint near = f.PixelOf(1.03, 1.03);
  f.Script({{QPoint(near.h, near.v), true}});
  EXPECT_EQ(f.Click(near), 0);
  EXPECT_EQ(f.v.view.CurrentSelection().x, 1);
  EXPECT_EQ(f.v.view.CurrentSelection().y, 1);
  EXPECT_EQ(f.v.view.CurrentSelection().snapped, 1);
  EXPECT_EQ(f.v.view.ClickCount(), clicks + 1);

  // A move out of the view clears the mark.
  f.v.view.MouseMoveForTracking(MPoint{-5, -5});
  EXPECT_EQ(f.v.view.CurrentSelection().kind, kSelectNothing);
}

// A curve of the given class whose points are dragged when it is a point plot.
class ClassGraph : public CurveGraph {
 public:
  explicit ClassGraph(int32_t graphClass) : CurveGraph([](double x) { return x; }, graphClass) {}
  Selection GetSelection(double x, double y) override {
    Selection s = CurveGraph::GetSelection(x, y);
    if (GraphClass() == kGraphClassPoints) s.kind = kSelectDraggedPoint;
    return s;
  }
  void SetParameter(ViewAttribute attribute, double value) override {
    if (attribute == kAttributeDraggedX) draggedX = value;
    if (attribute == kAttributeDraggedY) draggedY = value;
  }
  double draggedX = NAN, draggedY = NAN;
};

TEST(A2DMouse, HitTestsPreferPointsAndAPointDragRewritesTheEquation) {
  Watchdog watchdog("hit tests and point drag");
  MouseFixture f;
  static int changes;
  changes = 0;
  gGraphPaneHooks.ChangeEquation = [](DocumentRecord*, AGraph*, double, double) { ++changes; };
  f.v.view.AddGraph(std::make_unique<ClassGraph>(kGraphClassAreas));
  f.v.view.AddGraph(std::make_unique<ClassGraph>(kGraphClassCurves));
  f.v.view.AddGraph(std::make_unique<ClassGraph>(kGraphClassCurves));
  auto* points = AddedTo(f.v.view, std::make_unique<ClassGraph>(kGraphClassPoints));
  f.v.view.AddGraph(std::make_unique<ClassGraph>(kGraphClassAreas));

  // All five lie under the mouse: the point plot wins, and its point is
  // dragged to the release.
  const MPoint start = f.PixelOf(1, 1), end = f.PixelOf(1.5, 1.5);
  f.Script({{QPoint(end.h, end.v)}, {QPoint(end.h, end.v), true}});
  EXPECT_EQ(f.Click(start), 0);
  EXPECT_EQ(f.v.view.SelectedGraph(), 3);
  EXPECT_EQ(points->draggedX, 1.5);
  EXPECT_EQ(points->draggedY, 1.5);
  EXPECT_GE(changes, 1);
  EXPECT_EQ(f.v.view.CurrentSelection().kind, kSelectNothing);  // cleared after the drag
}

TEST(A2DMouse, WithoutPointPlotsTheLastCurveWinsOverAreaFills) {
  Watchdog watchdog("hit tests by class");
  MouseFixture f;
  f.v.view.AddGraph(std::make_unique<ClassGraph>(kGraphClassCurves));
  f.v.view.AddGraph(std::make_unique<ClassGraph>(kGraphClassCurves));
  f.v.view.AddGraph(std::make_unique<ClassGraph>(kGraphClassAreas));
  const MPoint start = f.PixelOf(1, 1);
  f.Script({{QPoint(start.h, start.v), true}});
  EXPECT_EQ(f.Click(start), 0);
  EXPECT_EQ(f.v.view.SelectedGraph(), 1);
}

TEST(A2DMouse, ShiftDragZoomsOnlyWhenItEndsInTheView) {
  Watchdog watchdog("zoom rectangle");
  MouseFixture f;
  const double scale = f.v.view.State().xScale;
  f.Script({{QPoint(150, 120)}, {QPoint(600, 500)}, {QPoint(600, 500), true}});
  EXPECT_EQ(f.Click(MPoint{100, 100}, false, false, false, true), 0);
  EXPECT_EQ(f.v.view.State().xScale, scale);
  f.Script({{QPoint(150, 120)}, {QPoint(150, 120), true}});
  EXPECT_EQ(f.Click(MPoint{100, 100}, false, false, false, true), 0);
  EXPECT_LT(f.v.view.State().xScale, scale);
}

TEST(A2DMouse, OptionDragPansAndAPictureDraggedOutIsRemoved) {
  Watchdog watchdog("pan and picture drag");
  MouseFixture f;
  const double xMinimum = f.v.view.State().xMinimum;
  f.Script({{QPoint(132, 100)}, {QPoint(132, 100), true}});
  EXPECT_EQ(f.Click(MPoint{100, 100}, false, true), 0);
  EXPECT_EQ(f.v.view.State().xMinimum, xMinimum - 0.5);  // 32 pixels at 64 per unit

  OurPicture picture;
  picture.frame = QRect(0, 0, 10, 6);
  picture.image = QImage(10, 6, QImage::Format_RGB32);
  picture.image.fill(0xFF0000FFu);
  const MPoint centre{40, 50};
  f.v.view.PastePicture(&picture, &centre);
  ASSERT_EQ(f.v.view.Pictures().Count(), 1);
  f.Script({{QPoint(60, 40)}, {QPoint(60, 40), true}});
  EXPECT_EQ(f.Click(centre), 0);
  EXPECT_EQ(f.v.view.Pictures().Count(), 1);  // moved, still in view
  f.Script({{QPoint(-200, 40)}, {QPoint(-200, 40), true}});
  EXPECT_EQ(f.Click(MPoint{40, 60}), 0);
  EXPECT_EQ(f.v.view.Pictures().Count(), 0);
}

// Function graphs computed in interval mode, clicked through the view: a
// crossing, a zero on an axis (where a plain click pans, so control marks)
// and the start of a domain.
TEST(A2DMouse, FunctionGraphsSnapToCrossingsZerosAndDomainEnds) {
  Watchdog watchdog("function graphs through the view");
  const struct {
    std::vector<const char*> formulas;
    double mouseX, mouseY;
    bool control;
    double x, y, tolerance;
  } rows[] = {
      {{"x^2", "2"}, 1.43, 2.04, false, std::sqrt(2.0), 2, 1e-13},
      {{"x - 0.5"}, 0.52, 0.02, true, 0.5, 0, 0},
      {{"sqrt(x)"}, 0.02, 0.14, true, 0, 0, 0},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.formulas[0]);
    MouseFixture f;
    for (const char* text : r.formulas) {
      auto* graph =
          AddedTo(f.v.view, std::make_unique<AFunctionOf_XorY>(CurveExpression(text), true, SolidColour(),
                                                               kPlotIntervalPixelTests, f.v.view.GraphTransform()));
      WaitUntilDone(*graph);
    }
    const MPoint p = f.PixelOf(r.mouseX, r.mouseY);
    f.Script({{QPoint(p.h, p.v), true}});
    EXPECT_EQ(f.Click(p, false, false, r.control), 0);
    const Selection& s = f.v.view.CurrentSelection();
    EXPECT_EQ(s.snapped, 1);
    EXPECT_NEAR(s.x, r.x, r.tolerance);
    EXPECT_EQ(s.y, r.y);
  }
}

// Answers only once told to give up.
class SlowGraph : public CurveGraph {
 public:
  SlowGraph() : CurveGraph([](double x) { return x; }) {}
  static void WaitForCancel() {
    WaitUntil("the evaluation told to give up", [] { return gCancelEvaluationForUIEvalThreads.load() != 0; });
  }
  bool IsPointOverCurve(double, double) override {
    if (slow) WaitForCancel();
    return true;
  }
  Selection GetSelection(double x, double y) override {
    if (slow) WaitForCancel();
    Selection s = CurveGraph::GetSelection(x, y);
    if (slow) s.x = s.y = 1e9;  // the half-made answer that must not be used
    return s;
  }
  std::atomic<bool> slow = false;
};

TEST(A2DMouse, EvaluationsPastTheTimeLimitLeaveTheViewAsItWas) {
  Watchdog watchdog("time limit");
  MouseFixture f;
  auto* graph = AddedTo(f.v.view, std::make_unique<SlowGraph>());
  const MPoint p = f.PixelOf(0.5, 0.5);
  f.Script({{QPoint(p.h, p.v), true}});
  ASSERT_EQ(f.Click(p), 0);
  ASSERT_EQ(f.v.view.CurrentSelection().kind, kSelectPoint);
  const double x = f.v.view.CurrentSelection().x;

  graph->slow = true;
  f.v.view.MouseMoveForTracking(f.PixelOf(0.75, 0.75));  // the old crosshair stays
  EXPECT_EQ(f.v.view.CurrentSelection().kind, kSelectPoint);
  EXPECT_EQ(f.v.view.CurrentSelection().x, x);
  EXPECT_EQ(f.Click(MPoint{20, 20}), 1);  // not over any curve
  f.v.view.MutableSelection().kind = kSelectBox;
  f.v.view.Zoom(kZoomOut);  // the box evaluated again: cleared
  EXPECT_EQ(f.v.view.CurrentSelection().kind, kSelectNothing);
}

// Answers every move with two fresh solution paths through the point.
class PathsGraph : public CurveGraph {
 public:
  PathsGraph() : CurveGraph([](double x) { return x; }) {}
  Selection GetSelection(double x, double y) override {
    Selection s;
    s.kind = kSelectSolutionPaths, s.x = x, s.y = y, s.color = 0xFF0000;
    s.path1 = std::make_unique<SolutionPath>();
    s.path2 = std::make_unique<SolutionPath>();
    for (int i = 0; i < 40; ++i) {
      s.path1->Add(dePoint{x + 0.01 * i, y + 0.25});
      s.path2->Add(dePoint{x - 0.25, y - 0.01 * i});
    }
    return s;
  }
};

TEST(A2DMouse, EachViewOwnsTheSolutionPathsItDraws) {
  Watchdog watchdog("solution paths of two views");
  MouseFixture f;
  ViewOnPort other(400, 300);
  f.v.view.AddGraph(std::make_unique<PathsGraph>());
  other.view.AddGraph(std::make_unique<PathsGraph>());
  f.v.Draw();
  other.Draw();
  // Red composed over white or paper: no green or blue.
  const auto red = [](uint32_t rgb) { return (rgb & 0xFFFF) == 0 && rgb != 0; };
  for (int step = 0; step < 4; ++step) {
    f.v.view.MouseMoveForTracking(MPoint{100, static_cast<int16_t>(100 + step)});
    other.view.MouseMoveForTracking(MPoint{150, static_cast<int16_t>(150 + step)});
    f.v.Draw();
    other.Draw();
    // Each draws its own paths, 16 pixels above and left of its own mark.
    EXPECT_TRUE(red(f.v.At(110 + step, 84)));
    EXPECT_TRUE(red(f.v.At(84 + step, 110)));
    EXPECT_TRUE(red(other.At(160 + step, 134)));
    EXPECT_FALSE(red(f.v.At(160 + step, 134)));
  }
}

}  // namespace
