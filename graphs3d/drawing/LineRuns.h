#pragma once

#include <cstdint>

#include "renderer/DrawContext.h"

// Vertex indexes are 16 bits: a longer polyline goes in runs of at most
// this many vertices, each run repeating the last vertex of the one before.
inline constexpr int32_t kVerticesPerRun = 65536;

// Draws the segments (i, i + 1) of the polyline whose drawn[i] is set, in
// the colour already submitted; segments holds room for a run's segments.
void SubmitPolylineRuns(const Vertex* vertices, const uint8_t* drawn, int32_t count, LineSegment* segments,
                        MDrawContext* ctx);
