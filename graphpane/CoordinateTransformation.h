#pragma once

#include <cstdint>

#include "expression/ExpressionRecord.h"

struct MBlock;

// The document's coordinate transformation as the graph pane reads it. The
// document owns the formulas.
struct CoordinateTransformation {
  static constexpr int32_t kNone = 0;
  // x = f(x', y'), y = g(x', y'): the source coordinates in the transformed.
  static constexpr int32_t kPlaneFromTransformed = 1;
  // x' = f(x, y), y' = g(x, y): the transformed coordinates in the source.
  static constexpr int32_t kPlaneFromSource = 2;
  // x' = f(x, y, z), y' = g(x, y, z), z' = h(x, y, z).
  static constexpr int32_t kSpace = 4;

  int32_t kind = kNone;
  ExpressionRecord* formulas[3] = {nullptr, nullptr, nullptr};
  double colorCode = 0;
  double plotValue = 0;
  // The block of the transformation equation.
  MBlock* block = nullptr;
};
