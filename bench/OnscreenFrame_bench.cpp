// OpenGL on screen beside the offscreen renderer with its read-back into the
// graph world, both on Mesa's llvmpipe, alternating in one run.
// - A frame of the lit 79 x 79 grid at 640 x 480 (microseconds a frame):
//   each frame finished ("drawn"; on screen the frame shows itself as it
//   ends), and each frame until its window has shown it ("shown": the
//   window's events handled, the world's painted).
// - A drag step in a document window of z = x*y (processor and wall
//   milliseconds a step, the llvmpipe threads' included): the view turns,
//   draws its frame and the window handles its events, as a drag's wait
//   lets it.
// Needs a display (`QT_QPA_PLATFORM=xcb xvfb-run -a`); without on-screen
// OpenGL it reports that and measures nothing.
#include <QApplication>
#include <QCoreApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <QWidget>
#include <QWindow>
#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <utility>

#include "app/AppCommands.h"
#include "bench/CpuClock.h"
#include "bench/WindowApplication.h"
#include "CoreUtilities/drawing/OurGWorld.h"
#include "document/DocumentIdle.h"
#include "document/DocumentRecord.h"
#include "graphpane/AGraphPane.h"
#include "platform/MouseSource.h"
#include "platform/OnscreenGL.h"
#include "platform/OurPort.h"
#include "renderer/Frame.h"
#include "renderer/M3DView.h"
#include "renderer/RendererGlobals.h"
#include "renderer/RendererHooks.h"
#include "renderer/Submission.h"
#include "tools/Render3DScene.h"
#include "window/DocumentMainWindow.h"
#include "window/GraphPaneWidget.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int16_t kWidth = 640, kHeight = 480;
constexpr int kFrames = 20;
constexpr int kDragSteps = 40;

OurPort* gWorld = nullptr;

// Shows the graph world, as the window's graph pane does.
class WorldWidget final : public QWidget {
 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.drawImage(0, 0, gWorld->image);
  }
};

// The application on a display; without on-screen OpenGL the benchmark is
// skipped, saying so.
bool StartedWithOnscreenGL(benchmark::State& state) {
  StartWindowApplication(WindowPlatform::kDisplayWhereThereIsOne);
  if (OurOnscreenGLAvailable()) return true;
  state.SkipWithError("no on-screen OpenGL: run on a display (QT_QPA_PLATFORM=xcb xvfb-run -a)");
  return false;
}

std::unique_ptr<QWidget> Shown(QWidget* widget) {
  widget->resize(kWidth, kHeight);
  widget->show();
  RunUntil([&] { return widget->windowHandle()->isExposed(); });
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
      if (GetRendererType(ctx) != kRendererOnscreen) shownIn->update();
      QCoreApplication::processEvents();
    }
  }
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / kFrames;
}

void BM_GridFrameOnscreenBesideOffscreen(benchmark::State& state) {
  if (!StartedWithOnscreenGL(state)) return;
  // The renderer answers this benchmark's world and colour alone.
  const RendererHooks windowHooks = std::exchange(gRendererHooks, RendererHooks{});
  gWorld = OurNewGWorld({0, 0, kHeight, kWidth});
  std::unique_ptr<QWidget> host = Shown(new QWidget), worldWindow = Shown(new WorldWidget);
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
  gRendererHooks = windowHooks;
}
BENCHMARK(BM_GridFrameOnscreenBesideOffscreen)->Iterations(10)->Unit(benchmark::kMillisecond);

// A drag that moves a few pixels each step, handling the window's events
// while it waits for the next move, as a drag of the user's does.
class StepsMouse final : public MouseSource {
 public:
  explicit StepsMouse(QPoint start) : fAt(start) {}
  bool IsButtonDown() override { return fSteps < kDragSteps; }
  bool WaitMouseUp(QPoint* where, double) override { return Next(where); }
  bool WaitMouseEvent(QPoint* where) override { return Next(where); }
  void FlushMouseEvents() override {}

 private:
  bool Next(QPoint* where) {
    QCoreApplication::processEvents();
    ++fSteps;
    fAt += QPoint(fSteps % 8 < 4 ? 5 : -5, 2);
    *where = fAt;
    return IsButtonDown();
  }

  QPoint fAt;
  int fSteps = 0;
};

struct StepCost {
  double processorMs = 0, wallMs = 0;
};

// One drag of the view, per step; the view is still before and after.
StepCost DragStep(DocumentMainWindow* window) {
  GraphPaneWidget* pane = window->GraphPane();
  StepsMouse mouse(pane->rect().center() - QPoint(0, kDragSteps));
  const double processor = ProcessCpuSeconds();
  const Clock::time_point wall = Clock::now();
  pane->PressWith(&mouse, pane->rect().center() - QPoint(0, kDragSteps));
  QCoreApplication::processEvents();
  const StepCost cost{(ProcessCpuSeconds() - processor) * 1e3 / kDragSteps,
                      std::chrono::duration<double, std::milli>(Clock::now() - wall).count() / kDragSteps};
  window->Document()->fGraphPane->SetViewParameter(kAttributeStopSpin, kBothViews);
  return cost;
}

// The window's 3-D view drawing on screen, or offscreen, from its next
// frame on.
void DrawOnScreen(DocumentMainWindow* window, bool onscreen) {
  gForceOffscreen = onscreen ? 0 : 1;
  window->Document()->fGraphPane->DisposeDrawContexts();
  window->GraphPane()->RedrawGraph();
  QCoreApplication::processEvents();
}

void BM_WindowDragStepOnscreenBesideOffscreen(benchmark::State& state) {
  if (!StartedWithOnscreenGL(state)) return;
  QTemporaryDir folder;
  const QString path = folder.path() + "/drag.zlf";
  std::ofstream(path.toStdString(), std::ios::binary)
      << "Zentrolabworksheet 4;\n3D.Axis 0 0 -1;\n3D.Speed 0;\nExpr z = x*y;\n";
  DocumentMainWindow* window = OpenDocumentWindow(path);
  if (window == nullptr) {
    state.SkipWithError("the document did not open");
    return;
  }
  window->show();
  RunUntil([&] { return window->windowHandle()->isExposed() && IsDocumentGraphDone(window->Document()); });
  const auto renderer = [&] {
    return GetRendererType(window->Document()->fGraphPane->View3D(0)->Record().drawContext);
  };
  StepCost onscreen, offscreen;
  bool both = true;
  for (auto _ : state) {
    for (const bool shownOnScreen : {true, false}) {
      DrawOnScreen(window, shownOnScreen);
      const StepCost cost = DragStep(window);
      both = both && renderer() == (shownOnScreen ? kRendererOnscreen : kRendererOffscreen);
      StepCost& sum = shownOnScreen ? onscreen : offscreen;
      sum.processorMs += cost.processorMs;
      sum.wallMs += cost.wallMs;
    }
  }
  if (!both) state.SkipWithError("the renderers asked for were not the ones made");
  const double n = double(state.iterations());
  state.counters["onscreen_step_cpu_ms"] = onscreen.processorMs / n;
  state.counters["offscreen_step_cpu_ms"] = offscreen.processorMs / n;
  state.counters["step_cpu_ratio"] = onscreen.processorMs / offscreen.processorMs;
  state.counters["onscreen_step_wall_ms"] = onscreen.wallMs / n;
  state.counters["offscreen_step_wall_ms"] = offscreen.wallMs / n;
  state.counters["step_wall_ratio"] = onscreen.wallMs / offscreen.wallMs;
  gForceOffscreen = 0;
  window->Document()->fModified = false;
  window->close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
BENCHMARK(BM_WindowDragStepOnscreenBesideOffscreen)->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
