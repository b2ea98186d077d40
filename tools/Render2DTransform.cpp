#include "tools/Render2DTransform.h"

#include <charconv>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <thread>

#include "CoreUtilities/threads/JobQueue.h"
#include "CoreUtilities/OurTime.h"
#include "CoreUtilities/drawing/ScopedSavers.h"
#include "evaluation/AnExpression.h"
#include "expression/ExpressionParser.h"
#include "graphpane/AGraphColor.h"
#include "graphs2d/A2DGraphView.h"
#include "graphs2d/A2DInequality.h"
#include "graphs2d/ATextureMapPlot.h"
#include "graphs2d/ATransformPlot.h"
#include "platform/GuiApplication.h"
#include "platform/OurPort.h"
#include "tools/ProbeArguments.h"
#include "tools/Render2DPng.h"

namespace {

std::unique_ptr<AnExpression> Parse(const std::string& text) {
  return std::unique_ptr<AnExpression>(ExpressionFromText(text));
}

void WaitFor(A2DGraph& graph) {
  while (!graph.IsDoneComputing()) std::this_thread::sleep_for(std::chrono::microseconds(100));
}

// Both views end, with their graphs, before the workers do.
int Draw(bool forward, std::unique_ptr<AnExpression> f, std::unique_ptr<AnExpression> g,
         std::unique_ptr<AnExpression> condition, const char* path, int width, int height, double grain) {
  const MRect rect{0, 0, static_cast<int16_t>(height), static_cast<int16_t>(width)};
  A2DGraphView first, second;
  for (A2DGraphView* view : {&first, &second}) {
    view->SetViewRect(rect);
    view->SetDefaultViewState();
    view->Resize();
  }
  auto colour = std::make_unique<AGraphColor>();
  colour->fSolidColor = 0x3060C0;
  auto filled = std::make_unique<A2DInequality>(std::move(condition), Parse("0"), std::move(colour), 2, false,
                                                first.GraphTransform());
  WaitFor(*filled);
  first.AddGraph(std::move(filled));
  std::unique_ptr<OurPort, void (*)(OurPort*)> port(NewOffscreenPort(QRect(0, 0, width, height)), DisposeOffscreenPort);
  if (!port) return 1;
  APushPort push(port.get());
  first.Draw(true);
  second.Draw(true);
  AListGenericSmall<int32_t> sources;
  sources.Add(0);
  std::unique_ptr<A2DGraph> plot;
  if (forward) {
    plot = std::make_unique<ATextureMapPlot>(std::move(f), std::move(g), std::make_unique<AGraphColor>(), grain,
                                             second.GraphTransform(), first, &sources);
  } else {
    plot = std::make_unique<ATransformPlot>(std::move(f), std::move(g), std::make_unique<AGraphColor>(),
                                            second.GraphTransform(), first, &sources);
  }
  WaitFor(*plot);
  second.AddGraph(std::move(plot));
  const int64_t start = OurGetMicroseconds();
  second.Draw(true);
  std::cout << "draw " << OurGetMicroseconds() - start << " us\n";
  if (WritePng(port->image, path)) return 0;
  std::cerr << "not written: " << path << '\n';
  return 1;
}

}  // namespace

int RenderTransform(int argc, char** argv) {
  const auto argument = [&](int i) { return i < argc ? argv[i] : nullptr; };
  const int width = WholeArgument(argument(6), 800), height = WholeArgument(argument(7), 600);
  const double grain = NumberArgument(argument(8), 0.5);
  const bool forward = argc > 1 && std::strcmp(argv[1], "forward") == 0;
  const bool inverse = argc > 1 && std::strcmp(argv[1], "inverse") == 0;
  if (argc < 6 || !(forward || inverse) || width < 1 || height < 1 || width > 8000 || height > 8000 || grain < 0) {
    std::cerr << "usage: zl_render2d --transform inverse|forward \"f\" \"g\" \"y < sin(x)\" out.png [width] [height]"
                 " [grain]\n";
    return 2;
  }
  EnsureGuiApplication();
  auto f = Parse(argv[2]), g = Parse(argv[3]), condition = Parse(argv[4]);
  if (!f || !g || !condition) {
    std::cerr << "not a formula\n";
    return 1;
  }
  StartComputeThreads();
  const int status = Draw(forward, std::move(f), std::move(g), std::move(condition), argv[5], width, height, grain);
  StopComputeThreads();
  return status;
}
