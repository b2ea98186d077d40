#pragma once

#include <gtest/gtest.h>

#include "renderer/Frame.h"
#include "tests/renderer/RendererTestWorld.h"

inline constexpr int kWidth = 80, kHeight = 60;
inline const MRect kPane{10, 20, 10 + kHeight, 20 + kWidth};

inline MVertex At(float x, float y, float z = 0.5f, float alpha = 1) { return {x, y, z, 1, 0.5f, 0.25f, alpha, 0, 0}; }

// A software frame of the test document over the pane.
struct TestFrame {
  explicit TestFrame(bool translucent, bool sampled = false) : world(200, 100) {
    gTestDocument.translucent = translucent;
    gTestDocument.sampled = sampled;
    gTestDocument.backgroundColor = 0;
    Qd3d_SetPane(ctx.ctx, kPane, &ctx.view, false);
    EXPECT_EQ(RenderStart(ctx.ctx, false), 0);
  }
  // Fragments in the list of each cell of the pane (unsampled).
  int Fragments(int x, int y) const {
    int n = 0;
    for (uint32_t i = ctx->fragmentHeads[y * ctx->bufferCols + x]; !(i & 0x80000000u);
         i = ctx->fragmentChunks[i >> 16][i & 0xFFFF].next)
      ++n;
    return n;
  }
  bool Written(int x, int y) const { return ctx->depthBuffer[y * ctx->bufferCols + x] < 2.0; }
  uint32_t Pixel(int x, int y) const { return world.Pixel(x + kPane.left, y + kPane.top); }

  RendererTestWorld world;
  ScopedDrawContext ctx;
};
