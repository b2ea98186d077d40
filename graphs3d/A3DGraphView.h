#pragma once

#include "graphpane/AnEmptyGraphView.h"

// A 3-D view: its draw context (null until there is a renderer), its
// domain x, y, z and the ranges its graphs sample (T, U, V, R, Theta,
// Phi), its spin per frame. It shows nothing until its graphs come.
class A3DGraphView : public AnEmptyGraphView {
 public:
  A3DGraphView();
  void ConstructContextNeededByGraphConstructors() override;
};

AGraphView* MakeA3DGraphView();
