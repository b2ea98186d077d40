#include "tools/Render2DCurves.h"

#include <charconv>
#include <chrono>
#include <cstring>
#include <iostream>
#include <thread>

#include "CoreUtilities/JobQueue.h"
#include "evaluation/AnExpression.h"
#include "tools/ProbeArguments.h"
#include "expression/VariableIds.h"
#include "graphpane/AGraphColor.h"
#include "graphs2d/A2DGraphView.h"
#include "graphs2d/AFunctionOf_XorY.h"
#include "graphs2d/AParametricCurve.h"

namespace {

AnExpression* Compiled(const std::string& text, int32_t variable) {
  AnExpression* e = ExpressionFromText(text);
  if (e != nullptr) e->ReplaceAtoms(variable, kIdU);
  return e;
}

AGraphColor* Colour(size_t index) {
  static const uint32_t kColours[] = {0xD00000, 0x0000D0, 0x008000, 0x9000A0};
  auto* colour = new AGraphColor;
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
    A2DGraph* graph = nullptr;
    if (curve.parametric) {
      const size_t split = curve.text.find(';');
      AnExpression* x = split == std::string::npos ? nullptr : Compiled(Trimmed(curve.text.substr(0, split)), 't');
      AnExpression* y = x ? Compiled(Trimmed(curve.text.substr(split + 1)), 't') : nullptr;
      if (y == nullptr) {
        delete x;
        std::cerr << "-p takes \"x(t); y(t)\"\n";
        return false;
      }
      graph = new AParametricCurve(x, y, Colour(i), 0.5, kSelectParametric, view->GraphTransform(),
                                   view->Record().ranges[kCoordT][0], view->Record().ranges[kCoordT][1]);
    } else {
      const size_t equals = curve.text.find('=');
      const std::string left = equals == std::string::npos ? "" : Trimmed(curve.text.substr(0, equals));
      if (left != "y" && left != "x") {
        std::cerr << "-f takes \"y = f(x)\" or \"x = f(y)\"\n";
        return false;
      }
      const bool yOfX = left == "y";
      AnExpression* f = Compiled(curve.text.substr(equals + 1), yOfX ? kIdX : kIdY);
      if (f == nullptr) return false;
      graph = new AFunctionOf_XorY(f, yOfX, Colour(i), curve.mode, view->GraphTransform());
    }
    if (view->AddGraph(graph) != 0) {
      delete graph;
      std::cerr << "no memory for another graph\n";
      return false;
    }
  }
  while (!view->AreAllGraphsDoneComputing()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return true;
}
