#include "tests/app/ApplicationFixture.h"
#include "tests/app/HandClock.h"
#include "tests/support/PaintCount.h"
#include "tests/support/ScreenPicture.h"

#include <QKeyEvent>

#include "graphpane/AGraphPane.h"
#include "platform/OnscreenGL.h"
#include "platform/OurPort.h"
#include "renderer/DrawContext.h"
#include "renderer/RendererGlobals.h"
#include "tools/Render3DCompare.h"
#include "window/MathPaneWidget.h"

// A window's 3-D and 4-D views draw with OpenGL on screen where there is a
// display, and with the offscreen renderer under the offscreen platform;
// a picture that does not change costs no frames and no paints, showing a
// 3-D view leaves the window itself alone, and closing the window leaves no
// context behind.

namespace {

int gComposingFailures = 0;

void CountComposingFailures(QtMsgType, const QMessageLogContext&, const QString& message) {
  if (message.contains(QLatin1String("make context current"))) ++gComposingFailures;
}

const std::string kSurface = "Zentrolabworksheet 4;\n3D.Axis 0 0 -1;\n3D.Speed 0;\nExpr z = x*y;\n";
const std::string kSpinning = "Zentrolabworksheet 4;\nExpr z = x*y;\n";
const std::string kCurve4D =
    "Zentrolabworksheet 4;\n4D.View 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1;\n"
    "Expr vector(x, y, u, v) = vector(cos(t), sin(t), cos(2*t), sin(2*t));\n";

// Rounds of the event loop, each until a call queued at its start comes:
// whatever was queued before it has had its turn.
void LetTheQueueRun(int rounds) {
  for (int i = 0; i < rounds; ++i) {
    QEventLoop loop;
    QTimer::singleShot(0, &loop, &QEventLoop::quit);
    loop.exec();
  }
}

struct Redraws {
  int64_t frames = 0;
  int paints = 0;
};

// The frames drawn and the window's paints while the event loop runs the
// rounds, after the step.
Redraws RedrawsOver(
    const QWidget* window, int rounds, const std::function<void()>& step = [] {}) {
  PaintCount count(window);
  const int64_t frames = gFramesRendered;
  step();
  LetTheQueueRun(rounds);
  return {gFramesRendered - frames, count.paints};
}

// The key as the platform queues it, press and release.
void PostKey(QWidget* widget, QChar c) {
  const int key = c.toUpper().unicode();
  QCoreApplication::postEvent(widget, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, QString(c)));
  QCoreApplication::postEvent(widget, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, QString(c)));
}

// Surfaces shown over the graph pane; the mouse passes through them, so
// childAt never names one.
int ShownSurfaces(const QWidget* pane) {
  int shown = 0;
  for (const QWidget* child : pane->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) shown += child->isVisible();
  return shown;
}

class OnscreenWindowTest : public WindowTest {
 protected:
  void TearDown() override {
    gForceOffscreen = 0;
    WindowTest::TearDown();
    EXPECT_FALSE(AreAnyOpenGLContextsAwaitingDestruction());
    EXPECT_EQ(OurLiveOnscreenGLContexts(), 0) << "a closed window left a context";
  }

  static AGraphView* ShownSpaceView(DocumentMainWindow* window) {
    AGraphPane* pane = window->Document()->fGraphPane.get();
    return pane->IsView4D() ? pane->View4D() : pane->View3D(0);
  }

  // The view's picture after a redraw, as a copy of the pane has it: an
  // on-screen view's read into the window's world.
  static QImage ViewPicture(DocumentMainWindow* window) {
    window->GraphPane()->RedrawGraph();
    const MRect& r = ShownSpaceView(window)->Record().drawContext->pane;
    return window->GraphPane()->World()->image.copy(r.left, r.top, r.right - r.left, r.bottom - r.top);
  }

  static Our3DRendererType ExpectedRenderer() { return OnADisplay() ? kRendererOnscreen : kRendererOffscreen; }

  // Open, graphed and drawn, with nothing left for its idle to do.
  DocumentMainWindow* Settled(const char* name, const std::string& text) {
    DocumentMainWindow* window = Open(name, text);
    if (window == nullptr || !WaitUntilGraphed(window)) return nullptr;
    EXPECT_TRUE(WaitFor([&] { return window->windowHandle()->isExposed(); }));
    LetTheQueueRun(kRounds);
    return window;
  }

  static constexpr int kRounds = 20;
};

// The same view on screen and offscreen: the one rasteriser draws both.
TEST_F(OnscreenWindowTest, SpaceViewsDrawOnScreenAsOffscreen) {
  for (const std::string* text : {&kSurface, &kCurve4D}) {
    DocumentMainWindow* window = Open("view.zlf", *text);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntilGraphed(window));
    MDrawContext* ctx = ShownSpaceView(window)->Record().drawContext;
    EXPECT_EQ(GetRendererType(ctx), OnADisplay() ? kRendererOnscreen : kRendererOffscreen);
    const QImage drawn = ViewPicture(window);
    gForceOffscreen = 1;
    window->Document()->fGraphPane->DisposeDrawContexts();
    const QImage offscreen = ViewPicture(window);
    EXPECT_EQ(GetRendererType(ctx), kRendererOffscreen);
    // The offscreen context is still current: the window composes all the
    // same.
    gComposingFailures = 0;
    const QtMessageHandler previous = qInstallMessageHandler(CountComposingFailures);
    window->repaint();
    qInstallMessageHandler(previous);
    EXPECT_EQ(gComposingFailures, 0);
    gForceOffscreen = 0;
    const Scene3DComparison d = CompareScene3D(drawn, offscreen, offscreen.pixel(0, 0) & 0xFFFFFF);
    EXPECT_GT(d.covered, 500) << (text == &kSurface ? "3-D" : "4-D");
    EXPECT_LE(d.MismatchShare(), 0.001) << d.coverageMismatch << " of " << d.covered;
    EXPECT_LE(d.meanChannelDifference, 6.0);
    EXPECT_LE(d.percentile99, 40);
    CloseEveryWindow();
  }
}

// A window drawn before it was shown draws on screen once shown.
TEST_F(OnscreenWindowTest, AWindowShownLateDrawsOnScreen) {
  if (!OnADisplay()) GTEST_SKIP() << "nothing is on screen without a display";
  DocumentMainWindow* window = Open("late.zlf", kSurface);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitUntilGraphed(window));
  window->hide();
  window->Document()->fGraphPane->DisposeDrawContexts();
  window->GraphPane()->RedrawGraph();
  MDrawContext* ctx = ShownSpaceView(window)->Record().drawContext;
  EXPECT_EQ(GetRendererType(ctx), kRendererOffscreen);
  window->show();
  ASSERT_TRUE(WaitFor([&] { return GetRendererType(ctx) == kRendererOnscreen; }));
}

// A picture that does not change draws no frame and paints nothing, still
// from the start or stopped by a click; a spin draws one frame a refresh
// and, on screen, paints nothing of the window.
TEST_F(OnscreenWindowTest, AStillViewCostsNothingAndASpinOneFrameARefresh) {
  DocumentMainWindow* still = Settled("still.zlf", kSurface);
  ASSERT_NE(still, nullptr);
  EXPECT_EQ(GetRendererType(ShownSpaceView(still)->Record().drawContext), ExpectedRenderer());
  Redraws r = RedrawsOver(still, kRounds);
  EXPECT_EQ(r.frames, 0);
  EXPECT_EQ(r.paints, 0);
  EXPECT_FALSE(still->IsIdleArmed());
  CloseEveryWindow();

  DocumentMainWindow* window = Settled("spin.zlf", kSpinning);
  ASSERT_NE(window, nullptr);
  AGraphView* view = ShownSpaceView(window);
  ASSERT_TRUE(WaitFor([&] { return view->IsMoving(); }));
  HandClock clock;
  const double rate = window->Frames().RefreshRate();
  constexpr int kPeriods = 6;
  r = RedrawsOver(window, 0, [&] {
    for (int k = 1; k <= kPeriods; ++k) {
      clock.Set(HandClock::PeriodStart(1000 + k, rate));
      window->RunIdle();
      window->RunIdle();
      LetTheQueueRun(2);
    }
  });
  EXPECT_EQ(r.frames, kPeriods);
  EXPECT_LE(r.paints, OnADisplay() ? 0 : kPeriods);

  Click(window->GraphPane(), window->GraphPane()->rect().center());
  EXPECT_FALSE(view->IsMoving());
  clock.Set(HandClock::PeriodStart(2000, rate));
  ASSERT_TRUE(WaitFor([&] { return !window->IsIdleArmed(); }));
  LetTheQueueRun(kRounds);
  r = RedrawsOver(window, kRounds);
  EXPECT_EQ(r.frames, 0);
  EXPECT_EQ(r.paints, 0);
}

// The first 3-D graph of a document, and the return to 2-D, leave the
// window as it was: the same native window where the user put it; keys
// queued while the view changes all reach the formula.
TEST_F(OnscreenWindowTest, ShowingA3DViewKeepsTheWindowAndEveryKey) {
  struct Case {
    const char* typed;   // the last key makes the formula 3-D
    const char* queued;  // straight after it
    const char* formula;
  };
  for (const Case& c : {Case{"z", "=x*y", "z=x*y"}, Case{"x+y", "^2", "x+y^2"}}) {
    SCOPED_TRACE(c.formula);
    DocumentMainWindow* window = NewDocumentWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitFor([&] { return window->windowHandle()->isExposed(); }));
    const QPoint placed = window->pos() + QPoint(37, 23);
    window->move(placed);
    ASSERT_TRUE(WaitFor([&] { return window->pos() == placed; }));
    const WId id = window->winId();
    QWidget* math = window->MathPane();
    math->setFocus();
    QTest::keyClicks(math, c.typed);
    for (const char k : std::string(c.queued)) PostKey(math, QChar(k));
    AGraphPane* pane = nullptr;
    ASSERT_TRUE(WaitFor([&] {
      pane = window->Document()->fGraphPane.get();
      return pane && pane->AreAnyViews3D() && IsDocumentGraphDone(window->Document()) &&
             GetRendererType(pane->View3D(0)->Record().drawContext) == ExpectedRenderer();
    }));
    LetTheQueueRun(kRounds);
    EXPECT_EQ(FormulaText(window->Document(), 0), c.formula);
    EXPECT_EQ(window->winId(), id);
    EXPECT_EQ(window->pos(), placed);
    EXPECT_EQ(ShownSurfaces(window->GraphPane()), OnADisplay() ? 1 : 0);

    for (size_t i = 0; i < std::string(c.formula).size(); ++i) QTest::keyClick(math, Qt::Key_Backspace);
    QTest::keyClicks(math, "y=x");
    ASSERT_TRUE(WaitFor([&] { return pane->AreAnyViews2D() && IsDocumentGraphDone(window->Document()); }));
    LetTheQueueRun(kRounds);
    EXPECT_EQ(FormulaText(window->Document(), 0), "y=x");
    EXPECT_EQ(window->winId(), id);
    EXPECT_EQ(window->pos(), placed);
    EXPECT_EQ(ShownSurfaces(window->GraphPane()), 0) << "a 3-D picture over the 2-D view";
    CloseEveryWindow();
  }
}

}  // namespace
