#pragma once

#include <cstdint>
#include <memory>

#include "graphs3d/curves/ACurve3D.h"
#include "graphs3d/fields/AVectorFieldOrDEPlot.h"

// One solution curve: its points, with the radius and colour at each when
// the plot has them, and the tube or lines drawn through them. The curve
// borrows the arrays, which live as long as it.
struct ASolution {
  int32_t count = 0;
  std::unique_ptr<Vertex[]> points;
  std::unique_ptr<double[]> radii;
  std::unique_ptr<ColorArrayElement[]> colours;
  std::unique_ptr<ACurve3D> curve;

  // The points narrowed to floats; null when memory runs out.
  static std::unique_ptr<ASolution> FromList(const StartList& list);
  // Points, radii and colours copied; no curve.
  std::unique_ptr<ASolution> Copy() const;
  // Draws through the points as they now are.
  void MakeCurve(AGraphColor* colour, double opacity, MDrawContext* context, const ModelSpace& space);
};
