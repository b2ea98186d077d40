#include "MathLayoutFixture.h"

#include "CoreUtilities/text/OurFontDesc.h"
#include "CoreUtilities/text/OurTextMeasure.h"
#include "matheditor/LineBreaking.h"
#include "matheditor/MathTypesetState.h"
#include "matheditor/MouseTracking.h"
#include "platform/MouseSource.h"

#include <QImage>
#include <QPainter>

namespace {

using DrawingLayer = MathLayoutTest;

TEST_F(DrawingLayer, CharacterAscentsAndDescents) {
  MathTextSize(20);
  EXPECT_FLOAT_EQ(DIM_CharAscent('x'), 20.0f / 2 + 3);  // no ascender: half the font's ascent plus 3
  EXPECT_FLOAT_EQ(DIM_CharAscent('k'), 20);
  EXPECT_FLOAT_EQ(DIM_CharAscent(0x2211), 18);
  EXPECT_FLOAT_EQ(DIM_CharDescent('7'), 1);  // one point at any size
  EXPECT_FLOAT_EQ(DIM_CharDescent('Q'), 5);
  EXPECT_FLOAT_EQ(DIM_CharDescent(0x239D), 0.293f * 20);
}

TEST_F(DrawingLayer, TextSizesAreWholePoints) {
  SetFixedMetricMeasuring(0);
  MathTextSize(13.9f);
  const float fractional = DIM_StringWidth(u"velocity");
  MathTextSize(13.0f);
  EXPECT_FLOAT_EQ(fractional, DIM_StringWidth(u"velocity"));
  EXPECT_GT(fractional, 0);
}

// Widths kept between measures follow the font name, even one written into
// the same storage, and the face.
TEST_F(DrawingLayer, CharacterWidthsFollowTheFontNameAndFace) {
  SetFixedMetricMeasuring(0);
  MathTextSize(20);
  for (const char* name : {"Times", "Courier", "Times"}) {
    SetMathFontName(name);
    for (const bool bold : {false, true})
      for (const bool italic : {false, true}) {
        MathNormalFace();
        if (bold) UseBold();
        if (italic) UseItalics();
        const OurFontDesc font(name, 20, bold, italic);
        for (const uint32_t c : {0x6Du, 0x69u, 0x57u, 0x2211u})  // m i W and a sum sign
          EXPECT_EQ(DIM_CharWidth(c), OurCharWidth(c, font)) << name << bold << italic << c;
      }
  }
  MathNormalFace();
}

TEST_F(DrawingLayer, SelectionAcrossThreeLinesIsHighlightedInThreePieces) {
  LayOut(Node(kOpPlus, {Var("a"), Var("b"), Var("c"), Var("d"), Var("e")}), 60);  // starts 0, 40, 70
  QImage image(100, 100, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  MathGraphicsContext context{&painter, {}};
  gMathGlobalOffset_x = gMathGlobalOffset_y = 0;
  LB_InvertRect(FRect{2, 20, 23, 90}, true, &context);
  painter.end();
  const auto lit = [&](int x, int y) { return (image.pixel(x, y) & 0xFFFFFF) != 0; };
  EXPECT_TRUE(lit(30, 12));  // first piece: from the left edge to the widest line
  EXPECT_FALSE(lit(10, 12));
  EXPECT_TRUE(lit(10, 37));  // middle line: its whole band
  EXPECT_TRUE(lit(55, 37));
  EXPECT_TRUE(lit(10, 62));  // last piece: up to the right edge moved to its line
  EXPECT_FALSE(lit(30, 62));
  EXPECT_FALSE(lit(10, 90));
}

TEST_F(DrawingLayer, MouseTrackingMapsToTheOneLineLayout) {
  LayOut(Node(kOpPlus, {Var("a"), Var("b"), Var("c"), Var("d"), Var("e")}), 60);
  gMathGlobalOffset_x = 100;
  gMathGlobalOffset_y = 10;
  ScriptedMouseSource mouse({{QPoint(105, 70)}, {QPoint(900, 900)}, {QPoint(900, 900), true}});
  SetMouseSource(&mouse);
  FPoint where{};
  EXPECT_TRUE(DIM_MouseStillDown(where));
  EXPECT_FLOAT_EQ(where.h, 75);  // line 2 starts at 70
  EXPECT_FLOAT_EQ(where.v, 10);
  EXPECT_TRUE(DIM_MouseStillDownPinned(where));  // pinned into three lines of the wrap width
  EXPECT_FLOAT_EQ(where.h, 59 + 70);
  EXPECT_FLOAT_EQ(where.v, 74 - 50);
  EXPECT_FALSE(DIM_MouseStillDown(where));
  EXPECT_DOUBLE_EQ(mouse.Timeouts().front(), 20 / 60.0);  // twenty ticks
  SetMouseSource(nullptr);
}

}  // namespace
