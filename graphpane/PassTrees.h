#pragma once

#include <cstdint>
#include <memory>

#include "evaluation/AnExpression.h"
#include "expression/ExpressionRecord.h"
#include "expression/TreeCopying.h"
#include "expression/TreeDisposal.h"
#include "graphpane/AGraphColor.h"
#include "graphpane/CoordinateTransformation.h"
#include "graphpane/GraphEnums.h"
#include "graphpane/GraphKinds.h"
#include "graphpane/OwnedHandles.h"

// Ownership of trees and compiled expressions inside the pass of adding
// equations: what is not handed on is freed on the way out.
struct TreeDeleter {
  void operator()(ExpressionRecord* tree) const { DisposExpr(tree); }
};

// One equation on its way to its builder: the trees and the colour are
// the build's, freed with it unless a builder takes them; the equation
// stays the caller's.
struct EquationBuild {
  GraphKind kind;
  ExpressionRecord* equation;  // unprimed; builders only read it
  int32_t view;
  Colour colour;  // the first graph made takes it
  const CoordinateTransformation& ct;
  bool is3D;
  bool is4D;
  double grain;
  double opacity;
  PlottingMode mode;
  double xyType;
  Tree relation;  // inequalities: the relation joined with its conditions
  Tree zero;      // inequalities: zero on the boundary
  Tree clip;
  Tree radius;
  Tree symbol, label, fontSize;  // point and data styles
  Tree startX, startY;           // start point of a plane differential equation
  Tree extra;                    // colour plots: the item after the colours
};

// What a mirror reads once the original has gone to its graph: a copy
// when there is a mirror to read it.
inline Tree KeepFor(const AGraphColor* mirror, const ExpressionRecord* e) {
  return Tree(mirror != nullptr && e != nullptr ? Copy(e) : nullptr);
}
