// A frame of the lit 79 x 79 grid at 640 x 480 drawn with OpenGL on screen
// (into a surface over a shown window) beside the same frame drawn
// offscreen and read back into the graph world, both on Mesa's llvmpipe,
// alternating in one run: each frame finished (microseconds a frame, ratio
// "drawn"), and each frame until its window has shown it, Qt compositing
// the surface or painting the world (ratio "shown"). Needs a display
// (`QT_QPA_PLATFORM=xcb xvfb-run -a`); without on-screen OpenGL it reports
// that and measures nothing.
#include <QApplication>
#include <QCoreApplication>
#include <QPainter>
#include <QWidget>
#include <QWindow>
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <chrono>
#include <memory>

#include "CoreUtilities/drawing/OurGWorld.h"
#include "document/DocumentRecord.h"
#include "platform/EGLContexts.h"
#include "platform/OnscreenGL.h"
#include "platform/OurPort.h"
#include "renderer/Frame.h"
#include "renderer/M3DView.h"
#include "renderer/RendererGlobals.h"
#include "renderer/RendererHooks.h"
#include "renderer/Submission.h"
#include "tools/Render3DScene.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int16_t kWidth = 640, kHeight = 480;
constexpr int kFrames = 20;

OurPort* gWorld = nullptr;

// Shows the graph world, as the window's graph pane does.
class WorldWidget final : public QWidget {
 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.drawImage(0, 0, gWorld->image);
  }
};

QApplication& Application() {
  static int argc = 1;
  static char name[] = "OnscreenFrame_bench";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication application(argc, argv);
  return application;
}

std::unique_ptr<QWidget> Shown(QWidget* widget) {
  widget->resize(kWidth, kHeight);
  widget->show();
  while (!widget->windowHandle()->isExposed()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  return std::unique_ptr<QWidget>(widget);
}

// Frames of one context, each finished, and shown in its window when one
// is given.
double MicrosecondsPerFrame(MDrawContext* ctx, M3DView* view, const Scene3DMesh& grid, QWidget* shownIn) {
  const MRect pane{0, 0, kHeight, kWidth};
  const Clock::time_point start = Clock::now();
  for (int frame = 0; frame < kFrames; ++frame) {
    GenerateRotationMatrixFromAxisAndAngle(view->rotation, {0, 0, 1}, 0.05 * frame);
    Qd3d_SetPane(ctx, pane, view, false);
    if (RenderStart(ctx, false) != 0) return -1;
    OurSubmitVertices(grid.vertices.data(), int(grid.vertices.size()), ctx);
    OurSubmitNormals(grid.normals.data(), ctx);
    OurSubmitColors(grid.colors.data(), ctx);
    OurSubmitTriangles(grid.triangles.data(), int(grid.triangles.size()), ctx);
    OurDisableColorArrayState(ctx);
    OurDisableNormalArrayState(ctx);
    if (RenderEnd(ctx) != 0) return -1;
    if (shownIn) {
      shownIn->update();
      QCoreApplication::processEvents();
    } else if (GetRendererType(ctx) == kRendererOnscreen) {
      OurMakeGLContextCurrent(static_cast<OurEGLContext*>(GetRendererAglContext(ctx)));
      glFinish();
    }
  }
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / kFrames;
}

void BM_GridFrameOnscreenBesideOffscreen(benchmark::State& state) {
  Application();
  if (!OurOnscreenGLAvailable()) {
    state.SkipWithError("no on-screen OpenGL: run on a display (QT_QPA_PLATFORM=xcb xvfb-run -a)");
    return;
  }
  gWorld = OurNewGWorld({0, 0, kHeight, kWidth});
  static std::unique_ptr<QWidget> host, worldWindow;
  host = Shown(new QWidget);
  worldWindow = Shown(new WorldWidget);
  gRendererHooks.GetOffscreenGWorld = [](DocumentRecord*) { return gWorld; };
  gRendererHooks.BackgroundColor = [](DocumentRecord*) { return kScene3DBackground; };
  const Scene3DMesh grid = Scene3DGrid();
  DocumentRecord document;
  M3DView view;
  OwnedDrawContext onscreen = AllocateDrawContext(), offscreen = AllocateDrawContext();
  SetDrawContextWindow(onscreen.get(), host.get(), &document);
  SetDrawContextWindow(offscreen.get(), nullptr, &document);
  SetDesiredRendererType(offscreen.get(), kRendererOffscreen);
  double onscreenDrawn = 0, offscreenDrawn = 0, onscreenShown = 0, offscreenShown = 0;
  for (auto _ : state) {
    onscreenDrawn += MicrosecondsPerFrame(onscreen.get(), &view, grid, nullptr);
    offscreenDrawn += MicrosecondsPerFrame(offscreen.get(), &view, grid, nullptr);
    onscreenShown += MicrosecondsPerFrame(onscreen.get(), &view, grid, host.get());
    offscreenShown += MicrosecondsPerFrame(offscreen.get(), &view, grid, worldWindow.get());
  }
  if (GetRendererType(onscreen.get()) != kRendererOnscreen || GetRendererType(offscreen.get()) != kRendererOffscreen)
    state.SkipWithError("the renderers asked for were not the ones made");
  const double n = double(state.iterations());
  state.counters["onscreen_drawn_us"] = onscreenDrawn / n;
  state.counters["offscreen_read_back_us"] = offscreenDrawn / n;
  state.counters["drawn_ratio"] = onscreenDrawn / offscreenDrawn;
  state.counters["onscreen_shown_us"] = onscreenShown / n;
  state.counters["offscreen_shown_us"] = offscreenShown / n;
  state.counters["shown_ratio"] = onscreenShown / offscreenShown;
  DisposeDrawContext(onscreen.get());
  DisposeDrawContext(offscreen.get());
  DestroyContextsAwaitingDestruction();
  host.reset();
  worldWindow.reset();
  OurDisposeGWorld(gWorld);
  gRendererHooks = {};
}
BENCHMARK(BM_GridFrameOnscreenBesideOffscreen)->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace
