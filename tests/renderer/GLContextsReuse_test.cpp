#include <GL/gl.h>
#include <gtest/gtest.h>

#include <QImage>

#include "platform/EGLContexts.h"
#include "platform/GLFunctions.h"
#include "platform/OurPicture.h"
#include "renderer/Frame.h"
#include "renderer/RendererGlobals.h"
#include "renderer/Shader.h"
#include "renderer/Textures.h"
#include "tests/renderer/RendererTestWorld.h"

namespace {

constexpr const char* kPassThrough = "!!ARBfp1.0\nMOV result.color, fragment.color;\nEND\n";

GLuint BoundProgram() {
  GLint name = 0;
  gGL.getProgramiv(GL_FRAGMENT_PROGRAM_ARB, GL_PROGRAM_BINDING_ARB, &name);
  return GLuint(name);
}

// A program or texture of a destroyed context must leave alone the same name
// in a context made after it, at the same address or not: the allocator
// usually hands the freed memory straight back.
TEST(ContextReuse, AShaderOfAGoneContextDeletesNothingInItsSuccessor) {
  GLContextRecord* first = OurNewGLContext(8, 8, 0);
  ASSERT_NE(first, nullptr);
  ASSERT_TRUE(OurMakeGLContextCurrent(first));
  auto* stale = new Shader("", kPassThrough, true);
  stale->bind();
  ASSERT_TRUE(stale->isWorking());
  const uint64_t firstSerial = OurGLContextSerial(first);
  OurDisposeGLContext(first);

  GLContextRecord* second = OurNewGLContext(8, 8, 0);
  ASSERT_NE(second, nullptr);
  ASSERT_TRUE(OurMakeGLContextCurrent(second));
  EXPECT_NE(OurCurrentGLContextSerial(), firstSerial);
  Shader live("", kPassThrough, true);
  live.bind();
  ASSERT_TRUE(live.isWorking());
  const GLuint name = BoundProgram();
  delete stale;
  EXPECT_TRUE(gGL.isProgram(name));
  OurDisposeGLContext(second);
}

TEST(ContextReuse, ATextureOfAGoneContextIsNotDeletedInItsSuccessor) {
  RendererTestWorld world(32, 32);
  OurPicture picture;
  picture.image = QImage(8, 8, QImage::Format_RGB32);
  picture.image.fill(0xFF0000FFu);
  picture.frame = picture.image.rect();
  for (int round = 0; round < 2; ++round) {
    ScopedDrawContext ctx(kRendererAutomatic);
    Qd3d_SetPane(ctx.ctx, MRect{0, 0, 32, 32}, &ctx.view, false);
    ASSERT_EQ(GetRendererType(ctx.ctx), kRendererOffscreen);
    OurTexture* stale = CreateTexture(&picture, ctx.ctx);
    ASSERT_NE(stale, nullptr);
    const uint64_t staleSerial = GetRendererContextSerial(ctx.ctx);
    DisposeDrawContext(ctx.ctx);
    DestroyContextsAwaitingDestruction();

    Qd3d_SetPane(ctx.ctx, MRect{0, 0, 32, 32}, &ctx.view, false);
    ASSERT_EQ(GetRendererType(ctx.ctx), kRendererOffscreen);
    ASSERT_NE(GetRendererContextSerial(ctx.ctx), staleSerial);
    OurTexture* live = CreateTexture(&picture, ctx.ctx);
    ASSERT_TRUE(IsTextureValid(live, ctx.ctx));
    DisposeTexture(stale, kRendererOffscreen, staleSerial, ctx.ctx);
    EXPECT_TRUE(IsTextureValid(live, ctx.ctx)) << "round " << round;
    DisposeTexture(live, kRendererOffscreen, GetRendererContextSerial(ctx.ctx), ctx.ctx);
    EXPECT_FALSE(IsTextureValid(live, ctx.ctx));
  }
  // The last context waits for destruction; tests run after this one in the
  // same process count what is waiting.
  DestroyContextsAwaitingDestruction();
}

}  // namespace
