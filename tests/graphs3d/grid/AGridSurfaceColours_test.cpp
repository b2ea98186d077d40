#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>

#include "CoreUtilities/threads/JobQueue.h"
#include "graphs3d/views/A3DGraphView.h"
#include "graphs3d/grid/AGridSurface.h"
#include "platform/OurPicture.h"
#include "renderer/Frame.h"
#include "renderer/RendererGlobals.h"
#include "tests/graphpane/GraphColorTestSupport.h"
#include "tests/graphs3d/EitherRendererTest.h"
#include "tests/CoreUtilities/ThreadTestSupport.h"

namespace {

constexpr int kSide = 200;
constexpr uint32_t kBackground = 0x000000;

uint8_t Red(uint32_t p) { return uint8_t(p >> 16); }
uint8_t Green(uint32_t p) { return uint8_t(p >> 8); }
uint8_t Blue(uint32_t p) { return uint8_t(p); }

// The channel that stands out, 0 red, 1 green, 2 blue; -1 for none.
int Dominant(uint32_t p) {
  const int c[3] = {Red(p), Green(p), Blue(p)};
  for (int k = 0; k < 3; ++k)
    if (c[k] > 60 && c[k] > 3 * c[(k + 1) % 3] + 10 && c[k] > 3 * c[(k + 2) % 3] + 10) return k;
  return -1;
}

// Four quadrants: red top left, green top right, blue bottom left, white
// bottom right, so that a turned or mirrored picture shows.
OurPicture* Quadrants() {
  auto* picture = new OurPicture;
  picture->image = QImage(64, 64, QImage::Format_RGB32);
  const uint32_t quadrant[2][2] = {{0xFFFF0000u, 0xFF00FF00u}, {0xFF0000FFu, 0xFFFFFFFFu}};
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) picture->image.setPixel(x, y, quadrant[y / 32][x / 32]);
  picture->frame = picture->image.rect();
  return picture;
}

// A view of kSide pixels square, no axes, no spin, seen from above, on the
// software renderer or on the offscreen OpenGL one.
class SurfaceColourDrawing : public EitherRendererTest {
 protected:
  SurfaceColourDrawing() : EitherRendererTest(kSide, kBackground) {}
  void SetUp() override {
    EitherRendererTest::SetUp();
    if (HasFatalFailure()) return;
    view->ConstructContextNeededByGraphConstructors();
    double* u = view->Record().ranges[kCoordU];
    double* v = view->Record().ranges[kCoordV];
    u[0] = v[0] = -1, u[1] = v[1] = 1;
  }
  AGridSurface* Add(const char* x, const char* y, std::unique_ptr<AGraphColor> colour) {
    const double* u = view->Record().ranges[kCoordU];
    const double* v = view->Record().ranges[kCoordV];
    auto* surface =
        new AGridSurface(MakeExpression(x), MakeExpression(y), MakeExpression("0"), 0.5, 1, std::move(colour), nullptr,
                         kPlotSampling, u[0], u[1], v[0], v[1], view->DrawContext());
    view->AddGraph(std::unique_ptr<AGraph>(surface));
    return surface;
  }
  void DrawWhenDone() {
    WaitUntil("the view's graphs done", [this] { return view->AreAllGraphsDoneComputing(); });
    view->SetViewParameter(kAttributeUpdateVertexObjects);
    ASSERT_EQ(view->Draw(true), 1);
    ASSERT_EQ(GetRendererType(view->DrawContext()), GetParam() ? kRendererOffscreen : kRendererSoftware);
  }
  // The pixel over the point (x, y) of the plane z = 0: the box is -2 .. 2,
  // so model and world units agree, seen from 50 away through the pinhole
  // of a software frame.
  uint32_t At(double x, double y) const {
    const double scale = kSide * 0.5 * 0.3972 / M3DView::kDefaultZoom;
    return world.Pixel(int(kSide / 2 + x * scale), int(kSide / 2 - y * scale));
  }
};

TEST_P(SurfaceColourDrawing, APictureCoversTheSquareUprightWithItsCornerColours) {
  auto colour = std::make_unique<AGraphColor>(view->DrawContext(), nullptr);
  colour->fType = AGraphColor::kPictureTexture;
  colour->fPicture = Quadrants();
  Add("u", "v", std::move(colour));
  DrawWhenDone();
  EXPECT_EQ(Dominant(At(-0.8, 0.8)), 0) << std::hex << At(-0.8, 0.8);
  EXPECT_EQ(Dominant(At(0.8, 0.8)), 1) << std::hex << At(0.8, 0.8);
  EXPECT_EQ(Dominant(At(-0.8, -0.8)), 2) << std::hex << At(-0.8, -0.8);
  const uint32_t white = At(0.8, -0.8);
  EXPECT_GT(std::min({Red(white), Green(white), Blue(white)}), 100) << std::hex << white;
  EXPECT_EQ(At(1.3, 1.3) & 0xFFFFFF, kBackground);
}

TEST_P(SurfaceColourDrawing, AHiddenSurfaceDrawsNoPixelBesideAVisibleOne) {
  auto hidden = std::make_unique<AGraphColor>(view->DrawContext(), nullptr);
  hidden->fType = AGraphColor::kHidden;
  Add("u / 2 - 1", "v", std::move(hidden));
  auto solid = std::make_unique<AGraphColor>(view->DrawContext(), nullptr);
  solid->fSolidColor = 0xFF0000;
  Add("u / 2 + 1", "v", std::move(solid));
  DrawWhenDone();
  EXPECT_EQ(view->Graph(0)->GraphVisibility(), 0);
  EXPECT_EQ(static_cast<AGridSurface*>(view->Graph(0))->TriangleCount(), 0);
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide / 2; ++x) ASSERT_EQ(world.Pixel(x, y) & 0xFFFFFF, kBackground) << x << "," << y;
  EXPECT_EQ(Dominant(At(1, 0)), 0) << std::hex << At(1, 0);
  // Drawn again on a context made afresh, it still draws nothing.
  DisposeDrawContext(view->DrawContext());
  ASSERT_EQ(view->Draw(true), 1);
  EXPECT_EQ(At(-1, 0) & 0xFFFFFF, kBackground);
  EXPECT_EQ(Dominant(At(1, 0)), 0) << std::hex << At(1, 0);
}

// Colour programs run on OpenGL only.
class ProgramColourDrawing : public SurfaceColourDrawing {};

// A surface in hue, saturation and value draws them into the frame; the
// pass between it and the other graphs turns them into red, green and blue.
TEST_P(ProgramColourDrawing, HSVSurfacesAreConvertedBeforeTheOthersDraw) {
  auto red = EquationColour(AGraphColor::kHSVEquations, "0", "1", "1", nullptr);
  red->fDrawContext = view->DrawContext();
  auto green = EquationColour(AGraphColor::kHSVEquations, "1/3", "1", "1", nullptr);
  green->fDrawContext = view->DrawContext();
  auto blue = std::make_unique<AGraphColor>(view->DrawContext(), nullptr);
  blue->fSolidColor = 0x0000FF;
  Add("u / 2 + 1", "v / 2 - 1", std::move(blue));
  AGridSurface* redSurface = Add("u / 2 - 1", "v / 2 + 1", std::move(red));
  Add("u / 2 + 1", "v / 2 + 1", std::move(green));
  ASSERT_TRUE(redSurface->UsingShaderHSV());
  DrawWhenDone();
  EXPECT_EQ(Dominant(At(-1, 1)), 0) << std::hex << At(-1, 1);
  EXPECT_EQ(Dominant(At(1, 1)), 1) << std::hex << At(1, 1);
  EXPECT_EQ(Dominant(At(1, -1)), 2) << std::hex << At(1, -1);
  EXPECT_EQ(At(-1, -1) & 0xFFFFFF, kBackground);
}

INSTANTIATE_TEST_SUITE_P(Renderers, SurfaceColourDrawing, testing::Values(false, true), RendererName);
INSTANTIATE_TEST_SUITE_P(Renderers, ProgramColourDrawing, testing::Values(true), RendererName);

}  // namespace
