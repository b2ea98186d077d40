#include <gtest/gtest.h>

#include <boost/numeric/odeint.hpp>

#include <array>
#include <chrono>
#include <cmath>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "CoreUtilities/threads/JobQueue.h"
#include "CoreUtilities/threads/ProcessorCount.h"
#include "graphs3d/views/A3DGraphView.h"
#include "graphs3d/fields/ADEPlot3D.h"
#include "tests/evaluation/AnExpressionTestSupport.h"

namespace {

using State = std::array<double, 3>;

Compiled SolutionExpression(const char* text) { return text ? MakeExpression(text) : nullptr; }

double Radius(AVector p) { return std::hypot(p.x, p.y); }

struct Reference {
  std::string kind;
  double a, b, c, d;
};

std::vector<Reference> References() {
  std::ifstream in(std::string(ZL_TEST_DATA_DIR) + "/rk4_reference.txt");
  std::vector<Reference> rows;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    Reference row{};
    fields >> row.kind >> row.a >> row.b >> row.c;
    if (row.kind == "helix") fields >> row.d;
    rows.push_back(row);
  }
  return rows;
}

// A solution plot in the box [-2, 2]^3, whose step length is 0.02; no jobs
// run until its start points are submitted.
class PropagateTest : public testing::Test {
 protected:
  void SetUp() override {
    view.SetViewRect(MRect{0, 0, 600, 800});
    view.ConstructContextNeededByGraphConstructors();
  }
  ADEPlot3D& Plot(const char* fx, const char* fy, const char* fz, const char* condition = nullptr) {
    plot.reset();
    condition_ = SolutionExpression(condition);
    if (condition_) AnExpression::Compile(condition_.get());
    plot = std::make_unique<ADEPlot3D>(SolutionExpression(fx), SolutionExpression(fy), SolutionExpression(fz), nullptr,
                                       condition_.get(), std::make_unique<AGraphColor>(), 1.0, starts, box[0], box[1],
                                       box[2], box[3], box[4], box[5], view.DrawContext());
    return *plot;
  }

  A3DGraphView view;
  double box[6] = {-2, 2, -2, 2, -2, 2};
  StartList starts;
  std::unique_ptr<AnExpression> condition_;
  std::unique_ptr<ADEPlot3D> plot;
};

// Every step is classical RK4 on F scaled by 1/|F| at the step's start.
TEST_F(PropagateTest, EachStepIsRungeKuttaOnTheFieldScaledAtItsStart) {
  ADEPlot3D& p = Plot("sin(y) - 0.2*x", "sin(z) - 0.2*y", "sin(x) - 0.2*z");
  const auto field = [](const State& s, State& f) {
    f = {std::sin(s[1]) - 0.2 * s[0], std::sin(s[2]) - 0.2 * s[1], std::sin(s[0]) - 0.2 * s[2]};
  };
  for (AVector start : {AVector{0.3, -0.7, 1.1}, AVector{-1.5, 1.2, 0.1}}) {
    std::unique_ptr<StartList> list = p.Propagate(start, 1);
    ASSERT_TRUE(list);
    ASSERT_EQ(list->Count(), 2001);
    boost::numeric::odeint::runge_kutta4<State> stepper;
    for (int32_t k = 0; k + 1 < list->Count(); ++k) {
      const AVector& from = (*list)[k];
      State s{from.x, from.y, from.z}, f;
      field(s, f);
      const double scale = 1 / std::sqrt(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]);
      const auto scaled = [&](const State& x, State& dxdt, double) {
        field(x, dxdt);
        for (double& c : dxdt) c *= scale;
      };
      stepper.do_step(scaled, s, 0.0, 0.02);
      const AVector& to = (*list)[k + 1];
      ASSERT_NEAR(to.x, s[0], 1e-12) << k;
      ASSERT_NEAR(to.y, s[1], 1e-12) << k;
      ASSERT_NEAR(to.z, s[2], 1e-12) << k;
    }
  }
}

TEST_F(PropagateTest, CirclesLoseRadiusAsRungeKuttaDoes) {
  ADEPlot3D& p = Plot("-y", "x", "0");
  int checked = 0;
  for (const Reference& row : References()) {
    if (row.kind != "circle") continue;
    std::unique_ptr<StartList> list = p.Propagate({row.a, 0, 0}, 4);
    ASSERT_TRUE(list);
    ASSERT_EQ(list->Count(), 1 + 2000 / 4);
    EXPECT_NEAR(Radius((*list)[int32_t(row.b) / 4]), row.c, 1e-12) << row.a << " " << row.b;
    for (int32_t i = 0; i < list->Count(); ++i) EXPECT_EQ((*list)[i].z, 0);
    ++checked;
  }
  EXPECT_EQ(checked, 9);
}

// A box with reversed ranges is the same box, mirrored on screen.
class PropagateBoxes : public PropagateTest, public testing::WithParamInterface<std::array<double, 6>> {
 protected:
  void SetUp() override {
    PropagateTest::SetUp();
    std::copy(GetParam().begin(), GetParam().end(), box);
  }
};

TEST_P(PropagateBoxes, TheHelixRunsAtConstantSpeedUntilItLeavesTheBox) {
  ADEPlot3D& p = Plot("-y", "x", "1");
  std::unique_ptr<StartList> list = p.Propagate({1, 0, 0}, 4);
  ASSERT_TRUE(list);
  // The 990th step passes z = 2 + 3 * 4, out of the escape box.
  EXPECT_EQ(list->Count(), 1 + 989 / 4);
  std::unique_ptr<StartList> every = p.Propagate({1, 0, 0}, 1);
  ASSERT_EQ(every->Count(), 990);
  EXPECT_LT((*every)[989].z, 14);
  int checked = 0;
  for (const Reference& row : References()) {
    if (row.kind != "helix") continue;
    const AVector& q = (*list)[int32_t(row.a) / 4];
    EXPECT_NEAR(q.x, row.b, 1e-8) << row.a;
    EXPECT_NEAR(q.y, row.c, 1e-8) << row.a;
    EXPECT_NEAR(q.z, row.d, 1e-8) << row.a;
    ++checked;
  }
  EXPECT_EQ(checked, 4);
}

INSTANTIATE_TEST_SUITE_P(Ranges, PropagateBoxes,
                         testing::Values(std::array<double, 6>{-2, 2, -2, 2, -2, 2},
                                         std::array<double, 6>{-2, 2, 2, -2, 2, -2},
                                         std::array<double, 6>{2, -2, 2, -2, 2, -2}));

TEST_F(PropagateTest, OutwardFlowsEscapeAndInwardFlowsChatterAtTheOrigin) {
  {
    ADEPlot3D& p = Plot("x", "y", "z");
    std::unique_ptr<StartList> list = p.Propagate({1, 0.5, 0.2}, 4);
    ASSERT_TRUE(list);
    EXPECT_LT(list->Count(), 501);
    const AVector& last = (*list)[list->Count() - 1];
    EXPECT_LT(std::fabs(last.x), 14);
  }
  {
    // The step of fixed length overshoots near the origin but never passes
    // it: RK4's factor 1 - s + s^2/2 - s^3/6 + s^4/24 stays positive.
    ADEPlot3D& p = Plot("-x", "-y", "-z");
    std::unique_ptr<StartList> list = p.Propagate({1, 1, 1}, 4);
    ASSERT_EQ(list->Count(), 501);
    for (int32_t i = 0; i < list->Count(); ++i) {
      const AVector& q = (*list)[i];
      ASSERT_GT(q.x, 0) << i;
      EXPECT_NEAR(q.y / q.x, 1, 1e-12) << i;
      EXPECT_NEAR(q.z / q.x, 1, 1e-12) << i;
      if (i >= 250) {
        EXPECT_LT(std::sqrt(3) * q.x, 7 * 0.02) << i;
      }
    }
  }
}

TEST_F(PropagateTest, ZeroFieldsAndFalseConditionsGiveTheStartAlone) {
  EXPECT_EQ(Plot("0", "0", "0").Propagate({0.5, 0.5, 0.5}, 4)->Count(), 1);
  EXPECT_EQ(Plot("-y", "x", "0", "x > 1").Propagate({0.5, 0, 0}, 4)->Count(), 1);
  EXPECT_EQ(Plot("-y", "x", "0", "0.5").Propagate({0.5, 0, 0}, 4)->Count(), 1);
  // The condition stops the circle where it crosses y = 0.5 or so.
  std::unique_ptr<StartList> list = Plot("-y", "x", "0", "y < 0.5").Propagate({1, 0, 0}, 1);
  ASSERT_GT(list->Count(), 1);
  EXPECT_LT((*list)[list->Count() - 1].y, 0.5);
  EXPECT_GT((*list)[list->Count() - 1].y, 0.5 - 0.03);
  EXPECT_EQ(Plot("-y", "x", "0").Propagate({1, 0, 0}, 10)->Count(), 201);
}

}  // namespace
