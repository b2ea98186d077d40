#include <GL/gl.h>

#include "CoreUtilities/drawing/OurGWorld.h"
#include "platform/EGLContexts.h"
#include "renderer/DrawContext.h"
#include "renderer/GLContexts.h"
#include "renderer/GLFrame.h"
#include "renderer/GLProbes.h"
#include "renderer/RendererGlobals.h"
#include "renderer/RendererHooks.h"
#include "renderer/Shader.h"

namespace {

constexpr int32_t kAntialiasedSamples = 4;

// The antialiased format asks for 4 samples; the plain and robust ones, and
// a refused antialiased one, for a single sample.
OurEGLContext* MakeContext(const MDrawContext* ctx, bool hardware, int32_t width, int32_t height) {
  const bool antialiased = hardware && RenderHooks::UseSampleBuffer(ctx->document) && !gDisableAntialiasingPreference;
  if (antialiased)
    if (OurEGLContext* made = OurNewGLContext(width, height, kAntialiasedSamples)) return made;
  return OurNewGLContext(width, height, 0);
}

bool ViewportHolds(int32_t width, int32_t height) {
  GLint dims[2] = {0, 0};
  glGetIntegerv(GL_MAX_VIEWPORT_DIMS, dims);
  return dims[0] > width && dims[1] > height;
}

void SetLineAndPointWidths(bool multisampled) {
  if (multisampled) {
    const float width = MultisampleLineWidth();
    glLineWidth(width);
    glPointSize(width);
  } else {
    glPointSize(1.5f);
  }
}

}  // namespace

// No widget of our own draws OpenGL on screen: the choice goes on to the
// offscreen renderer, whose picture the window shows as it shows 2-D.
int32_t OnscreenCreate(MDrawContext*, bool) { return 20; }

int32_t OffscreenCreate(MDrawContext* ctx, bool hardware) {
  if (!IsSoftwareWorldUsable(ctx)) return 2;
  const int32_t width = ctx->pane.right - ctx->pane.left, height = ctx->pane.bottom - ctx->pane.top;
  OurEGLContext* context = MakeContext(ctx, hardware, width, height);
  if (context == nullptr) return 20;
  if (!OurMakeGLContextCurrent(context) || !ViewportHolds(width, height)) {
    OurDisposeGLContext(context);
    return 20;
  }
  ctx->savedPixelsState = OurLockPixels(RenderHooks::GetOffscreenGWorld(ctx->document));
  ctx->offscreenContext = context;
  ctx->vbosUsable = DoVBOsWork(ctx);
  ctx->isNVidia = RendererIsNVidia();
  ctx->isATI = RendererIsATI();
  ctx->hsvTexture = 0;
  ctx->hsvTextureWidth = ctx->hsvTextureHeight = 0;
  ctx->hsvShader.reset();
  SetUpConstantOpenGLState();
  SetLineAndPointWidths(OurGLContextSamples(context) > 0);
  if (glGetError() != GL_NO_ERROR) {
    if (ctx->savedPixelsState) OurUnlockPixels(RenderHooks::GetOffscreenGWorld(ctx->document));
    ctx->savedPixelsState = 0;
    ctx->offscreenContext = nullptr;
    OurDisposeGLContext(context);
    return 20;
  }
  return 0;
}

void DestroyGLContext(void* context) { OurDisposeGLContext(static_cast<OurEGLContext*>(context)); }

void FinishGLContext(void* context) {
  if (OurMakeGLContextCurrent(static_cast<OurEGLContext*>(context))) glFinish();
}
