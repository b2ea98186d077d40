#include "CoreUtilities/drawing/DirectPixelDrawing.h"
#include "CoreUtilities/drawing/OurDrawing.h"
#include "CoreUtilities/drawing/OurGWorld.h"
#include "CoreUtilities/text/OurFontDesc.h"
#include "CoreUtilities/text/OurTextDrawing.h"
#include "CoreUtilities/drawing/PixelColors.h"
#include "CoreUtilities/drawing/ScopedSavers.h"
#include "CoreUtilities/drawing/TwoBitMaps.h"
#include "tests/platform/PortTestSupport.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

constexpr MRect kCard{0, 0, 120, 160};
constexpr QRect kTextBox(4, 96, 110, 22);  // where glyph edges may differ a little
const char* const kGoldenPath = ZL_TEST_DATA_DIR "/test_card.png";

// One card of everything the 2-D graphs draw: graph paper, pen lines of
// several sizes and modes, patterns, two-bit regions, direct curves and text.
QImage DrawTestCard() {
  PortPtr world(OurNewGWorld(kCard));
  QImage card;
  {
    APushPort port(world.get());
    for (int16_t x = 0; x < 160; x += 10) OurLineDrawV(kCard, {0, x}, {119, x}, kGridLineColor, 1);
    for (int16_t y = 0; y < 120; y += 10) OurLineDrawH(kCard, {y, 0}, {y, 159}, kGridLineColor, 2);

    OurPenNormal();
    OurRGBForeColor(0x202080);
    OurMoveTo(5, 5);
    OurLineTo(60, 30);
    OurPenSize(3);
    OurLineTo(20, 60);
    OurPenSize(2);
    OurPenPatGray();
    OurPaintRect({40, 70, 60, 100});
    OurPenPatBlack();
    OurFrameRect({35, 65, 65, 105});
    OurPenXor();
    OurMoveTo(0, 90);
    OurLineTo(159, 40);
    OurPenNormal();

    // A two-bit map: a tinted disc with a grey ring and a full-colour core.
    std::vector<uint8_t> bits(12 * 40, 0);
    const MRect frame{0, 0, 40, 48};
    OurFast2BitPaintRect(bits.data(), 12, frame, {4, 4, 36, 44}, kTwoBitTint);
    OurFast2BitPaintRect(bits.data(), 12, frame, {10, 10, 30, 38}, kTwoBitGray);
    OurFast2BitPaintRect(bits.data(), 12, frame, {15, 17, 25, 31}, kTwoBitFull);
    OurTwoBitScrollRect(bits.data(), 12, frame, 3, 1);
    OurCopy2BitToCurrentPort(bits.data(), 12, frame, 0xC03000, {50, 108, 90, 156});

    OurLineDraw(kCard, {118, 2}, {60, 158}, 0x008000);
    OurDrawFilledCircle(kCard, 130, 20, 9, 0xA000A0);
    const MPoint corners[3] = {{70, 10}, {90, 40}, {75, 55}};
    OurPaintTriangle(kCard, corners, 0xE0C000, GetBaseAddress(), GetRowBytes());

    OurForeColorBlack();
    OurMoveTo(6, 112);
    const OurFontDesc font("Times", 14.0f, false, false);
    OurDrawString(u"x\u00B2 + y = \u03C0", font);
    card = world->image.copy();
  }
  return card;
}

}  // namespace

TEST(TestCard, MatchesTheGoldenImage) {
  const QImage card = DrawTestCard();
  if (std::getenv("ZL_UPDATE_GOLDEN") != nullptr) {
    ASSERT_TRUE(card.save(kGoldenPath, "PNG"));
    GTEST_SKIP() << "golden image written";
  }
  const QImage golden = QImage(kGoldenPath).convertToFormat(QImage::Format_RGB32);
  ASSERT_FALSE(golden.isNull()) << "missing " << kGoldenPath;
  ASSERT_EQ(golden.size(), card.size());
  int textDifferences = 0;
  for (int y = 0; y < card.height(); ++y)
    for (int x = 0; x < card.width(); ++x) {
      if (RgbAt(card, x, y) == RgbAt(golden, x, y)) continue;
      if (kTextBox.contains(x, y)) {
        ++textDifferences;
        continue;
      }
      FAIL() << "pixel " << x << "," << y << ": " << std::hex << RgbAt(card, x, y) << " instead of "
             << RgbAt(golden, x, y);
    }
  // Tolerance: glyph edges may move with the rasteriser, the rest is exact.
  EXPECT_LE(textDifferences, kTextBox.width() * kTextBox.height() / 8);
}
