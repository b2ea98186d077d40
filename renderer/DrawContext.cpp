#include "renderer/DrawContext.h"

#include <utility>

#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/drawing/OurGWorld.h"
#include "platform/EGLContexts.h"
#include "platform/OnscreenGL.h"
#include "renderer/GLContexts.h"
#include "renderer/RendererGlobals.h"
#include "renderer/RendererHooks.h"
#include "renderer/Shader.h"

namespace {

bool SameRect(const MRect& a, const MRect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

void RestoreWorldPixels(MDrawContext* ctx) {
  OurPort* world = RenderHooks::GetOffscreenGWorld(ctx->document);
  if (ctx->savedPixelsState && world) OurUnlockPixels(world);
  ctx->savedPixelsState = 0;
}

// A world of the rectangle with its pixels locked; null when refused.
LockedWorld NewLockedWorld(const MRect& bounds) {
  LockedWorld world(OurNewGWorld(bounds));
  if (world) OurLockPixels(world.get());
  return world;
}

void ClearSoftwareFields(MDrawContext* ctx) {
  ctx->frameBase = nullptr;
  ctx->frameRowBytes = ctx->frameSize = 0;
  ctx->bufferRows = ctx->bufferCols = ctx->bufferPixels = 0;
  ctx->supersampleX = ctx->supersampleY = 0;
  ctx->supersampleRect = {};
}

// The buffer sizes without supersampling.
void UseUnsampledBuffers(MDrawContext* ctx) {
  ctx->bufferRows = ctx->pane.bottom - ctx->pane.top;
  ctx->bufferCols = ctx->pane.right - ctx->pane.left;
  ctx->supersampleX = ctx->supersampleY = 1;
  ctx->supersampleRect = ctx->pane;
  ctx->bufferPixels = ctx->bufferRows * ctx->bufferCols;
}

// Step 6 of the choice: the software renderer's worlds and buffers.
bool BuildSoftware(MDrawContext* ctx) {
  ctx->hsvShader.reset();
  ctx->vbosUsable = ctx->isNVidia = ctx->isATI = 0;
  ctx->hsvTexture = 0;
  ctx->hsvTextureHeight = ctx->hsvTextureWidth = 0;
  if (!IsSoftwareWorldUsable(ctx)) return false;
  OurPort* world = RenderHooks::GetOffscreenGWorld(ctx->document);
  ctx->savedPixelsState = OurLockPixels(world);
  ctx->backgroundWorld = NewLockedWorld(ctx->pane);
  if (ctx->backgroundWorld == nullptr) {
    RestoreWorldPixels(ctx);
    return false;
  }
  const bool sampled = RenderHooks::UseSampleBuffer(ctx->document);
  if (sampled) {
    ctx->bufferRows = (ctx->pane.bottom - ctx->pane.top + 2) * 2;
    ctx->bufferCols = (ctx->pane.right - ctx->pane.left + 2) * 2;
    ctx->supersampleX = ctx->supersampleY = 2;
    ctx->supersampleRect = {2, 2, int16_t(ctx->bufferRows - 2), int16_t(ctx->bufferCols - 2)};
    ctx->bufferPixels = ctx->bufferRows * ctx->bufferCols;
  } else {
    UseUnsampledBuffers(ctx);
  }
  ctx->frameBase = GetBaseAddress(world);
  ctx->frameRowBytes = int32_t(GetRowBytes(world));
  const MRect bounds = GetPortRect(world);
  ctx->frameSize = ctx->frameRowBytes * (bounds.bottom - bounds.top);
  const size_t cells = size_t(ctx->bufferPixels);
  if (RenderHooks::IsTranslucent(ctx->document))
    ctx->fragmentHeads = NewCountedArray<uint32_t>(cells);
  else
    ctx->depthBuffer = NewCountedArray<double>(cells);
  if (ctx->fragmentHeads == nullptr && ctx->depthBuffer == nullptr) {
    RestoreWorldPixels(ctx);
    ctx->backgroundWorld.reset();
    ClearSoftwareFields(ctx);
    return false;
  }
  if (sampled) {
    ctx->supersampledWorld = NewLockedWorld({0, 0, int16_t(ctx->bufferRows), int16_t(ctx->bufferCols)});
    if (!ctx->supersampledWorld) UseUnsampledBuffers(ctx);  // the larger buffers serve the smaller frame
  }
  ctx->firstCellWritten = 0;
  ctx->endCellWritten = ctx->bufferPixels;
  return true;
}

// Step 2 of the choice.
Our3DRendererType WantedRenderer(MDrawContext* ctx, const MRect& rect, bool forceSoftware) {
  if (forceSoftware) return kRendererSoftware;
  Our3DRendererType wanted = ctx->desiredRendererType;
  if (!gHasOpenGL) {
    wanted = kRendererSoftware;
  } else if (wanted == kRendererAutomatic) {
    const bool choose = !SameRect(rect, ctx->pane) || ctx->rendererType == kRendererNone ||
                        (ctx->rendererType == kRendererSoftware && ctx->transparencyChanged);
    wanted = choose ? (gForceOffscreen ? kRendererOffscreen : kRendererOnscreen) : ctx->rendererType;
    ctx->transparencyChanged = 0;
  }
  if (RenderHooks::IsTranslucent(ctx->document) || RenderHooks::HasDataPlotSymbolsOrLabels(ctx->document))
    wanted = kRendererSoftware;
  return wanted;
}

// Whether a software context still fits its document's world and flag.
bool SoftwareStillFits(MDrawContext* ctx) {
  OurPort* world = RenderHooks::GetOffscreenGWorld(ctx->document);
  return (ctx->fragmentHeads != nullptr) == RenderHooks::IsTranslucent(ctx->document) && world &&
         ctx->frameBase == GetBaseAddress(world) && ctx->frameRowBytes == GetRowBytes(world);
}

// Tries the OpenGL renderer, with the software-safe format when hardware
// fails.
bool TryOpenGL(MDrawContext* ctx, int32_t (*create)(MDrawContext*, bool)) {
  if (create(ctx, gForceHardware) == 0) return true;
  return gForceHardware && create(ctx, false) == 0;
}

}  // namespace

bool IsSoftwareWorldUsable(const MDrawContext* ctx) {
  OurPort* world = RenderHooks::GetOffscreenGWorld(ctx->document);
  if (IsOurGWorldPurged(world)) return false;
  // Frames write the pane's pixels straight into the world's memory.
  const MRect bounds = GetPortRect(world);
  const MRect& pane = ctx->pane;
  return pane.top >= bounds.top && pane.left >= bounds.left && pane.bottom <= bounds.bottom &&
         pane.right <= bounds.right && pane.top < pane.bottom && pane.left < pane.right;
}

void LockedWorldDeleter::operator()(OurPort* world) const {
  OurUnlockPixels(world);
  OurDisposeGWorld(world);
}

MDrawContext::MDrawContext() = default;
MDrawContext::~MDrawContext() = default;
MDrawContext& MDrawContext::operator=(MDrawContext&&) = default;

OwnedDrawContext AllocateDrawContext() { return OwnedDrawContext(new MDrawContext); }

void DisposeDrawContextMemory(MDrawContext* ctx) { delete ctx; }

void SetDrawContextWindow(MDrawContext* ctx, QWidget* window, DocumentRecord* document) {
  ctx->window = window;
  ctx->document = document;
}

void Qd3d_SetPane(MDrawContext* ctx, const MRect& rect, M3DView* view, bool) {
  CreateNewDrawContext(ctx, rect, view, false);
}

void CreateNewDrawContext(MDrawContext* ctx, const MRect& rect, M3DView* view, bool forceSoftware) {
  ctx->view = view;
  Our3DRendererType wanted = WantedRenderer(ctx, rect, forceSoftware);
  if (wanted == ctx->rendererType && wanted != kRendererNone) {
    const bool samePane = SameRect(rect, ctx->pane);
    // An on-screen context follows its pane; an offscreen one stays while
    // its pane does.
    if (wanted == kRendererOnscreen || (samePane && wanted == kRendererOffscreen)) {
      ctx->pane = rect;
      OurMakeGLContextCurrent(GetRendererAglContext(ctx));
      return;
    }
    if (samePane && SoftwareStillFits(ctx)) return;
  }
  DisposeDrawContext(ctx);
  ctx->view = view;
  ctx->pane = rect;
  if (wanted == kRendererOnscreen) {
    if (TryOpenGL(ctx, OnscreenCreate)) {
      ctx->rendererType = kRendererOnscreen;
      return;
    }
    wanted = kRendererOffscreen;
  }
  if (wanted == kRendererOffscreen) {
    if (TryOpenGL(ctx, OffscreenCreate)) {
      ctx->rendererType = kRendererOffscreen;
      return;
    }
    wanted = kRendererSoftware;
  }
  if (wanted != kRendererSoftware) {
    ctx->rendererType = wanted;
    return;
  }
  if (!BuildSoftware(ctx)) {
    QueueError(kOutOfMemoryError);
    return;
  }
  if (forceSoftware) ctx->transparencyChanged = 1;
  ctx->rendererType = kRendererSoftware;
}

void FreeFragmentChunks(MDrawContext* ctx) {
  ctx->fragmentChunks.clear();
  ctx->fragmentCount = -1;
}

void DisposeDrawContext(MDrawContext* ctx) {
  if (ctx->rendererType == kRendererOnscreen && ctx->onscreenContext) {
    FinishGLContext(ctx->onscreenContext);
    ctx->hsvShader.reset();  // while its context is current
    // Its last picture must not stay over whatever the pane shows next.
    OurHideOnscreenGLSurface(ctx->onscreenContext);
    QueueContextForDestruction(ctx->onscreenContext);
  }
  if (ctx->rendererType == kRendererOffscreen && ctx->offscreenContext) {
    FinishGLContext(ctx->offscreenContext);
    ctx->hsvShader.reset();  // while its context is current
    RestoreWorldPixels(ctx);
    QueueContextForDestruction(ctx->offscreenContext);
  }
  if (ctx->rendererType == kRendererSoftware) RestoreWorldPixels(ctx);
  // The rest starts afresh: the worlds, buffers and chunks go with the old.
  MDrawContext fresh;
  fresh.desiredRendererType = ctx->desiredRendererType;
  fresh.window = ctx->window;
  fresh.document = ctx->document;
  fresh.symbols = std::move(ctx->symbols);
  *ctx = std::move(fresh);
}

Our3DRendererType GetRendererType(const MDrawContext* ctx) { return ctx->rendererType; }
Our3DRendererType GetDesiredRendererType(const MDrawContext* ctx) { return ctx->desiredRendererType; }
void SetDesiredRendererType(MDrawContext* ctx, Our3DRendererType type) { ctx->desiredRendererType = type; }
bool IsDrawContextValid(const MDrawContext* ctx) { return ctx->rendererType != kRendererNone; }

OurGLContext GetRendererAglContext(const MDrawContext* ctx) {
  if (ctx->rendererType == kRendererOnscreen) return ctx->onscreenContext;
  if (ctx->rendererType == kRendererOffscreen) return ctx->offscreenContext;
  return nullptr;
}

uint64_t GetRendererContextSerial(const MDrawContext* ctx) { return OurGLContextSerial(GetRendererAglContext(ctx)); }

bool IsNVidia(const MDrawContext* ctx) { return ctx->isNVidia; }
void SetDrawContextTransparencyChangedFlag(MDrawContext* ctx) { ctx->transparencyChanged = 1; }
