#include "graphs2d/AColorPlot.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "CoreUtilities/drawing/HSVColor.h"
#include "evaluation/AnExpression.h"
#include "expression/DocumentHooks.h"
#include "graphpane/AGraphColor.h"
#include "graphpane/GraphHooks.h"
#include "graphs2d/A2DTransform.h"
#include "platform/CheckedConvert.h"

namespace {

constexpr int32_t kUndefinedMessage = 1;

uint32_t Component(double c) { return static_cast<uint32_t>(DoubleToInt32(c * 255)) & 0xFF; }

double Clamped(double n) { return std::isnan(n) || n < 0 ? 0 : std::min(n, 1.0); }

}  // namespace

AColorPlot::AColorPlot(Compiled first, Compiled second, Compiled third, Compiled complex, bool hsv, Colour colour,
                       const A2DTransform& transform)
    : ACellPlot(transform, kToDo),
      fExpressions{std::move(first), std::move(second), std::move(third)},
      fComplex(std::move(complex)),
      fColour(std::move(colour)),
      fHSV(hsv) {
  AnExpression* const e[3] = {fExpressions[0].get(), fExpressions[1].get(), fExpressions[2].get()};
  SetCancelList(fColour.get(), e[0], e[1], e[2], fComplex.get());
  // Frames are cached only while the benchmark runs.
  fFrameCachingOff = !PaneHooks::IsBenchmarkRunning();
  SetGridData(AnExpression::CompileForGrid(e[0], e[1], e[2]));
  if (fComplex) AnExpression::Compile(fComplex.get());
  NewMap();
  SubmitJobs();
}

AColorPlot::~AColorPlot() { StopForGood(); }

bool AColorPlot::HasRowPrograms() const {
  for (const auto& e : fExpressions) {
    if (e->GridMachine() == nullptr || e->ArrayFlag() != 1) return false;
  }
  return true;
}

bool AColorPlot::SetRange(MGridVariables* grid) {
  const MRect& r = fTransform.pixelRect;
  const double x0 = fTransform.ITOX(r.left), y0 = fTransform.ITOY(r.top);
  const double dx = (fTransform.ITOX(r.right - 1) - x0) / 19, dy = (fTransform.ITOY(r.bottom - 1) - y0) / 19;
  AnExpression::SetupGrid(x0, y0, dx, dy, 20, 20, fGridData.get(), grid);
  const bool rows = HasRowPrograms();
  double row[20];
  for (int32_t k = 0; k < 3; ++k) {
    fLow[k] = 0, fHigh[k] = 1;
    for (int32_t j = 0; j < 20; ++j) {
      if (rows) {
        fExpressions[k]->EvaluateArrayOnGrid(j, grid, row);
      } else {
        for (int32_t i = 0; i < 20; ++i) row[i] = fExpressions[k]->EvaluateOnGrid(i, j, grid);
      }
      for (double v : row) {
        if (std::isnan(v) || std::isinf(v)) continue;
        fLow[k] = std::min(fLow[k], v), fHigh[k] = std::max(fHigh[k], v);
      }
    }
  }
  return true;
}

uint32_t AColorPlot::MapValues(const double* v) const {
  if (std::isnan(v[0]) || std::isnan(v[1]) || std::isnan(v[2])) return kUndefined;
  double n[3];
  for (int32_t k = 0; k < 3; ++k) n[k] = (v[k] - fLow[k]) / (fHigh[k] - fLow[k]);
  double rgb[3];
  if (fHSV) {
    // The hue is left unclamped: its fraction decides.
    OurHSVtoRGB(n[0], Clamped(n[1]), Clamped(n[2]), &rgb[0], &rgb[1], &rgb[2]);
  } else {
    for (int32_t k = 0; k < 3; ++k) rgb[k] = Clamped(n[k]);
  }
  return Component(rgb[0]) << 16 | Component(rgb[1]) << 8 | Component(rgb[2]);
}

void AColorPlot::ComputeRow(MGridVariables* grid, int32_t gridRow, uint32_t* out) {
  std::vector<double> values(static_cast<size_t>(3) * fWidth);
  for (int32_t k = 0; k < 3; ++k) fExpressions[k]->EvaluateArrayOnGrid(gridRow, grid, &values[k * fWidth]);
  for (int32_t i = 0; i < fWidth; ++i) {
    const double v[3] = {values[i], values[fWidth + i], values[2 * fWidth + i]};
    out[i] = MapValues(v);
  }
}

uint32_t AColorPlot::ComputeCell(MGridVariables* grid, int32_t i, int32_t gridRow) {
  double v[3];
  for (int32_t k = 0; k < 3; ++k) v[k] = fExpressions[k]->EvaluateOnGrid(i, gridRow, grid);
  return MapValues(v);
}

int32_t AColorPlot::GraphVisibility() {
  if (!IsDone()) return 0;
  return !HasMap() || AllCellsAre(kUndefined) ? kUndefinedMessage : 0;
}

bool AColorPlot::AnyContains(int32_t variableId) const {
  for (const auto& e : fExpressions) {
    if (e->Contains(variableId)) return true;
  }
  return false;
}

void AColorPlot::InvalConstant(int32_t variableId) {
  AnExpression::InvalConstants(nullptr, fExpressions[0].get(), fExpressions[1].get(), fExpressions[2].get(),
                               fComplex.get());
  if (!HasMap() || !AnyContains(variableId)) return;
  DocumentRecord* document = fTransform.document;
  if (variableId != DocumentSliderVariable(document)) {
    ViewChanged();
  } else {
    ShowFrameOrCompute(document);
  }
}

bool AColorPlot::Hidden() const { return fColour->fType == AGraphColor::kHidden; }

void AColorPlot::Draw() {
  if (Hidden() || !HasMap()) return;
  KeepFrameIfWanted();
  ComposeCells([&](uint32_t cell) { return cell == kToDo || cell == kUndefined ? kSkipCell : cell; });
}

bool AColorPlot::IsPointOverCurve(double x, double y) {
  if (!HasMap() || Hidden() || !fGridData) return false;
  MGridVariables grid;
  AnExpression::SetupGrid(x, y, 0, 0, 1, 1, fGridData.get(), &grid);
  for (const auto& e : fExpressions) {
    if (std::isnan(e->EvaluateOnGrid(0, 0, &grid))) return false;
  }
  return true;
}

Selection AColorPlot::GetSelection(double x, double y) {
  Selection selection;
  if (!HasMap() || Hidden()) return selection;
  selection.x = x, selection.y = y;
  selection.kind = kSelectPoint;
  if (fComplex) {
    const Complex z = fComplex->EvaluateComplex(x, y);
    selection.kind = kSelectComplexValue;
    selection.complexValue[0] = z.re, selection.complexValue[1] = z.im;
  }
  return selection;
}
