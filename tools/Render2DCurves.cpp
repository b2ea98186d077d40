#include "tools/Render2DCurves.h"

#include <charconv>
#include <chrono>
#include <cstring>
#include <iostream>
#include <memory>
#include <thread>
#include <utility>

#include "CoreUtilities/threads/JobQueue.h"
#include "evaluation/AnExpression.h"
#include "tools/ProbeArguments.h"
#include "expression/VariableIds.h"
#include "graphpane/AGraphColor.h"
#include "graphs2d/A2DGraphView.h"
#include "graphs2d/AFunctionOf_XorY.h"
#include "graphs2d/AParametricCurve.h"

namespace {

std::unique_ptr<AnExpression> CurveFormula(const std::string& text, int32_t variable) {
  std::unique_ptr<AnExpression> e(ExpressionFromText(text));
  if (e != nullptr) e->ReplaceAtoms(variable, kIdU);
  return e;
}

std::unique_ptr<AGraphColor> CurveColour(size_t index) {
  static const uint32_t kColours[] = {0xD00000, 0x0000D0, 0x008000, 0x9000A0};
  auto colour = std::make_unique<AGraphColor>();
  colour->fSolidColor = kColours[index % 4];
  return colour;
}

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(' '), last = text.find_last_not_of(' ');
  return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

}  // namespace

CurveWorkers::CurveWorkers() { StartComputeThreads(); }
CurveWorkers::~CurveWorkers() { StopComputeThreads(); }

bool ExtractCurveArguments(int* argc, char** argv, CurveArguments* out) {
  int kept = 1, mode = kPlotIntervalPixelTests;
  for (int i = 1; i < *argc; ++i) {
    const bool function = std::strcmp(argv[i], "-f") == 0, parametric = std::strcmp(argv[i], "-p") == 0;
    const bool modeFlag = std::strcmp(argv[i], "-m") == 0;
    if (!function && !parametric && !modeFlag) {
      argv[kept++] = argv[i];
      continue;
    }
    if (i + 1 >= *argc) {
      std::cerr << argv[i] << " needs a value\n";
      return false;
    }
    const char* value = argv[++i];
    if (modeFlag) {
      const auto [end, error] = std::from_chars(value, value + std::strlen(value), mode);
      if (error != std::errc() || *end != '\0' || mode < 0 || mode > 2) {
        std::cerr << "-m takes 0, 1 or 2\n";
        return false;
      }
      continue;
    }
    out->curves.push_back({value, parametric, mode});
  }
  *argc = kept;
  return true;
}

bool AddCurves(const CurveArguments& arguments, A2DGraphView* view) {
  if (arguments.curves.empty()) return true;
  for (size_t i = 0; i < arguments.curves.size(); ++i) {
    const CurveArguments::Curve& curve = arguments.curves[i];
    std::unique_ptr<A2DGraph> graph;
    if (curve.parametric) {
      const size_t split = curve.text.find(';');
      std::unique_ptr<AnExpression> x =
          split == std::string::npos ? nullptr : CurveFormula(Trimmed(curve.text.substr(0, split)), 't');
      std::unique_ptr<AnExpression> y = x ? CurveFormula(Trimmed(curve.text.substr(split + 1)), 't') : nullptr;
      if (y == nullptr) {
        std::cerr << "-p takes \"x(t); y(t)\"\n";
        return false;
      }
      graph = std::make_unique<AParametricCurve>(std::move(x), std::move(y), CurveColour(i), 0.5, kSelectParametric,
                                                 view->GraphTransform(), view->Record().ranges[kCoordT][0],
                                                 view->Record().ranges[kCoordT][1]);
    } else {
      const size_t equals = curve.text.find('=');
      const std::string left = equals == std::string::npos ? "" : Trimmed(curve.text.substr(0, equals));
      if (left != "y" && left != "x") {
        std::cerr << "-f takes \"y = f(x)\" or \"x = f(y)\"\n";
        return false;
      }
      const bool yOfX = left == "y";
      std::unique_ptr<AnExpression> f = CurveFormula(curve.text.substr(equals + 1), yOfX ? kIdX : kIdY);
      if (f == nullptr) return false;
      graph =
          std::make_unique<AFunctionOf_XorY>(std::move(f), yOfX, CurveColour(i), curve.mode, view->GraphTransform());
    }
    const int32_t count = view->GraphCount();
    view->AddGraph(std::move(graph));
    if (view->GraphCount() == count) {
      std::cerr << "no memory for another graph\n";
      return false;
    }
  }
  while (!view->AreAllGraphsDoneComputing()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return true;
}
