#include <QImage>
#include <cstdlib>
#include <cstdio>

#include "CoreUtilities/drawing/DirectPixelDrawing.h"
#include "platform/OurPicture.h"
#include "tests/graphpane/PlainGraph2D.h"
#include "tests/graphs2d/ViewTestSupport.h"

namespace {

// A straight line in world coordinates, drawn through the view's graph
// transform: sharp on the direct route, smoothed through the sample buffer.
class LineGraph : public PlainGraph2D {
 public:
  explicit LineGraph(const A2DTransform& transform) : fTransform(transform) {}
  void Draw() override {
    const auto at = [&](double x, double y) {
      return MPoint{static_cast<int16_t>(fTransform.YTOI_InfSafe(y)), static_cast<int16_t>(fTransform.XTOI_InfSafe(x))};
    };
    OurLineDraw(fTransform.pixelRect, at(-1, -0.3), at(8, 0.6), 0x008000);
  }

 private:
  const A2DTransform& fTransform;
};

// The view of examples/view2d.zlf (x from -1.7 at scale 0.5, y from -0.35
// at scale 0.1, a two-colour picture anchored at (2.5, 0.5)) with a line
// graph. ZL_WRITE_GOLDENS=1 rewrites the goldens, to be checked by eye.
void CompareWithGolden(bool sampleBuffer, const char* name) {
  HookRecorder hooks;
  HookRecorder::useSampleBuffer = sampleBuffer;
  ViewOnPort v(320, 200);
  v.view.InstallViewState(StoredView2D{{0, 1}, {0, 1}, {0, 6.28}, {0.5, 0.1}, {-1.7, -0.35}, {2, 5}, true, true});
  OurPicture picture;
  picture.frame = QRect(0, 0, 16, 10);
  picture.image = QImage(16, 10, QImage::Format_RGB32);
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 16; ++x) picture.image.setPixel(x, y, x < 8 ? 0xFFC81E1Eu : 0xFF1E1EC8u);
  }
  ASSERT_EQ(v.view.AddStoredPicture(&picture, 2.5, 0.5), 0);
  v.view.AddGraph(std::make_unique<LineGraph>(v.view.GraphTransform()));
  ASSERT_EQ(v.view.GraphCount(), 1);
  v.view.Resize();
  v.Draw();
  const std::string path = std::string(ZL_TEST_DATA_DIR "/") + name;
  if (std::getenv("ZL_WRITE_GOLDENS")) v.port->image.save(QString::fromStdString(path));
  const QImage golden(QString::fromStdString(path));
  ASSERT_FALSE(golden.isNull()) << path;
  const QImage want = golden.convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(want.size(), v.port->image.size());
  int differing = 0;
  for (int y = 0; y < want.height(); ++y) {
    for (int x = 0; x < want.width(); ++x) {
      const uint32_t a = RgbAt(want, x, y), b = v.At(x, y);
      for (int shift = 0; shift < 24; shift += 8) {
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 2) {
          ++differing;
          break;
        }
      }
    }
  }
  EXPECT_EQ(differing, 0) << name;
}

TEST(ViewGolden, Direct) { CompareWithGolden(false, "view2d_direct.png"); }

TEST(ViewGolden, ThroughTheSampleBuffer) { CompareWithGolden(true, "view2d_sample.png"); }

}  // namespace
