#include <GL/gl.h>

#include <QWidget>

#include <algorithm>
#include <iterator>

#include "CoreUtilities/drawing/OurGWorld.h"
#include "platform/EGLContexts.h"
#include "platform/OnscreenGL.h"
#include "renderer/DrawContext.h"
#include "renderer/GLContexts.h"
#include "renderer/GLFrame.h"
#include "renderer/GLProbes.h"
#include "renderer/RendererGlobals.h"
#include "renderer/RendererHooks.h"
#include "renderer/Shader.h"

namespace {

constexpr int32_t kAntialiasedSamples = 4;
// Wider panes lose antialiasing on screen.
constexpr int32_t kWidestAntialiasedPane = 2048;

// The antialiased format asks for 4 samples; the plain and robust ones, and
// a refused antialiased one, for a single sample.
GLContextRecord* MakeContext(const MDrawContext* ctx, bool hardware, int32_t width, int32_t height) {
  const bool antialiased = hardware && RenderHooks::UseSampleBuffer(ctx->document) && !gDisableAntialiasingPreference;
  if (antialiased)
    if (GLContextRecord* made = OurNewGLContext(width, height, kAntialiasedSamples)) return made;
  return OurNewGLContext(width, height, 0);
}

bool ViewportHolds(int32_t width, int32_t height, GLint dims[2]) {
  glGetIntegerv(GL_MAX_VIEWPORT_DIMS, dims);
  return dims[0] > width && dims[1] > height;
}

bool ViewportHolds(int32_t width, int32_t height) {
  GLint dims[2] = {0, 0};
  return ViewportHolds(width, height, dims);
}

// The first format the surface takes: the antialiased one where it applies,
// else, or when refused, the plain one.
GLContextRecord* MakeOnscreenContext(const MDrawContext* ctx, bool hardware, int32_t width, int32_t height) {
  const bool antialiased = hardware && RenderHooks::UseSampleBuffer(ctx->document) && !gDisableAntialiasingPreference &&
                           width < kWidestAntialiasedPane;
  if (antialiased)
    if (GLContextRecord* made = OurNewOnscreenGLContext(ctx->window, width, height, kAntialiasedSamples)) return made;
  return OurNewOnscreenGLContext(ctx->window, width, height, 0);
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

// A new context learns the card's traits and takes the state every frame
// assumes; false when the card refused any of it.
bool SetUpNewContext(MDrawContext* ctx, GLContextRecord* context) {
  ctx->vbosUsable = DoVBOsWork(ctx);
  ctx->isNVidia = RendererIsNVidia();
  ctx->isATI = RendererIsATI();
  ctx->hsvTexture = 0;
  ctx->hsvTextureWidth = ctx->hsvTextureHeight = 0;
  ctx->hsvShader.reset();
  SetUpConstantOpenGLState();
  SetLineAndPointWidths(OurGLContextSamples(context) > 0);
  return glGetError() == GL_NO_ERROR;
}

}  // namespace

// Frames draw in pane pixels: a surface on a scaled screen would take a
// corner of them, so the offscreen renderer, whose picture the window
// scales as it scales 2-D, draws there instead.
int32_t OnscreenCreate(MDrawContext* ctx, bool hardware) {
  if (ctx->window == nullptr || ctx->window->devicePixelRatioF() != 1 || !OurOnscreenGLAvailable()) return 20;
  const int32_t width = ctx->pane.right - ctx->pane.left, height = ctx->pane.bottom - ctx->pane.top;
  GLContextRecord* context = MakeOnscreenContext(ctx, hardware, width, height);
  if (context == nullptr) return 20;
  GLint dims[2] = {0, 0};
  if (glGetError() != GL_NO_ERROR || !ViewportHolds(width, height, dims)) {
    OurDisposeGLContext(context);
    return 20;
  }
  ctx->onscreenContext = context;
  ctx->maxViewportWidth = dims[0];
  ctx->maxViewportHeight = dims[1];
  std::fill(std::begin(ctx->bufferRect), std::end(ctx->bufferRect), 0);
  if (!SetUpNewContext(ctx, context)) {
    ctx->onscreenContext = nullptr;
    OurDisposeGLContext(context);
    return 20;
  }
  return 0;
}

int32_t OffscreenCreate(MDrawContext* ctx, bool hardware) {
  if (!IsSoftwareWorldUsable(ctx)) return 2;
  const int32_t width = ctx->pane.right - ctx->pane.left, height = ctx->pane.bottom - ctx->pane.top;
  GLContextRecord* context = MakeContext(ctx, hardware, width, height);
  if (context == nullptr) return 20;
  if (!OurMakeGLContextCurrent(context) || !ViewportHolds(width, height)) {
    OurDisposeGLContext(context);
    return 20;
  }
  ctx->savedPixelsState = OurLockPixels(RenderHooks::GetOffscreenGWorld(ctx->document));
  ctx->offscreenContext = context;
  if (!SetUpNewContext(ctx, context)) {
    if (ctx->savedPixelsState) OurUnlockPixels(RenderHooks::GetOffscreenGWorld(ctx->document));
    ctx->savedPixelsState = 0;
    ctx->offscreenContext = nullptr;
    OurDisposeGLContext(context);
    return 20;
  }
  return 0;
}

void DestroyGLContext(GLContextRecord* context) { OurDisposeGLContext(context); }

void FinishGLContext(GLContextRecord* context) {
  if (OurMakeGLContextCurrent(context)) glFinish();
}
