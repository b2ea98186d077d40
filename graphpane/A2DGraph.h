#pragma once

#include "graphpane/AGraph.h"
#include "graphpane/PointRecords.h"

// Graph classes for picking: point-like, area fills, curves and the rest.
enum GraphClassCode : int32_t { kGraphClassPoints = 0, kGraphClassAreas = 1, kGraphClassCurves = 2 };

class A2DGraph : public AGraph {
 public:
  virtual void Draw() = 0;
  virtual void Resize() = 0;
  // The view moved by this many pixels of the graph transform.
  virtual void Pan(int32_t dh, int32_t dv) = 0;
  virtual bool IsPointOverCurve(double x, double y) = 0;
  virtual Selection GetSelection(double x, double y) = 0;
  virtual void PauseComputing() = 0;
  // Nothing near unless a kind can snap to its points.
  virtual Neighborhood GetNeighborhood(double /*x*/, double /*y*/, double /*radius*/, double /*parameterLow*/,
                                       double /*parameterHigh*/) {
    return Neighborhood{};
  }
  virtual int32_t GraphClass() { return kGraphClassCurves; }
  // True when the graph has data bounds; they are written only then.
  virtual bool GetDataBounds(double* /*xLow*/, double* /*xHigh*/, double* /*yLow*/, double* /*yHigh*/) { return false; }
};
