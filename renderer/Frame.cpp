#include "renderer/Frame.h"

#include <algorithm>
#include <cmath>

#include "CoreUtilities/drawing/OurGWorld.h"
#include "renderer/BackgroundPatterns.h"
#include "renderer/DrawContext.h"
#include "renderer/FragmentStore.h"
#include "renderer/GLFrame.h"
#include "renderer/M3DView.h"
#include "renderer/RendererGlobals.h"
#include "renderer/RendererHooks.h"

namespace {

constexpr double kEyeDistance = 50;

uint32_t* PixelRow(uint8_t* base, long rowBytes, int row) { return reinterpret_cast<uint32_t*>(base + rowBytes * row); }

void FillRect(uint8_t* base, long rowBytes, const MRect& r, uint32_t pixel) {
  for (int row = r.top; row < r.bottom; ++row)
    std::fill_n(PixelRow(base, rowBytes, row) + r.left, r.right - r.left, pixel);
}

void CopyRect(OurPort* source, uint8_t* base, long rowBytes, const MRect& destination) {
  uint8_t* from = GetBaseAddress(source);
  const long fromRowBytes = GetRowBytes(source);
  const int width = destination.right - destination.left;
  for (int row = 0; row < destination.bottom - destination.top; ++row)
    std::copy_n(PixelRow(from, fromRowBytes, row), width,
                PixelRow(base, rowBytes, destination.top + row) + destination.left);
}

void DrawBackground(MDrawContext* ctx, int32_t kind, uint32_t opaqueColor) {
  if (kind == 0) {
    FillRect(ctx->frameBase, ctx->frameRowBytes, ctx->pane, opaqueColor);
    return;
  }
  if (!ctx->backgroundDrawn) {
    DrawPatternBackground(ctx->backgroundWorld.get(), kind);
    ctx->backgroundDrawn = 1;
  }
  CopyRect(ctx->backgroundWorld.get(), ctx->frameBase, ctx->frameRowBytes, ctx->pane);
}

// Cells never written since the last reset still hold its values.
void ResetCells(MDrawContext* ctx) {
  const int32_t first = ctx->firstCellWritten, count = std::max(ctx->endCellWritten - first, 0);
  if (ctx->fragmentHeads) {
    std::fill_n(ctx->fragmentHeads.get() + first, count, kNoFragment);
    FreeFragmentChunks(ctx);
  } else {
    std::fill_n(ctx->depthBuffer.get() + first, count, 2.0);
  }
  ctx->firstCellWritten = ctx->bufferPixels;
  ctx->endCellWritten = 0;
}

void SetCamera(MDrawContext* ctx) {
  const M3DView& view = *ctx->view;
  const AVector eye = Rotate(view.rotation, {kEyeDistance, 0, 0});
  const AVector up = Rotate(view.rotation, {0, 0, 1});
  const AVector d = (-1 / std::sqrt(Dot(eye, eye))) * eye;
  AVector u = up - Dot(up, d) * d;
  u = (1 / std::sqrt(Dot(u, u))) * u;
  const int w = ctx->pane.right - ctx->pane.left, h = ctx->pane.bottom - ctx->pane.top;
  const double k = std::min(w, h) * 0.5 * 0.3972 * kEyeDistance / view.zoom;
  AVector x = Cross(d, u);
  x = (k / std::sqrt(Dot(x, x))) * x;
  const AVector y = k * u;
  const AVector* from[4] = {&eye, &x, &y, &d};
  double* to[4] = {ctx->eye, ctx->screenX, ctx->screenY, ctx->viewDirection};
  for (int i = 0; i < 4; ++i) {
    to[i][0] = from[i]->x;
    to[i][1] = from[i]->y;
    to[i][2] = from[i]->z;
  }
  const double nearest = std::max(kEyeDistance - view.modelRadius, 1.0);
  const double farthest = std::min(kEyeDistance + view.modelRadius, 100.0);
  ctx->depthScale = 1 / (farthest - nearest);
  ctx->depthOffset = nearest / (nearest - farthest);
}

void ResetSubmission(MDrawContext* ctx) {
  ctx->currentColor = 0xFFFFFF;
  ctx->colorSource = 0;
  ctx->currentOpacity = 1.0f;
  ctx->submittedVertices = ctx->submittedNormals = nullptr;
  ctx->submittedTexCoords = nullptr;
  ctx->submittedColors = nullptr;
}

// The world the context was built for, still there: a frame without a
// new pane call must not write into a world since replaced.
bool FrameWorldUsable(const MDrawContext* ctx) {
  return IsSoftwareWorldUsable(ctx) && ctx->frameBase == GetBaseAddress(RenderHooks::GetOffscreenGWorld(ctx->document));
}

int32_t SoftwareRenderStart(MDrawContext* ctx) {
  if (!FrameWorldUsable(ctx)) return 2;
  const int32_t kind = RenderHooks::BackgroundType(ctx->document);
  const uint32_t opaqueColor = 0xFF000000u | (RenderHooks::BackgroundColor(ctx->document) & 0xFFFFFF);
  DrawBackground(ctx, kind, opaqueColor);
  ResetCells(ctx);
  if (ctx->supersampledWorld) {
    if (kind == 0)
      FillRect(GetBaseAddress(ctx->supersampledWorld.get()), GetRowBytes(ctx->supersampledWorld.get()),
               {0, 0, int16_t(ctx->bufferRows), int16_t(ctx->bufferCols)}, opaqueColor);
    else
      OurCopyGWorldToGWorld(ctx->backgroundWorld.get(), ctx->supersampledWorld.get(),
                            GetPortRect(ctx->backgroundWorld.get()), ctx->supersampleRect);
  }
  SetCamera(ctx);
  ResetSubmission(ctx);
  return 0;
}

int32_t SoftwareRenderEnd(MDrawContext* ctx) {
  if (!FrameWorldUsable(ctx)) return 2;
  OurPort* world = RenderHooks::GetOffscreenGWorld(ctx->document);
  if (ctx->supersampledWorld) {
    if (ctx->fragmentHeads)
      CompositeFragments(ctx, GetBaseAddress(ctx->supersampledWorld.get()), GetRowBytes(ctx->supersampledWorld.get()),
                         ctx->supersampleRect, {0, 0});
    CopyBitsWithCG(ctx->supersampledWorld.get(), world, ctx->supersampleRect, ctx->pane);
  } else if (ctx->fragmentHeads) {
    CompositeFragments(ctx, ctx->frameBase, ctx->frameRowBytes, ctx->pane, {ctx->pane.top, ctx->pane.left});
  }
  return 0;
}

}  // namespace

bool IsOpenGL(const MDrawContext* ctx) {
  return ctx->rendererType == kRendererOnscreen || ctx->rendererType == kRendererOffscreen;
}

int32_t RenderStart(MDrawContext* ctx, bool hsvPass) {
  if (ctx->rendererType == kRendererSoftware) return SoftwareRenderStart(ctx);
  if (IsOpenGL(ctx)) return GLRenderStart(ctx, hsvPass);
  return 0;
}

int32_t RenderEnd(MDrawContext* ctx) {
  const int32_t result = ctx->rendererType == kRendererSoftware ? SoftwareRenderEnd(ctx)
                         : IsOpenGL(ctx)                        ? GLRenderEnd(ctx)
                                                                : 0;
  if (result != 0) return result;
  ++gFramesRendered;
  return 0;
}

void RecomputeGraphsIfNeededForFSAA(DocumentRecord* document) {
  RenderHooks::DisposeDrawContexts(document);
  RenderHooks::ResetDesiredRendererType(document);
  if (!RenderHooks::DrawGraph(document)) {
    RenderHooks::RedrawGraph(document);
    return;
  }
  const bool animating = RenderHooks::GetGraphingAnimationState(document) != 0;
  RenderHooks::InvalExprs(document);
  RenderHooks::DoGraph(document);
  if (animating) RenderHooks::LoopGraphingAnimation(document);
}

void NotifyWindowGraphFinished(const MDrawContext* ctx) { RenderHooks::NotifyWindowGraphFinished(ctx->document); }
