#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "CoreUtilities/drawing/OurDrawing.h"
#include "CoreUtilities/drawing/ScopedSavers.h"
#include "graphpane/GraphColorConstants.h"
#include "graphpane/GraphColorGlobals.h"
#include "platform/OurPicture.h"
#include "tests/graphpane/GraphColorTestSupport.h"
#include "tests/platform/PortTestSupport.h"

namespace {

std::ifstream OpenData(const char* name) {
  std::ifstream in(std::string(ZL_TEST_DATA_DIR) + "/" + name);
  EXPECT_TRUE(in.good()) << name;
  return in;
}

struct Expected {
  GraphColorType type;
  uint32_t colour;
};

// The menu's table; codes it does not list are solid white.
std::vector<Expected> MenuTable() {
  std::vector<Expected> table(1001, Expected{AGraphColor::kSolid, kWhite});
  std::ifstream in = OpenData("graph_color_codes.txt");
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    int code = 0;
    Expected e{};
    fields >> code >> e.type >> std::hex >> e.colour;
    table.at(code) = e;
  }
  return table;
}

struct SurfacePicture {
  explicit SurfacePicture(OurPicture* p) { gSurfacePicture = p; }
  ~SurfacePicture() { gSurfacePicture = nullptr; }
};

TEST(AGraphColor, MenuCodesFollowTheTable) {
  const std::vector<Expected> table = MenuTable();
  for (int code = 0; code <= 1000; ++code) {
    AGraphColor colour;
    colour.Set(code);
    EXPECT_EQ(colour.fType, table[code].type) << code;
    EXPECT_EQ(colour.fSolidColor, table[code].colour) << code;
  }
  const double odd[] = {
      std::nan(""), std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(), -1, 1e300,
      998.999};
  for (double code : odd) {
    AGraphColor colour;
    colour.Set(code);
    EXPECT_EQ(colour.fType, AGraphColor::kSolid) << code;
    EXPECT_EQ(colour.fSolidColor, kWhite) << code;
  }
  AGraphColor truncated;
  truncated.Set(10.7);
  EXPECT_EQ(truncated.fType, AGraphColor::kCheckerboard);
  EXPECT_EQ(truncated.fSolidColor, kPurple);
}

TEST(AGraphColor, PictureCodeKeepsACopyAndShowsWhiteWithoutATexture) {
  OurPicture picture;
  picture.image = QImage(6, 4, QImage::Format_RGB32);
  picture.image.fill(Qt::red);
  picture.frame = QRect(0, 0, 6, 4);
  SurfacePicture placed(&picture);
  AGraphColor colour;
  colour.Set(999);
  colour.Set(999);  // the first copy is disposed, not leaked
  EXPECT_EQ(colour.fType, AGraphColor::kPictureTexture);
  EXPECT_EQ(colour.fSolidColor, kWhite);
  ASSERT_NE(colour.fPicture, nullptr);
  EXPECT_NE(colour.fPicture, &picture);
  EXPECT_EQ(colour.GetPictureWidth(), 6);
  EXPECT_FALSE(colour.CheckAndUpdateTexture());

  gSurfacePicture = nullptr;
  AGraphColor none;
  none.Set(999);
  EXPECT_EQ(none.fType, AGraphColor::kPictureTexture);
  EXPECT_EQ(none.fSolidColor, kWhite);
  EXPECT_EQ(none.fPicture, nullptr);
}

TEST(AGraphColor, MaximizeIntensityScalesTheLargestComponentToFull) {
  const struct {
    uint32_t in, out;
  } cases[] = {{kPurple, 0xFF00FF},  {kFrost, 0xFFFFFF},   {kOffBlack, kOffBlack}, {0x000000, 0x000000},
               {0x102030, 0x55AAFF}, {0x808000, 0xFFFF00}, {0x0000FF, 0x0000FF}};
  for (const auto& c : cases) {
    AGraphColor colour;
    colour.fSolidColor = c.in;
    colour.MaximizeIntensity();
    EXPECT_EQ(colour.fSolidColor, c.out) << std::hex << c.in;
  }
  AGraphColor map;
  map.Set(12);
  map.MaximizeIntensity();
  EXPECT_EQ(map.fSolidColor, kPurple);
}

TEST(AGraphColor, KindsAnswerTheirQuestions) {
  for (GraphColorType t = 0; t <= 13; ++t) {
    AGraphColor colour;
    colour.fType = t;
    EXPECT_EQ(colour.IsGradientColor(), t == 4 || t == 5 || t == 9 || t == 10) << t;
    EXPECT_EQ(colour.IsDiscreteColor(), t == 1 || t == 2 || t == 3 || t == 6 || t == 7) << t;
    EXPECT_FALSE(colour.Contains(120));
  }
  auto rgb = EquationColour(AGraphColor::kRGBEquations, "x", "1", "n");
  EXPECT_TRUE(rgb->Contains(120));
  EXPECT_FALSE(rgb->Contains(121));
  rgb->fSavedType = rgb->fType;
  rgb->fType = AGraphColor::kFragmentProgram;
  EXPECT_TRUE(rgb->Contains(120));
}

TEST(AGraphColor, RgbEquationsClampEachComponent) {
  auto colour = EquationColour(AGraphColor::kRGBEquations, "1.5", "sqrt(-1)", "-2");
  double r = -1, g = -1, b = -1;
  colour->ComputeExplicitColor(0, 0, 0, 0, 0, 0, &r, &g, &b);
  EXPECT_EQ(r, 1.0);
  EXPECT_EQ(g, 0.0);
  EXPECT_EQ(b, 0.0);
  // The arguments land where the equations read them: u, v, x, y, z, w.
  auto places = EquationColour(AGraphColor::kRGBEquations, "u + v", "x + y", "z + w");
  places->ComputeExplicitColor(0.1, 0.2, 0.3, 0.4, 0.25, 0.5, &r, &g, &b);
  EXPECT_DOUBLE_EQ(r, 0.3);
  EXPECT_DOUBLE_EQ(g, 0.7);
  EXPECT_DOUBLE_EQ(b, 0.75);
  places->ComputeExplicitColorIndexed(3, 0.2, 0.1, 0.5, &r, &g, &b);
  EXPECT_DOUBLE_EQ(g, 0.3);
  // Other kinds leave the outputs alone.
  AGraphColor solid;
  r = g = b = -7;
  solid.ComputeExplicitColor(0, 0, 0, 0, 0, 0, &r, &g, &b);
  EXPECT_EQ(r + g + b, -21);
}

TEST(AGraphColor, HsvEquationsAgreeWithColorsys) {
  auto colour = EquationColour(AGraphColor::kHSVEquations, "u", "v", "x");
  std::ifstream in = OpenData("graph_color_hsv.txt");
  std::string line;
  int rows = 0;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    double h, s, v, want[3], got[3];
    fields >> h >> s >> v >> want[0] >> want[1] >> want[2];
    colour->ComputeExplicitColor(h, s, v, 0, 0, 0, &got[0], &got[1], &got[2]);
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(got[c], want[c], 1e-12) << line;
    ++rows;
  }
  EXPECT_EQ(rows, 80);
}

TEST(AGraphColor, ComputePacksConstantEquations) {
  auto red = EquationColour(AGraphColor::kHSVEquations, "0", "1", "1");
  red->Compute();
  EXPECT_EQ(red->fSolidColor, 0xFF0000u);
  auto grey = EquationColour(AGraphColor::kRGBEquations, "0.5", "2", "0.999");
  grey->Compute();
  EXPECT_EQ(grey->fSolidColor, 0x7FFFFEu);
}

TEST(AGraphColor, CopyEvaluatesAsItsSource) {
  auto source = AngleHueColour();
  source->fSavedType = source->fType;
  source->fType = AGraphColor::kFragmentProgram;
  std::unique_ptr<AGraphColor> copy(AGraphColor::Copy(source.get()));
  source->fType = source->fSavedType;
  EXPECT_EQ(copy->fType, AGraphColor::kHSVEquations);
  EXPECT_EQ(copy->fFragmentProgram, nullptr);
  for (int i = 0; i < 3; ++i) EXPECT_NE(copy->fColorExpressions[i].get(), source->fColorExpressions[i].get());
  for (double angle = -3; angle < 3; angle += 0.37) {
    double a[3], b[3];
    source->ComputeExplicitColor(0, 0, std::cos(angle), std::sin(angle), 0, 0, &a[0], &a[1], &a[2]);
    copy->ComputeExplicitColor(0, 0, std::cos(angle), std::sin(angle), 0, 0, &b[0], &b[1], &b[2]);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(a[c], b[c]);
  }
  AGraphColor solid;
  solid.Set(5);
  std::unique_ptr<AGraphColor> other(AGraphColor::Copy(&solid, reinterpret_cast<MDrawContext*>(&solid)));
  EXPECT_EQ(other->fSolidColor, kCyan);
  EXPECT_EQ(other->fDrawContext, reinterpret_cast<MDrawContext*>(&solid));
}

// The swatches against the goldens painted from the table; hues may differ
// by one step of a channel where colorsys rounds the other way.
TEST(AGraphColor, LegendSwatchesMatchTheGoldens) {
  std::ifstream in = OpenData("graph_color_legends.txt");
  int kind, width, height, swatches = 0;
  while (in >> kind >> width >> height) {
    const int portWidth = width + 4, portHeight = height + 4;
    PortPtr port(NewOffscreenPort(QRect(0, 0, portWidth, portHeight)));
    AGraphColor colour;
    colour.fType = kind;
    colour.fSolidColor = kRed;
    {
      APushPort push(port.get());
      OurRGBForeColor(kGreen);
      colour.DrawLegend(MRect{2, 2, int16_t(2 + height), int16_t(2 + width)});
      EXPECT_EQ(port->foreColor, 0u);
    }
    const int tolerance = kind >= 4 && kind <= 7 ? 1 : 0;
    for (int v = 0; v < portHeight; ++v) {
      for (int h = 0; h < portWidth; ++h) {
        unsigned want = 0;
        in >> std::hex >> want >> std::dec;
        const uint32_t got = RgbAt(*port, h, v);
        for (int shift = 0; shift < 24; shift += 8) {
          const int d = int(got >> shift & 0xFF) - int(want >> shift & 0xFF);
          ASSERT_LE(std::abs(d), tolerance) << kind << " " << width << "x" << height << " at " << h << "," << v;
        }
      }
    }
    ++swatches;
  }
  EXPECT_EQ(swatches, 70);
}

TEST(AGraphColor, CentredPicturesAndEmptyPictures) {
  OurPicture picture;
  picture.image = QImage(4, 2, QImage::Format_RGB32);
  picture.image.fill(Qt::black);
  picture.frame = QRect(0, 0, 4, 2);
  SurfacePicture placed(&picture);
  AGraphColor colour;
  colour.Set(999);
  PortPtr port(NewOffscreenPort(QRect(0, 0, 20, 20)));
  const MRect clip{0, 0, 20, 20};
  {
    APushPort push(port.get());
    colour.DrawCenteredPicture(10, 10, clip, 2);  // 8 x 4 from (6, 8)
  }
  EXPECT_EQ(RgbAt(*port, 6, 8), 0u);
  EXPECT_EQ(RgbAt(*port, 13, 11), 0u);
  EXPECT_EQ(RgbAt(*port, 5, 8), kWhite);
  EXPECT_EQ(RgbAt(*port, 14, 11), kWhite);

  PortPtr scaled(NewOffscreenPort(QRect(0, 0, 20, 20)));
  {
    APushPort push(scaled.get());
    colour.DrawCenteredPictureScaledToSize(10, 10, clip, 8);  // 8 x 4 from (6, 8)
  }
  EXPECT_EQ(RgbAt(*scaled, 6, 8), 0u);
  EXPECT_EQ(RgbAt(*scaled, 13, 11), 0u);
  EXPECT_EQ(RgbAt(*scaled, 10, 12), kWhite);

  OurPicture empty;
  gSurfacePicture = &empty;
  AGraphColor blank;
  blank.Set(999);
  ASSERT_NE(blank.fPicture, nullptr);
  PortPtr untouched(NewOffscreenPort(QRect(0, 0, 20, 20)));
  {
    APushPort push(untouched.get());
    blank.DrawCenteredPictureScaledToSize(10, 10, clip, 8);
  }
  int ink = 0;
  for (int v = 0; v < 20; ++v) {
    for (int h = 0; h < 20; ++h) ink += RgbAt(*untouched, h, v) != kWhite;
  }
  EXPECT_EQ(ink, 0);
}

}  // namespace
