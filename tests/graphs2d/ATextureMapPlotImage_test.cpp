// Against smooth scaling by the image library, whose worker threads the
// thread checker cannot follow: kept out of the thread-checked suites.
#include "graphs2d/ATextureMapPlot.h"

#include "tests/graphs2d/TransformPlotTestSupport.h"

namespace {

using ATextureMapPlotImageTest = ComputeTest;

TEST_F(ATextureMapPlotImageTest, TheIdentityAndADoublingMatchTheSourceScaledSmoothly) {
  SourceScene scene(160, 120);
  A2DTransform t = scene.source.view.ViewTransform();
  const QImage source = scene.Picture(AGraphColor{});
  auto identity = std::make_unique<ATextureMapPlot>(MakeExpression("x"), MakeExpression("y"), PaperColour(), 1, t,
                                                    scene.source.view, &scene.list);
  WaitUntilDone(*identity);
  // The texture is the picture at 512 x 512, drawn back at the view's size.
  const QImage viaTexture = source.scaled(512, 512, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                .scaled(160, 120, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  EXPECT_GT(Psnr(DrawnOnWhite(*identity, 160, 120), viaTexture), 28.0);  // 32.9 dB when written

  auto doubling = std::make_unique<ATextureMapPlot>(MakeExpression("2*x"), MakeExpression("2*y"), PaperColour(), 1, t,
                                                    scene.source.view, &scene.list);
  WaitUntilDone(*doubling);
  const QRect quarter(int(std::lround(t.xOrigin / 2)), int(std::lround(t.yOrigin / 2)), 80, 60);
  const QImage expected = source.copy(quarter).scaled(160, 120, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  EXPECT_GT(Psnr(DrawnOnWhite(*doubling, 160, 120), expected), 22.0);  // 25.3 dB when written
}

}  // namespace
