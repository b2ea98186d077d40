#pragma once

#include <cstdint>

struct A2DTransform;

// Head size in pixels of an arrow this many pixels long: 5, 4 or 3 cells.
int32_t ArrowHeadSize(double pixelLength, int32_t cell);

// An anti-aliased triangular head at the end of the arrow from (x, y) along
// (dx, dy) in world units: rasterised four times larger into the scratch
// picture whose pixels are given, then each view pixel blended with white by
// how many of its 16 sub-pixels the triangle covers. Interface thread only.
void DrawArrowHead(double x, double y, double dx, double dy, const A2DTransform& transform, uint32_t rgb,
                   uint8_t* scratchBase, long scratchRowBytes);
// The same through the shared scratch picture, made when needed.
void DrawArrowHead(double x, double y, double dx, double dy, const A2DTransform& transform, uint32_t rgb);

// The shared scratch picture of arrow heads and vector plots, at least 82 x
// 82 pixels; null when it cannot be had. Interface thread only.
struct OurPort;
OurPort* ArrowScratchWorld();
// Frees it with the application's other drawing resources.
void Release2DVectorPlotArrowGWorld();
