#include "CoreUtilities/HSVColor.h"

#include "CoreUtilities/MathConstants.h"

#include <gtest/gtest.h>

#include <charconv>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

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
    double r, g, b;
    OurHSVtoRGB(x[0], x[1], x[2], &r, &g, &b);
    EXPECT_NEAR(r, x[3], 1e-12) << line;
    EXPECT_NEAR(g, x[4], 1e-12) << line;
    EXPECT_NEAR(b, x[5], 1e-12) << line;
    ++cases;
  }
  EXPECT_GT(cases, 500);
}

TEST(HSVColor, OnlyTheFractionOfTheHueCounts) {
  for (double hue : {0.0, 0.1, 0.37, 0.5, 0.93}) {
    double r0, g0, b0;
    OurHSVtoRGB(hue, 0.8, 0.9, &r0, &g0, &b0);
    for (double turns : {-3.0, -1.0, 1.0, 2.0}) {
      double r, g, b;
      OurHSVtoRGB(hue + turns, 0.8, 0.9, &r, &g, &b);
      EXPECT_NEAR(r, r0, 1e-9);
      EXPECT_NEAR(g, g0, 1e-9);
      EXPECT_NEAR(b, b0, 1e-9);
    }
  }
  double r, g, b;
  OurHSVtoRGB(1.5, 1, 1, &r, &g, &b);
  EXPECT_EQ((std::vector<double>{r, g, b}), (std::vector<double>{0, 1, 1}));
  OurHSVtoRGB(-1e-17, 1, 1, &r, &g, &b);  // wraps to exactly 1: red, not magenta
  EXPECT_EQ((std::vector<double>{r, g, b}), (std::vector<double>{1, 0, 0}));
  OurHSVtoRGB(-0.25, 1, 1, &r, &g, &b);  // three quarters of a turn: violet-blue sector 4
  EXPECT_EQ((std::vector<double>{r, g, b}), (std::vector<double>{0.5, 0, 1}));
}

TEST(HSVColor, HueThatIsNotANumberGivesBlack) {
  for (double hue : {gNaN, gInf, -gInf}) {
    double r = 7, g = 7, b = 7;
    OurHSVtoRGB(hue, 1, 1, &r, &g, &b);
    EXPECT_EQ((std::vector<double>{r, g, b}), (std::vector<double>{0, 0, 0}));
  }
}
