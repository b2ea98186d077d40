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
  kAttributeShowAxes = 17,
  kAttributeShowGraphPaper = 18,
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

// What a graph's Compute returns (the job queue stores it as the job state).
enum ComputeStatus : int32_t {
  kComputeFinished = 3,
  kComputeCancelled = 4,
  kComputeNothingToDo = 5,
};

// How a graph samples: at points, by intervals, or by intervals refined by
// the pixel tests.
enum PlottingMode : int32_t { kPlotSampling = 0, kPlotInterval = 1, kPlotIntervalPixelTests = 2 };
