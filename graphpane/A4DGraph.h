#pragma once

#include "graphpane/AGraph.h"

class A4DGraph : public AGraph {
 public:
  virtual void Draw() = 0;
  virtual double MaximumModelSpaceRadius() = 0;
};
