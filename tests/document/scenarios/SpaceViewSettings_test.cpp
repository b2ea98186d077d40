#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>
#include <string>

#include "document/DocumentStatements.h"
#include "graphs3d/views/A3DGraphView.h"
#include "graphs3d/views/A4DGraphView.h"
#include "tests/document/GraphedDocument.h"
#include "tests/document/SpinHeldGraphingTest.h"
#include "tests/support/DefaultOrientations.h"

// What the 3-D and 4-D views make of the orientations, boxes and depths a
// document stores, or does not.

namespace {

A3DGraphView& SpaceView(GraphedDocument& g, int k) {
  return dynamic_cast<A3DGraphView&>(*g.document->fGraphPane->View3D(k));
}
A4DGraphView& FourDView(GraphedDocument& g) { return dynamic_cast<A4DGraphView&>(*g.document->fGraphPane->View4D()); }

std::string Shortest(double v) {
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, v).ptr);
}

// Pixels of the picture off the white background.
int Ink(const QImage& picture) {
  int ink = 0;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) ink += (picture.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
  return ink;
}

using SpaceViewSettings = SpinHeldGraphingTest;

TEST_F(SpaceViewSettings, NoStoredViewGivesEachViewsDefaultAndAStoredIdentityStays) {
  GraphedDocument bare("Expr z = x*y;\n");
  ASSERT_TRUE(bare.document);
  const auto space = DefaultSpaceOrientation();
  const auto fourD = DefaultFourDOrientation();
  for (int k : {0, 1})
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(SpaceView(bare, k).Camera().rotation[i], space[i], 1e-15) << k << i;
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(FourDView(bare).Orientation()[i], fourD[i], 1e-15) << i;

  GraphedDocument identity(
      "3D.View 1 0 0 0 1 0 0 0 1;\n3Dp.View 1 0 0 0 1 0 0 0 1;\n4D.View 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1;\n"
      "Expr z = x*y;\n");
  ASSERT_TRUE(identity.document);
  for (int k : {0, 1})
    for (int i = 0; i < 9; ++i) EXPECT_EQ(SpaceView(identity, k).Camera().rotation[i], i % 4 == 0) << k << i;
  for (int i = 0; i < 16; ++i) EXPECT_EQ(FourDView(identity).Orientation()[i], i % 5 == 0) << i;
}

// Random boxes, tiny to huge, centred on 0 or far from it, and depths, on
// either side of what the view can draw: the plane through the box's
// centre is drawn as the plane z = 0 of the default box is, or the reader
// refuses the numbers (and an export says so). Both renderers: a
// translucent surface draws in software.
TEST_F(SpaceViewSettings, BoxesAndDepthsAreDrawnOrRefusedNeverLeftBlank) {
  std::mt19937 random(20261208);
  const auto uniform = [&](double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(random);
  };
  const auto range = [&](double* centre) {
    const double magnitude = std::pow(10.0, uniform(-42, 42));
    if (uniform(0, 1) < 0.3) {
      *centre = 0;
      return Shortest(-magnitude) + " " + Shortest(magnitude);
    }
    *centre = uniform(0, 1) < 0.5 ? magnitude : -magnitude;
    const double half = magnitude * std::pow(10.0, uniform(-8, 0));
    return Shortest(*centre - half) + " " + Shortest(*centre + half);
  };
  const double depths[] = {5e-324, 1e-300, 1e-40, 1e-6, 0.17, 5.01, 31.2, 1e6, 1e300, -1};
  const auto depth = [&] {
    const double value = uniform(0, 1) < 0.5 ? uniform(0.17330909743, 5) : depths[int(uniform(0, 10))];
    return "3D.Depth " + Shortest(value) + ";\n";
  };
  for (const std::string renderer : {"", "Opacity 0.99;\n"}) {
    for (int n = 0; n < 40; ++n) {
      std::string statements;
      double centre[3] = {0, 0, 0};
      for (int axis = 0; axis < 3; ++axis)
        if (uniform(0, 1) < 0.4) statements += std::string("3D.") + "XYZ"[axis] + " " + range(&centre[axis]) + ";\n";
      const std::string zoom = uniform(0, 1) < 0.4 ? depth() : "";
      statements += zoom + renderer;
      SCOPED_TRACE(statements);
      const int32_t refusedBefore = RefusedSettingCount();
      GraphedDocument g(statements + "Expr z = " + Shortest(centre[2]) + ";\n");
      ASSERT_TRUE(g.document && g.RunUntilDone());
      const int ink = Ink(g.Picture());
      if (RefusedSettingCount() > refusedBefore) {
        // The defaults kept draw at least the axes.
        EXPECT_GT(ink, 100);
        continue;
      }
      GraphedDocument plain(zoom + renderer + "Expr z = 0;\n");
      ASSERT_TRUE(plain.document && plain.RunUntilDone());
      EXPECT_GE(2 * ink, Ink(plain.Picture()));
    }
  }
}

// A 4-D surface is normalised by the ranges the document stores: its Z
// range narrowed ten times, reversed or shifted draws what the formula
// scaled, negated or shifted by hand draws in the default range, and not
// what the formula draws there unchanged. The axes, which stand at 0 of
// each range, are hidden.
TEST_F(SpaceViewSettings, FourDRangesActAsTheFormulaChangedByHand) {
  const auto surface = [](const std::string& z) {
    return "4D.Show4Daxes 0;\n4D.Show4DxyPlane 0;\n4D.U -1 1;\n4D.V -1 1;\n"
           "Expr vector(x,y,u,v)=vector(u,v," +
           z + ",0.4*u*v+0.3);\n";
  };
  const std::string f = "(u^2-v^2)/2";
  const struct {
    std::string range, byHand;
  } cases[] = {{"4D.Z -0.2 0.2;\n", "10*" + f}, {"4D.Z 2 -2;\n", "-" + f}, {"4D.Z -1 3;\n", f + "-1"}};
  GraphedDocument plain(surface(f));
  ASSERT_TRUE(plain.document && plain.RunUntilDone());
  const int pixels = plain.Picture().width() * plain.Picture().height();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.range);
    GraphedDocument ranged(c.range + surface(f)), byHand(surface(c.byHand));
    ASSERT_TRUE(ranged.document && ranged.RunUntilDone() && byHand.document && byHand.RunUntilDone());
    EXPECT_GT(DifferingPixels(ranged.Picture(), plain.Picture()), pixels / 50);
    // Rounding may move an edge by a pixel here and there.
    EXPECT_LT(DifferingPixels(ranged.Picture(), byHand.Picture()), pixels / 1000);
  }
}

}  // namespace
