#pragma once

#include <cstdint>
#include <memory>

#include "CoreUtilities/memory/AListGenericLarge.h"

// A point of a curve with the curve's parameter there (NaN when none).
struct fPoint {
  double parameter;
  double x;
  double y;
};

// A point of a differential-equation solution path.
struct dePoint {
  double x;
  double y;
};

using SolutionPath = AListGenericLarge<dePoint, 8>;

// Three points of a curve around a given one; nothing is near when found is 0.
struct Neighborhood {
  fPoint before{};
  fPoint centre{};
  fPoint after{};
  int32_t found = 0;
};

enum SelectionKind : int32_t {
  kSelectNothing = 0,
  kSelectPoint = 1,
  kSelectBox = 2,
  kSelectParametric = 3,
  kSelectPolarOfTheta = 4,
  kSelectPolarOfR = 5,
  kSelectPolarParametric = 6,
  kSelectContourValue = 7,
  kSelectDensityValue = 8,
  kSelectVector = 9,
  kSelectSolutionPaths = 10,
  kSelectDraggedPoint = 11,
  kSelectComplexValue = 12,
};

// The point marked on a graph. It owns the solution paths of kind 10, so it
// moves but never copies.
struct Selection {
  void Clear() { *this = Selection(); }
  void FreePaths() {
    path1.reset();
    path2.reset();
  }

  double parameter = 0;
  double x = 0, y = 0;
  double complexValue[2] = {0, 0};
  double xRange[2] = {0, 0};
  double yRange[2] = {0, 0};
  double xComponent = 0, yComponent = 0;
  double arrow[2] = {0, 0};
  uint32_t color = 0;
  int32_t kind = kSelectNothing;
  int32_t snapped = 0;
  std::unique_ptr<SolutionPath> path1;
  std::unique_ptr<SolutionPath> path2;
};
