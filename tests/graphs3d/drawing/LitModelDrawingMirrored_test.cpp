#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "CoreUtilities/threads/JobQueue.h"
#include "graphs3d/curves/A3DPoint.h"
#include "graphs3d/curves/ASpaceCurve.h"
#include "graphs3d/fields/AnArrow3D.h"
#include "graphs3d/grid/AGridSurface.h"
#include "graphs3d/grid/AGridSurface4D.h"
#include "graphs3d/implicit/ATransformedImplicitSurface.h"
#include "graphs3d/implicit/AnImplicitSurface.h"
#include "graphs3d/views/A3DGraphView.h"
#include "graphs3d/views/A4DGraphView.h"
#include "graphs3d/views/Transform4D.h"
#include "renderer/RendererGlobals.h"
#include "renderer/RotationMath.h"
#include "tests/graphpane/GraphColorTestSupport.h"
#include "tests/graphs3d/BoxPictureTest.h"
#include "tests/renderer/RendererTestWorld.h"

namespace {

constexpr int kPictureSide = 160;

// Each axis reversed alone, each pair and all three.
constexpr AxisSigns kMirrorReversals[] = {{-1, 1, 1},  {1, -1, 1},  {1, 1, -1},  {-1, -1, 1},
                                          {-1, 1, -1}, {1, -1, -1}, {-1, -1, -1}};

bool OddReversal(const AxisSigns& s) { return s[0] * s[1] * s[2] < 0; }

void MultiplyRows3(const double* a, const double* b, double* product) {
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c)
      product[3 * r + c] = a[3 * r] * b[c] + a[3 * r + 1] * b[3 + c] + a[3 * r + 2] * b[6 + c];
}

void MultiplyRows4(const double* a, const double* b, double* product) {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) {
      double sum = 0;
      for (int k = 0; k < 4; ++k) sum += a[4 * r + k] * b[4 * k + c];
      product[4 * r + c] = sum;
    }
}

// The mirror of the view frame (x toward the eye, y right, z up) in the
// plane of the eye's axis and the light (from the upper left front): y and
// z exchanged and negated. It leaves the light where it was and, on a
// square pane, transposes the picture.
constexpr Matrix3 kLightPlaneMirror = {1, 0, 0, 0, 0, -1, 0, -1, 0};

// A reversed box draws the model reflected by D = diag(signs): seen from
// rotation R it shows the unreversed box seen from D R. For an odd number
// of reversals D R is no rotation, but D R M is, M being the light-plane
// mirror: the picture is the unreversed one from D R M, transposed, and
// lit the same since M keeps the light in place.
void UnreversedOrientation(const AxisSigns& signs, const Matrix3& seen, Matrix3& out) {
  Matrix3 reflected;
  for (int k = 0; k < 9; ++k) reflected[k] = signs[size_t(k / 3)] * seen[k];
  if (OddReversal(signs))
    MultiplyRows3(reflected, kLightPlaneMirror, out);
  else
    CopyMatrix(reflected, out);
}

int PixelDistance(uint32_t a, uint32_t b) {
  int largest = 0;
  for (int shift = 0; shift < 24; shift += 8)
    largest = std::max(largest, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
  return largest;
}

struct MirrorComparison {
  int64_t covered = 0;
  int64_t differing = 0;
  double meanLevel = 0, expectedMeanLevel = 0;
};

double CoveredMeanLevel(const BoxPicture& p, int64_t* covered) {
  double sum = 0;
  *covered = 0;
  for (uint32_t pixel : p) {
    if (pixel == 0) continue;
    ++*covered;
    sum += double((pixel >> 16 & 0xFF) + (pixel >> 8 & 0xFF) + (pixel & 0xFF)) / 3;
  }
  return sum / double(std::max<int64_t>(*covered, 1));
}

// Each pixel of `picture` against the nearest in colour of the 3 x 3
// pixels about its place in `expected`, transposed or not: edges may fall
// a pixel either way.
MirrorComparison CompareWithMirror(const BoxPicture& picture, const BoxPicture& expected, bool transposed) {
  constexpr int kLevels = 24;
  MirrorComparison c;
  int64_t expectedCovered = 0;
  c.meanLevel = CoveredMeanLevel(picture, &c.covered);
  c.expectedMeanLevel = CoveredMeanLevel(expected, &expectedCovered);
  for (int v = 0; v < kPictureSide; ++v) {
    for (int h = 0; h < kPictureSide; ++h) {
      const int eh = transposed ? v : h, ev = transposed ? h : v;
      int best = 256;
      for (int dv = -1; dv <= 1; ++dv)
        for (int dh = -1; dh <= 1; ++dh) {
          const int x = std::clamp(eh + dh, 0, kPictureSide - 1), y = std::clamp(ev + dv, 0, kPictureSide - 1);
          best = std::min(best,
                          PixelDistance(picture[size_t(v * kPictureSide + h)], expected[size_t(y * kPictureSide + x)]));
        }
      if (best > kLevels) ++c.differing;
    }
  }
  return c;
}

// `draw` gives the picture with the axes reversed by the signs, or the
// unreversed one that shows the same. A pixel differs when none of the 3 x 3
// about its place comes within 24 levels of 255 on every channel; at most
// 8 % of the covered pixels may differ, and the mean level may move by 5.
// Lit inside out, half or more of a surface's pixels differ and its mean
// level falls by a quarter or more. Rasterising the mirrored model moves
// edges by a pixel; a grid reversed splits its cells along the other
// diagonal and a tube's ring starts half a turn on, which shifts the
// shading of a few strips.
void ExpectMirrorsOfReversals(const char* what,
                              const std::function<BoxPicture(const AxisSigns&, bool unreversed)>& draw) {
  for (const AxisSigns& signs : kMirrorReversals) {
    const BoxPicture reversed = draw(signs, false);
    const BoxPicture expected = draw(signs, true);
    const MirrorComparison c = CompareWithMirror(reversed, expected, OddReversal(signs));
    const auto trace = testing::Message() << what << ", axes " << signs[0] << " " << signs[1] << " " << signs[2];
    ASSERT_GT(c.covered, 500) << trace;
    ASSERT_GT(c.expectedMeanLevel, 40) << trace;
    EXPECT_LT(double(c.differing) / double(c.covered), 0.08) << trace;
    EXPECT_NEAR(c.meanLevel, c.expectedMeanLevel, 5) << trace;
  }
}

// A reversed axis mirrors the picture: whatever is drawn must be lit as its
// mirror image would be, with the light where it was. Each kind of lit
// graph is drawn with every set of reversed axes and compared with the
// unreversed box seen so that it shows the same, mirrored in the picture
// where the reversal mirrors the model.
class MirroredLighting : public BoxPictureTest {
 protected:
  MirroredLighting() : BoxPictureTest(kPictureSide) {}
  void SetUp() override {
    BoxPictureTest::SetUp();
    if (HasFatalFailure()) return;
    GetDefaultView(seen);
    view->SetZoom(1.0);
    borrowed.fSolidColor = kLitGraphColour;
  }
  // Seen from `rotation`, with the graph made for it.
  BoxPicture Draw(const AxisSigns& signs, const Matrix3& rotation) {
    view->SetRotation(rotation);
    return DrawBox(signs, addGraph);
  }
  void ExpectMirroredPictures(const char* what) {
    ExpectMirrorsOfReversals(what, [&](const AxisSigns& signs, bool unreversed) {
      if (!unreversed) return Draw(signs, seen);
      Matrix3 orientation;
      UnreversedOrientation(signs, seen, orientation);
      return Draw({1, 1, 1}, orientation);
    });
  }

  Matrix3 seen;
  std::function<void()> addGraph;
  AGraphColor borrowed;
};

TEST_P(MirroredLighting, ImplicitSurface) {
  addGraph = [&] {
    const auto& r = view->Record().ranges;  // by reference: the lattice follows the box
    view->AddGraph(std::make_unique<AnImplicitSurface>(
        MakeExpression("(x - 0.4)^2 + (y + 0.2)^2 / 0.8 + (z - 0.1)^2 / 1.4 - 1.2"), 1.0, 1.0, Colour(), nullptr,
        kPlotSampling, r[kCoordX][0], r[kCoordX][1], r[kCoordY][0], r[kCoordY][1], r[kCoordZ][0], r[kCoordZ][1],
        view->DrawContext(), 0));
  };
  ExpectMirroredPictures("implicit surface");
}

// The source is drawn in no view: its box stays as it is.
TEST_P(MirroredLighting, TransformedImplicitSurface) {
  static const double low = -2, high = 2;
  addGraph = [&] {
    auto sphere =
        std::make_unique<AnImplicitSurface>(MakeExpression("x^2 + y^2 + z^2 - 1.1"), 0.5, 1.0, Colour(), nullptr,
                                            kPlotSampling, low, high, low, high, low, high, view->DrawContext(), 0);
    view->AddGraph(std::make_unique<ATransformedImplicitSurface>(
        MakeExpression("x + 0.3"), MakeExpression("0.8 * y - 0.2"), MakeExpression("z + 0.4 * x"), sphere.get(),
        view->DrawContext()));
    source = std::move(sphere);
  };
  ExpectMirroredPictures("transformed implicit surface");
}

TEST_P(MirroredLighting, ParametricSurface) {
  double* u = view->Record().ranges[kCoordU];
  double* v = view->Record().ranges[kCoordV];
  u[0] = 0, u[1] = 2 * M_PI, v[0] = 0, v[1] = M_PI;
  addGraph = [&] {
    view->AddGraph(std::make_unique<AGridSurface>(MakeExpression("0.3 + 1.2*cos(u)*sin(v)"),
                                                  MakeExpression("-0.2 + 0.9*sin(u)*sin(v)"),
                                                  MakeExpression("0.1 + 1.1*cos(v)"), 1.0, 1, Colour(), nullptr,
                                                  kPlotInterval, u[0], u[1], v[0], v[1], view->DrawContext()));
  };
  ExpectMirroredPictures("parametric surface");
}

// z = f(x, y) runs its grid over the box's x and y ranges, backwards along
// a reversed one; with plotting mode 0 its normals come from the mesh,
// otherwise from the derivatives.
TEST_P(MirroredLighting, GridSurfaces) {
  const auto& r = view->Record().ranges;
  for (const char* f : {"(u^2 - v^2) / 2", "0.35 * ((u - 0.6)^2 + (v + 0.3)^2) - 1.5"}) {
    for (PlottingMode mode : {kPlotSampling, kPlotInterval}) {
      addGraph = [&] {
        view->AddGraph(std::make_unique<AGridSurface>(MakeExpression("u"), MakeExpression("v"), MakeExpression(f), 0.5,
                                                      1, Colour(), nullptr, mode, r[kCoordX][0], r[kCoordX][1],
                                                      r[kCoordY][0], r[kCoordY][1], view->DrawContext()));
      };
      ExpectMirroredPictures((std::string("z = ") + f + (mode == kPlotSampling ? ", mesh normals" : "")).c_str());
    }
  }
}

TEST_P(MirroredLighting, Tube) {
  static const double tmin = 0, tmax = 2 * M_PI;
  addGraph = [&] {
    view->AddGraph(std::make_unique<ASpaceCurve>(MakeExpression("0.3 + 1.1*cos(u)"), MakeExpression("0.8*sin(u)"),
                                                 MakeExpression("0.5*sin(u) - 0.2"), MakeExpression("0.35"), nullptr,
                                                 Colour(), 1.0, 1.0, view->DrawContext(), tmin, tmax));
  };
  ExpectMirroredPictures("tube");
}

TEST_P(MirroredLighting, ThickArrow) {
  addGraph = [&] {
    view->AddGraph(std::make_unique<AnArrow3D>(Vertex{-1.3f, -0.6f, -0.9f}, Vertex{1.1f, 0.9f, 0.8f}, 0.35, &borrowed,
                                               true, false, view->DrawContext(), ModelSpaceOf(view->DrawContext())));
  };
  ExpectMirroredPictures("thick arrow");
}

TEST_P(MirroredLighting, Point) {
  addGraph = [&] {
    view->AddGraph(std::make_unique<A3DPoint>(MakeExpression("0.4"), MakeExpression("-0.3"), MakeExpression("0.2"),
                                              Colour(), 4.0, 1.0, view->DrawContext()));
  };
  ExpectMirroredPictures("point");
}

INSTANTIATE_TEST_SUITE_P(Renderers, MirroredLighting, testing::Values(false, true), RendererName);

// The 4-D view projects 4-space onto the 3-space its camera sees from +x,
// z up, through the transform made from its orientation Q: rows 0 to 2 of
// P Q^T, P that of the identity. Its reversed ranges reflect the points by
// D before the projection, so the unreversed view with orientation D Q
// shows the same, or with D Q P^T M P shown transposed for an odd number,
// M being the light-plane mirror of the camera's frame.
void UnreversedOrientation4D(const AxisSigns& signs, const Matrix4& seen, Matrix4& out) {
  Matrix4 reflected;
  for (int k = 0; k < 16; ++k) reflected[k] = (k < 12 ? signs[size_t(k / 4)] : 1) * seen[k];
  if (!OddReversal(signs)) {
    CopyMatrix(reflected, out);
    return;
  }
  MTransform4D identity;
  Matrix4 q;
  SetIdentityMatrix(q);
  const double ranges[4][2] = {{-2, 2}, {-2, 2}, {-2, 2}, {-2, 2}};
  Setup4DTransform(identity, q, ranges, M3DView::kMinimumModelRadius);
  Matrix4 mirror, transposed, step, across;
  SetIdentityMatrix(mirror);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) mirror[4 * r + c] = kLightPlaneMirror[3 * r + c];
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) transposed[4 * r + c] = identity.rows[4 * c + r];
  MultiplyRows4(transposed, mirror, step);
  MultiplyRows4(step, identity.rows, across);
  MultiplyRows4(reflected, across, out);
}

// The surface of a complex function: its grid runs over the view's x and
// y ranges, backwards along a reversed one.
class MirroredLighting4D : public testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    InstallAlgebra();
    StartComputeThreads();
    openGL = std::exchange(gHasOpenGL, GetParam() ? gHasOpenGL : 0);
    ASSERT_TRUE(!GetParam() || openGL != 0) << "no OpenGL context could be made";
    gTestDocument.backgroundColor = 0x000000;
    view = std::make_unique<A4DGraphView>();
    view->SetDocument(TestDocument());
    view->SetViewRect(MRect{0, 0, kPictureSide, kPictureSide});
    view->SetViewParameter4D(kAttributeStopSpin, 0);
    view->SetViewParameter4D(kAttribute4DAxes, 0);
    Matrix4 a, b, ab, c;
    PlaneRotation(0, 3, 0.5, a);
    PlaneRotation(1, 2, 0.6, b);
    PlaneRotation(0, 2, 0.4, c);
    MultiplyRows4(a, b, ab);
    MultiplyRows4(ab, c, seen);
  }
  void TearDown() override {
    view.reset();
    gHasOpenGL = openGL;
    DestroyContextsAwaitingDestruction();
    StopComputeThreads();
  }
  BoxPicture Draw(const AxisSigns& signs, const Matrix4& orientation) {
    view->DeleteGraphs();
    auto& r = view->Record().ranges;
    for (int a = 0; a < 3; ++a) r[kCoordX + a][0] = -2.0 * signs[size_t(a)], r[kCoordX + a][1] = 2.0 * signs[size_t(a)];
    view->SetOrientation(orientation);
    view->ConstructContextNeededByGraphConstructors();
    auto colour = std::make_unique<AGraphColor>(view->DrawContext(), nullptr);
    colour->fSolidColor = kLitGraphColour;
    view->AddGraph(std::make_unique<AGridSurface4D>(
        MakeExpression("u"), MakeExpression("v"), MakeExpression("(u^2 - v^2) / 2"), MakeExpression("0.4*u*v + 0.3"),
        0.5, 1.0, std::move(colour), nullptr, r[kCoordX][0], r[kCoordX][1], r[kCoordY][0], r[kCoordY][1],
        view->DrawContext(), view->Transform()));
    WaitUntil("the view's graphs", [&] { return view->AreAllGraphsDoneComputing(); });
    EXPECT_EQ(view->Draw(true), 1);
    return PictureOf(world, kPictureSide);
  }

  RendererTestWorld world{kPictureSide, kPictureSide};
  int32_t openGL = 0;
  std::unique_ptr<A4DGraphView> view;
  Matrix4 seen;
};

TEST_P(MirroredLighting4D, ComplexFunctionSurface) {
  ExpectMirrorsOfReversals("4-D surface", [&](const AxisSigns& signs, bool unreversed) {
    if (!unreversed) return Draw(signs, seen);
    Matrix4 orientation;
    UnreversedOrientation4D(signs, seen, orientation);
    return Draw({1, 1, 1}, orientation);
  });
}

INSTANTIATE_TEST_SUITE_P(Renderers, MirroredLighting4D, testing::Values(false, true), RendererName);

}  // namespace
