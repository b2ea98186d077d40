#include "graphs2d/ADensityPlot.h"

#include <cmath>
#include <vector>

#include "CoreUtilities/MathConstants.h"
#include "evaluation/AnExpression.h"
#include "expression/DocumentHooks.h"
#include "graphpane/AGraphColor.h"
#include "graphpane/GraphHooks.h"
#include "graphs2d/A2DTransform.h"
#include "graphs2d/GrainSteps.h"
#include "graphs2d/LevelShades.h"
#include "platform/CheckedConvert.h"

namespace {

constexpr int32_t kDensityUndefinedMessage = 1;
constexpr int32_t kRampEntries = 240;

}  // namespace

ADensityPlot::ADensityPlot(Compiled function, double grain, Colour colour, const A2DTransform& transform)
    : ACellPlot(transform, kToDo),
      fFunction(std::move(function)),
      fColour(std::move(colour)),
      fMin(-gInf),
      fMax(-gInf),
      fBandCount(GrainBandCount(grain)) {
  SetCancelList(fColour.get(), fFunction.get());
  AnExpression::Compile(fFunction.get());
  SetGridData(AnExpression::CompileForGrid(fFunction.get()));
  if (PaneHooks::IsBenchmarkRunning()) fFrameCachingOff = true;
  fColour->MaximizeIntensity();
  NewMap();
  SubmitJobs();
}

ADensityPlot::~ADensityPlot() { StopForGood(); }

bool ADensityPlot::HasRowPrograms() const { return fFunction->GridMachine() != nullptr && fFunction->ArrayFlag() == 1; }

bool ADensityPlot::SetRange(MGridVariables* grid) {
  const MRect& r = fTransform.pixelRect;
  const double x0 = fTransform.ITOX(r.left), y0 = fTransform.ITOY(r.top);
  const double dx = (fTransform.ITOX(r.right - 1) - x0) / 19, dy = (fTransform.ITOY(r.bottom - 1) - y0) / 19;
  AnExpression::SetupGrid(x0, y0, dx, dy, 20, 20, fGridData.get(), grid);
  double min = gInf, max = -gInf, row[20];
  for (int32_t j = 0; j < 20; ++j) {
    if (HasRowPrograms()) {
      fFunction->EvaluateArrayOnGrid(j, grid, row);
    } else {
      for (int32_t i = 0; i < 20; ++i) row[i] = fFunction->EvaluateOnGrid(i, j, grid);
    }
    for (double v : row) {
      if (!std::isfinite(v)) continue;
      min = std::min(min, v), max = std::max(max, v);
    }
  }
  if (!(min < max) || !std::isfinite(max - min) || fJobs.Cancelled()) {
    // Every defined cell then maps to the full colour.
    fMin = fMax = -gInf, fScale = 0;
    return false;
  }
  fMin = min, fMax = max, fScale = kRampEntries / (max - min);
  return true;
}

uint8_t ADensityPlot::MapValue(double v) const {
  if (std::isnan(v)) return kUndefined;
  if (v <= fMin) return 0;
  if (v >= fMax) return kRampEntries - 1;
  return static_cast<uint8_t>(std::min(DoubleToInt32((v - fMin) * fScale), kRampEntries - 1));
}

void ADensityPlot::ComputeRow(MGridVariables* grid, int32_t gridRow, uint8_t* out) {
  std::vector<double> values(static_cast<size_t>(fWidth));
  fFunction->EvaluateArrayOnGrid(gridRow, grid, values.data());
  for (int32_t i = 0; i < fWidth; ++i) out[i] = MapValue(values[i]);
}

uint8_t ADensityPlot::ComputeCell(MGridVariables* grid, int32_t i, int32_t gridRow) {
  return MapValue(fFunction->EvaluateOnGrid(i, gridRow, grid));
}

int32_t ADensityPlot::GraphVisibility() {
  if (!IsDone()) return 0;
  return !HasMap() || AllCellsAre(kUndefined) ? kDensityUndefinedMessage : 0;
}

void ADensityPlot::InvalConstant(int32_t variableId) {
  AnExpression::InvalConstants(fColour.get(), fFunction.get());
  if (!HasMap()) return;
  DocumentRecord* document = fTransform.document;
  const bool slider = variableId == DocumentSliderVariable(document);
  if (fFunction->Contains(variableId) && !slider) {
    ViewChanged();
  } else if (fFunction->Contains(variableId)) {
    ShowFrameOrCompute(document);
  } else if (fColour->Contains(variableId)) {
    Stop();
    SubmitJobs();
  }
}

void ADensityPlot::SetParameter(ViewAttribute attribute, double value) {
  if (attribute == kAttributeGrain) fBandCount = GrainBandCount(value);
}

void ADensityPlot::Draw() {
  if (fColour->fType == AGraphColor::kHidden || !HasMap()) return;
  KeepFrameIfWanted();
  uint32_t shades[24], ramp[kRampEntries];
  LevelShades(fColour->fSolidColor, fBandCount, shades);
  const int32_t perBand = kRampEntries / fBandCount;
  for (int32_t k = 0; k < kRampEntries; ++k) {
    ramp[k] = k / perBand < fBandCount ? shades[k / perBand] : fColour->fSolidColor & 0xFFFFFF;
  }
  ComposeCells([&](uint8_t cell) { return cell >= kUndefined ? kSkipCell : ramp[cell]; });
}

double ADensityPlot::PointValue(double x, double y) {
  MGridVariables grid;
  AnExpression::SetupGrid(x, y, 0, 0, 1, 1, fGridData.get(), &grid);
  return fFunction->EvaluateOnGrid(0, 0, &grid);
}

bool ADensityPlot::IsPointOverCurve(double x, double y) {
  if (!HasMap() || fColour->fType == AGraphColor::kHidden || !fGridData) return false;
  return !std::isnan(PointValue(x, y));
}

Selection ADensityPlot::GetSelection(double x, double y) {
  Selection selection;
  if (!HasMap() || fColour->fType == AGraphColor::kHidden || !fGridData) return selection;
  selection.kind = kSelectDensityValue;
  selection.parameter = PointValue(x, y);
  selection.x = x, selection.y = y;
  return selection;
}
