#include "renderer/Textures.h"

#include <GL/gl.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/memory/MemoryBudget.h"
#include "platform/EGLContexts.h"
#include "platform/OurPicture.h"
#include "renderer/Frame.h"
#include "renderer/GLTextures.h"
#include "renderer/SoftwareTexture.h"

namespace {

void DrawStretched(const OurPicture& picture, QImage& target) {
  QPainter painter(&target);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  if (!picture.image.isNull()) {
    painter.drawImage(target.rect(), picture.image);
    return;
  }
  if (picture.frame.isEmpty()) return;
  painter.scale(double(target.width()) / picture.frame.width(), double(target.height()) / picture.frame.height());
  painter.drawPicture(-picture.frame.topLeft(), picture.recording);
}

uint32_t Average(const uint32_t* four[4]) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    uint32_t sum = 0;
    for (int k = 0; k < 4; ++k) sum += (*four[k] >> shift) & 0xFF;
    out |= (sum / 4) << shift;
  }
  return out;
}

// Level 9 from the image, rows reversed, then each level the 2 x 2 mean of
// the next.
void FillLevels(OurTexture* texture, const QImage& image) {
  auto* next = reinterpret_cast<uint32_t*>(texture + 1);
  for (int level = 0; level < kTextureLevels; ++level) {
    texture->levels[level] = next;
    next += (1 << level) * (1 << level);
  }
  uint32_t* top = texture->levels[kTextureLevels - 1];
  for (int row = 0; row < kTextureSide; ++row) {
    const auto* line = reinterpret_cast<const uint32_t*>(image.constScanLine(kTextureSide - 1 - row));
    std::copy_n(line, kTextureSide, top + row * kTextureSide);
  }
  for (int level = kTextureLevels - 2; level >= 0; --level) {
    const int side = 1 << level;
    const uint32_t* finer = texture->levels[level + 1];
    uint32_t* coarser = texture->levels[level];
    for (int v = 0; v < side; ++v)
      for (int u = 0; u < side; ++u) {
        const uint32_t* four[4] = {&finer[2 * v * 2 * side + 2 * u], &finer[2 * v * 2 * side + 2 * u + 1],
                                   &finer[(2 * v + 1) * 2 * side + 2 * u], &finer[(2 * v + 1) * 2 * side + 2 * u + 1]};
        coarser[v * side + u] = Average(four);
      }
  }
}

}  // namespace

double LabelFontSize(double size) { return std::isfinite(size) && size > 0 && size < 100 ? size : 9; }

OurTexture* SWCreateTexture(const OurPicture* picture) {
  if (picture == nullptr) return nullptr;
  auto* texture = static_cast<OurTexture*>(
      OurAllocateMemory(sizeof(OurTexture) + sizeof(uint32_t) * size_t(kTextureTexels), false));
  if (texture == nullptr) {
    QueueError(kOutOfMemoryError);
    return nullptr;
  }
  QImage image(kTextureSide, kTextureSide, QImage::Format_ARGB32);
  if (image.isNull()) {
    OurDisposeMemory(texture);
    QueueError(kOutOfMemoryError);
    return nullptr;
  }
  // Clear white, so that what the picture leaves undrawn keeps no alpha.
  image.fill(0x00FFFFFFu);
  DrawStretched(*picture, image);
  auto* pixels = reinterpret_cast<uint32_t*>(image.bits());
  const size_t count = size_t(kTextureSide) * kTextureSide;
  if (std::all_of(pixels, pixels + count, [](uint32_t p) { return (p >> 24) == 0; })) {
    for (size_t i = 0; i < count; ++i) pixels[i] |= 0xFF000000u;
  }
  FillLevels(texture, image);
  return texture;
}

OurTexture* CreateTexture(const OurPicture* picture, MDrawContext* ctx) {
  if (picture == nullptr) return nullptr;
  if (ctx->rendererType == kRendererSoftware) return SWCreateTexture(picture);
  if (!IsOpenGL(ctx) || !OurMakeGLContextCurrent(GetRendererAglContext(ctx))) return nullptr;
  // The handle is the texture name itself.
  return reinterpret_cast<OurTexture*>(uintptr_t(GLCreateTexture(*picture)));
}

bool IsTextureValid(const OurTexture* texture, const MDrawContext* ctx) {
  if (ctx->rendererType == kRendererNone || ctx->rendererType == kRendererSoftware) return true;
  if (!IsOpenGL(ctx)) return false;
  const GLuint name = GLuint(reinterpret_cast<uintptr_t>(texture));
  if (ctx->rendererType == kRendererOnscreen &&
      (name == ctx->floorTexture || name == ctx->leftWallTexture || name == ctx->rightWallTexture))
    return false;
  return OurMakeGLContextCurrent(GetRendererAglContext(ctx)) && glIsTexture(name);
}

// A GL texture went with its context when the view changed renderer or
// context since, even to a new one at the same address.
void DisposeTexture(OurTexture* texture, Our3DRendererType madeWith, uint64_t contextSerialMadeWith,
                    MDrawContext* ctx) {
  if (texture == nullptr) return;
  if (madeWith == kRendererSoftware) {
    OurDisposeMemory(texture);
    return;
  }
  GLContextRecord* context = GetRendererAglContext(ctx);
  if ((madeWith != kRendererOnscreen && madeWith != kRendererOffscreen) || ctx->rendererType != madeWith ||
      !OurIsGLContextLive(context, contextSerialMadeWith))
    return;
  if (!OurMakeGLContextCurrent(context)) return;
  const GLuint name = GLuint(reinterpret_cast<uintptr_t>(texture));
  glDeleteTextures(1, &name);
}
