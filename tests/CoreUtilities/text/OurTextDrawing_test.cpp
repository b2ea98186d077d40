#include "CoreUtilities/text/OurFontDesc.h"
#include "CoreUtilities/text/OurTextDrawing.h"
#include "CoreUtilities/text/OurTextMeasure.h"
#include "CoreUtilities/drawing/ScopedSavers.h"
#include "tests/platform/PortTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

#include <QRect>

namespace {

// The bounding box of every non-white pixel of the port.
QRect Ink(OurPort& port) {
  QRect ink;
  for (int v = port.bounds.top(); v <= port.bounds.bottom(); ++v)
    for (int h = port.bounds.left(); h <= port.bounds.right(); ++h)
      if (RgbAt(port, h, v) != 0xFFFFFF) ink |= QRect(h, v, 1, 1);
  return ink;
}

class PortFixture : public testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(fPort, nullptr); }
  PortPtr fPort{NewOffscreenPort(QRect(-20, -10, 300, 200))};
  APushPort fPush{fPort.get()};
};

TEST_F(PortFixture, StringIsDrawnAtThePenWithinItsMeasures) {
  const OurFontDesc font("Times", 24, false, false);
  fPort->pen.location = QPoint(10, 50);
  OurDrawString(u"Hxy", font);
  const QRect ink = Ink(*fPort);
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_NEAR(ink.left(), 10, 2);
  EXPECT_NEAR(ink.right(), 10 + OurStringWidth(u"Hxy", font), 3);
  EXPECT_NEAR(ink.top(), 50 - OurStringAscent(u"Hxy", font), 1.5);
  EXPECT_GT(ink.bottom(), 50);  // the y descends
  EXPECT_NEAR(ink.bottom() + 1, 50 + OurStringDescent(u"Hxy", font), 1.5);
}

TEST_F(PortFixture, DigitsSitOnTheBaselineAsTheirDescentSays) {
  const OurFontDesc font("Lucida Grande", 9, false, false);
  fPort->pen.location = QPoint(10, 50);
  OurDrawString(u"-20.5", font);
  const QRect ink = Ink(*fPort);
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_LT(OurStringDescent(u"-20.5", font), 0.5);
  EXPECT_EQ(ink.bottom() + 1, 50 + std::ceil(OurStringDescent(u"-20.5", font)));
  EXPECT_EQ(ink.top(), 50 - std::ceil(OurStringAscent(u"-20.5", font)));
}

TEST_F(PortFixture, TextBoxAtTheBottomEndsOneDescentAboveTheEdge) {
  const OurFontDesc font("Helvetica", 12, false, false);
  const MRect box{20, 0, 150, 60};
  OurDrawTextBox(u"one two three four five six", box, font, kOurTextAlignLeft, kOurTextAlignBottom);
  const QRect ink = Ink(*fPort);
  ASSERT_FALSE(ink.isEmpty());
  const double lastBaseline = box.bottom - font.GetDescent();
  EXPECT_LE(ink.bottom(), lastBaseline + 1);
  EXPECT_GE(ink.bottom(), lastBaseline - 1);
  EXPECT_LE(ink.right(), box.right);
  const double lineHeight = font.GetAscent() + font.GetDescent();
  EXPECT_GT(ink.height(), 2 * lineHeight);  // at least three lines

  OurDrawTextBox(u"x", MRect{0, 0, 10, 0}, font, kOurTextAlignLeft, kOurTextAlignTop);  // no width: nothing
  EXPECT_EQ(Ink(*fPort), ink);
}

}  // namespace
