#pragma once

#include "graphpane/A2DGraph.h"

// A 2-D graph with nothing to compute, draw or pick; a test overrides what it watches.
class PlainGraph2D : public A2DGraph {
 public:
  int32_t Compute(int32_t) override { return kComputeNothingToDo; }
  bool IsDoneComputing() override { return true; }
  int32_t GraphVisibility() override { return 0; }
  void InvalConstant(int32_t) override {}
  void SetParameter(ViewAttribute, double) override {}
  void ViewChanged() override {}
  void Draw() override {}
  void Resize() override {}
  void Pan(int32_t, int32_t) override {}
  bool IsPointOverCurve(double, double) override { return false; }
  Selection GetSelection(double, double) override { return Selection(); }
  void PauseComputing() override {}
};
