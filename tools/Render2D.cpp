// Renders a document's 2-D view headless: zl_render2d doc.zlf out.png
// [view 0|1] [width] [height], with the curves of Render2DCurves.h and the
// plots of Render2DPoints.h added.
// Prints the draw time in microseconds.
// zl_render2d --condition ...: see Render2DInequality.h.
// zl_render2d contour|density|rgb|hsv ...: see Render2DPlots.h.
// zl_render2d --transform ...: see Render2DTransform.h.
#include "CoreUtilities/OurTime.h"
#include "CoreUtilities/drawing/ScopedSavers.h"
#include "document/DocumentHooks.h"
#include "graphpane/GraphHooks.h"
#include "graphs2d/A2DGraphView.h"
#include "platform/GuiApplication.h"
#include "platform/OurPort.h"
#include "tools/DocumentFile.h"
#include "tools/ProbeArguments.h"
#include "tools/Render2DCurves.h"
#include "tools/Render2DInequality.h"
#include "tools/Render2DPlots.h"
#include "tools/Render2DPoints.h"
#include "tools/Render2DPng.h"
#include "tools/Render2DTransform.h"

#include <charconv>
#include <cstring>
#include <iostream>
#include <memory>

namespace {

bool gUseAntialiasing = false;

int Argument(int argc, char** argv, int index, int fallback) {
  return WholeArgument(index < argc ? argv[index] : nullptr, fallback);
}

StoredView2D StoredView(const DocumentContents& c, int which) {
  const View2DSettings& v = which == 0 ? c.pane.view2D : c.pane.view2Dp;
  StoredView2D s{};
  for (int i = 0; i < 2; ++i) {
    s.t[i] = v.t[i], s.r[i] = v.r[i], s.theta[i] = v.theta[i];
    s.scale[i] = v.scale[i], s.bottomLeft[i] = v.bottomLeft[i], s.tickState[i] = v.integers[i];
  }
  s.axes = which == 0 ? c.pane.axes2D : c.pane.axes2Dp;
  s.graphPaper = which == 0 ? c.pane.graphPaper2D : c.pane.graphPaper2Dp;
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  if (argc > 1 && std::strcmp(argv[1], "--condition") == 0) return RenderCondition(argc - 1, argv + 1);
  if (argc > 1 && IsPlotFromTextCommand(argv[1])) return RenderPlotFromText(argc, argv);
  if (argc > 1 && std::strcmp(argv[1], "--transform") == 0) return RenderTransform(argc - 1, argv + 1);
  CurveArguments curves;
  PlotArguments plots;
  if (!ExtractCurveArguments(&argc, argv, &curves) || !ExtractPlotArguments(&argc, argv, &plots)) return 2;
  const int which = Argument(argc, argv, 3, 0), width = Argument(argc, argv, 4, 800),
            height = Argument(argc, argv, 5, 600);
  if (argc < 3 || (which != 0 && which != 1) || width < 1 || height < 1 || width > 8000 || height > 8000) {
    std::cerr << "usage: zl_render2d document.zlf out.png [view 0|1] [width 1..8000] [height 1..8000]"
                 " [-m mode] [-f \"y=f(x)\"] [-p \"x(t); y(t)\"] [-pt|-ar|-vf|-de|-ds|-dt \"...\"] ...\n";
    return 2;
  }
  EnsureGuiApplication();
  InstallDocumentHooks();
  auto document = ReadDocumentFile(argv[1]);
  if (!document) return 1;
  const DocumentContents& c = document->fContents;
  gUseAntialiasing = c.useAntialiasing;
  gRendererHooks.UseSampleBuffer = [](DocumentRecord*) { return gUseAntialiasing; };

  CurveWorkers workers;
  A2DGraphView view;
  view.SetDocument(document.get());
  view.SetViewRect(MRect{0, 0, static_cast<int16_t>(height), static_cast<int16_t>(width)});
  view.InstallViewState(StoredView(c, which));
  for (const GraphPicture& p : which == 0 ? c.pictures2D : c.pictures2Dp) {
    if (view.AddStoredPicture(p.picture, p.first, p.second) != 0) std::cerr << "picture left out\n";
  }
  view.Resize();
  if (!AddCurves(curves, &view) || !AddPlots(plots, &view, document.get())) return 1;

  std::unique_ptr<OurPort, void (*)(OurPort*)> port(NewOffscreenPort(QRect(0, 0, width, height)), DisposeOffscreenPort);
  if (!port) {
    std::cerr << "no memory for a " << width << " x " << height << " picture\n";
    return 1;
  }
  const int64_t start = OurGetMicroseconds();
  {
    APushPort push(port.get());
    view.Draw(true);
  }
  std::cout << "draw " << OurGetMicroseconds() - start << " us\n";
  if (!WritePng(port->image, argv[2])) {
    std::cerr << "not written: " << argv[2] << '\n';
    return 1;
  }
  return 0;
}
