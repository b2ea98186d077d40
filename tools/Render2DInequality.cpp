#include "tools/Render2DInequality.h"

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
#include "expression/OperatorKinds.h"
#include "graphpane/AGraphColor.h"
#include "graphs2d/A2DGraphView.h"
#include "graphs2d/A2DInequality.h"
#include "platform/GuiApplication.h"
#include "platform/OurPort.h"
#include "tools/ProbeArguments.h"
#include "tools/Render2DPng.h"

namespace {

// The view, and the graph it owns, end before the workers do.
int DrawCondition(std::unique_ptr<AnExpression> condition, const char* path, int width, int height, int mode,
                  bool stats) {
  const bool equation = condition->Tree()->opcode == kOpEquals;
  auto colour = std::make_unique<AGraphColor>();
  colour->fSolidColor = equation ? 0x000000 : 0x3060C0;
  A2DGraphView view;
  view.SetViewRect(MRect{0, 0, static_cast<int16_t>(height), static_cast<int16_t>(width)});
  view.SetDefaultViewState();
  view.Resize();
  const int64_t start = OurGetMicroseconds();
  auto owned =
      std::make_unique<A2DInequality>(std::move(condition), std::unique_ptr<AnExpression>(ExpressionFromText("0")),
                                      std::move(colour), mode, equation, view.GraphTransform());
  A2DInequality* graph = owned.get();
  view.AddGraph(std::move(owned));
  if (view.GraphCount() == 0) return 1;
  while (!graph->IsDoneComputing()) std::this_thread::sleep_for(std::chrono::microseconds(100));
  const int64_t elapsed = OurGetMicroseconds() - start;
  if (stats) {
    const InequalityCounts n = graph->Counts();
    std::cout << "rectangles " << n.rectangles << " pixels " << n.pixels << " sub-boxes " << n.subBoxes << " points "
              << n.points << " done " << elapsed << " us\n";
  }
  std::unique_ptr<OurPort, void (*)(OurPort*)> port(NewOffscreenPort(QRect(0, 0, width, height)), DisposeOffscreenPort);
  if (!port) return 1;
  {
    APushPort push(port.get());
    view.Draw(true);
  }
  if (WritePng(port->image, path)) return 0;
  std::cerr << "not written: " << path << '\n';
  return 1;
}

}  // namespace

int RenderCondition(int argc, char** argv) {
  const auto argument = [&](int i) { return i < argc ? argv[i] : nullptr; };
  const int width = WholeArgument(argument(3), 800), height = WholeArgument(argument(4), 600),
            mode = WholeArgument(argument(5), 2);
  const bool stats = argument(6) && std::strcmp(argument(6), "stats") == 0;
  if (argc < 3 || width < 1 || height < 1 || width > 8000 || height > 8000 || mode < 0 || mode > 2) {
    std::cerr << "usage: zl_render2d --condition \"y < sin(x)\" out.png [width] [height] [mode 0|1|2] [stats]\n";
    return 2;
  }
  EnsureGuiApplication();
  std::unique_ptr<AnExpression> condition(ExpressionFromText(argv[1]));
  if (condition == nullptr) return 1;
  StartComputeThreads();
  const int status = DrawCondition(std::move(condition), argv[2], width, height, mode, stats);
  StopComputeThreads();
  return status;
}
