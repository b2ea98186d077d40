#include <algorithm>

#include "graphpane/GraphHooks.h"
#include "graphs3d/views/A4DGraphView.h"
#include "renderer/Submission.h"

namespace {

constexpr unsigned long kGridColour = 0xBBBBBB;
constexpr unsigned long kAxisColour4D = 0x00FFFF;
constexpr int kGridLines = 8;

// The indicator's camera: 50 units out on x, looking back at the origin.
constexpr MTransform3D kIndicator = {{50, 0, 0}, {{0, 50, 0}, {0, 0, 50}, {-1, 0, 0}}};

// Where 0 lies in the range, normalised to -1 .. 1 and held inside it.
double NormalisedZero(const double (&range)[2]) {
  return std::clamp(range[0] * 2 / (range[0] - range[1]) - 1, -1.0, 1.0);
}

}  // namespace

void A4DGraphView::AxesDrawLine(const A4Vector& p, const A4Vector& q, unsigned long colour) {
  AVector a, b;
  double ca, cb;
  ToSpace(fTransform, p, &a, &ca);
  ToSpace(fTransform, q, &b, &cb);
  // An end in front of the near limit.
  if (ca < 0 || cb < 0) return;
  const Vertex ends[2] = {{float(a.x), float(a.y), float(a.z)}, {float(b.x), float(b.y), float(b.z)}};
  static constexpr LineSegment kSegment[1] = {{{0, 1}}};
  OurSubmitSolidAmbientColor(colour, fContext.get());
  OurSubmitVertices(ends, 2, fContext.get());
  OurSubmitLines(kSegment, 1, true, fContext.get());
}

int32_t A4DGraphView::DrawAxes() {
  const A4Vector o{NormalisedZero(fTransform.ranges[0]), NormalisedZero(fTransform.ranges[1]),
                   NormalisedZero(fTransform.ranges[2]), NormalisedZero(fTransform.ranges[3])};
  const A4Vector ends[4] = {{1, o.b, o.c, o.d}, {o.a, 1, o.c, o.d}, {o.a, o.b, 1, o.d}, {o.a, o.b, o.c, 1}};
  double window[10];
  const A4Vector indicated[5] = {o, ends[0], ends[1], ends[2], ends[3]};
  for (int k = 0; k < 5; ++k) {
    AVector v;
    double colour;
    ToSpace(fTransform, indicated[k], &v, &colour);
    ToWindow(kIndicator, v, &window[2 * k], &window[2 * k + 1]);
  }
  PaneHooks::Set4DAxisInfo(fDocument, window);
  if (fRecord.graphPaperShown) {
    for (int k = 0; k < kGridLines; ++k) {
      const double t = -1 + 2.0 * k / (kGridLines - 1);
      AxesDrawLine({t, -1, o.c, o.d}, {t, 1, o.c, o.d}, kGridColour);
      AxesDrawLine({-1, t, o.c, o.d}, {1, t, o.c, o.d}, kGridColour);
    }
  }
  if (fRecord.axesShown)
    for (const A4Vector& end : ends) AxesDrawLine(o, end, kAxisColour4D);
  return 1;
}
