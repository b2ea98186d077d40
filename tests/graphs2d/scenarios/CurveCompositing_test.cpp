// Every 2-D curve kind tints what lies below it, so that the graph paper and
// the regions under it show through: over a pixel (R, G, B) of luminance
// L = (77 R + 150 G + 29 B) / 255 (integer division; 256 on the grid-line
// colour 0xCCFFFF, which curves keep their colour over) a curve of colour
// (r, g, b) leaves ((L r) >> 8, (L g) >> 8, (L b) >> 8).
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "graphs2d/A2DInequality.h"
#include "graphs2d/AContourPlot.h"
#include "graphs2d/ADEPlot.h"
#include "graphs2d/AFunctionOf_XorY.h"
#include "graphs2d/AParametricCurve.h"
#include "graphs2d/APointPlot.h"
#include "tests/graphs2d/FunctionGraphTestSupport.h"
#include "tests/platform/PortTestSupport.h"

namespace {

constexpr int kSide = 200;
constexpr uint32_t kCurve = 0xFF0000;
constexpr uint32_t kRegion = 0x402060;  // a dark filled region over the left half
constexpr uint32_t kGridLine = 0xCCFFFF;

uint32_t Expected(uint32_t colour, uint32_t below) {
  const int r = int(below >> 16 & 0xFF), g = int(below >> 8 & 0xFF), b = int(below & 0xFF);
  const int luminance = below == kGridLine ? 256 : (77 * r + 150 * g + 29 * b) / 255;
  uint32_t out = 0;
  for (int shift : {16, 8, 0}) out |= uint32_t((luminance * int(colour >> shift & 0xFF)) >> 8) << shift;
  return out;
}

// The picture a curve is drawn over: the region on the left, white paper on
// the right, one grid line down column 150.
uint32_t Below(int h) { return h < kSide / 2 ? kRegion : h == 150 ? kGridLine : 0xFFFFFF; }

struct Kind {
  const char* name;
  std::function<std::unique_ptr<A2DGraph>(const A2DTransform&)> make;
  // Drawn in shades of the colour (contour levels): only the bound is known.
  bool shades = false;
};

const double tmin = 0, tmax = 2 * std::acos(-1.0), rmax = 6;

std::vector<Kind> Kinds() {
  return {
      {"y = f(x)",
       [](const A2DTransform& t) {
         return std::make_unique<AFunctionOf_XorY>(CurveExpression("sin(3*x)"), true, SolidColour(kCurve),
                                                   kPlotIntervalPixelTests, t);
       }},
      {"x = f(y)",
       [](const A2DTransform& t) {
         return std::make_unique<AFunctionOf_XorY>(CurveExpression("cos(2*y)", kIdY), false, SolidColour(kCurve),
                                                   kPlotSampling, t);
       }},
      {"implicit curve",
       [](const A2DTransform& t) {
         return std::make_unique<A2DInequality>(MakeExpression("x^2 + y^2 = 1"), MakeExpression("x^2 + y^2 - 1"),
                                                SolidColour(kCurve), 2, true, t);
       }},
      {"parametric curve",
       [](const A2DTransform& t) {
         return std::make_unique<AParametricCurve>(CurveExpression("1.5*sin(3*t)", 't'),
                                                   CurveExpression("1.5*cos(2*t)", 't'), SolidColour(kCurve), 0.5,
                                                   kSelectParametric, t, tmin, tmax);
       }},
      {"polar curve r = theta",
       [](const A2DTransform& t) {
         return std::make_unique<AParametricCurve>(CurveExpression("t*cos(t)/3", 't'),
                                                   CurveExpression("t*sin(t)/3", 't'), SolidColour(kCurve), 0.5,
                                                   kSelectParametric, t, tmin, rmax);
       }},
      {"differential equation",
       [](const A2DTransform& t) {
         return std::make_unique<ADEPlot>(Formula("x"), nullptr, Formula("-1"), Formula("-0.5"), SolidColour(kCurve),
                                          0.5, t);
       }},
      {"contours",
       [](const A2DTransform& t) {
         return std::make_unique<AContourPlot>(MakeExpression("x*y"), 0.5, SolidColour(kCurve), t);
       },
       true},
      {"point",
       [](const A2DTransform& t) {
         return std::make_unique<APointPlot>(Formula("0"), Formula("0.5"), nullptr, nullptr, nullptr,
                                             SolidColour(kCurve), false, t);
       }},
  };
}

using CurveCompositing = FunctionGraphTest;

TEST_F(CurveCompositing, EveryCurveKindTintsWhatLiesBelow) {
  const A2DTransform t = CentredTransform(kSide, kSide, 2);
  for (const Kind& kind : Kinds()) {
    SCOPED_TRACE(kind.name);
    std::unique_ptr<A2DGraph> graph = kind.make(t);
    WaitUntilDone(*graph);
    PortPtr port(NewOffscreenPort(QRect(0, 0, kSide, kSide)));
    for (int v = 0; v < kSide; ++v)
      for (int h = 0; h < kSide; ++h) *PortPixel(*port, h, v) = 0xFF000000u | Below(h);
    {
      APushPort push(port.get());
      graph->Draw();
    }
    int overRegion = 0, overPaper = 0, wrong = 0;
    for (int v = 0; v < kSide; ++v)
      for (int h = 0; h < kSide; ++h) {
        const uint32_t below = Below(h), drawn = RgbAt(*port, h, v);
        if (drawn == below) continue;
        (below == kRegion ? overRegion : overPaper) += 1;
        const uint32_t full = Expected(kCurve, below);
        const bool right = kind.shades ? (drawn & 0xFFFF) == 0 && (drawn >> 16) <= (full >> 16) : drawn == full;
        if (!right && wrong++ < 3) ADD_FAILURE() << "pixel " << h << ", " << v << ": " << std::hex << drawn;
      }
    EXPECT_GT(overRegion, 3);
    EXPECT_GT(overPaper, 3);
    EXPECT_EQ(wrong, 0);
  }
}

}  // namespace
