#include "graphs2d/A2DViewWindow.h"

#include "CoreUtilities/MathConstants.h"
#include "CoreUtilities/drawing/OurRects.h"

void A2DViewWindow::SetDefaultState() {
  const int32_t width = fViewRect.right - fViewRect.left, height = fViewRect.bottom - fViewRect.top;
  fState.constants[0] = 0, fState.constants[1] = 2.0, fState.constants[2] = 0, fState.constants[3] = 2 * gPi;
  fState.xScale = fState.yScale = 0.25;
  fState.xTickState = fState.yTickState = 1;
  fState.xMinimum = -(width / 2) / 64.0;
  fState.yMinimum = -(height / 2) / 64.0;
  if (fState.xMinimum == 0) fState.xMinimum = -2.0;
  if (fState.yMinimum == 0) fState.yMinimum = -2.0;
  FinishSettingState();
}

void A2DViewWindow::FinishSettingState() {
  fState.xPixelsPerUnit = 16 / fState.xScale;
  fState.yPixelsPerUnit = -16 / fState.yScale;
  fState.xOrigin = fViewRect.left - fState.xPixelsPerUnit * fState.xMinimum;
  fState.yOrigin = (fViewRect.bottom - 1) - fState.yPixelsPerUnit * fState.yMinimum;
}

namespace {
bool SameTransform(const A2DTransform& a, const A2DTransform& b) {
  return IsEqualRects(a.pixelRect, b.pixelRect) && a.xOrigin == b.xOrigin && a.yOrigin == b.yOrigin &&
         a.xPixelsPerUnit == b.xPixelsPerUnit && a.yPixelsPerUnit == b.yPixelsPerUnit &&
         a.xUnitsPerPixel == b.xUnitsPerPixel && a.yUnitsPerPixel == b.yUnitsPerPixel &&
         a.xAtPlus16383 == b.xAtPlus16383 && a.xAtMinus16383 == b.xAtMinus16383 && a.yAtPlus16383 == b.yAtPlus16383 &&
         a.yAtMinus16383 == b.yAtMinus16383 && a.xSampleFactor == b.xSampleFactor &&
         a.ySampleFactor == b.ySampleFactor && a.document == b.document;
}
}  // namespace

void A2DViewWindow::MakeTransforms(DocumentRecord* document, bool sampled) {
  A2DTransform v;
  v.pixelRect = fViewRect;
  v.xOrigin = fState.xOrigin, v.yOrigin = fState.yOrigin;
  v.xPixelsPerUnit = fState.xPixelsPerUnit, v.yPixelsPerUnit = fState.yPixelsPerUnit;
  v.FinishFromOrigins();
  v.xSampleFactor = v.ySampleFactor = 1;
  v.document = document;
  A2DTransform g = v;
  if (sampled) {
    const int32_t width = fViewRect.right - fViewRect.left, height = fViewRect.bottom - fViewRect.top;
    g.pixelRect = MRect{0, 0, static_cast<int16_t>(2 * height), static_cast<int16_t>(2 * width)};
    g.xPixelsPerUnit = 2 * v.xPixelsPerUnit, g.yPixelsPerUnit = 2 * v.yPixelsPerUnit;
    g.xOrigin = 2 * (v.xOrigin - fViewRect.left);
    // The view's bottom row maps to the buffer's bottom row.
    g.yOrigin = 2 * (v.yOrigin - fViewRect.bottom + 1) + 2 * height - 1;
    g.FinishFromOrigins();
    g.xSampleFactor = g.ySampleFactor = 2;
  }
  // Graph jobs read these while computing: an unchanged transform (every
  // plain redraw) is not written at all.
  if (!SameTransform(fViewTransform, v)) fViewTransform = v;
  if (!SameTransform(fGraphTransform, g)) fGraphTransform = g;
}
