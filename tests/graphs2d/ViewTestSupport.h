#pragma once

#include <gtest/gtest.h>

#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/drawing/ScopedSavers.h"
#include "graphpane/GraphHooks.h"
#include "graphs2d/A2DGraphView.h"
#include "tests/platform/PortTestSupport.h"

// Records the upward calls the view makes; the sample-buffer switch is set
// by the test.
struct HookRecorder {
  static inline bool useSampleBuffer = false;
  static inline int dirty = 0, redraws = 0, errorChecks = 0;
  HookRecorder() {
    useSampleBuffer = false;
    dirty = redraws = errorChecks = 0;
    gGraphPaneHooks = GraphPaneHooks{};
    gRendererHooks = {};
    gRendererHooks.UseSampleBuffer = [](DocumentRecord*) { return useSampleBuffer; };
    gGraphPaneHooks.SetDocDirty = [](DocumentRecord*, bool) { ++dirty; };
    gRendererHooks.RedrawGraph = [](DocumentRecord*) { ++redraws; };
    gGraphPaneHooks.SetRTErrorCheck = [](DocumentRecord*) { ++errorChecks; };
  }
  ~HookRecorder() {
    gGraphPaneHooks = GraphPaneHooks{};
    gRendererHooks = {};
  }
};

// A view of the given size at the default state, placed at the port's
// top-left, with a port to draw it into.
struct ViewOnPort {
  ViewOnPort(int width, int height) : port(NewOffscreenPort(QRect(0, 0, width, height))) {
    view.SetViewRect(MRect{0, 0, static_cast<int16_t>(height), static_cast<int16_t>(width)});
    view.SetDefaultViewState();
    view.Resize();
  }
  void Draw() {
    APushPort push(port.get());
    view.Draw(true);
  }
  uint32_t At(int h, int v) { return RgbAt(*port, h, v); }
  PortPtr port;
  A2DGraphView view;
};

// How many of the picture's pixels are of the colour.
inline int PixelsOf(const QImage& image, uint32_t rgb) {
  int n = 0;
  for (int v = 0; v < image.height(); ++v) {
    for (int h = 0; h < image.width(); ++h) n += RgbAt(image, h, v) == rgb;
  }
  return n;
}

inline bool IsInk(uint32_t rgb) { return rgb != 0xFFFFFF && rgb != 0xCCFFFF; }
