#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <fstream>
#include <iostream>
#include <sstream>

#include "CoreUtilities/drawing/HSVColor.h"
#include "expression/OperatorKinds.h"
#include "tests/graphpane/FragmentCorpus.h"
#include "tools/FragmentQuad.h"

namespace {

constexpr int kDrawnSide = 40;
constexpr double kTolerance = 1.0 / 255 + 1e-4;
constexpr double kJumpStep = 1e-4;
// A colour that moves more than this within kJumpStep is at a jump.
constexpr double kJumpSize = 0.02;
constexpr uint32_t kTextureColour = 0xFF3399CCu;

double Clamp01(double c) { return !(c >= 0) ? 0 : c > 1 ? 1 : c; }

// What the processor makes of a colour at one point: killed, or a colour.
struct ExpectedColour {
  bool killed = false;
  std::array<double, 3> rgb{};
  bool operator!=(const ExpectedColour& o) const {
    if (killed != o.killed) return true;
    if (killed) return false;
    for (int i = 0; i < 3; ++i)
      if (std::fabs(rgb[i] - o.rgb[i]) > kJumpSize) return true;
    return false;
  }
};

ExpectedColour OnProcessor(const CorpusColour& colour, CorpusProgram& program, double x, double y, double z) {
  double c[3];
  for (int i = 0; i < 3; ++i) c[i] = program.formulas[i] ? program.formulas[i]->Evaluate(0, 0, x, y, z, 0) : 0.0;
  // A mask that is a plain number kills nothing in a program.
  const bool numberMask = program.mask && program.mask->Tree()->opcode == kOpNumber;
  const double mask = program.mask && !numberMask ? program.mask->Evaluate(0, 0, x, y, z, 0) : 1.0;
  ExpectedColour e;
  e.killed = std::isnan(c[0]) || std::isnan(c[1]) || std::isnan(c[2]) || std::isnan(mask) || mask < 0.5;
  if (colour.kind == "rgb") {
    e.rgb = {Clamp01(c[0]), Clamp01(c[1]), Clamp01(c[2])};
  } else if (colour.kind == "hsv") {
    OurHSVtoRGB(c[0], Clamp01(c[1]), Clamp01(c[2]), &e.rgb[0], &e.rgb[1], &e.rgb[2]);
  } else if (colour.kind == "raw") {
    e.rgb = {c[0] - std::floor(c[0]), Clamp01(c[1]), Clamp01(c[2])};
  } else {
    e.rgb = {((kTextureColour >> 16) & 0xFF) / 255.0, ((kTextureColour >> 8) & 0xFF) / 255.0,
             (kTextureColour & 0xFF) / 255.0};
  }
  return e;
}

// Within kJumpStep of the point the processor's colour jumps.
bool NearJump(const CorpusColour& colour, CorpusProgram& program, double x, double y, double z,
              const ExpectedColour& here) {
  for (const auto& [dx, dy] : {std::pair{kJumpStep, 0.0}, {-kJumpStep, 0.0}, {0.0, kJumpStep}, {0.0, -kJumpStep}}) {
    const double dz = 0.5 * dx - 0.3 * dy;
    if (OnProcessor(colour, program, x + dx, y + dy, z + dz) != here) return true;
  }
  return false;
}

FragmentQuadBox CorpusBox() {
  FragmentQuadBox box;
  box.x0 = box.y0 = -1.5;
  box.x1 = box.y1 = 1.5;
  box.z0 = 0.2;
  box.zPerX = 0.5;
  box.zPerY = -0.3;
  return box;
}

// Each program over a box against the processor's colours at the same
// float texture coordinates.
TEST(FragmentProgramDrawn, EveryCorpusProgramColoursAsTheProcessorDoes) {
  CorpusDocument document;
  FragmentQuad quad(kDrawnSide, kDrawnSide);
  ASSERT_TRUE(quad.Ready());
  int jumpPixels = 0, killedPixels = 0;
  for (const CorpusColour& colour : ReadFragmentCorpus()) {
    SCOPED_TRACE(colour.Describe());
    CorpusProgram program(colour, &document.document);
    ASSERT_FALSE(program.text.empty());
    std::string error;
    ASSERT_TRUE(
        quad.Draw(program.text, CorpusBox(), program.uniforms, colour.kind == "texture" ? kTextureColour : 0, &error))
        << error;
    int wrong = 0;
    std::ostringstream first;
    for (int row = 0; row < kDrawnSide; ++row) {
      for (int column = 0; column < kDrawnSide; ++column) {
        const std::array<float, 3> at = quad.TexCoord(column, row);
        const ExpectedColour expected = OnProcessor(colour, program, at[0], at[1], at[2]);
        if (NearJump(colour, program, at[0], at[1], at[2], expected)) {
          ++jumpPixels;
          continue;
        }
        const std::array<uint8_t, 4> pixel = quad.Pixel(column, row);
        const bool killed = pixel[3] == 0;
        killedPixels += killed;
        bool bad = killed != expected.killed;
        for (int i = 0; i < 3 && !killed && !bad; ++i) bad = std::fabs(pixel[i] / 255.0 - expected.rgb[i]) > kTolerance;
        if (bad && wrong++ == 0) {
          first << "at (" << at[0] << ", " << at[1] << ", " << at[2] << ") drawn "
                << (killed ? "killed"
                           : std::to_string(pixel[0]) + " " + std::to_string(pixel[1]) + " " + std::to_string(pixel[2]))
                << ", processor "
                << (expected.killed
                        ? "undefined"
                        : std::to_string(expected.rgb[0] * 255) + " " + std::to_string(expected.rgb[1] * 255) + " " +
                              std::to_string(expected.rgb[2] * 255));
        }
      }
    }
    EXPECT_EQ(wrong, 0) << "first " << first.str() << "\n" << program.text;
  }
  std::cout << "pixels within " << kJumpStep << " of a jump: " << jumpPixels << "; killed: " << killedPixels << "\n";
  EXPECT_GT(killedPixels, 0);
}

// Hue -1e-9 turns: FRC gives 1 in single precision.
TEST(FragmentProgramDrawn, AHueJustBelowAWholeTurnIsRed) {
  CorpusDocument document;
  FragmentQuad quad(4, 4);
  ASSERT_TRUE(quad.Ready());
  CorpusColour colour;
  colour.kind = "hsv";
  colour.formulas[0] = "x";
  colour.formulas[1] = "1";
  colour.formulas[2] = "1";
  const CorpusProgram program(colour, &document.document);
  for (const double hue : {-1e-9, 1e-9, 2 - 1e-9}) {
    FragmentQuadBox box;
    box.x0 = box.x1 = hue;
    std::string error;
    ASSERT_TRUE(quad.Draw(program.text, box, program.uniforms, 0, &error)) << error;
    EXPECT_EQ(quad.Pixel(2, 2), (std::array<uint8_t, 4>{255, 0, 0, 255})) << hue;
  }
}

struct FixedPoint {
  std::string formula;
  double x, y, z, value;
};

std::vector<FixedPoint> ReadFixedPoints() {
  std::ifstream in(ZL_TEST_DATA_DIR "/renderer/fragment_fixed_points.txt");
  std::vector<FixedPoint> points;
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    FixedPoint p;
    std::getline(fields, p.formula, '\t');
    fields >> p.x >> p.y >> p.z >> p.value;
    points.push_back(p);
  }
  return points;
}

// Independent of our evaluator: values from mpmath at fixed points, in red.
TEST(FragmentProgramDrawn, ProgramsMatchIndependentValuesAtFixedPoints) {
  const std::vector<FixedPoint> points = ReadFixedPoints();
  ASSERT_GE(points.size(), 20u);
  CorpusDocument document;
  FragmentQuad quad(4, 4);
  ASSERT_TRUE(quad.Ready());
  for (const FixedPoint& p : points) {
    SCOPED_TRACE(p.formula);
    CorpusColour colour;
    colour.kind = "rgb";
    colour.formulas[0] = p.formula;
    colour.formulas[1] = "1";
    colour.formulas[2] = "0";
    const CorpusProgram program(colour, &document.document);
    ASSERT_FALSE(program.text.empty());
    FragmentQuadBox box;
    box.x0 = box.x1 = p.x;
    box.y0 = box.y1 = p.y;
    box.z0 = p.z;
    std::string error;
    ASSERT_TRUE(quad.Draw(program.text, box, program.uniforms, 0, &error)) << error;
    const std::array<uint8_t, 4> pixel = quad.Pixel(2, 2);
    ASSERT_EQ(pixel[3], 255);
    EXPECT_NEAR(pixel[0] / 255.0, p.value, kTolerance) << program.text;
    EXPECT_EQ(pixel[1], 255);
  }
}

}  // namespace
