#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "CoreUtilities/ErrorQueue.h"
#include "CoreUtilities/JobQueue.h"
#include "graphpane/AGraphColor.h"
#include "graphpane/GraphHooks.h"
#include "graphs2d/A2DInequality.h"
#include "graphs2d/A2DTransform.h"
#include "tests/evaluation/AnExpressionTestSupport.h"

// A transform whose pixel boxes tile [x0, x1] x [y0, y1] exactly: the left
// edge of column 0 at x0, the top edge of row 0 at y1.
inline A2DTransform WindowTransform(int width, int height, double x0, double x1, double y0, double y1) {
  A2DTransform t;
  t.pixelRect = MRect{0, 0, static_cast<int16_t>(height), static_cast<int16_t>(width)};
  t.xPixelsPerUnit = width / (x1 - x0);
  t.yPixelsPerUnit = -height / (y1 - y0);
  t.FinishFromOrigins();
  t.xOrigin = -x0 / t.xUnitsPerPixel - 0.5;
  t.yOrigin = y1 / t.yUnitsPerPixel - 0.5;
  t.FinishFromOrigins();
  return t;
}

inline AGraphColor* SolidColour(uint32_t rgb) {
  auto* colour = new AGraphColor;
  colour->fSolidColor = rgb;
  return colour;
}

inline std::unique_ptr<A2DInequality> MakeInequality(const std::string& condition, const std::string& boundary,
                                                     int mode, bool equation, const A2DTransform& transform,
                                                     DocumentRecord* document = nullptr) {
  return std::make_unique<A2DInequality>(MakeExpression(condition, document).release(),
                                         MakeExpression(boundary, document).release(), SolidColour(0x0000FF), mode,
                                         equation, transform);
}

inline void WaitUntilDone(A2DGraph& graph) {
  while (!graph.IsDoneComputing()) std::this_thread::sleep_for(std::chrono::microseconds(200));
}

// The map row by row.
inline std::vector<uint8_t> Pixels(const A2DInequality& graph, const A2DTransform& t) {
  std::vector<uint8_t> out;
  for (int v = t.pixelRect.top; v < t.pixelRect.bottom; ++v) {
    for (int h = t.pixelRect.left; h < t.pixelRect.right; ++h) out.push_back(uint8_t(graph.PixelAt(h, v)));
  }
  return out;
}

// Workers running, notifications counted, errors forgotten.
class InequalityTest : public testing::Test {
 protected:
  static inline std::atomic<int> notifications{0};
  void SetUp() override {
    StartComputeThreads();
    ResetDeferredErrors();
    notifications = 0;
    gGraphPaneHooks = GraphPaneHooks{};
    gGraphPaneHooks.NotifyWindowGraphFinished = [](DocumentRecord*) { ++notifications; };
  }
  void TearDown() override {
    StopComputeThreads();
    gGraphPaneHooks = GraphPaneHooks{};
  }
};
