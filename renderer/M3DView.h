#pragma once

#include "renderer/RotationMath.h"

// The camera of a 3-D view, held by the view and read by the renderer.
struct M3DView {
  // The zoom at which the renderer's field of view is its own.
  static constexpr double kDefaultZoom = 1.7330909743;
  static constexpr double kMinimumModelRadius = 2.3;

  M3DView() { GetDefaultView(rotation); }

  // Columns are the view frame's axes in model coordinates: x toward the
  // viewer, y right, z up.
  Matrix3 rotation;
  double xmin = -2;
  double xmax = 2;
  double ymin = -2;
  double ymax = 2;
  double zmin = -2;
  double zmax = 2;
  // Larger shows more.
  double zoom = kDefaultZoom;
  // The largest distance from the box centre, in normalised model space, of
  // anything drawn.
  double modelRadius = kMinimumModelRadius;
};
