#pragma once

#include "CoreUtilities/MRect.h"

#include <cstdint>

// Drawing straight into 32-bit pixels. Every write but the triangle's is the
// colour composed over the pixel below (OurComposeColors), so the graph paper
// shows through. Clip rectangles are always narrowed to the buffer: nothing
// here writes outside it.

// The current port's pixel, when the point lies in the clip.
void OurPointDraw(const MRect& clip, MPoint point, uint32_t color);
// The same in an explicit buffer whose first pixel is bounds' top-left.
void OurPointDraw(const MRect& clip, MPoint point, uint32_t color, const MRect& bounds, void* base, long rowBytes);

// Horizontal line on p1's row, every step-th pixel from the left end of the
// clipped span; a step below 1 counts as 1.
void OurLineDrawH(const MRect& clip, MPoint p1, MPoint p2, uint32_t color, int step);
void OurLineDrawV(const MRect& clip, MPoint p1, MPoint p2, uint32_t color, int step);

void OurLineDraw(const MRect& clip, MPoint p1, MPoint p2, uint32_t color);

// Where the segment from `outside` towards `inside` crosses the rectangle's
// outermost rows and columns; (-1, -1) when it does not.
MPoint ClipLine(const MRect& rect, MPoint outside, MPoint inside);

void OurDrawFilledCircle(const MRect& clip, int h, int v, int radius, uint32_t color);

// Stores the colour into the triangle's scan lines of the buffer at `base`,
// which is addressed with the current port's bounds. Rows and columns outside
// those bounds are skipped.
void OurPaintTriangle(const MRect& clip, const MPoint vertices[3], uint32_t color, void* base, long rowBytes);
