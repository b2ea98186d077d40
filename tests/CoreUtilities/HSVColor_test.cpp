#include "CoreUtilities/HSVColor.h"

#include "CoreUtilities/MathConstants.h"

#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <fstream>
#include <string>

namespace {

using Rgb = std::array<double, 3>;

Rgb ToRgb(double hue, double saturation, double value) {
  Rgb rgb{7, 7, 7};
  OurHSVtoRGB(hue, saturation, value, &rgb[0], &rgb[1], &rgb[2]);
  return rgb;
}

}  // namespace

TEST(HSVColor, AgreesWithColorsys) {
  std::ifstream in(ZL_TEST_DATA_DIR "/hsv_reference.txt");
  ASSERT_TRUE(in) << "missing hsv_reference.txt";
  std::string line;
  int cases = 0;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    double x[6];
    const char* p = line.data();
    const char* end = line.data() + line.size();
    for (double& value : x) {
      while (p < end && *p == ' ') ++p;
      p = std::from_chars(p, end, value).ptr;
    }
    const Rgb rgb = ToRgb(x[0], x[1], x[2]);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(rgb[i], x[3 + i], 1e-12) << line;
    ++cases;
  }
  EXPECT_GT(cases, 500);
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
  EXPECT_EQ(ToRgb(-1e-17, 1, 1), (Rgb{1, 0, 0}));      // wraps to exactly 1: red, not magenta
  EXPECT_EQ(ToRgb(-0.25, 1, 1), (Rgb{0.5, 0, 1}));     // three quarters of a turn: violet-blue sector 4
}

TEST(HSVColor, HueThatIsNotANumberGivesBlack) {
  for (double hue : {gNaN, gInf, -gInf}) EXPECT_EQ(ToRgb(hue, 1, 1), (Rgb{0, 0, 0})) << hue;
}
