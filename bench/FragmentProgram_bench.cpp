// Colour formulas as fragment programs. First, over the test corpus of
// colours, generating each program beside compiling the same formulas for
// the stack machine in the same run: the median of the per-colour ratios
// (the target is at most 2). Then a 79 x 79 grid surface at 800 x 600 on
// the offscreen OpenGL renderer coloured per pixel by its program, beside
// the same colour computed on the processor at every vertex (colours,
// CacheColorArray, draw): milliseconds per frame and per colour change for
// each, and their ratios, with no target.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/GraphBenchSupport.h"
#include "CoreUtilities/threads/JobQueue.h"
#include "CoreUtilities/drawing/OurGWorld.h"
#include "algebra/AlgebraStartup.h"
#include "evaluation/AnExpression.h"
#include "expression/ExpressionParser.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeRewriting.h"
#include "expression/VariableIds.h"
#include "graphpane/AGraphColor.h"
#include "graphpane/GraphColorGlobals.h"
#include "graphs3d/views/A3DGraphView.h"
#include "graphs3d/grid/AGridSurface.h"
#include "platform/GuiApplication.h"
#include "renderer/RendererHooks.h"
#include "shaders/ARBStrings.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// A colour formula as the pane makes it: r is the distance from the origin.
AnExpression* ColourFormula(const std::string& text) {
  ExpressionRecord* tree = CoreParseExpr(text.data(), int32_t(text.size()));
  if (tree) ReplaceAtoms(tree, kIdR, kIdRho);
  return tree ? new AnExpression(tree, nullptr) : nullptr;
}

struct CorpusColour {
  bool hsv = false, raw = false;
  std::unique_ptr<AnExpression> formulas[3], mask;
};

std::vector<CorpusColour> ReadCorpus() {
  std::ifstream in(ZL_TEST_DATA_DIR "/renderer/fragment_corpus.txt");
  std::vector<CorpusColour> corpus;
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    std::string group, kind, text[4];
    std::getline(fields, group, '\t');
    std::getline(fields, kind, '\t');
    for (std::string& t : text) std::getline(fields, t, '\t');
    CorpusColour c;
    c.hsv = kind == "hsv" || kind == "raw";
    c.raw = kind == "raw";
    for (int i = 0; i < 3; ++i)
      if (text[i] != "-") c.formulas[i].reset(ColourFormula(text[i]));
    if (text[3] != "-") c.mask.reset(ColourFormula(text[3]));
    corpus.push_back(std::move(c));
  }
  return corpus;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void BM_GenerateBesideCompile(benchmark::State& state) {
  std::vector<CorpusColour> corpus = ReadCorpus();
  if (corpus.size() < 200) {
    state.SkipWithError("corpus not found");
    return;
  }
  constexpr int kRepeats = 5;
  std::vector<double> generating(corpus.size()), compiling(corpus.size());
  for (auto _ : state) {
    for (size_t k = 0; k < corpus.size(); ++k) {
      CorpusColour& c = corpus[k];
      auto start = Clock::now();
      for (int r = 0; r < kRepeats; ++r) {
        std::vector<ExpressionRecord*> uniforms;
        const std::string text = c.formulas[0]
                                     ? OurGetARBString(c.formulas[0].get(), c.formulas[1].get(), c.formulas[2].get(),
                                                       c.mask.get(), c.hsv, &uniforms, c.raw, nullptr)
                                     : OurGetARBString(c.mask.get(), &uniforms, true, nullptr);
        benchmark::DoNotOptimize(text.data());
        for (ExpressionRecord* u : uniforms) DisposExpr(u);
      }
      generating[k] += Seconds(start);
      start = Clock::now();
      for (int r = 0; r < kRepeats; ++r) {
        if (c.formulas[0]) AnExpression::Compile(c.formulas[0].get(), c.formulas[1].get(), c.formulas[2].get());
        if (c.mask) AnExpression::Compile(c.mask.get());
      }
      compiling[k] += Seconds(start);
    }
  }
  std::vector<double> ratios;
  for (size_t k = 0; k < corpus.size(); ++k) ratios.push_back(generating[k] / compiling[k]);
  state.counters["median_vs_compile"] = Median(ratios);
  state.counters["largest_vs_compile"] = *std::max_element(ratios.begin(), ratios.end());
  state.SetLabel(std::to_string(corpus.size()) + " colours");
}
BENCHMARK(BM_GenerateBesideCompile)->Unit(benchmark::kMillisecond)->UseRealTime();

constexpr int kWidth = 800, kHeight = 600;
constexpr int32_t kColourParameter = 'a';
constexpr const char* kRefusedProgram = "!!ARBfp1.0\nMOV result.color, nonsense;\nEND\n";

OurPort* gWorld = nullptr;

void StartUp() {
  StartGraphWorkers();
  static const bool started = [] {
    gWorld = OurNewGWorld({0, 0, kHeight, kWidth});
    gRendererHooks.GetOffscreenGWorld = [](DocumentRecord*) { return gWorld; };
    gRendererHooks.BackgroundColor = [](DocumentRecord*) { return uint32_t(0xFFFFFF); };
    return true;
  }();
  (void)started;
}

std::unique_ptr<AnExpression> Formula(const char* text) {
  return std::make_unique<AnExpression>(CoreParseExpr(text, int32_t(std::strlen(text))), nullptr);
}

// z = sin(x) cos(y) over the square of side 6, coloured by three formulas of
// the point and a parameter, on the offscreen OpenGL renderer.
struct ColouredSurface {
  explicit ColouredSurface(bool program) {
    StartUp();
    view.SetViewRect(MRect{0, 0, kHeight, kWidth});
    view.ConstructContextNeededByGraphConstructors();
    SetDesiredRendererType(view.DrawContext(), kRendererOffscreen);
    view.Draw(true);
    double* u = view.Record().ranges[kCoordU];
    double* v = view.Record().ranges[kCoordV];
    u[0] = v[0] = -3, u[1] = v[1] = 3;
    auto colour = std::make_unique<AGraphColor>(view.DrawContext(), nullptr);
    colour->fType = AGraphColor::kRGBEquations;
    colour->fColorExpressions[0] = Formula("sin(3*x)*0.5+0.5");
    colour->fColorExpressions[1] = Formula("cos(2*y+a)*0.5+0.5");
    colour->fColorExpressions[2] = Formula("sqrt(x^2+y^2)/4");
    gInjectedFragmentProgram = program ? nullptr : kRefusedProgram;
    surface = new AGridSurface(Formula("u"), Formula("v"), Formula("sin(u)*cos(v)"), 1, 1, std::move(colour), nullptr,
                               kPlotSampling, u[0], u[1], v[0], v[1], view.DrawContext());
    gInjectedFragmentProgram = nullptr;
    view.AddGraph(std::unique_ptr<AGraph>(surface));
    Settle();
    usesProgram = surface->UsingShader();
  }
  void Settle() {
    while (!surface->IsDoneComputing()) std::this_thread::yield();
    view.SetViewParameter(kAttributeUpdateVertexObjects);
  }
  // A parameter of the colour changed, then the frame that shows it.
  void ChangeColour() {
    surface->InvalConstant(kColourParameter);
    Settle();
    view.Draw(true);
  }
  A3DGraphView view;
  AGridSurface* surface;
  bool usesProgram = false;
};

void BM_SurfaceColouredPerPixel(benchmark::State& state) {
  ColouredSurface onCard(true), onProcessor(false);
  if (!onCard.usesProgram || onProcessor.usesProgram) {
    state.SkipWithError("the surfaces did not take the paths asked for");
    return;
  }
  double frame[2] = {}, change[2] = {};
  int64_t runs = 0;
  ColouredSurface* both[2] = {&onCard, &onProcessor};
  for (auto _ : state) {
    for (int k = 0; k < 2; ++k) {
      auto start = Clock::now();
      benchmark::DoNotOptimize(both[k]->view.Draw(true));
      frame[k] += Seconds(start);
      start = Clock::now();
      both[k]->ChangeColour();
      change[k] += Seconds(start);
    }
    ++runs;
  }
  const double n = double(runs);
  state.counters["program_ms_per_frame"] = 1e3 * frame[0] / n;
  state.counters["processor_ms_per_frame"] = 1e3 * frame[1] / n;
  state.counters["frame_vs_processor"] = frame[0] / frame[1];
  state.counters["program_ms_per_change"] = 1e3 * change[0] / n;
  state.counters["processor_ms_per_change"] = 1e3 * change[1] / n;
  state.counters["change_vs_processor"] = change[0] / change[1];
  state.SetLabel("79 x 79 grid, 800 x 600, offscreen OpenGL");
}
BENCHMARK(BM_SurfaceColouredPerPixel)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
