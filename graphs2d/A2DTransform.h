#pragma once

#include <cstdint>

#include "CoreUtilities/MRect.h"

class DocumentRecord;

// The mapping between world coordinates (y upward) and the pixels of a 2-D
// view (v downward). Graphs hold their view's by reference, so zooming and
// panning reach them at once.
struct A2DTransform {
  // Recomputes units per pixel and the world bounds from the origins and
  // pixels per unit.
  void FinishFromOrigins();

  // Clamped to +-16383, the range the platform's drawing takes; NaN gives
  // 16383, off every view.
  int32_t XTOI_InfSafe(double x) const;
  int32_t YTOI_InfSafe(double y) const;
  // World values of pixels.
  double ITOX(double h) const { return (h - xOrigin) * xUnitsPerPixel; }
  double ITOY(double v) const { return -(v - yOrigin) * yUnitsPerPixel; }
  bool IsPointOnScreen(double x, double y) const;

  MRect pixelRect;
  double xOrigin = 0, yOrigin = 0;
  double xPixelsPerUnit = 1, yPixelsPerUnit = -1;
  double xUnitsPerPixel = 1, yUnitsPerPixel = 1;
  double xAtPlus16383 = 0, xAtMinus16383 = 0;
  double yAtPlus16383 = 0, yAtMinus16383 = 0;
  int32_t xSampleFactor = 1, ySampleFactor = 1;
  DocumentRecord* document = nullptr;
};

// floor(world * pixels per unit + origin + 0.5) without clamping, through
// the checked conversion.
int32_t WorldToPixel(double world, double pixelsPerUnit, double origin);
