#pragma once

#include "graphpane/AnEmptyGraphView.h"

// The 4-D view's projection of four coordinates to three: a 4 x 4
// rotation and the eye's distance along the fourth axis.
struct MTransform4D {
  double rotation[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
  double depth = 0;
};

// The 4-D view: its draw context (null until there is a renderer), its
// transform, its domain x, y, z, w, the T, U, V ranges and two spin angles.
// It shows nothing until its graphs come.
class A4DGraphView : public AnEmptyGraphView {
 public:
  A4DGraphView();
  void ConstructContextNeededByGraphConstructors() override;
  const MTransform4D& Transform() const { return fTransform; }

 private:
  MTransform4D fTransform;
};

AGraphView* MakeA4DGraphView();
