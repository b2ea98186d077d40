#include <cmath>

#include "CoreUtilities/drawing/PixelColors.h"
#include "graphpane/AGraphColor.h"
#include "platform/OurPicture.h"
#include "tests/graphs2d/ViewTestSupport.h"

namespace {

TEST(A2DGraphView, PaperLinesFallOnTheWorldMultiplesOfTheScale) {
  HookRecorder hooks;
  ViewOnPort v(400, 300);
  v.view.SetViewParameter(kAttributeShowAxes);
  StoredView2D stored{{0, 1}, {0, 1}, {0, 6.28}, {0.5, 0.25}, {-1.3, 0.7}, {2, 1}, false, true};
  for (int shifted = 0; shifted < 2; ++shifted) {
    v.Draw();
    // Lines where a multiple of the scale lands: x = 16k and y = 16k pixels
    // from the pixels of x = 0 and y = 0, which sit at 200 and 149 at the
    // default state and at floor(1.3 * 32 + 0.5) and floor(299 + 0.7 * 64
    // + 0.5) after the install.
    const int zeroColumn = shifted ? 42 : 200, zeroRow = shifted ? 344 : 149;
    const auto lineColumn = [&](int h) { return (h - zeroColumn) % 16 == 0; };
    const auto lineRow = [&](int r) { return (r - zeroRow) % 16 == 0; };
    int wrong = 0;
    for (int r = 0; r < 300; ++r) {
      for (int h = 0; h < 400; ++h) {
        const uint32_t want = lineColumn(h) || lineRow(r) ? kGridLineColor : 0xFFFFFF;
        wrong += v.At(h, r) != want;
      }
    }
    EXPECT_EQ(wrong, 0) << "shifted " << shifted;
    v.view.InstallViewState(stored);  // axes off
  }
}

TEST(A2DGraphView, AxesTicksAndNumbersWhereTheStatePutsThem) {
  HookRecorder hooks;
  ViewOnPort v(400, 300);
  v.Draw();
  const int row = 149, column = 200;  // y = 0 and x = 0 at 64 pixels per unit
  for (int h = 0; h < 400; ++h) EXPECT_EQ(v.At(h, row), 0u) << h;
  for (int r = 0; r < 300; ++r) EXPECT_EQ(v.At(column, r), 0u) << r;
  for (int k = -3; k <= 3; ++k) {
    const int h = column + 64 * k;
    for (int d = -3; d <= 3; ++d) EXPECT_EQ(v.At(h, row + d), 0u) << k;
    if (k != 0) {
      EXPECT_NE(v.At(h, row - 4), 0u);  // marks are 7 pixels long
    }
    bool numberInk = false, gapInk = false;
    for (int r = row + 5; r <= row + 14; ++r) {
      for (int dh = -6; dh <= 6; ++dh) numberInk |= dh != 0 && IsInk(v.At(h + dh, r));
      if (k < 3) gapInk |= IsInk(v.At(h + 32, r));
    }
    EXPECT_EQ(numberInk, k != 0) << "x number " << k;  // none on the y axis
    EXPECT_FALSE(gapInk) << k;
  }
  for (int k = -2; k <= 2; ++k) {
    const int r = row - 64 * k;
    bool numberInk = false;
    for (int dr = -4; dr <= 3; ++dr) {
      for (int h = column - 20; h < column - 3; ++h) numberInk |= dr != 0 && IsInk(v.At(h, r + dr));
    }
    EXPECT_EQ(numberInk, k != 0) << "y number " << k;
  }
}

TEST(A2DGraphView, AxisPinnedAtTheTopIsGreyAndHidesTheNumbersAboveIt) {
  HookRecorder hooks;
  ViewOnPort v(400, 300);
  StoredView2D stored{{0, 1}, {0, 1}, {0, 6.28}, {0.25, 0.25}, {-3.125, -10}, {1, 1}, true, false};
  v.view.InstallViewState(stored);
  v.Draw();
  const int row = 6;
  int black = 0;
  for (int h = 0; h < 400; ++h) black += v.At(h, row) == 0;
  EXPECT_GT(black, 150);
  EXPECT_LT(black, 250);  // every other pixel
  for (int r = 0; r < row; ++r) {
    for (int h = 160; h < 197; ++h) EXPECT_FALSE(IsInk(v.At(h, r))) << h << "," << r;
  }
}

TEST(A2DGraphView, PrecisionLostQueuesErrorThirtySevenAndKeepsTheAxisLines) {
  HookRecorder hooks;
  ResetDeferredErrors();
  ViewOnPort v(200, 100);
  StoredView2D stored{{0, 1}, {0, 1}, {0, 6.28}, {0.25, 0.25}, {1e17, -1}, {1, 1}, true, true};
  v.view.InstallViewState(stored);
  v.Draw();
  EXPECT_EQ(TakeDeferredError(), 37);
  int black = 0;
  // Right of the pinned y axis and its marks (column 6 +- 3).
  for (int h = 10; h < 200; ++h) black += v.At(h, v.view.ViewTransform().YTOI_InfSafe(0)) == 0;
  EXPECT_EQ(black, 190);
  // A deep zoom away from the origin loses the spacing too.
  ResetDeferredErrors();  // re-arms the message
  stored.scale[0] = 2.5e-17, stored.bottomLeft[0] = 1;
  v.view.InstallViewState(stored);
  v.Draw();
  EXPECT_EQ(TakeDeferredError(), 37);
  ResetDeferredErrors();
}

TEST(A2DGraphView, HiddenColourAndPaperOffLeaveWhite) {
  HookRecorder hooks;
  ViewOnPort v(120, 80);
  AGraphColor hidden;
  hidden.fType = AGraphColor::kHidden;
  {
    APushPort push(v.port.get());
    v.view.Draw(nullptr, &hidden, true);
  }
  EXPECT_EQ(PixelsOf(v.port->image, 0xFFFFFF), 120 * 80);
  v.view.SetViewParameter(kAttributeShowGraphPaper);
  v.view.SetViewParameter(kAttributeShowAxes);
  EXPECT_EQ(HookRecorder::dirty, 2);
  v.Draw();
  EXPECT_EQ(PixelsOf(v.port->image, 0xFFFFFF), 120 * 80);
}

TEST(A2DGraphView, IndexesOutsideTheListAnswerDoneAndSilent) {
  HookRecorder hooks;
  A2DGraphView view;
  EXPECT_TRUE(view.IsDoneComputing(0));
  EXPECT_TRUE(view.IsDoneComputing(-1));
  EXPECT_EQ(view.GraphVisibility(3), 0);
  EXPECT_FALSE(view.UsesGrainSlider(0));
  view.SetGraphParameter(kAttributeColor, 999, 5);
  EXPECT_EQ(HookRecorder::dirty, 0);
  view.SetGraphParameter(kAttributeGrain, 0.5, 5);
  EXPECT_EQ(HookRecorder::dirty, 1);
  EXPECT_TRUE(view.AreAllGraphsDoneComputing());
  EXPECT_EQ(view.MouseDown(MPoint{1, 1}, 0, false, false, false, false, false), 1);
}

TEST(A2DGraphView, StoredStatesWithUnusableAxesGetTheDefaults) {
  HookRecorder hooks;
  ViewOnPort v(400, 300);
  StoredView2D stored{{0, 1}, {0, 1}, {0, 6.28}, {gNaN, 0.3}, {1, 2}, {1, 3}, true, true};
  v.view.InstallViewState(stored);
  EXPECT_EQ(v.view.State().xScale, 0.25);
  EXPECT_EQ(v.view.State().xMinimum, -3.125);
  EXPECT_EQ(v.view.State().yScale, 0.25);  // tick state 3 is not 1, 2 or 5
  stored.tickState[1] = 5;
  stored.scale[0] = -1;
  stored.bottomLeft[1] = gInf;
  v.view.InstallViewState(stored);
  EXPECT_EQ(v.view.State().xScale, 0.25);
  EXPECT_EQ(v.view.State().yMinimum, -2.34375);
  stored.scale[0] = 0.3;  // outside the family, yet finite: kept
  v.view.InstallViewState(stored);
  EXPECT_EQ(v.view.State().xScale, 0.3);
  EXPECT_EQ(v.view.State().xMinimum, 1);
}

TEST(A2DGraphView, PastedPictureIsAnchoredAtItsBottomLeftAndDrawn) {
  HookRecorder hooks;
  ViewOnPort v(200, 100);
  OurPicture picture;
  picture.frame = QRect(0, 0, 10, 6);
  picture.image = QImage(10, 6, QImage::Format_RGB32);
  picture.image.fill(0xFF0000FFu);
  const MPoint centre{40, 50};
  v.view.PastePicture(&picture, &centre);
  ASSERT_EQ(v.view.Pictures().Count(), 1);
  EXPECT_EQ(HookRecorder::redraws, 1);
  v.view.SetViewParameter(kAttributeShowAxes);
  v.Draw();
  // Centred on (50, 40) as the anchor formula rounds: columns 45..54, rows
  // 36..41.
  EXPECT_EQ(v.At(45, 36), 0x0000FFu);
  EXPECT_EQ(v.At(54, 41), 0x0000FFu);
  EXPECT_EQ(v.At(54, 42) & 0xFFFF00, 0xFFFF00u);
  EXPECT_EQ(v.At(44, 40), v.At(44, 41));  // paper, not picture
  EXPECT_NE(v.At(44, 40) & 0xFFFF00, 0u);
}

}  // namespace
