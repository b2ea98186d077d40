// The process's CPU time over a fixed wall time while document windows
// stand open, beside the same process with its windows closed: three quiet
// 2-D documents, and one spinning z = x*y at the default window size (on
// the offscreen platform unless another is set). Counters: the share of a
// core each case takes, the closed baseline's, and their difference.
#include "bench/CpuClock.h"
#include "bench/WindowApplication.h"
#include "app/AppCommands.h"
#include "document/DocumentIdle.h"
#include "document/DocumentRecord.h"
#include "window/DocumentMainWindow.h"

#include <QApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <ctime>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kWallMilliseconds = 10000;

// The share of one core the process used while the event loop ran.
double CoreShareOver(int milliseconds) {
  const double before = ProcessCpuSeconds();
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
  return (ProcessCpuSeconds() - before) / (milliseconds * 1e-3);
}

std::vector<DocumentMainWindow*> OpenGraphed(const QTemporaryDir& folder, const std::vector<std::string>& documents) {
  std::vector<DocumentMainWindow*> windows;
  for (size_t i = 0; i < documents.size(); ++i) {
    const QString path = folder.path() + QString("/d%1.zlf").arg(i);
    std::ofstream(path.toStdString(), std::ios::binary) << documents[i];
    DocumentMainWindow* window = OpenDocumentWindow(path);
    if (!window) continue;
    window->show();
    windows.push_back(window);
  }
  RunUntil([&] {
    for (DocumentMainWindow* w : windows)
      if (!IsDocumentGraphDone(w->Document())) return false;
    return true;
  });
  return windows;
}

void CloseAll(std::vector<DocumentMainWindow*>& windows) {
  for (DocumentMainWindow* window : windows) {
    window->Document()->fModified = false;
    window->close();
  }
  windows.clear();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void WindowsBesideNone(benchmark::State& state, const std::vector<std::string>& documents) {
  StartWindowApplication(WindowPlatform::kOffscreen);
  QTemporaryDir folder;
  for (auto _ : state) {
    std::vector<DocumentMainWindow*> windows = OpenGraphed(folder, documents);
    CoreShareOver(500);  // the first frames and the settling after the graphs
    const double open = CoreShareOver(kWallMilliseconds);
    CloseAll(windows);
    const double closed = CoreShareOver(kWallMilliseconds);
    state.counters["core_share_open"] = open;
    state.counters["core_share_closed"] = closed;
    state.counters["core_share_of_windows"] = open - closed;
  }
}

const std::string kQuiet = "Zentrolabworksheet 4;\nExpr y = sin(x);\nExpr x^2 + y^2 < 4;\n";

void BM_ThreeQuietWindows(benchmark::State& state) { WindowsBesideNone(state, {kQuiet, kQuiet, kQuiet}); }
BENCHMARK(BM_ThreeQuietWindows)->Iterations(1)->Unit(benchmark::kSecond);

void BM_SpinningSurface(benchmark::State& state) {
  WindowsBesideNone(state, {"Zentrolabworksheet 4;\nExpr z = x*y;\n"});
}
BENCHMARK(BM_SpinningSurface)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
