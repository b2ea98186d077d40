#include "CoreUtilities/drawing/HSVColor.h"

#include "CoreUtilities/MathConstants.h"
#include "tests/CoreUtilities/DataLines.h"

#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Rgb = std::array<double, 3>;

Rgb ToRgb(double hue, double saturation, double value) {
  Rgb rgb{7, 7, 7};
  OurHSVtoRGB(hue, saturation, value, &rgb[0], &rgb[1], &rgb[2]);
  return rgb;
}

}  // namespace

TEST(HSVColor, AgreesWithColorsys) {
  const std::vector<std::string> lines = DataLines("hsv_reference.txt");
  EXPECT_GT(lines.size(), 500u);
  for (const std::string& line : lines) {
    double x[6];
    std::istringstream(line) >> x[0] >> x[1] >> x[2] >> x[3] >> x[4] >> x[5];
    const Rgb rgb = ToRgb(x[0], x[1], x[2]);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(rgb[i], x[3 + i], 1e-12) << line;
  }
}

TEST(HSVColor, OnlyTheFractionOfTheHueCounts) {
  for (double hue : {0.0, 0.1, 0.37, 0.5, 0.93}) {
    const Rgb once = ToRgb(hue, 0.8, 0.9);
    for (double turns : {-3.0, -1.0, 1.0, 2.0}) {
      const Rgb turned = ToRgb(hue + turns, 0.8, 0.9);
      for (int i = 0; i < 3; ++i) EXPECT_NEAR(turned[i], once[i], 1e-9) << hue << " " << turns;
    }
  }
  EXPECT_EQ(ToRgb(1.5, 1, 1), (Rgb{0, 1, 1}));
  EXPECT_EQ(ToRgb(-1e-17, 1, 1), (Rgb{1, 0, 0}));   // wraps to exactly 1: red, not magenta
  EXPECT_EQ(ToRgb(-0.25, 1, 1), (Rgb{0.5, 0, 1}));  // three quarters of a turn: violet-blue sector 4
}

TEST(HSVColor, HueThatIsNotANumberGivesBlack) {
  for (double hue : {gNaN, gInf, -gInf}) EXPECT_EQ(ToRgb(hue, 1, 1), (Rgb{0, 0, 0})) << hue;
}
