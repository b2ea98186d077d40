#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "algebra/AlgebraStartup.h"
#include "graphpane/AGraphColor.h"
#include "tests/CoreUtilities/ThreadTestSupport.h"
#include "tests/graphs3d/EitherRendererTest.h"

using BoxPicture = std::vector<uint32_t>;
// A sign for each axis; -1 reverses its range.
using AxisSigns = std::array<int, 3>;

inline constexpr unsigned long kLitGraphColour = 0xFF9933;

// The world's pixels without alpha, row by row.
inline BoxPicture PictureOf(RendererTestWorld& world, int side) {
  BoxPicture pixels;
  for (int v = 0; v < side; ++v)
    for (int h = 0; h < side; ++h) pixels.push_back(world.Pixel(h, v) & 0xFFFFFF);
  return pixels;
}

// Lit graphs of one colour over black in the box -2 .. 2 on each axis,
// which a test may reverse; the algebra gives analytic normals.
class BoxPictureTest : public EitherRendererTest {
 protected:
  explicit BoxPictureTest(int16_t side) : EitherRendererTest(side, 0x000000), fSide(side) {}
  void SetUp() override {
    EitherRendererTest::SetUp();
    if (HasFatalFailure()) return;
    InstallAlgebra();
  }
  void TearDown() override {
    if (view) view->DeleteGraphs();
    source.reset();
    EitherRendererTest::TearDown();
  }

  std::unique_ptr<AGraphColor> Colour(MDrawContext* context = nullptr) {
    auto colour = std::make_unique<AGraphColor>(context ? context : view->DrawContext(), nullptr);
    colour->fSolidColor = kLitGraphColour;
    return colour;
  }
  // The box reversed where the sign is negative, with the graphs `add`
  // makes.
  BoxPicture DrawBox(const AxisSigns& signs, const std::function<void()>& add) {
    view->DeleteGraphs();
    source.reset();
    for (int a = 0; a < 3; ++a) {
      double* r = view->Record().ranges[kCoordX + a];
      r[0] = -2.0 * signs[size_t(a)], r[1] = 2.0 * signs[size_t(a)];
    }
    // A draw hands the box to the context the graphs read it from.
    view->Draw(true);
    view->ViewChanged();
    add();
    WaitUntil("the view's graphs", [&] { return view->AreAllGraphsDoneComputing(); });
    view->SetViewParameter(kAttributeUpdateVertexObjects);
    EXPECT_EQ(view->Draw(true), 1);
    return PictureOf(world, fSide);
  }

  // A graph drawn in no view, which a graph of the view draws transformed.
  std::unique_ptr<AGraph> source;

 private:
  int16_t fSide;
};
