#include "graphs3d/views/A3DGraphView.h"
#include "renderer/Submission.h"
#include "renderer/TriangleFacing.h"

namespace {

constexpr unsigned long kAxisColour = 0x00FF00;

// Per coordinate: the range's end nearest 0, or 0 inside the range.
double AxisOrigin(double low, double high) { return low > 0 ? low : high < 0 ? high : 0; }

struct AxesGeometry {
  Vertex lines[6];
  Vertex heads[6];
};

AxesGeometry AxesOf(const M3DView& c) {
  const float ox = float(AxisOrigin(c.xmin, c.xmax)), oy = float(AxisOrigin(c.ymin, c.ymax)),
              oz = float(AxisOrigin(c.zmin, c.zmax));
  const float xmin = float(c.xmin), xmax = float(c.xmax), ymin = float(c.ymin), ymax = float(c.ymax),
              zmax = float(c.zmax);
  const float dx = float(0.05 * (c.xmax - c.xmin)), dy = float(0.05 * (c.ymax - c.ymin));
  return {{{ox, oy, oz}, {ox, oy, zmax}, {xmax, oy, oz}, {xmin, oy, oz}, {ox, ymax, oz}, {ox, ymin, oz}},
          {{xmax + dx, oy, oz},
           {xmax, oy + dy, oz},
           {xmax, oy - dy, oz},
           {ox, ymax + dy, oz},
           {ox - dx, ymax, oz},
           {ox + dx, ymax, oz}}};
}

}  // namespace

int32_t A3DGraphView::DrawAxes() {
  const AxesGeometry axes = AxesOf(fCamera);
  static constexpr LineSegment kSegments[3] = {{{0, 1}}, {{2, 3}}, {{4, 5}}};
  OurSubmitVertices(axes.lines, 6, fContext.get());
  OurSubmitSolidAmbientColor(kAxisColour, fContext.get());
  OurSubmitLines(kSegments, 3, true, fContext.get());
  static constexpr Vertex kUp[6] = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
  Triangle heads[2] = {{{0, 1, 2}}, {{3, 4, 5}}};
  TurnTrianglesToNormals(axes.heads, kUp, 6, heads, 2);
  OurSubmitVertices(axes.heads, 6, fContext.get());
  OurSubmitNormals(kUp, fContext.get());
  OurSubmitSolidColor(kAxisColour, fContext.get());
  OurSubmitTriangles(heads, 2, fContext.get());
  OurDisableNormalArrayState(fContext.get());
  return 1;
}

double A3DGraphView::MaximumModelSpaceRadius() {
  TakeBoxFromRanges();
  const AxesGeometry axes = AxesOf(fCamera);
  Vertex all[12];
  std::copy(axes.lines, axes.lines + 6, all);
  std::copy(axes.heads, axes.heads + 6, all + 6);
  return CalculateMaximumModelSpaceRadius(all, 12, fContext.get());
}
