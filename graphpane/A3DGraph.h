#pragma once

#include "graphpane/AGraph.h"

class A3DGraph : public AGraph {
 public:
  virtual void Draw() = 0;
  virtual double MaximumModelSpaceRadius() = 0;
  virtual bool UsingShader() = 0;
  virtual bool UsingShaderHSV() = 0;
  virtual void GetDataBounds(double* xLow, double* xHigh, double* yLow, double* yHigh, double* zLow,
                             double* zHigh) = 0;
};
