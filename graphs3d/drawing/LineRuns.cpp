#include "graphs3d/drawing/LineRuns.h"

#include <algorithm>

#include "renderer/Submission.h"

void SubmitPolylineRuns(const Vertex* vertices, const uint8_t* drawn, int32_t count, LineSegment* segments,
                        MDrawContext* ctx) {
  for (int32_t first = 0; first + 1 < count; first += kVerticesPerRun - 1) {
    const int32_t n = std::min(kVerticesPerRun, count - first);
    int segmentCount = 0;
    for (int32_t i = 0; i + 1 < n; ++i)
      if (drawn[first + i]) segments[segmentCount++] = {{uint16_t(i), uint16_t(i + 1)}};
    if (segmentCount == 0) continue;
    OurSubmitVertices(vertices + first, n, ctx);
    OurSubmitLines(segments, segmentCount, true, ctx);
  }
}
