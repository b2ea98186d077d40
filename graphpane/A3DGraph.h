#pragma once

#include "graphpane/AGraph.h"

class A3DGraph : public AGraph {
 public:
  // False when drawing failed.
  virtual bool Draw() = 0;
  virtual double MaximumModelSpaceRadius() = 0;
  virtual bool UsingShader() { return false; }
  virtual bool UsingShaderHSV() { return false; }
  // The box of a graph's data, for showing all of it; false for graphs
  // that have none of their own.
  virtual bool GetDataBounds(double* /*xLow*/, double* /*xHigh*/, double* /*yLow*/, double* /*yHigh*/, double* /*zLow*/,
                             double* /*zHigh*/) {
    return false;
  }
};
