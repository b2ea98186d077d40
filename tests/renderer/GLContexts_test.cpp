#include <GL/gl.h>
#include <gtest/gtest.h>

#include <QImage>

#include "platform/EGLContexts.h"
#include "platform/OurPicture.h"
#include "renderer/Frame.h"
#include "renderer/GLProbes.h"
#include "renderer/RendererGlobals.h"
#include "renderer/Textures.h"
#include "tests/renderer/RendererTestWorld.h"

namespace {

const MRect kContextPane{10, 20, 70, 100};  // 80 x 60

// Contexts queued by a case die before the next.
class GLContext : public testing::Test {
 protected:
  void TearDown() override {
    DestroyContextsAwaitingDestruction();
    OurInjectGLFailure(GLFailure::kNone);
    SetGLStringSource({});
    gHasOpenGL = 1;
  }
};

// Real Mesa gives every machine a context: not getting one fails.
TEST_F(GLContext, TheAutomaticChoiceDrawsOffscreen) {
  RendererTestWorld world(200, 100);
  for (Our3DRendererType desired : {kRendererAutomatic, kRendererOnscreen, kRendererOffscreen}) {
    ScopedDrawContext ctx(desired);
    Qd3d_SetPane(ctx.ctx, kContextPane, &ctx.view, false);
    ASSERT_EQ(GetRendererType(ctx.ctx), kRendererOffscreen) << desired;
    EXPECT_NE(GetRendererAglContext(ctx.ctx), nullptr);
    EXPECT_EQ(GetDesiredRendererType(ctx.ctx), desired);
    EXPECT_TRUE(ctx->vbosUsable);
    EXPECT_FALSE(ctx->isNVidia);
    EXPECT_FALSE(ctx->isATI);
  }
  ScopedDrawContext ctx(kRendererAutomatic);
  gHasOpenGL = 0;  // "use_software_renderer"
  Qd3d_SetPane(ctx.ctx, kContextPane, &ctx.view, false);
  EXPECT_EQ(GetRendererType(ctx.ctx), kRendererSoftware);
}

TEST_F(GLContext, KeepsTheContextForTheSamePaneAndRebuildsForANewOne) {
  RendererTestWorld world(200, 100);
  ScopedDrawContext ctx(kRendererAutomatic);
  Qd3d_SetPane(ctx.ctx, kContextPane, &ctx.view, false);
  const OurGLContext first = GetRendererAglContext(ctx.ctx);
  Qd3d_SetPane(ctx.ctx, kContextPane, &ctx.view, false);
  EXPECT_EQ(GetRendererAglContext(ctx.ctx), first);
  EXPECT_FALSE(AreAnyOpenGLContextsAwaitingDestruction());
  Qd3d_SetPane(ctx.ctx, {0, 0, 50, 50}, &ctx.view, false);
  EXPECT_EQ(GetRendererType(ctx.ctx), kRendererOffscreen);
  EXPECT_TRUE(AreAnyOpenGLContextsAwaitingDestruction());
  DisposeDrawContext(ctx.ctx);
  DisposeDrawContext(ctx.ctx);  // harmless: nothing left to release
  EXPECT_EQ(GetRendererType(ctx.ctx), kRendererNone);
  DestroyContextsAwaitingDestruction();
  EXPECT_FALSE(AreAnyOpenGLContextsAwaitingDestruction());
}

TEST_F(GLContext, InjectedFailuresFallBackToSoftware) {
  RendererTestWorld world(200, 100);
  for (GLFailure failure : {GLFailure::kContext, GLFailure::kFramebuffer}) {
    OurInjectGLFailure(failure);
    ScopedDrawContext ctx(kRendererAutomatic);
    Qd3d_SetPane(ctx.ctx, kContextPane, &ctx.view, false);
    EXPECT_EQ(GetRendererType(ctx.ctx), kRendererSoftware);
    EXPECT_EQ(TakeDeferredError(), 0);
  }
}

TEST_F(GLContext, APaneAsWideAsTheViewportLimitDrawsInSoftware) {
  GLContextRecord* probe = OurNewGLContext(4, 4, 0);
  ASSERT_NE(probe, nullptr);
  GLint dims[2] = {};
  glGetIntegerv(GL_MAX_VIEWPORT_DIMS, dims);
  OurDisposeGLContext(probe);
  ASSERT_GT(dims[0], 0);
  ASSERT_LT(dims[0], 32767);
  RendererTestWorld world(int16_t(dims[0]), 4);
  ScopedDrawContext ctx(kRendererAutomatic);
  Qd3d_SetPane(ctx.ctx, {0, 0, 4, int16_t(dims[0])}, &ctx.view, false);
  EXPECT_EQ(GetRendererType(ctx.ctx), kRendererSoftware);
  Qd3d_SetPane(ctx.ctx, {0, 0, 4, int16_t(dims[0] - 1)}, &ctx.view, false);
  EXPECT_EQ(GetRendererType(ctx.ctx), kRendererOffscreen);
}

// Mesa lacks the hint's extension: the context stands. Where the card has
// it, the hint is given, and Mesa's refusal then shows that it was.
TEST_F(GLContext, TheMultisampleHintOnlyWhereTheExtensionIsNamed) {
  RendererTestWorld world(200, 100);
  gTestDocument.sampled = true;
  {
    ScopedDrawContext ctx(kRendererAutomatic);
    Qd3d_SetPane(ctx.ctx, kContextPane, &ctx.view, false);
    EXPECT_EQ(GetRendererType(ctx.ctx), kRendererOffscreen);
  }
  SetGLStringSource({nullptr, [] { return "GL_ARB_multisample GL_NV_multisample_filter_hint"; }});
  ScopedDrawContext ctx(kRendererAutomatic);
  Qd3d_SetPane(ctx.ctx, kContextPane, &ctx.view, false);
  EXPECT_EQ(GetRendererType(ctx.ctx), kRendererSoftware);
}

TEST_F(GLContext, TranslucencyGoesToSoftwareAndBackOnlyWhenAsked) {
  RendererTestWorld world(200, 100);
  ScopedDrawContext ctx(kRendererAutomatic);
  Qd3d_SetPane(ctx.ctx, kContextPane, &ctx.view, false);
  ASSERT_EQ(GetRendererType(ctx.ctx), kRendererOffscreen);
  gTestDocument.translucent = true;
  Qd3d_SetPane(ctx.ctx, kContextPane, &ctx.view, false);
  EXPECT_EQ(GetRendererType(ctx.ctx), kRendererSoftware);
  gTestDocument.translucent = false;
  Qd3d_SetPane(ctx.ctx, kContextPane, &ctx.view, false);
  EXPECT_EQ(GetRendererType(ctx.ctx), kRendererSoftware);
  SetDrawContextTransparencyChangedFlag(ctx.ctx);
  Qd3d_SetPane(ctx.ctx, kContextPane, &ctx.view, false);
  EXPECT_EQ(GetRendererType(ctx.ctx), kRendererOffscreen);
  gTestDocument.translucent = true;
  Qd3d_SetPane(ctx.ctx, kContextPane, &ctx.view, false);
  gTestDocument.translucent = false;
  Qd3d_SetPane(ctx.ctx, {10, 20, 70, 90}, &ctx.view, false);
  EXPECT_EQ(GetRendererType(ctx.ctx), kRendererOffscreen);
}

TEST_F(GLContext, AFailedFrameStartIsDisposedAndTheNextPaneRebuilds) {
  RendererTestWorld world(200, 100);
  ScopedDrawContext ctx(kRendererAutomatic);
  Qd3d_SetPane(ctx.ctx, kContextPane, &ctx.view, false);
  ASSERT_EQ(RenderStart(ctx.ctx, false), 0);
  EXPECT_EQ(RenderEnd(ctx.ctx), 0);
  glEnable(GL_TEXTURE_RECTANGLE_ARB + 1);  // no such capability: an error waits
  EXPECT_EQ(RenderStart(ctx.ctx, false), 20);
  DisposeDrawContext(ctx.ctx);
  EXPECT_FALSE(IsDrawContextValid(ctx.ctx));
  Qd3d_SetPane(ctx.ctx, kContextPane, &ctx.view, false);
  EXPECT_EQ(GetRendererType(ctx.ctx), kRendererOffscreen);
  EXPECT_EQ(RenderStart(ctx.ctx, false), 0);
}

TEST_F(GLContext, TexturesLiveAndDieWithTheirContext) {
  RendererTestWorld world(200, 100);
  ScopedDrawContext ctx(kRendererAutomatic);
  Qd3d_SetPane(ctx.ctx, kContextPane, &ctx.view, false);
  OurPicture picture;
  picture.image = QImage(10, 3, QImage::Format_RGB32);
  picture.image.fill(0xFF00FF00u);
  picture.frame = picture.image.rect();
  OurTexture* texture = CreateTexture(&picture, ctx.ctx);
  ASSERT_NE(texture, nullptr);
  EXPECT_TRUE(IsTextureValid(texture, ctx.ctx));
  GLint width = 0, height = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
  EXPECT_EQ(width, 16);
  EXPECT_EQ(height, 4);
  const uint64_t madeWith = GetRendererContextSerial(ctx.ctx);
  // After a switch to software the name went with its context.
  gTestDocument.translucent = true;
  Qd3d_SetPane(ctx.ctx, kContextPane, &ctx.view, false);
  ASSERT_EQ(GetRendererType(ctx.ctx), kRendererSoftware);
  DisposeTexture(texture, kRendererOffscreen, madeWith, ctx.ctx);
  DestroyContextsAwaitingDestruction();
  gTestDocument.translucent = false;
  SetDrawContextTransparencyChangedFlag(ctx.ctx);
  Qd3d_SetPane(ctx.ctx, kContextPane, &ctx.view, false);
  ASSERT_EQ(GetRendererType(ctx.ctx), kRendererOffscreen);
  texture = CreateTexture(&picture, ctx.ctx);
  DisposeTexture(texture, kRendererOffscreen, GetRendererContextSerial(ctx.ctx), ctx.ctx);
  EXPECT_FALSE(IsTextureValid(texture, ctx.ctx));
}

}  // namespace
