#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "CoreUtilities/text/OurFontDesc.h"
#include "CoreUtilities/text/OurTextDrawing.h"
#include "renderer/Frame.h"
#include "renderer/SoftwareRasteriser.h"
#include "renderer/SymbolTexture.h"
#include "tests/renderer/TestFrame.h"

namespace {

// The label's colour and what it lies over: light on dark, dark on light.
struct Colours {
  uint32_t ink, under;
};
constexpr Colours kPairs[] = {{0xFFE040, 0x1020A0}, {0x202020, 0xE8E8F0}};
uint32_t kInk, kUnder;  // the pair in use

int InkChannel(uint32_t c, int k) { return int(c >> (16 - 8 * k)) & 0xFF; }

// The share of the way from the colour below to the ink, over the channel
// that moves most.
double Coverage(uint32_t pixel) {
  double best = 0;
  for (int k = 0; k < 3; ++k) {
    const int span = InkChannel(kInk, k) - InkChannel(kUnder, k);
    if (std::abs(span) > 64) best = std::max(best, double(InkChannel(pixel, k) - InkChannel(kUnder, k)) / span);
  }
  return best;
}

// A software frame of the pane whose backdrop is a quad of kUnder behind
// the label's depth, on a white document: a label keyed against white
// would leave light fringes over it.
struct LabelFrame {
  explicit LabelFrame(Our3DRendererType desired) : world(200, 100), ctx(desired) {
    gTestDocument.backgroundColor = 0xFFFFFF;
    gRendererHooks.HasDataPlotSymbolsOrLabels = [](DocumentRecord*) { return true; };
    Qd3d_SetPane(ctx.ctx, kPane, &ctx.view, false);
    EXPECT_EQ(RenderStart(ctx.ctx, false), 0);
    MVertex corners[4] = {Backdrop(0, 0), Backdrop(kWidth, 0), Backdrop(kWidth, kHeight), Backdrop(0, kHeight)};
    EXPECT_TRUE(DrawClippedGouraudTriangle(&corners[0], &corners[1], &corners[2], ctx.ctx));
    EXPECT_TRUE(DrawClippedGouraudTriangle(&corners[2], &corners[3], &corners[0], ctx.ctx));
  }
  static MVertex Backdrop(float x, float y) {
    return {x, y, 0.9f, InkChannel(kUnder, 0) / 255.0f, InkChannel(kUnder, 1) / 255.0f, InkChannel(kUnder, 2) / 255.0f,
            1, 0, 0};
  }
  uint32_t Pixel(int x, int y) const { return world.Pixel(x + kPane.left, y + kPane.top) & 0xFFFFFF; }
  RendererTestWorld world;
  ScopedDrawContext ctx;
};

// The same text drawn by the 2-D drawing at the label's size, top left at
// (left, top) and its baseline one font size below.
QImage Reference(const UniChar* text, double size, int left, int top) {
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  image.fill(0xFF000000u | kUnder);
  QPainter painter(&image);
  painter.setPen(QColor::fromRgb(kInk));
  painter.translate(left, top + int(size));
  OurDrawString(text, OurFontDesc("Times", float(size), false, false), &painter);
  return image;
}

// Labels read as the 2-D drawing of their text: the pixels inked at least
// halfway overlap the reference's by 90% or more, and every pixel lies
// between the colour below and the ink (no halo of another colour). A
// document with labels asks for OpenGL in vain: they are drawn in software.
TEST(SymbolLabels, ReadAsTheTextDrawnAtTheirSize) {
  for (Our3DRendererType desired : {kRendererSoftware, kRendererOffscreen}) {
    for (const Colours& pair : kPairs) {
      kInk = pair.ink, kUnder = pair.under;
      for (double size : {12.0, 18.0}) {
        for (const UniChar* text : {u"Zentrolab", u"x = 3.25"}) {
          LabelFrame frame(desired);
          ASSERT_EQ(GetRendererType(frame.ctx.ctx), kRendererSoftware);
          MVertex anchor = LabelFrame::Backdrop(4, 6);
          anchor.z = 0.5f;
          anchor.red = InkChannel(kInk, 0) / 255.0f, anchor.green = InkChannel(kInk, 1) / 255.0f;
          anchor.blue = InkChannel(kInk, 2) / 255.0f;
          ASSERT_TRUE(DrawClippedSymbol(&anchor, text, size, frame.ctx.ctx));
          const QImage reference = Reference(text, size, 4, 6);
          const std::string what =
              QString::fromUtf16(text).toStdString() + " at " + std::to_string(size) + " ink " + std::to_string(kInk);
          int both = 0, either = 0, outside = 0;
          for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
              const uint32_t p = frame.Pixel(x, y);
              const bool drawn = Coverage(p) >= 0.5, expected = Coverage(reference.pixel(x, y) & 0xFFFFFF) >= 0.5;
              both += drawn && expected;
              either += drawn || expected;
              for (int k = 0; k < 3; ++k) {
                const int lo = std::min(InkChannel(kInk, k), InkChannel(kUnder, k)),
                          hi = std::max(InkChannel(kInk, k), InkChannel(kUnder, k));
                outside += InkChannel(p, k) < lo - 2 || InkChannel(p, k) > hi + 2;
              }
            }
          EXPECT_GT(either, 20) << what;
          EXPECT_GE(double(both) / std::max(either, 1), 0.9) << what;
          EXPECT_EQ(outside, 0) << what;
        }
      }
    }
  }
  gRendererHooks.HasDataPlotSymbolsOrLabels = nullptr;
}

// One texture per text, size and colour for the context's life; past the budget the
// least recently drawn go first.
TEST(SymbolLabels, KeptByTextAndSizeWithinABudget) {
  LabelFrame frame(kRendererSoftware);
  MVertex anchor = At(2, 2);
  ASSERT_TRUE(DrawClippedSymbol(&anchor, u"a", 12, frame.ctx.ctx));
  ASSERT_TRUE(DrawClippedSymbol(&anchor, u"a", 12, frame.ctx.ctx));
  EXPECT_EQ(SymbolCacheCount(frame.ctx.ctx), 1u);
  anchor.red = 0;  // another colour
  ASSERT_TRUE(DrawClippedSymbol(&anchor, u"a", 12, frame.ctx.ctx));
  ASSERT_TRUE(DrawClippedSymbol(&anchor, u"a", 13, frame.ctx.ctx));
  EXPECT_EQ(SymbolCacheCount(frame.ctx.ctx), 3u);
  // A new renderer for the context keeps them.
  DisposeDrawContext(frame.ctx.ctx);
  EXPECT_EQ(SymbolCacheCount(frame.ctx.ctx), 3u);
  // 120 labels of some 200 kB each: half as much again as the budget.
  const int made = 120;
  for (int k = 0; k < made; ++k) {
    const std::u16string text = std::u16string(40, u'W') + char16_t(u'A' + k % 26) + char16_t(u'A' + k / 26);
    ASSERT_TRUE(DrawSymbol(&anchor, reinterpret_cast<const UniChar*>(text.c_str()), 60, frame.ctx.ctx));
  }
  EXPECT_LE(SymbolCacheBytes(frame.ctx.ctx), kSymbolCacheBudget);
  EXPECT_LT(SymbolCacheCount(frame.ctx.ctx), size_t(made));
  EXPECT_GT(SymbolCacheBytes(frame.ctx.ctx), kSymbolCacheBudget / 2);
}

}  // namespace
