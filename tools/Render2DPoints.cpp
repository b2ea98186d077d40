#include "tools/Render2DPoints.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <iostream>
#include <map>
#include <memory>
#include <thread>
#include <utility>

#include "evaluation/AnExpression.h"
#include "tools/ProbeArguments.h"
#include "graphpane/AGraphColor.h"
#include "graphs2d/A2DGraphView.h"
#include "graphs2d/A2DVectorPlot.h"
#include "graphs2d/AData2DPlot.h"
#include "graphs2d/ADEPlot.h"
#include "graphs2d/APointPlot.h"
#include "graphs2d/AnArrowPlot.h"

namespace {

constexpr double kGrain = 0.5;

// Each kind with the part counts it takes.
const std::map<std::string, std::vector<size_t>> kKinds = {
    {"-pt", {2}}, {"-ar", {4}}, {"-vf", {2}}, {"-de", {1, 2}}, {"-ds", {3}}, {"-dt", {2}},
};

std::vector<std::string> Parts(const std::string& text) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find(';', start);
    parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

std::unique_ptr<AGraphColor> PlotColour(size_t index) {
  static const uint32_t kColours[] = {0x008000, 0xD00000, 0x0000D0, 0x9000A0};
  auto colour = std::make_unique<AGraphColor>();
  colour->fSolidColor = kColours[index % 4];
  return colour;
}

// The parts as expressions; false with a message when one can't be read.
using Formulas = std::vector<std::unique_ptr<AnExpression>>;

bool Expressions(const std::vector<std::string>& parts, DocumentRecord* document, Formulas* out) {
  for (const std::string& text : parts) {
    std::unique_ptr<AnExpression> e(ExpressionFromText(text, document));
    if (e == nullptr) {
      out->clear();
      return false;
    }
    out->push_back(std::move(e));
  }
  return true;
}

std::unique_ptr<A2DGraph> Make(const PlotArguments::Plot& plot, Formulas& e, std::unique_ptr<AGraphColor> colour,
                               const A2DTransform& t, DocumentRecord* document) {
  const std::string& k = plot.kind;
  auto take = [&e](size_t i) { return i < e.size() ? std::move(e[i]) : nullptr; };
  if (k == "-pt")
    return std::make_unique<APointPlot>(take(0), take(1), nullptr, nullptr, nullptr, std::move(colour), false, t);
  if (k == "-ar") return std::make_unique<AnArrowPlot>(take(0), take(1), take(2), take(3), std::move(colour), t);
  if (k == "-vf") return std::make_unique<A2DVectorPlot>(take(0), take(1), kGrain, std::move(colour), false, t);
  if (k == "-de") return std::make_unique<ADEPlot>(take(0), take(1), nullptr, nullptr, std::move(colour), kGrain, t);
  if (k == "-ds") return std::make_unique<ADEPlot>(take(0), nullptr, take(1), take(2), std::move(colour), kGrain, t);
  return std::make_unique<AData2DPlot>(take(0), take(1), std::move(colour), nullptr, nullptr, nullptr, nullptr, nullptr,
                                       t, document);
}

}  // namespace

bool ExtractPlotArguments(int* argc, char** argv, PlotArguments* out) {
  int kept = 1;
  for (int i = 1; i < *argc; ++i) {
    const auto kind = kKinds.find(argv[i]);
    if (kind == kKinds.end()) {
      argv[kept++] = argv[i];
      continue;
    }
    if (i + 1 >= *argc) {
      std::cerr << argv[i] << " needs a value\n";
      return false;
    }
    std::vector<std::string> parts = Parts(argv[++i]);
    const std::vector<size_t>& counts = kind->second;
    if (std::find(counts.begin(), counts.end(), parts.size()) == counts.end()) {
      std::cerr << kind->first << ": wrong number of parts separated by ';'\n";
      return false;
    }
    out->plots.push_back({kind->first, std::move(parts)});
  }
  *argc = kept;
  return true;
}

bool AddPlots(const PlotArguments& arguments, A2DGraphView* view, DocumentRecord* document) {
  for (size_t i = 0; i < arguments.plots.size(); ++i) {
    Formulas e;
    if (!Expressions(arguments.plots[i].parts, document, &e)) return false;
    const int32_t count = view->GraphCount();
    view->AddGraph(Make(arguments.plots[i], e, PlotColour(i), view->GraphTransform(), document));
    if (view->GraphCount() == count) {
      std::cerr << "no memory for another graph\n";
      return false;
    }
  }
  while (!view->AreAllGraphsDoneComputing()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return true;
}
