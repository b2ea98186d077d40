#pragma once

#include "graphpane/PointRecords.h"

// Squared distance from P to segment AB; infinite when a coordinate is not
// finite.
double DistanceToSegmentSquared(double px, double py, double ax, double ay, double bx, double by);
// The point of AB nearest P.
void FindClosestPointOnSegment(double px, double py, double ax, double ay, double bx, double by, double* cx,
                               double* cy);
// Whether segment 1-2 has a point strictly inside the rectangle.
bool IsLineInRect(double x1, double y1, double x2, double y2, double xmin, double xmax, double ymax, double ymin);
// Clips segment 1-2 to the circle in place, keeping its direction; a
// segment that misses the circle collapses to (cx + r, cy).
void ClipLineToCircle(double cx, double cy, double r, double* x1, double* y1, double* x2, double* y2);
// Whether the segments cross; the crossing, parameter NaN, goes to out.
bool DoSegmentsIntersect(fPoint a1, fPoint a2, fPoint b1, fPoint b2, fPoint* out);
// Whether the segments lie on one line and share a part of it.
bool DoSegmentsOverlap(fPoint a1, fPoint a2, fPoint b1, fPoint b2);
