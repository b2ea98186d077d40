// zl_render2d contour "f" out.png [levels.json] | density "f" out.png |
// rgb|hsv "f1" "f2" "f3" out.png: the plot over the default 2-D view of
// 400 x 400 pixels. The contour's levels and segments can be dumped as JSON.
#include "tools/Render2DPlots.h"

#include <charconv>
#include <chrono>
#include <cstring>
#include <sstream>
#include <iostream>
#include <memory>
#include <string>
#include <thread>

#include "CoreUtilities/threads/JobQueue.h"
#include "CoreUtilities/drawing/ScopedSavers.h"
#include "evaluation/AnExpression.h"
#include "expression/ExpressionParser.h"
#include "graphpane/AGraphColor.h"
#include "graphs2d/A2DGraphView.h"
#include "graphs2d/AColorPlot.h"
#include "graphs2d/AContourPlot.h"
#include "graphs2d/ADensityPlot.h"
#include "platform/GuiApplication.h"
#include "platform/OurPort.h"
#include "tools/ProbeArguments.h"
#include "tools/SafeWriting.h"

namespace {

constexpr int kSize = 400;

std::string Number(double v) {
  char text[32];
  const auto [end, error] = std::to_chars(text, text + sizeof text, v);
  return error == std::errc() ? std::string(text, end) : std::string("null");
}

bool WriteContourJson(const AContourPlot& plot, const char* path) {
  std::ostringstream out;
  out << "{\"levels\": [";
  for (int32_t k = 0; plot.LevelsValid() && k < plot.LevelCount(); ++k) out << (k ? ", " : "") << Number(plot.Level(k));
  out << "],\n \"segments\": [";
  const auto& v = plot.Vertices();
  const auto& s = plot.Segments();
  for (int32_t k = 0; k < s.Count(); ++k) {
    const ContourVertex &a = v[s[k].first], &b = v[s[k].second];
    out << (k ? ",\n  " : "\n  ") << '[' << a.level << ", " << Number(a.x) << ", " << Number(a.y) << ", " << Number(b.x)
        << ", " << Number(b.y) << ']';
  }
  out << "]}\n";
  return SaveBytesSafely(path, out.str());
}

std::unique_ptr<A2DGraph> MakePlot(int argc, char** argv, const A2DTransform& t, int* next) {
  const std::string kind = argv[1];
  auto colour = std::make_unique<AGraphColor>();
  colour->fSolidColor = 0x0000FF;
  if (kind == "contour" || kind == "density") {
    std::unique_ptr<AnExpression> f(ExpressionFromText(argv[2]));
    *next = 3;
    if (!f) return nullptr;
    if (kind == "contour") return std::make_unique<AContourPlot>(std::move(f), 0.5, std::move(colour), t);
    return std::make_unique<ADensityPlot>(std::move(f), 0.5, std::move(colour), t);
  }
  *next = 5;
  if (argc < 6) return nullptr;
  std::unique_ptr<AnExpression> a(ExpressionFromText(argv[2])), b(ExpressionFromText(argv[3])),
      c(ExpressionFromText(argv[4]));
  if (!a || !b || !c) return nullptr;
  return std::make_unique<AColorPlot>(std::move(a), std::move(b), std::move(c), nullptr, kind == "hsv",
                                      std::move(colour), t);
}

}  // namespace

bool IsPlotFromTextCommand(const char* word) {
  for (const char* kind : {"contour", "density", "rgb", "hsv"}) {
    if (std::strcmp(word, kind) == 0) return true;
  }
  return false;
}

int RenderPlotFromText(int argc, char** argv) {
  if (argc < 4) {
    std::cerr << "usage: zl_render2d contour|density f out.png [levels.json] | rgb|hsv f1 f2 f3 out.png\n";
    return 2;
  }
  EnsureGuiApplication();
  StartComputeThreads();
  int status = 1;
  {
    A2DGraphView view;
    view.SetViewRect(MRect{0, 0, kSize, kSize});
    view.SetDefaultViewState();
    view.Resize();
    int next = 0;
    std::unique_ptr<A2DGraph> owned = MakePlot(argc, argv, view.GraphTransform(), &next);
    A2DGraph* plot = owned.get();
    if (plot && next < argc) view.AddGraph(std::move(owned));
    if (view.GraphCount() == 1) {
      while (!view.AreAllGraphsDoneComputing()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      std::unique_ptr<OurPort, void (*)(OurPort*)> port(NewOffscreenPort(QRect(0, 0, kSize, kSize)),
                                                        DisposeOffscreenPort);
      {
        APushPort push(port.get());
        view.Draw(true);
      }
      status = SaveImageSafely(port->image, argv[next], "PNG") ? 0 : 1;
      if (status == 0 && next + 1 < argc) {
        if (auto* contour = dynamic_cast<AContourPlot*>(plot))
          status = WriteContourJson(*contour, argv[next + 1]) ? 0 : 1;
      }
    } else {
      std::cerr << "no plot\n";
    }
  }
  StopComputeThreads();
  return status;
}
