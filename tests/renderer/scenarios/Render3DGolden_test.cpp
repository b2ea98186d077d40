#include <gtest/gtest.h>

#include <QImage>

#include <cstdlib>
#include <string>

#include "platform/GuiApplication.h"
#include "tools/Render3DScene.h"

namespace {

// The tool's scene per mode against pictures checked by eye once (fonts
// pinned). Tolerance: a channel may differ by up to 8 on at most 0.5% of
// the pixels, for the label's text rendering.
struct Mode {
  const char* name;
  bool translucent, supersampled;
  int32_t background;
};

TEST(Render3DGolden, ScenesMatchTheirPictures) {
  EnsureGuiApplication();
  for (const Mode& mode : {Mode{"opaque", false, false, 0}, Mode{"translucent", true, false, 0},
                           Mode{"supersampled", false, true, 1}, Mode{"translucent_supersampled", true, true, 2}}) {
    Scene3DOptions options;
    options.width = 240;
    options.height = 180;
    options.translucent = mode.translucent;
    options.supersampled = mode.supersampled;
    options.background = mode.background;
    options.frames = 3;
    const Scene3DResult result = RenderScene3D(options);
    ASSERT_TRUE(result.drawn) << mode.name;
    EXPECT_EQ(result.trianglesPerFrame, 12170);
    const QImage golden(QString(ZL_TEST_DATA_DIR "/renderer/golden/") + mode.name + ".png");
    ASSERT_EQ(golden.size(), result.image.size()) << mode.name;
    int differing = 0;
    for (int y = 0; y < golden.height(); ++y)
      for (int x = 0; x < golden.width(); ++x) {
        const QRgb a = golden.pixel(x, y), b = result.image.pixel(x, y);
        const int d =
            std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
        differing += d > 8;
      }
    EXPECT_LE(differing, golden.width() * golden.height() / 200) << mode.name;
  }
}

}  // namespace
