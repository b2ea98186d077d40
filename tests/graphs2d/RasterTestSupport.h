#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "CoreUtilities/JobQueue.h"
#include "graphpane/A2DGraph.h"
#include "graphpane/AGraphColor.h"
#include "graphpane/GraphHooks.h"
#include "graphs2d/A2DTransform.h"

// A transform of width x height pixels showing [-half, half] horizontally
// around the view's centre, square pixels.
inline A2DTransform CentredTransform(int width, int height, double half) {
  A2DTransform t;
  t.pixelRect = MRect{0, 0, static_cast<int16_t>(height), static_cast<int16_t>(width)};
  t.xOrigin = width / 2.0, t.yOrigin = height / 2.0;
  t.xPixelsPerUnit = width / (2 * half), t.yPixelsPerUnit = -width / (2 * half);
  t.FinishFromOrigins();
  return t;
}

inline AGraphColor* SolidColour(uint32_t rgb) {
  auto* c = new AGraphColor;
  c->fSolidColor = rgb;
  return c;
}

inline void WaitUntilDone(A2DGraph& graph) {
  while (!graph.IsDoneComputing()) std::this_thread::sleep_for(std::chrono::microseconds(200));
}

// Workers running and the notifications counted.
class RasterGraphTest : public testing::Test {
 protected:
  static inline std::atomic<int> notifications{0};
  void SetUp() override {
    StartComputeThreads();
    notifications = 0;
    gGraphPaneHooks = GraphPaneHooks{};
    gGraphPaneHooks.NotifyWindowGraphFinished = [](DocumentRecord*) { ++notifications; };
  }
  void TearDown() override {
    StopComputeThreads();
    gGraphPaneHooks = GraphPaneHooks{};
  }
};
