#include "platform/EGLContexts.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/GLFunctions.h"

namespace {

// Clears the context's picture to a colour and reads the middle pixel back.
uint32_t ClearedPixel(GLContextRecord* context, int w, int h) {
  glViewport(0, 0, w, h);
  glClearColor(1.0f, 0.5f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  OurResolveGLFramebuffer(context);
  std::vector<uint32_t> pixels(size_t(w) * size_t(h));
  glReadPixels(0, 0, w, h, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, pixels.data());
  return pixels[size_t(h / 2) * size_t(w) + size_t(w / 2)];
}

// Mesa gives a context on any machine; not getting one is a failure.
TEST(EGLContexts, DrawsIntoSingleAndMultisampledFramebuffers) {
  for (int samples : {0, 4}) {
    GLContextRecord* context = OurNewGLContext(64, 32, samples);
    ASSERT_NE(context, nullptr) << samples << " samples";
    ASSERT_TRUE(OurMakeGLContextCurrent(context));
    EXPECT_EQ(OurGLContextSamples(context), samples);
    GLint drawn = 0;
    glGetIntegerv(GL_SAMPLES, &drawn);
    EXPECT_EQ(drawn, samples);
    EXPECT_EQ(ClearedPixel(context, 64, 32), 0xFFFF8000u);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    OurDisposeGLContext(context);
  }
  EXPECT_NE(gGL.genBuffers, nullptr);
  EXPECT_NE(gGL.programString, nullptr);
}

TEST(EGLContexts, TwoContextsKeepTheirOwnPictures) {
  GLContextRecord* first = OurNewGLContext(8, 8, 0);
  GLContextRecord* second = OurNewGLContext(16, 4, 0);
  ASSERT_TRUE(first && second);
  ASSERT_TRUE(OurMakeGLContextCurrent(first));
  glClearColor(0, 0, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  ASSERT_TRUE(OurMakeGLContextCurrent(second));
  EXPECT_EQ(ClearedPixel(second, 16, 4), 0xFFFF8000u);
  ASSERT_TRUE(OurMakeGLContextCurrent(first));
  OurResolveGLFramebuffer(first);
  uint32_t pixel = 0;
  glReadPixels(3, 3, 1, 1, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, &pixel);
  EXPECT_EQ(pixel, 0xFF0000FFu);
  OurDisposeGLContext(first);
  OurDisposeGLContext(second);
}

TEST(EGLContexts, FailuresAreNullResults) {
  EXPECT_EQ(OurNewGLContext(0, 10, 0), nullptr);
  OurInjectGLFailure(GLFailure::kContext);
  EXPECT_EQ(OurNewGLContext(10, 10, 0), nullptr);
  OurInjectGLFailure(GLFailure::kFramebuffer);
  EXPECT_EQ(OurNewGLContext(10, 10, 4), nullptr);
  OurInjectGLFailure(GLFailure::kNone);
  // Larger than any renderbuffer may be.
  EXPECT_EQ(OurNewGLContext(1 << 20, 1, 0), nullptr);
  EXPECT_FALSE(OurMakeGLContextCurrent(nullptr));
  OurDisposeGLContext(nullptr);
  GLContextRecord* context = OurNewGLContext(10, 10, 0);
  EXPECT_NE(context, nullptr);
  OurDisposeGLContext(context);
}

}  // namespace
