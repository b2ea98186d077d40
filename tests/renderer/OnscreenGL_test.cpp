#include "platform/OnscreenGL.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QRegion>
#include <QWidget>
#include <QWindow>

#include <memory>

#include "platform/EGLContexts.h"
#include "platform/OurPort.h"
#include "renderer/Frame.h"
#include "renderer/GLFrame.h"
#include "renderer/RendererGlobals.h"
#include "renderer/Submission.h"
#include "tests/renderer/RendererTestWorld.h"
#include "tests/support/PaintCount.h"
#include "tests/support/QtApplication.h"
#include "tests/support/ScreenPicture.h"
#include "tests/support/WaitFor.h"
#include "tools/Render3DCompare.h"
#include "tools/Render3DScene.h"

namespace {

// Run on a display, the suite checks the on-screen renderer; under the
// offscreen platform, that the choice falls back to the offscreen one.
Our3DRendererType ExpectedGLRenderer() { return OnADisplay() ? kRendererOnscreen : kRendererOffscreen; }

// A shown window the frames draw over; the test document's world has its
// size, as the window's graph world has.
class OnscreenGL : public testing::Test {
 protected:
  static constexpr int16_t kWidth = 320, kHeight = 240;
  static inline QWidget* sHost = nullptr;

  static QWidget* ShownHost() {
    auto* host = new QWidget;
    host->resize(kWidth, kHeight);
    host->show();
    EXPECT_TRUE(WaitFor([&] { return host->windowHandle()->isExposed(); }));
    return host;
  }

  void SetUp() override {
    EnsureQtApplication();
    if (OnADisplay()) {
      ASSERT_TRUE(OurOnscreenGLAvailable()) << "no on-screen OpenGL on " << qPrintable(QGuiApplication::platformName());
    }
    if (sHost == nullptr) sHost = ShownHost();
  }

  void TearDown() override {
    OurInjectGLFailure(GLFailure::kNone);
    gHasOpenGL = 1;
    DestroyContextsAwaitingDestruction();
    EXPECT_EQ(OurLiveOnscreenGLContexts(), 0);
  }

  RendererTestWorld fWorld{kWidth, kHeight};
};

// The host's surface now shown; the mouse passes through surfaces, so
// childAt never names one.
const QWidget* ShownSurface(const QWidget* host) {
  for (const QWidget* child : host->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (child->isVisible()) return child;
  return nullptr;
}

GLContextRecord* ContextOf(const ScopedDrawContext& ctx) { return GetRendererAglContext(ctx.ctx); }

int32_t FrameOver(ScopedDrawContext& ctx, const MRect& pane) {
  Qd3d_SetPane(ctx.ctx, pane, &ctx.view, false);
  if (!IsDrawContextValid(ctx.ctx)) return -1;
  const int32_t started = RenderStart(ctx.ctx, false);
  return started != 0 ? started : RenderEnd(ctx.ctx);
}

// A frame of the lit grid.
int32_t GridFrameOver(ScopedDrawContext& ctx, const MRect& pane) {
  static const Scene3DMesh grid = Scene3DGrid();
  Qd3d_SetPane(ctx.ctx, pane, &ctx.view, false);
  if (!IsDrawContextValid(ctx.ctx)) return -1;
  if (const int32_t started = RenderStart(ctx.ctx, false)) return started;
  OurSubmitVertices(grid.vertices.data(), int(grid.vertices.size()), ctx.ctx);
  OurSubmitNormals(grid.normals.data(), ctx.ctx);
  OurSubmitColors(grid.colors.data(), ctx.ctx);
  OurSubmitTriangles(grid.triangles.data(), int(grid.triangles.size()), ctx.ctx);
  OurDisableColorArrayState(ctx.ctx);
  OurDisableNormalArrayState(ctx.ctx);
  return RenderEnd(ctx.ctx);
}

// The lit grid scene drawn on screen, read back from the surface, against
// the offscreen renderer's picture of it: as alike as the software and
// OpenGL renderers' pictures are, here for one and the same rasteriser.
TEST_F(OnscreenGL, DrawsTheSceneAsTheOffscreenRendererDoes) {
  for (const bool hsv : {false, true})
    for (const bool sampled : {false, true}) {
      Scene3DOptions options;
      options.width = kWidth;
      options.height = kHeight;
      options.label = false;
      options.hsv = hsv;
      options.supersampled = sampled;
      options.renderer = kRendererOffscreen;
      const Scene3DResult offscreen = RenderScene3D(options);
      options.renderer = kRendererAutomatic;
      options.onscreenHost = sHost;
      const Scene3DResult onscreen = RenderScene3D(options);
      ASSERT_TRUE(offscreen.drawn && onscreen.drawn);
      EXPECT_EQ(onscreen.renderer, ExpectedGLRenderer());
      const Scene3DComparison d = CompareScene3D(offscreen.image, onscreen.image, kScene3DBackground);
      const char* name = hsv ? (sampled ? "hsv, antialiased" : "hsv") : (sampled ? "antialiased" : "plain");
      EXPECT_GT(d.interior, 5000) << name;
      EXPECT_LE(d.MismatchShare(), 0.001) << name << ": " << d.coverageMismatch << " of " << d.covered;
      EXPECT_LE(d.meanChannelDifference, 6.0) << name;
      EXPECT_LE(d.percentile99, 40) << name;
    }
}

TEST_F(OnscreenGL, TheChoiceFallsBackWhereOnScreenCannotBeMade) {
  const MRect pane{20, 10, 200, 300};
  {
    ScopedDrawContext ctx(kRendererAutomatic, sHost);
    EXPECT_EQ(FrameOver(ctx, pane), 0);
    EXPECT_EQ(GetRendererType(ctx.ctx), ExpectedGLRenderer());
  }
  {
    gHasOpenGL = 0;
    ScopedDrawContext ctx(kRendererAutomatic, sHost);
    EXPECT_EQ(FrameOver(ctx, pane), 0);
    EXPECT_EQ(GetRendererType(ctx.ctx), kRendererSoftware) << "software renderer preferred";
    gHasOpenGL = 1;
  }
  {
    OurInjectGLFailure(GLFailure::kOnscreen);
    ScopedDrawContext ctx(kRendererAutomatic, sHost);
    EXPECT_EQ(FrameOver(ctx, pane), 0);
    EXPECT_EQ(GetRendererType(ctx.ctx), kRendererOffscreen) << "on-screen format refused";
    OurInjectGLFailure(GLFailure::kNone);
  }
  {
    // No wider than the largest viewport, on screen or off: whatever the
    // offscreen renderer alone makes of the pane.
    const MRect tooWide{0, 0, 10, 16384};
    OurPort* shown = gTestDocument.world;
    gTestDocument.world = OurNewGWorld(tooWide);
    {
      ScopedDrawContext alone(kRendererOffscreen, sHost);
      Qd3d_SetPane(alone.ctx, tooWide, &alone.view, false);
      ScopedDrawContext ctx(kRendererAutomatic, sHost);
      Qd3d_SetPane(ctx.ctx, tooWide, &ctx.view, false);
      EXPECT_NE(GetRendererType(ctx.ctx), kRendererOnscreen);
      EXPECT_EQ(GetRendererType(ctx.ctx), GetRendererType(alone.ctx));
    }
    OurDisposeGWorld(gTestDocument.world);
    gTestDocument.world = shown;
  }
}

// Antialiased on screen only below 2,048 pixels across, and plain when
// the antialiased format is refused.
TEST_F(OnscreenGL, AntialiasingTakesTheFormatThatFits) {
  if (!OnADisplay()) GTEST_SKIP() << "no on-screen formats without a display";
  gTestDocument.sampled = true;
  struct Case {
    MRect pane;
    GLFailure failure;
    int32_t samples;
  };
  const Case cases[] = {{{0, 0, 100, 2047}, GLFailure::kNone, 4},
                        {{0, 0, 100, 2048}, GLFailure::kNone, 0},
                        {{0, 0, 100, 200}, GLFailure::kOnscreenMultisample, 0}};
  for (const Case& c : cases) {
    OurInjectGLFailure(c.failure);
    ScopedDrawContext ctx(kRendererAutomatic, sHost);
    Qd3d_SetPane(ctx.ctx, c.pane, &ctx.view, false);
    ASSERT_EQ(GetRendererType(ctx.ctx), kRendererOnscreen);
    EXPECT_EQ(OurGLContextSamples(ContextOf(ctx)), c.samples) << c.pane.right << " wide";
  }
}

// A translucent document draws in software; made opaque again it returns
// to OpenGL only when told or when its pane changes.
TEST_F(OnscreenGL, TranslucencyTakesTheViewToSoftwareUntilToldOtherwise) {
  const MRect pane{0, 0, 120, 160};
  ScopedDrawContext ctx(kRendererAutomatic, sHost);
  EXPECT_EQ(FrameOver(ctx, pane), 0);
  EXPECT_EQ(GetRendererType(ctx.ctx), ExpectedGLRenderer());
  gTestDocument.translucent = true;
  EXPECT_EQ(FrameOver(ctx, pane), 0);
  EXPECT_EQ(GetRendererType(ctx.ctx), kRendererSoftware);
  gTestDocument.translucent = false;
  EXPECT_EQ(FrameOver(ctx, pane), 0);
  EXPECT_EQ(GetRendererType(ctx.ctx), kRendererSoftware);
  SetDrawContextTransparencyChangedFlag(ctx.ctx);
  EXPECT_EQ(FrameOver(ctx, pane), 0);
  EXPECT_EQ(GetRendererType(ctx.ctx), ExpectedGLRenderer());
  gTestDocument.translucent = true;
  EXPECT_EQ(FrameOver(ctx, pane), 0);
  gTestDocument.translucent = false;
  EXPECT_EQ(FrameOver(ctx, {0, 0, 121, 160}), 0);
  EXPECT_EQ(GetRendererType(ctx.ctx), ExpectedGLRenderer()) << "a new pane chooses again";
}

// The surface follows its pane: a resize keeps the context, a move or a
// resize places the surface again, a redraw in place does not, unless the
// surface was hidden meanwhile; the rectangle is the window's, counted
// from its bottom.
TEST_F(OnscreenGL, TheSurfaceFollowsItsPaneAndKeepsItsContext) {
  if (!OnADisplay()) GTEST_SKIP() << "no surface without a display";
  ScopedDrawContext ctx(kRendererAutomatic, sHost);
  ASSERT_EQ(FrameOver(ctx, {20, 10, 120, 110}), 0);
  ASSERT_EQ(GetRendererType(ctx.ctx), kRendererOnscreen);
  GLContextRecord* context = ContextOf(ctx);
  const uint64_t serial = GetRendererContextSerial(ctx.ctx);
  const int32_t first[4] = {10, kHeight - 120, 100, 100};
  EXPECT_TRUE(std::equal(first, first + 4, ctx.ctx->bufferRect));
  EXPECT_EQ(OurOnscreenGLPlacements(context), 1);
  ASSERT_EQ(FrameOver(ctx, {20, 10, 120, 110}), 0);
  EXPECT_EQ(OurOnscreenGLPlacements(context), 1) << "redrawn in place";
  ASSERT_EQ(FrameOver(ctx, {40, 30, 140, 130}), 0);
  EXPECT_EQ(OurOnscreenGLPlacements(context), 2) << "moved";
  ASSERT_EQ(FrameOver(ctx, {40, 30, 200, 250}), 0);
  EXPECT_EQ(OurOnscreenGLPlacements(context), 3) << "resized";
  EXPECT_EQ(ContextOf(ctx), context);
  EXPECT_EQ(GetRendererContextSerial(ctx.ctx), serial);
  const int32_t last[4] = {30, kHeight - 200, 220, 160};
  EXPECT_TRUE(std::equal(last, last + 4, ctx.ctx->bufferRect));
  const QWidget* surface = ShownSurface(sHost);
  ASSERT_NE(surface, nullptr);
  EXPECT_EQ(surface->geometry(), QRect(30, 40, 220, 160));
  OurHideOnscreenGLSurfacesOutside(sHost, QRegion());
  EXPECT_EQ(ShownSurface(sHost), nullptr);
  ASSERT_EQ(FrameOver(ctx, {40, 30, 200, 250}), 0);
  EXPECT_EQ(ShownSurface(sHost), surface) << "hidden, then redrawn in place";
  EXPECT_EQ(surface->geometry(), QRect(30, 40, 220, 160));
  EXPECT_EQ(OurOnscreenGLPlacements(context), 4);
}

// The screen shows the very picture the frame drew, read back the same, and
// shows it again when uncovered, the surface asking: no frame is drawn for
// it and the host paints nothing.
TEST_F(OnscreenGL, TheScreenShowsTheFrameAgainWhenUncovered) {
  if (!OnADisplay()) GTEST_SKIP() << "no screen without a display";
  ScopedDrawContext ctx(kRendererAutomatic, sHost);
  const MRect pane{30, 20, 230, 300};
  ASSERT_EQ(GridFrameOver(ctx, pane), 0);
  ASSERT_EQ(GetRendererType(ctx.ctx), kRendererOnscreen);
  GLContextRecord* context = ContextOf(ctx);
  ASSERT_TRUE(WaitFor([&] { return OurOnscreenGLPresentations(context) > 0; }));
  OurReadPixels(ctx.ctx);
  const QRect drawnArea(pane.left, pane.top, pane.right - pane.left, pane.bottom - pane.top);
  const QImage drawn = gTestDocument.world->image.copy(drawnArea).convertToFormat(QImage::Format_RGB32);
  const QRect onScreen(sHost->mapToGlobal(drawnArea.topLeft()), drawnArea.size());
  EXPECT_EQ(ScreenPicture(onScreen), drawn);

  QWidget cover(nullptr, Qt::X11BypassWindowManagerHint | Qt::FramelessWindowHint);
  cover.setAutoFillBackground(true);
  cover.setPalette(QPalette(Qt::red));
  cover.setGeometry(onScreen);
  cover.show();
  ASSERT_TRUE(WaitFor([&] { return cover.windowHandle()->isExposed(); }));
  ASSERT_NE(ScreenPicture(onScreen), drawn) << "not covered";
  const int64_t frames = gFramesRendered, shown = OurOnscreenGLPresentations(context);
  const PaintCount host(sHost);
  cover.hide();
  ASSERT_TRUE(WaitFor([&] { return OurOnscreenGLPresentations(context) > shown; }));
  EXPECT_EQ(gFramesRendered, frames);
  EXPECT_EQ(ScreenPicture(onScreen), drawn);
  EXPECT_EQ(host.paints, 0);
}

// Disposal hides the surface at once and queues the context, twice
// harmlessly; the queue's destruction leaves nothing. A window closed first
// takes its surfaces along: its views' next frames fail and choose again.
TEST_F(OnscreenGL, DisposedAndOrphanedContextsLeaveNothingBehind) {
  if (!OnADisplay()) GTEST_SKIP() << "no surface without a display";
  {
    ScopedDrawContext ctx(kRendererAutomatic, sHost);
    ASSERT_EQ(FrameOver(ctx, {0, 0, 100, 100}), 0);
    const QWidget* surface = ShownSurface(sHost);
    ASSERT_NE(surface, nullptr);
    DisposeDrawContext(ctx.ctx);
    DisposeDrawContext(ctx.ctx);
    EXPECT_TRUE(surface->isHidden());
    EXPECT_TRUE(AreAnyOpenGLContextsAwaitingDestruction());
    EXPECT_EQ(OurLiveOnscreenGLContexts(), 1);
    DestroyContextsAwaitingDestruction();
    EXPECT_EQ(OurLiveOnscreenGLContexts(), 0);
  }
  std::unique_ptr<QWidget> window(ShownHost());
  ScopedDrawContext ctx(kRendererAutomatic, window.get());
  ASSERT_EQ(FrameOver(ctx, {0, 0, 100, 100}), 0);
  const uint64_t serial = GetRendererContextSerial(ctx.ctx);
  GLContextRecord* context = ContextOf(ctx);
  window.reset();
  EXPECT_FALSE(OurIsGLContextLive(context, serial));
  EXPECT_EQ(RenderStart(ctx.ctx, false), 20);
  DisposeDrawContext(ctx.ctx);
  EXPECT_EQ(ctx->window, nullptr);
  EXPECT_EQ(FrameOver(ctx, {0, 0, 100, 100}), 0);
  EXPECT_EQ(GetRendererType(ctx.ctx), kRendererOffscreen) << "no window left to draw over";
}

}  // namespace
