#pragma once

#include <cstdint>

// Attribute codes passed with a value to views and graphs.
enum ViewAttribute : int32_t {
  kAttributePlottingMode = 0,
  kAttributeStopSpin = 1,
  kAttributeSpinX = 2,
  kAttributeSpinY = 3,
  kAttributeDefaultSpin = 4,
  kAttributeSaveFinishedModels = 5,
  kAttributeUpdateSavedVertexObjects = 6,
  kAttributeUpdateVertexObjects = 7,
  kAttributeColor = 8,
  kAttributeOpacity = 9,
  kAttributeGrain = 10,
  kAttributeDraggedX = 11,
  kAttributeDraggedY = 12,
  kAttributeEqualLengthArrows = 13,
  // The 4-D view's: axes and grid shown (value non-zero), the mouse
  // action (1, 2) or a preset orientation (4 to 7).
  kAttribute4DAxes = 14,
  kAttribute4DGrid = 15,
  kAttribute4DMouseAction = 16,
  kAttributeShowAxes = 17,
  kAttributeShowGraphPaper = 18,
  // The 4-D view's plane spins xy, xz, xw, yz, yw, zw (32 to 37) and
  // plane turns in the same order (96 to 101).
  kAttributeSpinXY = 32,
  kAttributeTurnXY = 96,
};

enum ZoomCommand : int32_t {
  kZoomIn = 0,
  kZoomInX = 1,
  kZoomInY = 2,
  kZoomOut = 3,
  kZoomOutX = 4,
  kZoomOutY = 5,
  kZoomDefaultView = 6,
  kZoomReset = 7,
};

// The views of a pane an operation names, among those shown. The view
// buttons and menus pass them; the numbers are fixed.
enum ShownViews : int32_t {
  kCurrentView = 0,
  kSecondView = 1,  // beside the current view, when shown
  kBothViews = 2,
  kShown2DViews = 3,
  kShown3DViews = 4,      // the 3-D and 4-D ones
  kAcceleratedViews = 5,  // those of kShown3DViews that draw accelerated
};

// What a graph's Compute returns (the job queue stores it as the job state).
enum ComputeStatus : int32_t {
  kComputeFinished = 3,
  kComputeCancelled = 4,
  kComputeNothingToDo = 5,
};

// How a graph samples: at points, by intervals, or by intervals refined by
// the pixel tests.
enum PlottingMode : int32_t { kPlotSampling = 0, kPlotInterval = 1, kPlotIntervalPixelTests = 2 };
