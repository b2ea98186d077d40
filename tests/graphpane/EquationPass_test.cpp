#include <gtest/gtest.h>

#include "tests/graphpane/RecordingMakers.h"

namespace {

// What a pass leaves (rows, transform sources, coordinate flags) lasts
// until the next pass starts; erasing the graphs forgets the rows that
// point at them, and a new pass numbers its rows from zero again.
TEST(EquationPass, APassStartsAfreshAndAnEraseForgetsTheRows) {
  Pane p(k2D);
  const Tree formulas[2] = {Parse("2*x"), Parse("y")};
  CoordinateTransformation plane;
  plane.kind = CoordinateTransformation::kPlaneFromSource;
  plane.formulas[0] = formulas[0].get();
  plane.formulas[1] = formulas[1].get();
  p.ct = plane;
  p.pane->StartAddingEquations(false, false, false, false, p.ct);
  EquationPass& pass = p.pane->Pass();
  ASSERT_EQ(pass.Lookup().Count(), 1);  // the whole-picture plot
  EXPECT_EQ(p.Add("y = x^2"), 1);
  EXPECT_EQ(pass.TransformSources().Count(), 1);
  EXPECT_EQ(p.Add("vector(x, y) = vector(cos(t), sin(t))"), 2);
  const std::set<int> flags = p.Flags();
  EXPECT_EQ(flags.count(kCoordT), 1u);

  p.pane->EraseGraph();
  EXPECT_EQ(pass.Lookup().Count(), 0);
  EXPECT_EQ(p.pane->View2D(0)->GraphCount(), 0);
  EXPECT_EQ(p.Flags(), flags);

  p.ct = CoordinateTransformation{};
  p.pane->StartAddingEquations(false, false, false, false, p.ct);
  EXPECT_EQ(pass.TransformSources().Count(), 0);
  EXPECT_TRUE(p.Flags().empty());
  EXPECT_EQ(p.Add("y = x^2"), 0);
  EXPECT_EQ(pass.Lookup().At(0)->pairs[0].view, p.pane->View2D(0));
  EXPECT_EQ(pass.Lookup().At(0)->pairs[0].index, 0);
}

}  // namespace
