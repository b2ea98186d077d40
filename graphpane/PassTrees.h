#pragma once

#include <cstdint>
#include <memory>

#include "evaluation/AnExpression.h"
#include "expression/ExpressionRecord.h"
#include "expression/TreeDisposal.h"
#include "graphpane/CoordinateTransformation.h"
#include "graphpane/GraphEnums.h"

class AGraphColor;

// Ownership of trees and compiled expressions inside the pass of adding
// equations: what is not handed on is freed on the way out.
struct TreeDeleter {
  void operator()(ExpressionRecord* tree) const { DisposExpr(tree); }
};
using Tree = std::unique_ptr<ExpressionRecord, TreeDeleter>;
using Compiled = std::unique_ptr<AnExpression>;

// One equation on its way to its builder.
struct EquationBuild {
  int32_t kind;
  ExpressionRecord* equation;  // unprimed; builders only read it
  int32_t view;
  AGraphColor* colour;
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
};
