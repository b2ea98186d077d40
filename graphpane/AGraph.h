#pragma once

#include "CoreUtilities/threads/ComputeTarget.h"
#include "graphpane/GraphEnums.h"

// A graph as the pane, its view and the job queue reach it.
class AGraph : public AComputeTarget {
 public:
  // Compute and IsDoneComputing come from AComputeTarget.
  // A message id for the graph's visibility; 0 while computing or visible.
  virtual int32_t GraphVisibility() = 0;
  // A constant with this variable id changed.
  virtual void InvalConstant(int32_t variableId) = 0;
  virtual void SetParameter(ViewAttribute attribute, double value) = 0;
  virtual void ViewChanged() = 0;
  virtual bool UsesGrainSlider() { return true; }
};
