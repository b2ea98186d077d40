#include "renderer/Frame.h"

#include <gtest/gtest.h>

#include <QImage>
#include <vector>

#include "CoreUtilities/memory/MemoryBudget.h"
#include "renderer/BackgroundPatterns.h"
#include "renderer/FragmentStore.h"
#include "renderer/RendererGlobals.h"
#include "tests/renderer/RendererTestWorld.h"

namespace {

const MRect kFramePane{10, 20, 70, 100};  // 80 x 60

TEST(Frame, SolidBackgroundFillsOnlyThePane) {
  RendererTestWorld world(200, 100);
  ScopedDrawContext ctx;
  Qd3d_SetPane(ctx.ctx, kFramePane, &ctx.view, false);
  const int64_t frames = gFramesRendered;
  ASSERT_EQ(RenderStart(ctx.ctx, false), 0);
  EXPECT_EQ(world.Pixel(20, 10), 0xFF336699u);
  EXPECT_EQ(world.Pixel(99, 69), 0xFF336699u);
  EXPECT_NE(world.Pixel(100, 69) & 0xFFFFFF, 0x336699u);
  EXPECT_NE(world.Pixel(19, 10) & 0xFFFFFF, 0x336699u);
  for (int i = 0; i < ctx->bufferPixels; ++i) ASSERT_EQ(ctx->depthBuffer[i], 2.0);
  EXPECT_EQ(ctx->currentColor, 0xFFFFFFu);
  EXPECT_EQ(ctx->currentOpacity, 1.0f);
  EXPECT_EQ(RenderEnd(ctx.ctx), 0);
  EXPECT_EQ(gFramesRendered, frames + 1);
  // A world replaced since the pane was set, or none: neither end draws
  // nor counts a frame.
  OurPort* replaced = gTestDocument.world;
  gTestDocument.world = OurNewGWorld({0, 0, 100, 200});
  OurDisposeGWorld(replaced);
  EXPECT_EQ(RenderStart(ctx.ctx, false), 2);
  EXPECT_EQ(RenderEnd(ctx.ctx), 2);
  OurDisposeGWorld(gTestDocument.world);
  gTestDocument.world = nullptr;
  EXPECT_EQ(RenderStart(ctx.ctx, false), 2);
  EXPECT_EQ(RenderEnd(ctx.ctx), 2);
  EXPECT_EQ(gFramesRendered, frames + 1);
}

TEST(Frame, PatternsAreDrawnOncePerContext) {
  RendererTestWorld world(200, 100);
  gTestDocument.backgroundType = 1;
  const Pattern floor = OurGetPattern(kFloorPatternId);
  ASSERT_NE(floor, nullptr);
  EXPECT_EQ(floor->width(), 16);
  ScopedDrawContext ctx;
  Qd3d_SetPane(ctx.ctx, kFramePane, &ctx.view, false);
  ASSERT_EQ(RenderStart(ctx.ctx, false), 0);
  EXPECT_EQ(ctx->backgroundDrawn, 1);
  // Walls above the apex, floor below: the pane is not one colour.
  EXPECT_NE(world.Pixel(60, 12), world.Pixel(60, 68));
  const uint32_t wall = world.Pixel(25, 12);
  // Later frames copy the kept picture; a switch of kind waits for a rebuild.
  gTestDocument.backgroundType = 2;
  ASSERT_EQ(RenderStart(ctx.ctx, false), 0);
  EXPECT_EQ(world.Pixel(25, 12), wall);
  ReleaseRendererMemoryBeforeQuitting();
}

TEST(Frame, CameraAndDepthRange) {
  RendererTestWorld world(200, 100);
  ScopedDrawContext ctx;
  SetIdentityMatrix(ctx.view.rotation);
  Qd3d_SetPane(ctx.ctx, kFramePane, &ctx.view, false);
  struct Case {
    double radius, nearest, farthest;
  };
  for (const Case& c : {Case{0.5, 49.5, 50.5}, Case{60, 1, 100}, Case{200, 1, 100}}) {
    ctx.view.modelRadius = c.radius;
    ASSERT_EQ(RenderStart(ctx.ctx, false), 0);
    EXPECT_DOUBLE_EQ(c.nearest * ctx->depthScale + ctx->depthOffset, 0);
    EXPECT_DOUBLE_EQ(c.farthest * ctx->depthScale + ctx->depthOffset, 1);
  }
  // The identity puts the eye on +x looking back, y to the right, z up.
  EXPECT_EQ(ctx->eye[0], 50);
  EXPECT_EQ(ctx->viewDirection[0], -1);
  const double k = 60 * 0.5 * 0.3972 * 50 / M3DView::kDefaultZoom;
  EXPECT_NEAR(ctx->screenX[1], k, 1e-12);
  EXPECT_NEAR(ctx->screenY[2], k, 1e-12);
}

// Fragments drawn into the given cells, composited by the frame's end.
TEST(Frame, TranslucentStacksCompositeFarToNear) {
  RendererTestWorld world(200, 100);
  gTestDocument.translucent = true;
  gTestDocument.backgroundColor = 0x102030;
  ScopedDrawContext ctx;
  Qd3d_SetPane(ctx.ctx, kFramePane, &ctx.view, false);
  ASSERT_EQ(RenderStart(ctx.ctx, false), 0);
  // Cell (3, 2): near first, far second, then one more at the near depth,
  // which goes behind the earlier one.
  const int32_t cell = 2 * ctx->bufferCols + 3;
  ASSERT_TRUE(InsertFragment(ctx.ctx, cell, 0.25, 0x80FF0000));
  ASSERT_TRUE(InsertFragment(ctx.ctx, cell, 0.75, 0x4000FF00));
  ASSERT_TRUE(InsertFragment(ctx.ctx, cell, 0.25, 0xFF0000FF));
  ASSERT_TRUE(InsertFragment(ctx.ctx, cell + 1, 0.5, 0x00FFFFFF));
  ASSERT_EQ(RenderEnd(ctx.ctx), 0);
  // Worked by hand: background (255, 16, 32, 48); 0x40 green over it, then
  // the opaque blue, then 0x80 red.
  auto mix = [](int a, int f, int c) { return (a * f + (255 - a) * c) / 255; };
  int r = 16, g = 32, b = 48;
  r = mix(64, 0, r), g = mix(64, 255, g), b = mix(64, 0, b);
  r = mix(255, 0, r), g = mix(255, 0, g), b = mix(255, 255, b);
  r = mix(128, 255, r), g = mix(128, 0, g), b = mix(128, 0, b);
  EXPECT_EQ(world.Pixel(23, 12), 0xFF000000u | uint32_t(r << 16 | g << 8 | b));
  EXPECT_EQ(world.Pixel(23, 12), 0xFF80007Fu);
  // Clear fragments leave the pixel; alpha stays 255 over the opaque ground.
  EXPECT_EQ(world.Pixel(24, 12), 0xFF102030u);
}

TEST(Frame, AlphaOfAClearPictureGrowsByTheFormula) {
  RendererTestWorld world(200, 100);
  ScopedDrawContext ctx;
  gTestDocument.translucent = true;
  Qd3d_SetPane(ctx.ctx, kFramePane, &ctx.view, false);
  std::fill_n(ctx->fragmentHeads.get(), ctx->bufferPixels, kNoFragment);
  uint32_t pixel = 0x00000000;
  ASSERT_TRUE(InsertFragment(ctx.ctx, 0, 0.5, 0x40FFFFFF));
  ASSERT_TRUE(InsertFragment(ctx.ctx, 0, 0.4, 0x80000000));
  CompositeFragments(ctx.ctx, reinterpret_cast<uint8_t*>(&pixel), 4, {0, 0, 1, 1}, {0, 0});
  const int a1 = 255 - (255 - 64) * 255 / 255, a2 = 255 - ((255 - 128) * (255 - a1)) / 255;
  const int c1 = 64 * 255 / 255, c2 = (255 - 128) * c1 / 255;
  EXPECT_EQ(pixel, uint32_t(a2 << 24 | c2 << 16 | c2 << 8 | c2));
  FreeFragmentChunks(ctx.ctx);
}

// The chunk holding the last fragment is freed too, when that fragment is
// the first of its chunk.
TEST(Frame, FragmentChunksAreAllFreedAtEveryCount) {
  RendererTestWorld world(64, 64);
  gTestDocument.translucent = true;
  ScopedDrawContext ctx;
  Qd3d_SetPane(ctx.ctx, {0, 0, 64, 64}, &ctx.view, false);
  const int64_t start = gApproximateTotalMemoryUsed;
  for (int count : {1, 65536, 65537, 131073, 0}) {
    ASSERT_EQ(RenderStart(ctx.ctx, false), 0);
    EXPECT_EQ(gApproximateTotalMemoryUsed, start) << count;
    for (int i = 0; i < count; ++i) ASSERT_TRUE(InsertFragment(ctx.ctx, i % ctx->bufferPixels, 0.5, 0x80808080));
    EXPECT_EQ(ctx->fragmentCount, count - 1);
    ASSERT_EQ(RenderEnd(ctx.ctx), 0);
  }
  ASSERT_EQ(RenderStart(ctx.ctx, false), 0);
  EXPECT_EQ(gApproximateTotalMemoryUsed, start);
}

// A long translucent run gives every frame's chunks back: small frames,
// and now and then one that ends just before, on or just past a chunk.
TEST(Frame, ATranslucentRunReturnsItsMemoryEveryFrame) {
  const int64_t before = gApproximateTotalMemoryUsed;
  {
    RendererTestWorld world(64, 64);
    gTestDocument.translucent = true;
    ScopedDrawContext ctx;
    Qd3d_SetPane(ctx.ctx, {0, 0, 64, 64}, &ctx.view, false);
    const int64_t start = gApproximateTotalMemoryUsed;
    const int kLarge[] = {65536, 65537, 65535, 131072, 131073};
    const int64_t frames = gFramesRendered;
    for (int frame = 0; frame < 1000; ++frame) {
      const int count = frame % 100 == 99 ? kLarge[frame / 100 % 5] : frame % 5;
      ASSERT_EQ(RenderStart(ctx.ctx, false), 0);
      ASSERT_EQ(gApproximateTotalMemoryUsed, start) << frame;
      for (int i = 0; i < count; ++i)
        ASSERT_TRUE(InsertFragment(ctx.ctx, i % ctx->bufferPixels, 0.125 * (i % 8), 0x80FF8040));
      ASSERT_EQ(ctx->fragmentCount, count - 1);
      ASSERT_EQ(gApproximateTotalMemoryUsed > start, count > 0) << frame;
      ASSERT_EQ(RenderEnd(ctx.ctx), 0);
    }
    EXPECT_EQ(gFramesRendered, frames + 1000);
  }
  EXPECT_EQ(gApproximateTotalMemoryUsed, before);
}

TEST(Frame, ARefusedChunkLosesNothingStored) {
  RendererTestWorld world(64, 64);
  gTestDocument.translucent = true;
  ScopedDrawContext ctx;
  Qd3d_SetPane(ctx.ctx, {0, 0, 64, 64}, &ctx.view, false);
  ASSERT_EQ(RenderStart(ctx.ctx, false), 0);
  for (int i = 0; i < 65536; ++i) ASSERT_TRUE(InsertFragment(ctx.ctx, i % 4096, 0.5, 0x80808080));
  const double physical = gPhysicalMemory;
  const int64_t used = gApproximateTotalMemoryUsed;
  gPhysicalMemory = double(used + 65536) / 0.75;  // room for a table, not a chunk
  EXPECT_FALSE(InsertFragment(ctx.ctx, 0, 0.5, 0x80808080));
  EXPECT_EQ(ctx->fragmentCount, 65535);
  EXPECT_EQ(gApproximateTotalMemoryUsed, used);
  gPhysicalMemory = physical;
  EXPECT_TRUE(InsertFragment(ctx.ctx, 0, 0.5, 0x80808080));
  EXPECT_EQ(ctx->fragmentCount, 65536);
}

TEST(Frame, AntialiasingToggleRebuildsAndRedraws) {
  static std::vector<int> calls;
  calls.clear();
  gRendererHooks.DisposeDrawContexts = [](DocumentRecord*) { calls.push_back(1); };
  gRendererHooks.ResetDesiredRendererType = [](DocumentRecord*) { calls.push_back(2); };
  gRendererHooks.RedrawGraph = [](DocumentRecord*) { calls.push_back(3); };
  gRendererHooks.InvalExprs = [](DocumentRecord*) { calls.push_back(4); };
  gRendererHooks.DoGraph = [](DocumentRecord*) { calls.push_back(5); };
  gRendererHooks.LoopGraphingAnimation = [](DocumentRecord*) { calls.push_back(6); };
  RecomputeGraphsIfNeededForFSAA(nullptr);
  EXPECT_EQ(calls, (std::vector<int>{1, 2, 3}));
  calls.clear();
  gRendererHooks.DrawGraph = [](DocumentRecord*) { return true; };
  gRendererHooks.GetGraphingAnimationState = [](DocumentRecord*) { return int32_t(1); };
  RecomputeGraphsIfNeededForFSAA(nullptr);
  EXPECT_EQ(calls, (std::vector<int>{1, 2, 4, 5, 6}));
  gRendererHooks = {};
}

}  // namespace
