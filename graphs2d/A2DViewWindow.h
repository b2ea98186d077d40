#pragma once

#include <cstdint>

#include "CoreUtilities/MRect.h"
#include "graphs2d/A2DTransform.h"

class AGraphColor;
class DocumentRecord;

// The world window of a 2-D view, copied as one block by zooming. Scales
// are the world size of 16 pixels and take values 1, 2.5 or 5 times a
// power of ten; the tick state names which (2.5: 1, 5: 2, 1: 5).
struct ViewState2D {
  double leading[2] = {0, 1};
  double constants[4] = {0, 0, 0, 0};
  double xScale = 0.25, yScale = 0.25;
  double xOrigin = 0, yOrigin = 0;
  double xPixelsPerUnit = 64, yPixelsPerUnit = -64;
  double xMinimum = 0, yMinimum = 0;
  int32_t xTickState = 1, yTickState = 1;
};

// Tick and number spacing of an axis, in scales, by tick state; a scale
// outside the 1, 2.5, 5 family spaces them as the nearest one of it does.
double TickSpacing(double scale, int32_t tickState);
double NumberSpacing(double scale, int32_t tickState);
// The first multiple of the spacing at or above the minimum.
double FirstMultipleAtOrAbove(double minimum, double spacing);

// A 2-D view's window on the world and the axes drawn over it: the view
// state, the two transforms made of it, and where the axes fall. It reads
// the rectangle of its view, which the view keeps.
class A2DViewWindow {
 public:
  struct AxesPlace {
    int32_t row, column;
    bool rowPinned, columnPinned;
  };

  explicit A2DViewWindow(const MRect& viewRect) : fViewRect(viewRect) {}
  A2DViewWindow(const A2DViewWindow&) = delete;
  A2DViewWindow& operator=(const A2DViewWindow&) = delete;

  // Scale 0.25 on both axes with the world origin at the rectangle's centre.
  void SetDefaultState();
  // Origins and pixels per unit from the scales and minima.
  void FinishSettingState();
  // Both transforms from the state; sampled, the graphs draw into a buffer
  // of twice the rectangle's size.
  void MakeTransforms(DocumentRecord* document, bool sampled);

  // Where the axes cross, kept inside the rectangle (pinned when moved).
  AxesPlace PlaceAxes() const;
  // In the colour's solid colour, black without one.
  void DrawAxes(const AGraphColor* colour) const;

  ViewState2D& State() { return fState; }
  const ViewState2D& State() const { return fState; }
  const A2DTransform& ViewTransform() const { return fViewTransform; }
  // Graphs keep this reference; zooming and panning reach them through it.
  const A2DTransform& GraphTransform() const { return fGraphTransform; }

 private:
  void DrawXAxis(const AxesPlace& place) const;
  void DrawYAxis(const AxesPlace& place) const;

  const MRect& fViewRect;
  ViewState2D fState;
  A2DTransform fGraphTransform;
  A2DTransform fViewTransform;
};
