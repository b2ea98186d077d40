#include "renderer/GLFrame.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <vector>

#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/drawing/OurGWorld.h"
#include "platform/EGLContexts.h"
#include "platform/OnscreenGL.h"
#include "renderer/BackgroundPatterns.h"
#include "renderer/DrawContext.h"
#include "renderer/GLProbes.h"
#include "renderer/GLTextures.h"
#include "renderer/Frame.h"
#include "renderer/M3DView.h"
#include "renderer/RendererHooks.h"
#include "renderer/Shader.h"
#include "renderer/Submission.h"
#include "renderer/TriangleFacing.h"

namespace {

constexpr double kGLEyeDistance = 50;

// A pattern's texture in the current context, made at first need.
uint32_t PatternTexture(uint32_t& texture, int resourceId) {
  if (texture == 0) texture = CreateOpenGLTextureFromPattern(LoadedPattern(resourceId));
  return texture;
}

struct PatternCorner {
  double x, y;
};

// Pane pixels, y up, to the viewport; the pattern repeats every 16 pixels
// from the pane's top left corner down, as the software frame lays it.
void TexturedPolygon(uint32_t texture, std::initializer_list<PatternCorner> corners, double w, double h) {
  glBindTexture(GL_TEXTURE_2D, texture);
  glBegin(GL_POLYGON);
  for (const PatternCorner& c : corners) {
    glTexCoord2d(c.x / 16, (h - c.y) / 16);
    glVertex2d(2 * c.x / w - 1, 2 * c.y / h - 1);
  }
  glEnd();
}

void ClearToPattern(MDrawContext* ctx, int32_t kind, bool clearDepth) {
  glDisable(GL_LIGHTING);
  glDisable(GL_NORMALIZE);
  glDisable(GL_DEPTH_TEST);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glEnable(GL_TEXTURE_2D);
  if (clearDepth) glClear(GL_DEPTH_BUFFER_BIT);
  glDepthMask(GL_FALSE);
  glColor4f(1, 1, 1, 1);
  const double w = ctx->pane.right - ctx->pane.left, h = ctx->pane.bottom - ctx->pane.top;
  const uint32_t floor = PatternTexture(ctx->floorTexture, kFloorPatternId);
  if (kind == 1) {
    const uint32_t left = PatternTexture(ctx->leftWallTexture, kLeftWallPatternId);
    const uint32_t right = PatternTexture(ctx->rightWallTexture, kRightWallPatternId);
    const double s = std::max(w, h), cx = w / 2, a = h - 16;
    TexturedPolygon(floor, {{cx, a}, {cx - 2 * s, a - s}, {cx + 2 * s, a - s}}, w, h);
    TexturedPolygon(left, {{cx, a}, {cx - 2 * s, a - s}, {cx - 2 * s, a + s}, {cx, a + s}}, w, h);
    TexturedPolygon(right, {{cx, a}, {cx + 2 * s, a - s}, {cx + 2 * s, a + s}, {cx, a + s}}, w, h);
  } else {
    TexturedPolygon(floor, {{0, 0}, {w, 0}, {w, h}, {0, h}}, w, h);
  }
  glDepthMask(GL_TRUE);
  glDisable(GL_TEXTURE_2D);
  glShadeModel(GL_SMOOTH);
  glEnable(GL_LIGHTING);
  glEnable(GL_NORMALIZE);
  glEnable(GL_DEPTH_TEST);
}

void ClearToBackground(MDrawContext* ctx, bool hsvPass, bool clearDepth) {
  const uint32_t rgb = RenderHooks::BackgroundColor(ctx->document);
  if (hsvPass)
    glClearColor(0, 0, 0, 0);
  else
    glClearColor(float((rgb >> 16) & 0xFF) / 255, float((rgb >> 8) & 0xFF) / 255, float(rgb & 0xFF) / 255, 0);
  glClear(GL_COLOR_BUFFER_BIT | (hsvPass || clearDepth ? GL_DEPTH_BUFFER_BIT : 0));
}

void LoadCamera(const MDrawContext* ctx) {
  const M3DView& view = *ctx->view;
  const AVector eye = Rotate(view.rotation, {kGLEyeDistance, 0, 0});
  const AVector up = Rotate(view.rotation, {0, 0, 1});
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(eye.x, eye.y, eye.z, 0, 0, 0, up.x, up.y, up.z);
  const double scale[3] = {4 / (view.xmax - view.xmin), 4 / (view.ymax - view.ymin), 4 / (view.zmax - view.zmin)};
  glScaled(scale[0], scale[1], scale[2]);
  glFrontFace(MirrorsModel(scale) ? GL_CW : GL_CCW);
  glTranslated(-(view.xmax + view.xmin) / 2, -(view.ymax + view.ymin) / 2, -(view.zmax + view.zmin) / 2);
  const double w = ctx->pane.right - ctx->pane.left, h = ctx->pane.bottom - ctx->pane.top;
  const double aspect = w / h;
  const double fov = (aspect < 1 ? 10 / aspect : 10) * view.zoom / M3DView::kDefaultZoom;
  const double nearest = std::max(kGLEyeDistance - view.modelRadius, 1.0);
  const double farthest = std::min(kGLEyeDistance + view.modelRadius, 200.0);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(fov, aspect, nearest, farthest);
  glTranslated(0.3 / w, 0, 0);
  glMatrixMode(GL_MODELVIEW);
}

}  // namespace

void SetUpConstantOpenGLState() {
  glShadeModel(GL_SMOOTH);
  glEnable(GL_LIGHTING);
  glEnable(GL_NORMALIZE);
  glEnable(GL_DEPTH_TEST);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
  const GLfloat ambient[4] = {0.2f, 0.2f, 0.2f, 1}, diffuse[4] = {0.6f, 0.6f, 0.6f, 1},
                specular[4] = {0.2f, 0.2f, 0.2f, 1}, position[4] = {-1, 1, 1, 0};
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
  glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
  glLightfv(GL_LIGHT0, GL_POSITION, position);
  glEnable(GL_LIGHT0);
  glEnable(GL_MULTISAMPLE_ARB);
  // Drivers without the extension reject the hint as an unknown enum, and
  // the pending error would fail every context made.
  if (HasGLExtension("GL_NV_multisample_filter_hint")) glHint(GL_MULTISAMPLE_FILTER_HINT_NV, GL_NICEST);
  glEnableClientState(GL_VERTEX_ARRAY);
}

void SetUpTransformandLighting(MDrawContext* ctx, bool hsvPass, bool clearDepth) {
  const int32_t kind = RenderHooks::BackgroundType(ctx->document);
  if (hsvPass || kind == 0)
    ClearToBackground(ctx, hsvPass, clearDepth);
  else
    ClearToPattern(ctx, kind, clearDepth);
  LoadCamera(ctx);
  OurSubmitSolidColor(0xFFFFFF, ctx);
  glColor4f(1, 1, 1, 1);
}

namespace {

// The surface lies over the pane, in the window's coordinates from its
// bottom left; each frame places it, which moves, resizes or shows it only
// where it is not already so.
bool PlaceOnscreenBuffer(MDrawContext* ctx, int32_t w, int32_t h) {
  GLContextRecord* context = GetRendererAglContext(ctx);
  const int32_t rect[4] = {ctx->pane.left, OurOnscreenGLHostHeight(context) - ctx->pane.bottom, w, h};
  std::copy(std::begin(rect), std::end(rect), std::begin(ctx->bufferRect));
  return OurPlaceOnscreenGLSurface(context, rect);
}

}  // namespace

int32_t GLRenderStart(MDrawContext* ctx, bool hsvPass) {
  if (!OurMakeGLContextCurrent(GetRendererAglContext(ctx))) return 20;
  const int32_t w = ctx->pane.right - ctx->pane.left, h = ctx->pane.bottom - ctx->pane.top;
  if (ctx->rendererType == kRendererOnscreen &&
      (ctx->maxViewportWidth <= w || ctx->maxViewportHeight <= h || !PlaceOnscreenBuffer(ctx, w, h)))
    return 20;
  glViewport(0, 0, w, h);
  if (hsvPass) glDisable(GL_MULTISAMPLE_ARB);
  SetUpTransformandLighting(ctx, hsvPass, true);
  return glGetError() == GL_NO_ERROR ? 0 : 20;
}

int32_t GLRenderEnd(MDrawContext* ctx) {
  if (ctx->rendererType == kRendererOnscreen) {
    OurSwapOnscreenGLBuffers(GetRendererAglContext(ctx));
    return 0;
  }
  if (!IsSoftwareWorldUsable(ctx)) return 2;
  OurReadPixels(ctx);
  return 0;
}

namespace {

// The texture the HSV pass copies the frame into, remade for a new size.
void PrepareHSVTexture(MDrawContext* ctx, int w, int h) {
  if (ctx->hsvTexture && ctx->hsvTextureWidth == w && ctx->hsvTextureHeight == h) {
    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, ctx->hsvTexture);
    return;
  }
  if (ctx->hsvTexture) glDeleteTextures(1, &ctx->hsvTexture);
  glGenTextures(1, &ctx->hsvTexture);
  glBindTexture(GL_TEXTURE_RECTANGLE_ARB, ctx->hsvTexture);
  glTexImage2D(GL_TEXTURE_RECTANGLE_ARB, 0, 4, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  ctx->hsvTextureWidth = w;
  ctx->hsvTextureHeight = h;
  if (glGetError() != GL_NO_ERROR) QueueError(kOutOfMemoryError);
}

void DrawPixelQuad(int w, int h) {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glTranslated(-1, -1, 0);
  glScaled(2.0 / w, 2.0 / h, 1);
  glTranslated(0.375, 0.375, 0);
  glDisable(GL_DEPTH_TEST);
  glBegin(GL_QUADS);
  const int corners[4][2] = {{0, 0}, {w, 0}, {w, h}, {0, h}};
  for (const auto& c : corners) {
    glTexCoord2i(c[0], c[1]);
    glVertex2i(c[0], c[1]);
  }
  glEnd();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
}

}  // namespace

// The HSV graphs drew with multisampling off, so every sample of a pixel
// holds the same value; a multisampled frame is copied from its resolved
// picture, as a copy from the samples themselves is refused.
void ConvertFrameBufferHSVtoRGBandPrepareToDrawEverythingElse(MDrawContext* ctx) {
  GLContextRecord* context = GetRendererAglContext(ctx);
  if (context == nullptr || !OurMakeGLContextCurrent(context)) return;
  const int w = ctx->pane.right - ctx->pane.left, h = ctx->pane.bottom - ctx->pane.top;
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHT0);
  glDisable(GL_LIGHTING);
  glDisable(GL_NORMALIZE);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  PrepareHSVTexture(ctx, w, h);
  OurResolveGLFramebuffer(context);
  glCopyTexSubImage2D(GL_TEXTURE_RECTANGLE_ARB, 0, 0, 0, 0, 0, w, h);
  OurMakeGLContextCurrent(context);
  glEnable(GL_MULTISAMPLE_ARB);
  SetUpTransformandLighting(ctx, false, false);
  glDisable(GL_LIGHT0);
  glDisable(GL_LIGHTING);
  glDisable(GL_NORMALIZE);
  glDepthMask(GL_FALSE);
  glEnable(GL_FRAGMENT_PROGRAM_ARB);
  glEnable(GL_TEXTURE_RECTANGLE_ARB);
  if (ctx->hsvShader == nullptr) ctx->hsvShader = std::make_unique<Shader>("", gHSVtoRGB, true);
  glColor4f(1, 1, 1, 1);
  ctx->hsvShader->bind();
  glBindTexture(GL_TEXTURE_RECTANGLE_ARB, ctx->hsvTexture);
  glTexParameteri(GL_TEXTURE_RECTANGLE_ARB, GL_TEXTURE_WRAP_S, GL_CLAMP);
  glTexParameteri(GL_TEXTURE_RECTANGLE_ARB, GL_TEXTURE_WRAP_T, GL_CLAMP);
  glTexParameteri(GL_TEXTURE_RECTANGLE_ARB, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_RECTANGLE_ARB, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  DrawPixelQuad(w, h);
  glDisable(GL_TEXTURE_RECTANGLE_ARB);
  glDisable(GL_FRAGMENT_PROGRAM_ARB);
  glDepthMask(GL_TRUE);
  glDisable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHT0);
  glEnable(GL_LIGHTING);
  glEnable(GL_NORMALIZE);
  glColor4f(1, 1, 1, 1);
}

void OurReadPixels(MDrawContext* ctx) {
  GLContextRecord* context = GetRendererAglContext(ctx);
  if (context == nullptr || !IsSoftwareWorldUsable(ctx) || !OurMakeGLContextCurrent(context)) return;
  glFinish();
  OurResolveGLFramebuffer(context);
  const int w = ctx->pane.right - ctx->pane.left, h = ctx->pane.bottom - ctx->pane.top;
  std::vector<uint32_t> pixels(size_t(w) * size_t(h));
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glReadPixels(0, 0, w, h, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, pixels.data());
  OurPort* world = RenderHooks::GetOffscreenGWorld(ctx->document);
  uint8_t* base = GetBaseAddress(world);
  const long rowBytes = GetRowBytes(world);
  // The world is opaque; the frame's alpha only matters to the HSV pass.
  for (int i = 0; i < h; ++i) {
    const uint32_t* from = pixels.data() + size_t(h - 1 - i) * size_t(w);
    auto* to = reinterpret_cast<uint32_t*>(base + rowBytes * (ctx->pane.top + i)) + ctx->pane.left;
    for (int x = 0; x < w; ++x) to[x] = from[x] | 0xFF000000u;
  }
}
