#include "tests/app/ApplicationFixture.h"

#include <QGuiApplication>

#include "graphpane/AGraphPane.h"
#include "platform/OnscreenGL.h"
#include "platform/OurPort.h"
#include "renderer/DrawContext.h"
#include "renderer/GLFrame.h"
#include "renderer/RendererGlobals.h"
#include "tools/Render3DCompare.h"

// A window's 3-D and 4-D views draw with OpenGL on screen where there is a
// display, and with the offscreen renderer under the offscreen platform;
// closing the window leaves no context behind.

namespace {

int gComposingFailures = 0;

void CountComposingFailures(QtMsgType, const QMessageLogContext&, const QString& message) {
  if (message.contains(QLatin1String("make context current"))) ++gComposingFailures;
}

bool OnADisplay() { return QGuiApplication::platformName() != QLatin1String("offscreen"); }

const std::string kSurface = "Zentrolabworksheet 4;\n3D.Axis 0 0 -1;\n3D.Speed 0;\nExpr z = x*y;\n";
const std::string kCurve4D =
    "Zentrolabworksheet 4;\n4D.View 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1;\n"
    "Expr vector(x, y, u, v) = vector(cos(t), sin(t), cos(2*t), sin(2*t));\n";

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

  // The view's picture as the window's world holds it after a redraw: read
  // back from the screen for an on-screen view.
  static QImage ViewPicture(DocumentMainWindow* window) {
    window->GraphPane()->RedrawGraph();
    MDrawContext* ctx = ShownSpaceView(window)->Record().drawContext;
    OurReadPixels(ctx);
    const MRect& r = ctx->pane;
    return window->GraphPane()->World()->image.copy(r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
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

}  // namespace
