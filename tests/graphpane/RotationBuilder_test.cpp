#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "graphpane/EquationClassification.h"
#include "tests/graphpane/RecordingMakers.h"

namespace {

struct Sample {
  double u, v, point[3];
};

std::map<std::string, std::vector<Sample>> ReadSamples() {
  std::ifstream file(ZL_TEST_DATA_DIR "/surface_of_revolution.tsv");
  std::map<std::string, std::vector<Sample>> samples;
  std::string line;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::stringstream stream(line);
    std::string equation, field;
    std::getline(stream, equation, '\t');
    Sample s{};
    double* values[] = {&s.u, &s.v, &s.point[0], &s.point[1], &s.point[2]};
    for (double* value : values) {
      std::getline(stream, field, '\t');
      *value = std::stod(field);
    }
    samples[equation].push_back(s);
  }
  return samples;
}

// Each surface equals its profile point turned about the axis by a
// rotation matrix (reference computed with the axis solved by sympy).
TEST(Rotation, SurfacePointsAreTheProfileTurnedAboutTheAxis) {
  const auto samples = ReadSamples();
  ASSERT_EQ(samples.size(), 6u);
  for (const auto& [equation, points] : samples) {
    SCOPED_TRACE(equation);
    Pane p(k3D);
    ASSERT_EQ(p.Add(equation), 0);
    ASSERT_EQ(gMade.size(), 1u);
    const Made& surface = gMade[0];
    ASSERT_EQ(surface.maker, "GridSurface");
    const bool ranged = equation.find('<') != std::string::npos;
    if (ranged) {
      EXPECT_EQ(surface.range[0], 0);
      EXPECT_EQ(surface.range[1], 1);
    } else {
      EXPECT_EQ(surface.range, &p.pane->View3D(0)->Record().ranges[kCoordU][0]);
    }
    EXPECT_EQ(surface.vRange[0], 0);
    EXPECT_EQ(surface.vRange[1], 1);
    for (const Sample& s : points) {
      for (int i = 0; i < 3; ++i) {
        const double got = surface.formulas[size_t(i)]->Evaluate(s.u, s.v, 0, 0, 0, 0);
        EXPECT_NEAR(got, s.point[i], 1e-9 * (1 + std::abs(s.point[i]))) << "coordinate " << i << " at u=" << s.u;
      }
    }
  }
}

// An axis that can't be solved, or holds neither x nor y, makes no graph
// and leaks nothing (the sanitizer build checks).
TEST(Rotation, AxisWithoutLineMakesNoGraph) {
  int tried = 0;
  for (const char* text : {"Rotate(x, 1 = 2)", "Rotate(x, x = x + 1)", "Rotate(x, y = y + 1, pi)"}) {
    SCOPED_TRACE(text);
    Pane p(k3D);
    Tree tree = Parse(text);
    if (ExprType(tree.get(), true, false, nullptr) != 80) continue;
    ++tried;
    EXPECT_EQ(p.Add(text), -1);
    EXPECT_TRUE(gMade.empty());
  }
  EXPECT_EQ(tried, 3);
}

}  // namespace
