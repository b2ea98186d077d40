#include <gtest/gtest.h>

#include <cmath>

#include "CoreUtilities/threads/JobQueue.h"
#include "graphs3d/views/A4DGraphView.h"
#include "graphs3d/curves/ASpaceCurve4D.h"
#include "tests/evaluation/AnExpressionTestSupport.h"
#include "tests/CoreUtilities/ThreadTestSupport.h"

namespace {

std::unique_ptr<AGraphColor> Solid() {
  auto colour = std::make_unique<AGraphColor>();
  colour->fSolidColor = 0x3366CC;
  return colour;
}

struct CurveFixture {
  CurveFixture() { StartComputeThreads(); }
  ~CurveFixture() { StopComputeThreads(); }
  ASpaceCurve4D* Curve(const char* x, const char* y, const char* z, const char* w, double grain,
                       const char* condition = nullptr) {
    const double* t = view.Record().ranges[kCoordT];
    auto* curve = new ASpaceCurve4D(MakeExpression(x), MakeExpression(y), MakeExpression(z), MakeExpression(w),
                                    condition ? MakeExpression(condition) : nullptr, Solid(), grain, view.DrawContext(),
                                    view.Transform(), t[0], t[1]);
    view.AddGraph(std::unique_ptr<AGraph>(curve));
    WaitUntilDone(*curve);
    return curve;
  }
  A4DGraphView view;
};

TEST(SpaceCurve4D, GrainGivesTheSampleCountAndPointsAreNormalised) {
  CurveFixture f;
  const struct {
    double grain;
    int32_t count;
  } cases[] = {{0, 200}, {1, 1000}, {0.5, 600}, {-3, 200}, {7, 1000}, {NAN, 600}};
  for (const auto& c : cases) {
    ASpaceCurve4D* curve = f.Curve("u", "2*u - 1", "u^2", "-u", c.grain);
    ASSERT_EQ(curve->PointCount(), c.count) << c.grain;
    EXPECT_EQ(curve->GraphVisibility(), 0);
    // The view's ranges are -2 .. 2 and t runs 0 .. 1: n = v / 2.
    for (int32_t i : {0, c.count / 3, c.count - 1}) {
      const double t = double(i) / (c.count - 1);
      const A4Vector p = curve->Point(i);
      EXPECT_TRUE(curve->IsValid(i));
      EXPECT_NEAR(p.a, t / 2, 1e-12);
      EXPECT_NEAR(p.b, (2 * t - 1) / 2, 1e-12);
      EXPECT_NEAR(p.c, t * t / 2, 1e-12);
      EXPECT_NEAR(p.d, -t / 2, 1e-12);
    }
    EXPECT_NEAR(curve->MaximumModelSpaceRadius(), std::sqrt(0.25 + 0.25 + 0.25 + 0.25), 1e-12);
  }
  ASpaceCurve4D* curve = f.Curve("u", "u", "u", "u", 0);
  curve->SetParameter(kAttributeGrain, 1);
  WaitUntilDone(*curve);
  EXPECT_EQ(curve->PointCount(), 1000);
  EXPECT_TRUE(curve->IsValid(999));
}

TEST(SpaceCurve4D, CurvesOfNaNOrInfinityOrAFalseConditionAreUndefined) {
  CurveFixture f;
  EXPECT_EQ(f.Curve("sqrt(-1 - u)", "u", "u", "u", 0)->GraphVisibility(), 11);
  EXPECT_EQ(f.Curve("u", "u", "u", "1/(u - u)", 0)->GraphVisibility(), 11);
  EXPECT_EQ(f.Curve("u", "u", "u", "u", 0, "u > 2")->GraphVisibility(), 11);
  // Half the points fail their condition: the others stay.
  ASpaceCurve4D* half = f.Curve("u", "u", "u", "u", 0, "u < 0.5");
  EXPECT_EQ(half->GraphVisibility(), 0);
  EXPECT_TRUE(half->IsValid(0));
  EXPECT_FALSE(half->IsValid(199));
}

TEST(SpaceCurve4D, AVertexListHasOnePointPerVectorWhateverTheGrain) {
  CurveFixture f;
  auto* list = new ASpaceCurve4D(
      MakeExpression("matrix(4, 1, 1, 2, -2, 0), matrix(4, 1, 0, 0, 0, 4), matrix(4, 1, 1, 1, 1, 8 * i)"), Solid(),
      f.view.DrawContext(), f.view.Transform());
  f.view.AddGraph(std::unique_ptr<AGraph>(list));
  WaitUntilDone(*list);
  ASSERT_EQ(list->PointCount(), 3);
  EXPECT_FALSE(list->UsesGrainSlider());
  list->SetParameter(kAttributeGrain, 1);
  WaitUntilDone(*list);
  ASSERT_EQ(list->PointCount(), 3);
  EXPECT_NEAR(list->Point(0).b, 1, 1e-12);
  EXPECT_NEAR(list->Point(0).c, -1, 1e-12);
  EXPECT_NEAR(list->Point(1).d, 2, 1e-12);
  // A complex component is NaN: no point.
  EXPECT_TRUE(list->IsValid(1));
  EXPECT_FALSE(list->IsValid(2));
  EXPECT_NEAR(list->MaximumModelSpaceRadius(), std::sqrt(4.0), 1e-12);
}

}  // namespace
