#include "CoreUtilities/drawing/OurDrawing.h"
#include "CoreUtilities/drawing/OurGWorld.h"
#include "CoreUtilities/drawing/OurMouse.h"
#include "CoreUtilities/drawing/OurPictures.h"
#include "CoreUtilities/drawing/OurRects.h"
#include "CoreUtilities/text/OurTextEngine.h"
#include "CoreUtilities/drawing/ScopedSavers.h"
#include "platform/MouseSource.h"
#include "platform/OurPicture.h"
#include "platform/TextBlock.h"

#include "tests/CoreUtilities/BudgetRoom.h"
#include "tests/platform/PortTestSupport.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <limits>

TEST(Rects, EmptinessIntersectionPinAndOffset) {
  EXPECT_TRUE(IsOurRectEmpty({5, 0, 5, 10}));
  EXPECT_FALSE(IsOurRectEmpty({5, 0, 6, 10}));
  MRect s;
  EXPECT_TRUE(OurSectRect({0, 0, 10, 10}, {5, 5, 20, 20}, &s));
  EXPECT_TRUE(IsEqualRects(s, {5, 5, 10, 10}));
  EXPECT_FALSE(OurSectRect({0, 0, 10, 10}, {10, 0, 20, 10}, &s));  // touching edges share no pixel
  EXPECT_TRUE(IsEqualRects(s, {}));
  const MPoint pinned = OurPinRect({0, 0, 10, 10}, {-4, 30});
  EXPECT_EQ(pinned.v, 0);
  EXPECT_EQ(pinned.h, 9);
  MRect r{0, 0, 10, 10};
  OurOffsetRect(&r, 32760, -5);
  EXPECT_TRUE(IsEqualRects(r, {-5, 32760, 5, 32767}));  // saturates instead of wrapping
  EXPECT_FALSE(IsOurPointInRect({10, 3}, {0, 0, 10, 10}));
}

TEST(Colors, EachByteFillsBothHalvesOfTheChannel) {
  const QRgba64 c = ToPlatformColor(0xAB12FE).rgba64();
  EXPECT_EQ(c.red(), 0xABAB);
  EXPECT_EQ(c.green(), 0x1212);
  EXPECT_EQ(c.blue(), 0xFEFE);
  EXPECT_EQ(FromPlatformColor(QColor(QRgba64::fromRgba64(0xAB00, 0x12FF, 0xFE80, 0xFFFF))), 0xAB12FEu);
}

TEST(Savers, NestedClipsPortsAndPenStatesComeBack) {
  PortPtr outer(OurNewGWorld({0, 0, 20, 20})), inner(OurNewGWorld({0, 0, 4, 4}));
  {
    APushPort port(outer.get());
    OurClipRect({1, 1, 15, 15});
    {
      APushClip first(MRect{2, 2, 10, 10});
      {
        APushClip second(MRect{5, 5, 6, 6});
        EXPECT_EQ(outer->clip, QRegion(QRect(5, 5, 1, 1)));
      }
      EXPECT_EQ(outer->clip, QRegion(QRect(2, 2, 8, 8)));
    }
    EXPECT_EQ(outer->clip, QRegion(QRect(1, 1, 14, 14)));
    {
      APushClip window(*inner);
      EXPECT_EQ(outer->clip, QRegion(QRect(0, 0, 4, 4)));
    }
    {
      APushPenState saved;
      OurPenSize(4);
      OurPenXor();
      OurPenPatGray();
      OurMoveTo(7, 8);
      {
        APushWindowPort same(outer.get());
        APushPort other(inner.get());
        EXPECT_EQ(CurrentPort(), inner.get());
      }
      EXPECT_EQ(CurrentPort(), outer.get());
    }
    EXPECT_EQ(outer->pen.size, QSize(1, 1));
    EXPECT_EQ(outer->pen.mode, OurPenMode::kCopy);
    EXPECT_EQ(outer->pen.pattern, OurPenPattern::kBlack);
    EXPECT_EQ(outer->pen.location, QPoint(0, 0));
    {
      ALockPixelsOnCurrentPort lock;
      EXPECT_FALSE(lock.LockFailed());
      EXPECT_TRUE(outer->pixelsLocked);
    }
    EXPECT_FALSE(outer->pixelsLocked);
  }
  EXPECT_EQ(CurrentPort(), nullptr);
  ALockPixelsOnCurrentPort noPort;
  EXPECT_TRUE(noPort.LockFailed());
}

TEST(Savers, TextFeatureComesBackAfterNesting) {
  OurText text = OurTextNew();
  const bool before = text->Feature(kTextUndo);
  {
    APushTextInfo off(text, kTextUndo, false);
    EXPECT_FALSE(text->Feature(kTextUndo));
    {
      APushTextInfo on(text, kTextUndo, true);
      EXPECT_TRUE(text->Feature(kTextUndo));
    }
    EXPECT_FALSE(text->Feature(kTextUndo));
  }
  EXPECT_EQ(text->Feature(kTextUndo), before);
  OurTextDispose(text);
}

TEST(Savers, GraphicsContextDrawsInLocalCoordinatesInsideTheRectangle) {
  PortPtr world(OurNewGWorld({10, 10, 30, 30}));
  APushPort port(world.get());
  const MRect rect{12, 12, 20, 20};
  {
    QPainter* context = nullptr;
    APrepareGraphicsContext prepare(nullptr, &rect, &context);
    ASSERT_NE(context, nullptr);
    context->fillRect(QRect(10, 10, 20, 20), Qt::black);
  }
  EXPECT_EQ(RgbAt(*world, 12, 12), 0u);
  EXPECT_EQ(RgbAt(*world, 19, 19), 0u);
  EXPECT_EQ(RgbAt(*world, 11, 15), 0xFFFFFFu);
  EXPECT_EQ(RgbAt(*world, 20, 15), 0xFFFFFFu);

  // While a picture is recorded the drawing enters as pixels, the darker channel winning.
  QPicture recording;
  world->recording = &recording;
  *PortPixel(*world, 25, 25) = 0x00FF00;
  {
    QPainter* context = nullptr;
    APrepareGraphicsContext prepare(nullptr, nullptr, &context);
    ASSERT_NE(context, nullptr);
    context->fillRect(QRect(24, 24, 3, 3), QColor(0x80, 0x80, 0xFF));
  }
  world->recording = nullptr;
  EXPECT_EQ(RgbAt(*world, 25, 25), 0x008000u);
  EXPECT_EQ(RgbAt(*world, 24, 24), 0x8080FFu);
  EXPECT_EQ(RgbAt(*world, 28, 28), 0xFFFFFFu);
}

TEST(Worlds, CopiesPickReductionOnlyForExactHalves) {
  PortPtr source(OurNewGWorld({0, 0, 4, 4}));
  for (int v = 0; v < 4; ++v)
    for (int h = 0; h < 4; ++h) *PortPixel(*source, h, v) = ((h + v) % 2) ? 0xFFFFFF : 0x000000;
  PortPtr destination(OurNewGWorld({0, 0, 4, 4}));
  APushPort port(destination.get());
  OurCopyGWorldToCurrentPort(source.get(), {0, 0, 4, 4}, {0, 0, 2, 2});
  EXPECT_EQ(RgbAt(*destination, 0, 0), 0x808080u);  // mean of two black and two white, rounded
  OurBlendGWorldToCurrentPort(source.get(), {0, 0, 1, 1});
  EXPECT_EQ(RgbAt(*destination, 0, 0), 0x404040u);                       // (0 + 0x80) / 2
  OurCopyGWorldToCurrentPort(source.get(), {0, 0, 4, 4}, {0, 0, 3, 3});  // not a half: nearest
  EXPECT_EQ(RgbAt(*destination, 2, 1), 0xFFFFFFu);                       // source (2 * 4 / 3, 1)
  EXPECT_EQ(RgbAt(*destination, 2, 2), 0x000000u);                       // source (2, 2)
  EXPECT_TRUE(IsOurGWorldPurged(nullptr));
  EXPECT_FALSE(IsOurGWorldPurged(source.get()));
  EXPECT_EQ(OurNewGWorld({0, 0, 0, 5}), nullptr);
}

TEST(Pictures, PlacementCopyAndComposedDrawing) {
  OurPicture picture;
  picture.frame = QRect(0, 0, 4, 2);
  picture.image = QImage(4, 2, QImage::Format_RGB32);
  picture.image.fill(0xFFFFFFFFu);
  picture.image.setPixel(1, 0, 0xFF000000u);
  picture.documentText = "Zentrolabworksheet";
  // Placed with its bottom-left at (10, 20): it covers h 10..13, v 18..19.
  EXPECT_TRUE(IsPointOverPicture(&picture, {18, 10}, 10, 20));
  EXPECT_FALSE(IsPointOverPicture(&picture, {20, 10}, 10, 20));
  EXPECT_TRUE(IsPictureVisible(&picture, 10, 20, {19, 13, 30, 30}));
  EXPECT_FALSE(IsPictureVisible(&picture, 10, 20, {20, 0, 30, 30}));

  OurPicture* copy = OurCopyPicture(&picture);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->documentText, picture.documentText);
  EXPECT_EQ(copy->image, picture.image);
  MRect frame;
  OurPictureRect(copy, &frame);
  EXPECT_TRUE(IsEqualRects(frame, {0, 0, 2, 4}));

  PortPtr world(OurNewGWorld({0, 0, 10, 10}));
  APushPort port(world.get());
  *PortPixel(*world, 4, 3) = 0x808080;
  OurDrawPicture(copy, 3, 3, {0, 0, 10, 10}, 1.0);
  EXPECT_EQ(RgbAt(*world, 4, 3), 0x000000u);  // black composed over grey is black
  EXPECT_EQ(RgbAt(*world, 3, 3), 0xFFFFFFu);  // white is never drawn
  OurDrawPicture(copy, 3, 3, {0, 0, 10, 10}, std::numeric_limits<double>::quiet_NaN());
  OurDisposePicture(copy);

  BudgetRoom room(100000);  // the handle limit then lies below the 640,000 bytes of these pixels
  picture.image = QImage(400, 400, QImage::Format_RGB32);
  EXPECT_EQ(OurCopyPicture(&picture), nullptr);
}

TEST(Mouse, WaitsAreGivenSecondsAndTheDragLoopEnds) {
  ScriptedMouseSource script({{QPoint(1, 2)}, {QPoint(3, 4)}, {QPoint(5, 6), true}});
  SetMouseSource(&script);
  EXPECT_TRUE(OurButton());
  MPoint where;
  int moves = 0;
  while (OurWaitMouseUp(&where, 20)) ++moves;
  EXPECT_EQ(moves, 2);
  EXPECT_EQ(where.h, 5);
  EXPECT_EQ(where.v, 6);
  ASSERT_EQ(script.Timeouts().size(), 3u);
  EXPECT_DOUBLE_EQ(script.Timeouts()[0], 20.0 / 60.0);
  EXPECT_FALSE(OurButton());
  EXPECT_EQ(TicksToWaitSeconds(-1), -1.0);
  SetMouseSource(nullptr);
  EXPECT_FALSE(OurWaitMouseUp(&where, 20));
}
