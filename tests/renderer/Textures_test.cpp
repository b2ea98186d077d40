#include "renderer/Textures.h"

#include <gtest/gtest.h>

#include <random>

#include "CoreUtilities/memory/MemoryBudget.h"
#include "platform/OurPicture.h"
#include "renderer/SoftwareTexture.h"
#include "renderer/SymbolTexture.h"
#include "tests/renderer/TestFrame.h"

namespace {

OurPicture PictureOf(const QImage& image) {
  OurPicture picture;
  picture.frame = image.rect();
  picture.image = image;
  return picture;
}

// Every level against a plain truncating 2 x 2 mean of the level above,
// level 9 against the picture with its rows reversed.
TEST(Textures, MipPyramidIsTheTruncatingMean) {
  RendererTestWorld world(100, 100);
  ScopedDrawContext ctx;
  QImage image(512, 512, QImage::Format_ARGB32);
  std::mt19937 random(29);
  for (int y = 0; y < 512; ++y)
    for (int x = 0; x < 512; ++x) image.setPixel(x, y, random() | 0xFF000000u);
  const OurPicture picture = PictureOf(image);
  OurTexture* texture = SWCreateTexture(&picture);
  ASSERT_NE(texture, nullptr);
  int checked = 0;
  for (int v = 0; v < 512; ++v)
    for (int u = 0; u < 512; ++u, ++checked) ASSERT_EQ(texture->levels[9][v * 512 + u], image.pixel(u, 511 - v));
  for (int level = 8; level >= 0; --level) {
    const int side = 1 << level;
    for (int v = 0; v < side; ++v)
      for (int u = 0; u < side; ++u, ++checked) {
        const uint32_t* finer = texture->levels[level + 1];
        uint32_t expected = 0;
        for (int channel = 0; channel < 4; ++channel) {
          const int shift = 8 * channel;
          const uint32_t sum = ((finer[(2 * v) * 2 * side + 2 * u] >> shift) & 0xFF) +
                               ((finer[(2 * v) * 2 * side + 2 * u + 1] >> shift) & 0xFF) +
                               ((finer[(2 * v + 1) * 2 * side + 2 * u] >> shift) & 0xFF) +
                               ((finer[(2 * v + 1) * 2 * side + 2 * u + 1] >> shift) & 0xFF);
          expected |= (sum >> 2) << shift;
        }
        ASSERT_EQ(texture->levels[level][v * side + u], expected) << level;
      }
  }
  EXPECT_EQ(checked, kTextureTexels);
  DisposeTexture(texture, kRendererSoftware, 0, ctx.ctx);
}

TEST(Textures, AlphaKeepsOrBecomesOpaque) {
  RendererTestWorld world(100, 100);
  ScopedDrawContext ctx;
  QImage clear(16, 16, QImage::Format_ARGB32);
  clear.fill(0x00000000u);
  OurPicture picture = PictureOf(clear);
  OurTexture* texture = SWCreateTexture(&picture);
  EXPECT_EQ(texture->levels[0][0] >> 24, 0xFFu);  // no alpha anywhere: opaque
  DisposeTexture(texture, kRendererSoftware, 0, ctx.ctx);
  QImage half(16, 16, QImage::Format_ARGB32);
  half.fill(0xFF00FF00u);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x) half.setPixel(x, y, 0x00000000u);
  picture = PictureOf(half);
  texture = SWCreateTexture(&picture);
  EXPECT_EQ(texture->levels[9][0] >> 24, 0xFFu);       // bottom row: drawn
  EXPECT_EQ(texture->levels[9][511 * 512] >> 24, 0u);  // top row: clear
  DisposeTexture(texture, kRendererSoftware, 0, ctx.ctx);
  EXPECT_EQ(LabelFontSize(0), 9);
  EXPECT_EQ(LabelFontSize(100), 9);
  EXPECT_EQ(LabelFontSize(INFINITY), 9);
  EXPECT_EQ(LabelFontSize(12), 12);
}

int InkedCells(const TestFrame& frame) {
  int n = 0;
  for (int i = 0; i < frame.ctx->bufferPixels; ++i) n += frame.ctx->depthBuffer[i] < 2.0;
  return n;
}

// The label cache compares the text itself: a new string at the address of
// an old one is a new label.
TEST(Textures, SymbolsAreCachedByTheirText) {
  UniChar text[] = u"MW";
  const MVertex anchor = At(5, 5);
  int wide = 0;
  {
    TestFrame frame(false);
    ASSERT_TRUE(DrawClippedSymbol(&anchor, text, 0, frame.ctx.ctx));
    wide = InkedCells(frame);
    EXPECT_GT(wide, 0);
    // 13.5 pixels high at the default size: rows 5 to 18 at most.
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        if (frame.Written(x, y)) {
          EXPECT_TRUE(y >= 5 && y < 19) << y;
        }
    const int64_t kept = gApproximateTotalMemoryUsed;
    ASSERT_TRUE(DrawClippedSymbol(&anchor, text, 0, frame.ctx.ctx));
    EXPECT_EQ(gApproximateTotalMemoryUsed, kept);  // the same texture
  }
  {
    TestFrame again(false);
    text[0] = u'.', text[1] = u'.';
    ASSERT_TRUE(DrawClippedSymbol(&anchor, text, 0, again.ctx.ctx));
    EXPECT_LT(InkedCells(again), wide);
  }
  // Without memory for its texture a symbol draws nothing.
  TestFrame starved(false);
  const double physical = gPhysicalMemory;
  gPhysicalMemory = double(gApproximateTotalMemoryUsed) / 0.75;
  EXPECT_TRUE(DrawClippedSymbol(&anchor, u"new", 12, starved.ctx.ctx));
  gPhysicalMemory = physical;
  EXPECT_EQ(InkedCells(starved), 0);
  EXPECT_EQ(TakeDeferredError(), kOutOfMemoryError);
  EnableError(kOutOfMemoryError);
}

}  // namespace
