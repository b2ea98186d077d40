#pragma once

#include <cstdint>

#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/drawing/OurGWorld.h"
#include "renderer/DrawContext.h"
#include "renderer/M3DView.h"
#include "renderer/RendererHooks.h"

// A document of the renderer's own: a graph world and the settings the
// renderer asks for, answered through its hooks.
struct RendererTestDocument {
  OurPort* world = nullptr;
  bool translucent = false;
  bool sampled = false;
  int32_t backgroundType = 0;
  uint32_t backgroundColor = 0x336699;
};

inline RendererTestDocument gTestDocument;

inline DocumentRecord* TestDocument() { return reinterpret_cast<DocumentRecord*>(&gTestDocument); }

// Fills the hooks for the test document and a world of the given size;
// undone at the end of the scope.
class RendererTestWorld {
 public:
  RendererTestWorld(int16_t width, int16_t height) {
    gTestDocument = {};
    gTestDocument.world = OurNewGWorld({0, 0, height, width});
    gRendererHooks.GetOffscreenGWorld = [](DocumentRecord*) { return gTestDocument.world; };
    gRendererHooks.IsTranslucent = [](DocumentRecord*) { return gTestDocument.translucent; };
    gRendererHooks.UseSampleBuffer = [](DocumentRecord*) { return gTestDocument.sampled; };
    gRendererHooks.BackgroundType = [](DocumentRecord*) { return gTestDocument.backgroundType; };
    gRendererHooks.BackgroundColor = [](DocumentRecord*) { return gTestDocument.backgroundColor; };
    ResetDeferredErrors();
  }
  ~RendererTestWorld() {
    OurDisposeGWorld(gTestDocument.world);
    gTestDocument = {};
    gRendererHooks = {};
    ResetDeferredErrors();
  }
  RendererTestWorld(const RendererTestWorld&) = delete;
  RendererTestWorld& operator=(const RendererTestWorld&) = delete;

  uint32_t Pixel(int h, int v) const {
    return reinterpret_cast<const uint32_t*>(GetBaseAddress(gTestDocument.world) +
                                             GetRowBytes(gTestDocument.world) * v)[h];
  }
};

// A context bound to the test document, disposed at the end of the scope;
// software unless asked otherwise, on screen over the window where asked.
struct ScopedDrawContext {
  explicit ScopedDrawContext(Our3DRendererType desired = kRendererSoftware, QWidget* window = nullptr)
      : owned(AllocateDrawContext()), ctx(owned.get()) {
    SetDrawContextWindow(ctx, window, TestDocument());
    SetDesiredRendererType(ctx, desired);
  }
  ~ScopedDrawContext() { DisposeDrawContext(ctx); }
  ScopedDrawContext(const ScopedDrawContext&) = delete;
  ScopedDrawContext& operator=(const ScopedDrawContext&) = delete;
  MDrawContext* operator->() const { return ctx; }
  OwnedDrawContext owned;
  MDrawContext* ctx;
  M3DView view;
};
