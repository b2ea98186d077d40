#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>
#include <vector>

#include "CoreUtilities/OurTime.h"
#include "CoreUtilities/drawing/ScopedSavers.h"
#include "graphpane/AGraphPane.h"
#include "graphpane/GraphHooks.h"
#include "graphs2d/A2DGraphView.h"
#include "graphs3d/views/A3DGraphView.h"
#include "graphs3d/views/A4DGraphView.h"
#include "platform/OurPicture.h"
#include "renderer/DrawContext.h"
#include "renderer/RendererGlobals.h"
#include "tests/CoreUtilities/BudgetRoom.h"
#include "tests/graphpane/PlainGraph2D.h"
#include "tests/platform/PortTestSupport.h"

namespace {

// The makers and upward calls as start-up fills them; the calls count.
struct PaneHooksInstalled {
  static inline int dirty = 0, redraws = 0, cleared = 0;
  static inline std::vector<std::pair<int, std::pair<double, double>>> shown;
  PaneHooksInstalled() {
    dirty = redraws = cleared = 0;
    shown.clear();
    gGraphPaneHooks = GraphPaneHooks{};
    gRendererHooks = {};
    gGraphPaneHooks.Make2DView = MakeA2DGraphView;
    gGraphPaneHooks.Make3DView = MakeA3DGraphView;
    gGraphPaneHooks.Make4DView = MakeA4DGraphView;
    gGraphPaneHooks.SetDocDirty = [](DocumentRecord*, bool) { ++dirty; };
    gRendererHooks.RedrawGraph = [](DocumentRecord*) { ++redraws; };
    gGraphPaneHooks.ClearCoordinateDisplay = [](DocumentRecord*) { ++cleared; };
    gGraphPaneHooks.SetCoordinateValues = [](int32_t f, double lo, double hi, DocumentRecord*) {
      shown.push_back({f, {lo, hi}});
    };
  }
  ~PaneHooksInstalled() {
    gGraphPaneHooks = GraphPaneHooks{};
    gRendererHooks = {};
  }
};

MRect Rect(int left, int top, int width, int height) {
  return MRect{int16_t(top), int16_t(left), int16_t(top + height), int16_t(left + width)};
}

// A 2-D graph that records what reaches it and when it goes.
class RecordingGraph : public PlainGraph2D {
 public:
  explicit RecordingGraph(int id, std::vector<int>* gone = nullptr) : fId(id), fGone(gone) {}
  ~RecordingGraph() override {
    if (fGone) fGone->push_back(fId);
  }
  int32_t Compute(int32_t) override { return kComputeFinished; }
  bool IsDoneComputing() override { return false; }
  int32_t GraphVisibility() override { return 7; }
  void InvalConstant(int32_t id) override { fInvalidated = id; }
  void SetParameter(ViewAttribute a, double v) override { fLast = {a, v}; }

  int fId;
  std::vector<int>* fGone;
  int32_t fInvalidated = -1;
  std::pair<int, double> fLast{-1, 0};
};

TEST(AGraphPane, SideBySideViewsStayElevenApartInsideThePane) {
  PaneHooksInstalled hooks;
  AGraphPane pane(Rect(0, 0, 10, 10), nullptr, nullptr);
  pane.ShowViews(pane.View2D(0), pane.View2D(1));
  for (int height : {0, 1, 7, 300}) {
    for (int width = 0; width <= 2000; ++width) {
      const MRect whole = Rect(30, 20, width, height);
      pane.SetGraphRect(whole);
      const MRect a = pane.GetGraphRect(kCurrentView), b = pane.GetGraphRect(kSecondView);
      for (const MRect& r : {a, b}) {
        ASSERT_GE(r.right, r.left) << width;
        ASSERT_GE(r.bottom, r.top) << width;
        ASSERT_TRUE(r.left >= whole.left && r.right <= whole.right && r.top == whole.top && r.bottom == whole.bottom)
            << width << "x" << height;
      }
      if (width >= 11) {
        ASSERT_EQ(b.left - a.right, 11) << width;
        ASSERT_LE(std::abs((a.right - a.left) - (b.right - b.left)), 1) << width;
      }
    }
  }
  EXPECT_EQ(pane.GetGraphRect(kBothViews).right, 2030);
  pane.ShowViews(pane.View2D(0), nullptr);
  EXPECT_EQ(pane.GetGraphRect(kCurrentView).right, 2030);
}

TEST(AGraphPane, ViewsFromMissingMakersAreEmpty) {
  gGraphPaneHooks = GraphPaneHooks{};
  gRendererHooks = {};
  AGraphPane pane(Rect(0, 0, 50, 40), nullptr, nullptr);
  EXPECT_TRUE(pane.AreAllGraphsDoneComputing());
  EXPECT_FALSE(pane.AreAnyGraphsMoving());
  std::vector<int> gone;
  pane.AddGraph(std::make_unique<RecordingGraph>(1, &gone), 0);
  EXPECT_EQ(gone, std::vector<int>{1});  // nowhere to keep it
  EXPECT_TRUE(pane.IsDoneComputing(0));
  EXPECT_EQ(pane.GraphVisibility(0), 0);
}

TEST(AGraphPane, EmptyThreeAndFourDimensionalViews) {
  PaneHooksInstalled hooks;
  AGraphPane pane(Rect(0, 0, 0, 0), nullptr, nullptr);
  pane.ShowViews(pane.View3D(0), pane.View3D(1));
  EXPECT_TRUE(pane.AreAnyViews3D());
  EXPECT_FALSE(pane.AreAnyViews2D());
  EXPECT_FALSE(pane.AreAnyGraphsDMA());
  EXPECT_FALSE(pane.AreAllGraphsDMA());
  pane.ConstructContextNeededByGraphConstructors();
  for (int k = 0; k < 2; ++k) {
    const MRect r = pane.View3D(k)->ViewRect();
    EXPECT_EQ(r.right - r.left, 1);
    EXPECT_EQ(r.bottom - r.top, 1);
    // A click on a 3-D view is a drag of its own (the window's only with command).
    EXPECT_EQ(pane.View3D(k)->MouseDown(MPoint{}, 0, false, false, false, false, false), 0);
    EXPECT_EQ(pane.View3D(k)->MouseDown(MPoint{}, 0, true, false, false, false, false), 1);
  }
  auto* fourD = dynamic_cast<A4DGraphView*>(pane.View4D());
  ASSERT_NE(fourD, nullptr);
  EXPECT_EQ(fourD->Transform().centre[3], 50);
  PortPtr port(NewOffscreenPort(QRect(0, 0, 8, 8)));
  port->image.fill(0);
  pane.ShowViews(pane.View4D(), nullptr);
  pane.SetGraphRect(Rect(2, 2, 4, 4));
  {
    APushPort push(port.get());
    pane.Draw(kCurrentView, true);
  }
  // Without a document's world the 4-D view has nothing to draw into.
  EXPECT_EQ(RgbAt(*port, 2, 2), 0u);
  EXPECT_EQ(RgbAt(*port, 5, 5), 0u);
  EXPECT_EQ(RgbAt(*port, 6, 6), 0u);
}

TEST(AGraphPane, DrawWithoutASecondViewDrawsTheCurrentOne) {
  PaneHooksInstalled hooks;
  AGraphPane pane(Rect(0, 0, 40, 30), nullptr, nullptr);
  for (ShownViews which : {kCurrentView, kSecondView, kBothViews, kShown3DViews}) {  // no 3-D view shown
    PortPtr port(NewOffscreenPort(QRect(0, 0, 40, 30)));
    port->image.fill(0);
    {
      APushPort push(port.get());
      pane.Draw(which, true);
    }
    EXPECT_EQ(RgbAt(*port, 3, 3) != 0u, which != kShown3DViews) << which;
  }
}

TEST(AGraphPane, ZoomReachesTheChosenViews) {
  PaneHooksInstalled hooks;
  AGraphPane pane(Rect(0, 0, 400, 200), nullptr, nullptr);
  pane.ShowViews(pane.View2D(0), pane.View2D(1));
  const auto scale = [&](int k) { return dynamic_cast<A2DGraphView*>(pane.View2D(k))->State().xScale; };
  const double before = scale(0);
  pane.Zoom(kZoomOut, kBothViews);
  EXPECT_GT(scale(0), before);
  EXPECT_GT(scale(1), before);
  EXPECT_GT(hooks.dirty, 0);
  pane.Zoom(kZoomOut, kCurrentView);
  EXPECT_GT(scale(0), scale(1));
  pane.Zoom(kZoomDefaultView, kBothViews);
  EXPECT_EQ(scale(0), before);
  EXPECT_EQ(scale(1), before);
  const int dirty = hooks.dirty;
  pane.Zoom(kZoomReset, kCurrentView);
  pane.Zoom(kZoomReset, kBothViews);
  EXPECT_EQ(hooks.dirty, dirty);
}

TEST(AGraphPane, MovieFramesKeepTheSpinDirection) {
  PaneHooksInstalled hooks;
  AGraphPane pane(Rect(0, 0, 100, 100), nullptr, nullptr);
  pane.ShowViews(pane.View3D(0), nullptr);
  double& angle = pane.View3D(0)->Record().spinAngle[0];
  const double pi = 3.141592653589793;
  const struct {
    double angle;
    int frames, wantFrames;
    double wantAngle;
  } cases[] = {{0.01 * 15, 0, 200, pi / 100},
               {-0.01 * 15, 0, 200, -pi / 100},
               {1e-300, 0, 200, pi / 100},
               {-1e-300, 0, 200, -pi / 100},
               {2 * pi / 10 * 15, 0, 10, 2 * pi / 10},
               {-2 * pi / 10 * 15, 0, 10, -2 * pi / 10},
               {-0.3, 12, 12, -2 * pi / 12},
               {0, 0, 0, 0}};
  for (const auto& c : cases) {
    angle = c.angle;
    EXPECT_EQ(pane.PrepareForMovie(c.frames), c.wantFrames) << c.angle;
    EXPECT_NEAR(angle, c.wantAngle, 1e-15) << c.angle;
  }
  pane.ShowViews(pane.View4D(), nullptr);
  double* spins = pane.View4D()->Record().spinAngle;
  spins[0] = -2 * pi / 20 * 15, spins[1] = 0.01;
  EXPECT_EQ(pane.PrepareForMovie(0), 20);
  EXPECT_NEAR(spins[0], -2 * pi / 20, 1e-15);
  EXPECT_NEAR(spins[1], 2 * pi / 20, 1e-15);
}

TEST(AGraphPane, ColourReachesFurtherGraphsAsMapOrHidden) {
  PaneHooksInstalled hooks;
  AGraphPane pane(Rect(0, 0, 100, 100), nullptr, nullptr);
  std::unique_ptr<RecordingGraph> owned[4];
  RecordingGraph* g[4];
  for (int i = 0; i < 4; ++i) g[i] = (owned[i] = std::make_unique<RecordingGraph>(i)).get();
  pane.AddGraph(std::move(owned[0]), 0);
  pane.AddGraph_TransformedCoordinates(std::move(owned[1]));
  pane.View2D(0)->AddGraph(std::move(owned[2]));
  pane.View2D(1)->AddGraph(std::move(owned[3]));
  ASSERT_EQ(pane.View2D(0)->GraphCount() + pane.View2D(1)->GraphCount(), 4);
  GraphLookup* row = pane.Lookup().At(0);
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->pairs[1].view, pane.View2D(1));
  row->pairs[2] = {pane.View2D(0), 1};
  row->pairs[3] = {pane.View2D(1), 1};
  pane.SetGraphParameter(kAttributeColor, 5, 0);
  const double want5[] = {5, 5, 8, 8};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(g[i]->fLast.second, want5[i]) << i;
  pane.SetGraphParameter(kAttributeColor, 17, 0);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(g[i]->fLast.second, 17) << i;
  pane.SetGraphParameter(kAttributeGrain, 0.25, 0);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(g[i]->fLast, std::make_pair(int(kAttributeGrain), 0.25)) << i;
  pane.SetGraphParameter(kAttributeGrain, 9, 1);  // no such row
  EXPECT_EQ(g[0]->fLast.second, 0.25);

  EXPECT_EQ(pane.GraphVisibility(0), 7);
  EXPECT_EQ(pane.GraphVisibility(-1), 0);
  EXPECT_TRUE(pane.IsDoneComputing(1));
  EXPECT_FALSE(pane.IsDoneComputing(0));
  EXPECT_FALSE(pane.UsesGrainSlider(-1));
  AListGenericSmall<int32_t> indexes;
  indexes.Add(0);
  EXPECT_TRUE(pane.DoesIndexMatchObject(&indexes, g[0]));
  EXPECT_FALSE(pane.DoesIndexMatchObject(&indexes, g[1]));
  pane.InvalConstant(120);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(g[i]->fInvalidated, 120);
}

// Which views hold range p (and under which number) after SetParameterValue,
// as the pane's table has it.
std::set<std::pair<AGraphView*, int>> Holders(AGraphPane& pane, int p) {
  std::set<std::pair<AGraphView*, int>> views;
  AGraphView* const twoD[] = {pane.View2D(0), pane.View2D(1)};
  AGraphView* const threeD[] = {pane.View3D(0), pane.View3D(1)};
  if (pane.IsView4D() && p <= 3) return {{pane.View4D(), p}};
  if (p <= 2) return {{threeD[0], p}};
  if (p >= 4 && p <= 6) return {{threeD[1], p - 4}};
  if (p == 7 || p == 8 || p == 10) {
    for (AGraphView* v : twoD) views.insert({v, p});
  }
  if (p >= 7 && p <= 12) {
    for (AGraphView* v : threeD) views.insert({v, p});
  }
  if (p >= 10 && p <= 12) views.insert({pane.View4D(), p});
  return views;
}

TEST(AGraphPane, ParameterValuesLandInTheViewsThatKeepThem) {
  PaneHooksInstalled hooks;
  for (bool fourD : {false, true}) {
    AGraphPane pane(Rect(0, 0, 100, 100), nullptr, nullptr);
    if (fourD) pane.ShowViews(pane.View4D(), nullptr);
    AGraphView* views[] = {pane.View2D(0), pane.View2D(1), pane.View3D(0), pane.View3D(1), pane.View4D()};
    double value = 100;
    for (int p = -1; p <= 13; ++p) {
      for (int end : {0, 1, -3}) {
        GraphViewRecord before[5];
        for (int k = 0; k < 5; ++k) before[k] = views[k]->Record();
        pane.SetParameterValue(p, end, ++value);
        const auto holders = Holders(pane, p);
        const int side = end == 0 ? 0 : 1;
        for (int k = 0; k < 5; ++k) {
          for (int q = 0; q < kCoordDisplayParamCount; ++q) {
            for (int s = 0; s < 2; ++s) {
              const bool written = holders.count({views[k], q}) && s == side;
              const double want = written ? value : before[k].ranges[q][s];
              ASSERT_EQ(views[k]->Record().ranges[q][s], want) << fourD << " p " << p << " view " << k << " q " << q;
            }
          }
        }
        if (p >= 0 && p <= 12 && !holders.empty()) {
          hooks.shown.clear();
          pane.ShowParam(CoordDisplayParam(p));
          ASSERT_EQ(hooks.shown.size(), 1u) << p;
          EXPECT_EQ(hooks.shown[0].first, p);
        }
      }
    }
  }
}

// A 3-D view whose cursor regions are its rectangle, to see them united,
// and whose clicks are left to the window.
class RegionView : public A3DGraphView {
 public:
  int32_t MouseDown(MPoint, long, bool, bool, bool, bool, bool) override { return 1; }
  void GetHandCursorRgn(QRegion* region, bool) override { *region = Own(); }
  void GetMarkCursorRgn(QRegion* region, bool, MPoint) override { *region = Own(); }
  void GetDragCursorRgn(QRegion* region) override { *region = Own(); }
  QRegion Own() const { return QRegion(fViewRect.left, fViewRect.top, fViewRect.right - fViewRect.left, 1); }
};

TEST(AGraphPane, ClicksGoToTheViewUnderThemAndCursorRegionsUnite) {
  PaneHooksInstalled hooks;
  gGraphPaneHooks.Make3DView = []() -> std::unique_ptr<AGraphView> { return std::make_unique<RegionView>(); };
  AGraphPane pane(Rect(0, 0, 100, 50), nullptr, nullptr);
  pane.ShowViews(pane.View3D(0), pane.View3D(1));
  const MRect a = pane.GetGraphRect(kCurrentView), b = pane.GetGraphRect(kSecondView);
  EXPECT_EQ(pane.MouseDown(MPoint{10, int16_t(b.left + 1)}, 0, false, false, false, false, false), 1);
  EXPECT_EQ(pane.ClickedView(), pane.View3D(1));
  EXPECT_EQ(pane.MouseDown(MPoint{10, int16_t(a.right + 2)}, 0, false, false, false, false, false), 0);
  EXPECT_EQ(pane.ClickedView(), pane.View3D(1));  // a click between views changes nothing
  EXPECT_EQ(pane.MouseDown(MPoint{10, 0}, 0, false, false, false, false, false), 1);
  EXPECT_EQ(pane.ClickedView(), pane.View3D(0));
  EXPECT_FALSE(pane.MouseWheel(MPoint{10, int16_t(a.right + 2)}, 1, 1));

  QRegion hand, mark, drag;
  pane.GetHandCursorRgn(&hand, false);
  pane.GetMarkCursorRgn(&mark, false, MPoint{});
  pane.GetDragCursorRgn(&drag);
  const QRegion both = QRegion(a.left, a.top, a.right - a.left, 1) + QRegion(b.left, b.top, b.right - b.left, 1);
  EXPECT_EQ(hand, both);
  EXPECT_EQ(mark, both);
  EXPECT_EQ(drag, both);
}

// A 3-D or 4-D view that draws offscreen and says it draws on screen, or
// not, as the test sets it.
template <typename View>
class ClaimedOnScreen : public View {
 public:
  bool IsDMA() override { return claimed; }
  bool claimed = true;
};

// After the shown views drew, the world is marked over; a view the read-back
// reaches shows its frame there again.
TEST(AGraphPane, ReadBackReachesTheShownViewsDrawingOnScreen) {
  PaneHooksInstalled hooks;
  gGraphPaneHooks.Make3DView = []() -> std::unique_ptr<AGraphView> {
    return std::make_unique<ClaimedOnScreen<A3DGraphView>>();
  };
  gGraphPaneHooks.Make4DView = []() -> std::unique_ptr<AGraphView> {
    return std::make_unique<ClaimedOnScreen<A4DGraphView>>();
  };
  static PortPtr world;
  world.reset(NewOffscreenPort(QRect(0, 0, 200, 80)));
  gRendererHooks.GetOffscreenGWorld = [](DocumentRecord*) { return world.get(); };
  gRendererHooks.BackgroundColor = [](DocumentRecord*) { return 0x204060u; };
  AGraphPane pane(Rect(0, 0, 200, 80), nullptr, nullptr);
  constexpr uint32_t kMark = 0xFF00FF;
  const auto framed = [&](const AGraphView* view) {
    const MRect r = view->ViewRect();
    return RgbAt(*world, (r.left + r.right) / 2, r.top + 2) == 0x204060u;
  };
  struct Case {
    ShownViews which;
    bool second3D, secondClaimed, current, second;
  };
  const Case cases[] = {{kCurrentView, true, true, true, false}, {kSecondView, true, true, false, true},
                        {kBothViews, true, true, true, true},    {kShown3DViews, true, true, false, false},
                        {kBothViews, true, false, true, false},  {kBothViews, false, false, true, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "which " << c.which << ", second " << c.second3D << c.secondClaimed);
    pane.ShowViews(pane.View3D(0), c.second3D ? pane.View3D(1) : nullptr);
    pane.SetDesiredRendererType(kRendererOffscreen);
    dynamic_cast<ClaimedOnScreen<A3DGraphView>&>(*pane.View3D(1)).claimed = c.secondClaimed;
    {
      APushPort push(world.get());
      pane.Draw(kBothViews, true);
    }
    ASSERT_EQ(GetRendererType(pane.View3D(0)->Record().drawContext), kRendererOffscreen);
    ASSERT_TRUE(framed(pane.View3D(0)));
    world->image.fill(kMark);
    pane.ReadFrameBufferIfNeeded(c.which);
    EXPECT_EQ(framed(pane.View3D(0)), c.current);
    if (c.second3D) {
      EXPECT_EQ(framed(pane.View3D(1)), c.second);
    }
  }
  // The 4-D view, current, is read back whichever view is asked for.
  pane.ShowViews(pane.View4D(), nullptr);
  pane.SetDesiredRendererType(kRendererOffscreen);
  for (ShownViews which : {kCurrentView, kSecondView}) {
    {
      APushPort push(world.get());
      pane.Draw(kCurrentView, true);
    }
    world->image.fill(kMark);
    pane.ReadFrameBufferIfNeeded(which);
    EXPECT_TRUE(framed(pane.View4D())) << which;
  }
  pane.DisposeDrawContexts();
  DestroyContextsAwaitingDestruction();
  world.reset();
}

// Only a view the user sees counts: a software context left behind in a
// hidden view does not.
TEST(AGraphPane, UsingOurRendererAsksTheShownSpaceViewsOnly) {
  PaneHooksInstalled hooks;
  AGraphPane pane(Rect(0, 0, 200, 80), nullptr, nullptr);
  enum Shown { k2D, k3D, k3DPair, k4D };
  const struct {
    Shown shown;
    AGraphView* software;
    bool expected;
  } cases[] = {{k2D, nullptr, false},           {k2D, pane.View3D(0), false},    {k2D, pane.View4D(), false},
               {k3D, nullptr, false},           {k3D, pane.View3D(0), true},     {k3D, pane.View3D(1), false},
               {k3D, pane.View4D(), false},     {k3DPair, pane.View3D(0), true}, {k3DPair, pane.View3D(1), true},
               {k3DPair, pane.View4D(), false}, {k4D, pane.View4D(), true},      {k4D, pane.View3D(0), false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "shown " << c.shown << ", software " << c.software);
    switch (c.shown) {
      case k2D: pane.ShowViews(pane.View2D(0), pane.View2D(1)); break;
      case k3D: pane.ShowViews(pane.View3D(0), nullptr); break;
      case k3DPair: pane.ShowViews(pane.View3D(0), pane.View3D(1)); break;
      case k4D: pane.ShowViews(pane.View4D(), nullptr); break;
    }
    for (AGraphView* view : {pane.View3D(0), pane.View3D(1), pane.View4D()})
      view->Record().drawContext->rendererType = view == c.software ? kRendererSoftware : kRendererOffscreen;
    EXPECT_EQ(pane.UsingOurRenderer(), c.expected);
  }
  // Every space view's context hears of a change of transparency, shown or not.
  pane.ShowViews(pane.View2D(0), nullptr);
  pane.SetDrawContextsTransparencyChangedFlag();
  for (AGraphView* view : {pane.View3D(0), pane.View3D(1), pane.View4D()})
    EXPECT_EQ(view->Record().drawContext->transparencyChanged, 1);
}

TEST(AGraphPane, EraseGraphDeletesSecondViewsFirst) {
  PaneHooksInstalled hooks;
  std::vector<int> gone;
  {
    AGraphPane pane(Rect(0, 0, 100, 100), nullptr, nullptr);
    pane.AddGraph(std::make_unique<RecordingGraph>(1, &gone), 0);
    pane.AddGraph_TransformedCoordinates(std::make_unique<RecordingGraph>(2, &gone));
    pane.AddGraph(std::make_unique<RecordingGraph>(3, &gone), 1);
    pane.AddGraph(std::make_unique<RecordingGraph>(4, &gone), 0);
    pane.View2D(0)->Record().marked = pane.View2D(1)->Record().marked = true;
    pane.EraseGraph();
    EXPECT_EQ(gone, (std::vector<int>{2, 3, 1, 4}));
    EXPECT_EQ(pane.Lookup().Count(), 0);
    EXPECT_EQ(pane.View2D(0)->GraphCount() + pane.View2D(1)->GraphCount(), 0);
    EXPECT_FALSE(pane.View2D(0)->Record().marked || pane.View2D(1)->Record().marked);
    EXPECT_EQ(hooks.cleared, 1);
    pane.AddGraph(std::make_unique<RecordingGraph>(5, &gone), 0);
  }
  EXPECT_EQ(gone.back(), 5);  // the pane's own end erases too
}

TEST(AGraphPane, AGraphTheViewCannotTakeIsDeletedAndItsRowReadsDone) {
  PaneHooksInstalled hooks;
  std::vector<int> gone;
  AGraphPane pane(Rect(0, 0, 100, 100), nullptr, nullptr);
  pane.AddGraph(std::make_unique<RecordingGraph>(0, &gone), 0);  // the lookup list has room for 15 more
  for (int k = 0; k < 2; ++k) {
    for (int32_t count = pane.View2D(k)->GraphCount(); count < 16; ++count) {
      pane.View2D(k)->AddGraph(std::make_unique<RecordingGraph>(-1));
      ASSERT_EQ(pane.View2D(k)->GraphCount(), count + 1);
    }
  }
  {
    BudgetRoom none(0);
    pane.AddGraph(std::make_unique<RecordingGraph>(7, &gone), 0);
    pane.AddGraph_TransformedCoordinates(std::make_unique<RecordingGraph>(8, &gone));
  }
  EXPECT_EQ(gone, (std::vector<int>{7, 8}));
  ASSERT_EQ(pane.Lookup().Count(), 2);
  const GraphLookup& row = *pane.Lookup().At(1);
  EXPECT_EQ(row.pairs[0].view, pane.View2D(0));
  EXPECT_EQ(row.pairs[0].index, 16);
  EXPECT_EQ(row.pairs[1].view, nullptr);
  EXPECT_TRUE(pane.IsDoneComputing(1));
  EXPECT_EQ(pane.GraphVisibility(1), 0);
  EXPECT_FALSE(pane.UsesGrainSlider(1));
}

TEST(AGraphPane, DomainsAndPicturesGoToTheShownTwoDimensionalViews) {
  PaneHooksInstalled hooks;
  AGraphPane pane(Rect(0, 0, 400, 200), nullptr, nullptr);
  pane.ShowViews(pane.View2D(0), pane.View2D(1));
  auto* first = dynamic_cast<A2DGraphView*>(pane.View2D(0));
  auto* second = dynamic_cast<A2DGraphView*>(pane.View2D(1));
  pane.Zoom(kZoomOut, kCurrentView);
  pane.SetParameterValue(kCoordT, 1, 4.5);
  pane.View2D(1)->ParameterRange(kCoordT)[1] = 2;
  ASSERT_NE(first->State().xScale, second->State().xScale);
  const int redraws = hooks.redraws;
  pane.CopyOtherViewDomain(1);
  EXPECT_EQ(second->State().xScale, first->State().xScale);
  EXPECT_EQ(second->State().xMinimum, first->State().xMinimum);
  EXPECT_EQ(second->ParameterRange(kCoordT)[1], 4.5);
  EXPECT_EQ(hooks.redraws, redraws + 1);
  pane.CopyOtherViewDomain(2);  // no such view: nothing
  EXPECT_EQ(hooks.redraws, redraws + 1);
  pane.RedrawPrimeViewifNecessary(pane.View2D(0));
  pane.RedrawPrimeViewifNecessary(pane.View2D(1));
  EXPECT_EQ(hooks.redraws, redraws + 2);

  OurPicture picture;
  picture.image = QImage(4, 4, QImage::Format_RGB32);
  picture.image.fill(Qt::blue);
  picture.frame = QRect(0, 0, 4, 4);
  const MRect b = pane.GetGraphRect(kSecondView);
  const MPoint inSecond{int16_t(b.top + 5), int16_t(b.left + 5)};
  const MPoint between{5, int16_t(pane.GetGraphRect(kCurrentView).right + 3)};
  pane.PastePicture(&picture, &inSecond);
  pane.PastePicture(&picture, &between);
  pane.PastePicture(&picture, nullptr);
  EXPECT_EQ(first->Pictures().Count(), 0);
  EXPECT_EQ(second->Pictures().Count(), 1);
}

TEST(AGraphPane, ViewParametersRedrawExceptForVertexObjects) {
  PaneHooksInstalled hooks;
  static std::vector<std::vector<int>> tips;
  tips.clear();
  gGraphPaneHooks.SetViewControlToolTip = [](int32_t a, bool axes, bool secondAxes, bool paper, bool secondPaper,
                                             DocumentRecord*) {
    tips.push_back({a, axes, secondAxes, paper, secondPaper});
  };
  AGraphPane pane(Rect(0, 0, 400, 200), nullptr, nullptr);
  pane.ShowViews(pane.View2D(0), pane.View2D(1));
  pane.SetViewParameter(kAttributeShowAxes, kBothViews);
  EXPECT_FALSE(pane.IsShowingAxes(kCurrentView) || pane.IsShowingAxes(kSecondView));
  pane.SetViewParameter(kAttributeShowGraphPaper, kSecondView);
  EXPECT_TRUE(pane.IsShowingGraphPaper(kCurrentView));
  EXPECT_FALSE(pane.IsShowingGraphPaper(kSecondView));
  EXPECT_FALSE(pane.IsShowingGraphPaper(kBothViews));
  EXPECT_EQ(hooks.redraws, 2);
  ASSERT_EQ(tips.size(), 2u);
  EXPECT_EQ(tips[1], (std::vector<int>{kAttributeShowGraphPaper, 0, 0, 1, 0}));
  pane.SetViewParameter(kAttributeShowAxes, kShown2DViews);  // not a pair: only the tips
  EXPECT_FALSE(pane.IsShowingAxes(kCurrentView));

  pane.AddGraph(std::make_unique<RecordingGraph>(1), 0);
  pane.Compute(0, true);
  pane.UpdateVertexObjects();
  pane.UpdateSavedVertexObjectsAfterNextFrameHasBegunComputing();
  pane.SaveFinishedModelsBeforeSteppingSliderToStartNextFrame();
  EXPECT_EQ(hooks.redraws, 3);
  // A graph that never finishes: the wait ends at its deadline.
  pane.Compute(static_cast<long>(OurDuration(2)), false);
  EXPECT_FALSE(pane.AreAllGraphsDoneComputing());
  EXPECT_TRUE(pane.AreAnyGraphsMoving());
  pane.ShowXYZ(1);
  EXPECT_EQ(pane.CoordinateDisplayFlags()[kCoordXPrime] + pane.CoordinateDisplayFlags()[kCoordZPrime], 2);
  EXPECT_EQ(pane.CoordinateDisplayFlags()[kCoordX], 0);
}

}  // namespace
