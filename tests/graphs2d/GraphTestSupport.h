#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <utility>

#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/threads/JobQueue.h"
#include "graphpane/A2DGraph.h"
#include "graphpane/AGraphColor.h"
#include "graphpane/AGraphView.h"
#include "graphpane/GraphHooks.h"
#include "graphpane/OwnedHandles.h"
#include "graphs2d/A2DTransform.h"
#include "tests/CoreUtilities/ThreadTestSupport.h"
#include "tests/evaluation/AnExpressionTestSupport.h"

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

// The transform as a view pan of (dh, dv) pixels leaves it.
inline void Move(A2DTransform* t, int dh, int dv) {
  t->xOrigin += dh;
  t->yOrigin += dv;
  t->FinishFromOrigins();
}

inline Colour SolidColour(uint32_t rgb = 0xFF0000) {
  auto colour = std::make_unique<AGraphColor>();
  colour->fSolidColor = rgb;
  return colour;
}

// A compiled formula, or none for none.
inline Compiled Formula(const char* text) { return text ? MakeExpression(text) : nullptr; }

// Hands the graph to the view, which owns it from here; the test reads it
// through the pointer returned.
template <typename Graph>
Graph* AddedTo(AGraphView& view, std::unique_ptr<Graph> graph) {
  Graph* added = graph.get();
  view.AddGraph(std::move(graph));
  return added;
}

// Workers running, finished graphs counted, errors forgotten.
class ComputeTest : public testing::Test {
 protected:
  static inline std::atomic<int> notifications{0};
  void SetUp() override {
    StartComputeThreads();
    ResetDeferredErrors();
    notifications = 0;
    gGraphPaneHooks = GraphPaneHooks{};
    gRendererHooks = {};
    gRendererHooks.NotifyWindowGraphFinished = [](DocumentRecord*) { ++notifications; };
  }
  void TearDown() override {
    StopComputeThreads();
    gGraphPaneHooks = GraphPaneHooks{};
    gRendererHooks = {};
  }
};
