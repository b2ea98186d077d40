#include "renderer/DrawContext.h"

#include <gtest/gtest.h>

#include "CoreUtilities/memory/MemoryBudget.h"
#include "renderer/FragmentStore.h"
#include "renderer/Frame.h"
#include "renderer/RendererGlobals.h"
#include "tests/renderer/RendererTestWorld.h"

namespace {

const MRect kPane{10, 20, 70, 100};  // 80 x 60

TEST(DrawContext, WithoutOpenGLEveryViewDrawsInSoftware) {
  RendererTestWorld world(200, 100);
  ScopedDrawContext ctx(kRendererAutomatic);
  gHasOpenGL = 0;
  EXPECT_EQ(GetRendererType(ctx.ctx), kRendererNone);
  EXPECT_EQ(GetDesiredRendererType(ctx.ctx), kRendererAutomatic);
  EXPECT_EQ(ctx->fragmentCount, -1);
  for (Our3DRendererType desired : {kRendererAutomatic, kRendererOnscreen, kRendererOffscreen}) {
    SetDesiredRendererType(ctx.ctx, desired);
    DisposeDrawContext(ctx.ctx);
    Qd3d_SetPane(ctx.ctx, kPane, &ctx.view, false);
    EXPECT_EQ(GetRendererType(ctx.ctx), kRendererSoftware);
    EXPECT_TRUE(IsDrawContextValid(ctx.ctx));
    EXPECT_EQ(GetDesiredRendererType(ctx.ctx), desired);
  }
  EXPECT_EQ(ctx->bufferRows, 60);
  EXPECT_EQ(ctx->bufferCols, 80);
  EXPECT_EQ(ctx->bufferPixels, 4800);
  EXPECT_EQ(ctx->supersampleX, 1);
  EXPECT_NE(ctx->depthBuffer, nullptr);
  EXPECT_EQ(ctx->fragmentHeads, nullptr);
  EXPECT_EQ(ctx->frameBase, GetBaseAddress(gTestDocument.world));
  EXPECT_EQ(ctx->frameSize, ctx->frameRowBytes * 100);
  EXPECT_EQ(GetRendererAglContext(ctx.ctx), nullptr);
  EXPECT_EQ(TakeDeferredError(), 0);
  gHasOpenGL = 1;
}

TEST(DrawContext, SupersampledAndTranslucentBuffers) {
  RendererTestWorld world(200, 100);
  gTestDocument.sampled = true;
  gTestDocument.translucent = true;
  ScopedDrawContext ctx;
  Qd3d_SetPane(ctx.ctx, kPane, &ctx.view, false);
  ASSERT_EQ(GetRendererType(ctx.ctx), kRendererSoftware);
  EXPECT_EQ(ctx->bufferRows, 124);
  EXPECT_EQ(ctx->bufferCols, 164);
  EXPECT_EQ(ctx->supersampleX, 2);
  EXPECT_EQ(ctx->supersampleRect.top, 2);
  EXPECT_EQ(ctx->supersampleRect.left, 2);
  EXPECT_EQ(ctx->supersampleRect.bottom, 122);
  EXPECT_EQ(ctx->supersampleRect.right, 162);
  EXPECT_NE(ctx->supersampledWorld, nullptr);
  EXPECT_NE(ctx->fragmentHeads, nullptr);
  EXPECT_EQ(ctx->depthBuffer, nullptr);
}

TEST(DrawContext, KeepsOrRebuildsAsThePaneAndDocumentChange) {
  RendererTestWorld world(200, 100);
  ScopedDrawContext ctx;
  Qd3d_SetPane(ctx.ctx, kPane, &ctx.view, false);
  ctx->backgroundDrawn = 1;
  Qd3d_SetPane(ctx.ctx, kPane, &ctx.view, false);
  EXPECT_EQ(ctx->backgroundDrawn, 1);  // kept
  gTestDocument.translucent = true;
  Qd3d_SetPane(ctx.ctx, kPane, &ctx.view, false);
  EXPECT_EQ(ctx->backgroundDrawn, 0);
  EXPECT_NE(ctx->fragmentHeads, nullptr);
  gTestDocument.translucent = false;
  Qd3d_SetPane(ctx.ctx, {10, 20, 50, 60}, &ctx.view, false);
  EXPECT_EQ(ctx->bufferCols, 40);
  EXPECT_NE(ctx->depthBuffer, nullptr);
  // A new world (a resized window) rebuilds as well.
  OurDisposeGWorld(gTestDocument.world);
  gTestDocument.world = OurNewGWorld({0, 0, 90, 150});
  ctx->backgroundDrawn = 1;
  Qd3d_SetPane(ctx.ctx, {10, 20, 50, 60}, &ctx.view, false);
  EXPECT_EQ(ctx->frameBase, GetBaseAddress(gTestDocument.world));
  EXPECT_EQ(ctx->backgroundDrawn, 0);
}

TEST(DrawContext, FailuresLeaveNoRendererAndQueueTheMessage) {
  RendererTestWorld world(100, 50);
  ScopedDrawContext ctx;
  // A pane reaching past the world would draw outside its pixels.
  Qd3d_SetPane(ctx.ctx, {0, 0, 60, 80}, &ctx.view, false);
  EXPECT_FALSE(IsDrawContextValid(ctx.ctx));
  EXPECT_EQ(TakeDeferredError(), kOutOfMemoryError);
  EnableError(kOutOfMemoryError);
  OurDisposeGWorld(gTestDocument.world);
  gTestDocument.world = nullptr;
  Qd3d_SetPane(ctx.ctx, {0, 0, 20, 20}, &ctx.view, false);
  EXPECT_FALSE(IsDrawContextValid(ctx.ctx));
  EXPECT_EQ(TakeDeferredError(), kOutOfMemoryError);
  EnableError(kOutOfMemoryError);
}

TEST(DrawContext, DisposalReturnsEveryByteAndIsHarmlessTwice) {
  RendererTestWorld world(200, 100);
  gTestDocument.sampled = true;
  const int64_t before = gApproximateTotalMemoryUsed;
  {
    ScopedDrawContext ctx;
    Qd3d_SetPane(ctx.ctx, kPane, &ctx.view, false);
    EXPECT_GT(gApproximateTotalMemoryUsed, before);
    DisposeDrawContext(ctx.ctx);
    DisposeDrawContext(ctx.ctx);
    EXPECT_EQ(GetRendererType(ctx.ctx), kRendererNone);
    EXPECT_EQ(GetDesiredRendererType(ctx.ctx), kRendererSoftware);
    EXPECT_EQ(ctx->document, TestDocument());
    EXPECT_EQ(ctx->fragmentCount, -1);
  }
  EXPECT_EQ(gApproximateTotalMemoryUsed, before);
  EXPECT_FALSE(AreAnyOpenGLContextsAwaitingDestruction());
}

// The record owns what it holds: freed with no dispose before, a built
// translucent, supersampled context still gives back its buffers, fragment
// chunks and worlds.
TEST(DrawContext, FreeingTheRecordGivesBackWhatItStillHolds) {
  RendererTestWorld world(200, 100);
  gTestDocument.sampled = true;
  gTestDocument.translucent = true;
  const int64_t before = gApproximateTotalMemoryUsed;
  {
    const OwnedDrawContext ctx = AllocateDrawContext();
    SetDrawContextWindow(ctx.get(), nullptr, TestDocument());
    SetDesiredRendererType(ctx.get(), kRendererSoftware);
    M3DView view;
    Qd3d_SetPane(ctx.get(), kPane, &view, false);
    ASSERT_EQ(RenderStart(ctx.get(), false), 0);
    for (int32_t i = 0; i <= kFragmentsPerChunk; ++i) ASSERT_TRUE(InsertFragment(ctx.get(), i % 64, 0.5, 0x80808080));
    ASSERT_NE(ctx->supersampledWorld, nullptr);
    ASSERT_EQ(ctx->fragmentChunks.size(), 2u);
    EXPECT_GT(gApproximateTotalMemoryUsed, before);
  }
  EXPECT_EQ(gApproximateTotalMemoryUsed, before);
}

TEST(DrawContext, HardwareFlagOnlyWhileOpenGLMayBeUsed) {
  SetHardwareFlag(false);
  EXPECT_EQ(gForceHardware, 0);
  gHasOpenGL = 0;
  SetHardwareFlag(true);
  EXPECT_EQ(gForceHardware, 0);
  gHasOpenGL = 1;
  SetHardwareFlag(true);
  EXPECT_EQ(gForceHardware, 1);
}

}  // namespace
