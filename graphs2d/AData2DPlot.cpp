#include "graphs2d/AData2DPlot.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "platform/CheckedConvert.h"
#include "CoreUtilities/threads/ComputationDeadline.h"
#include "CoreUtilities/drawing/DirectPixelDrawing.h"
#include "CoreUtilities/files/ErrorQueue.h"
#include "evaluation/AnExpression.h"
#include "expression/TreeComputability.h"
#include "graphpane/AGraphColor.h"
#include "graphs2d/FunctionGraphColor.h"
#include "graphs2d/PointMarkers.h"

namespace {
constexpr double kDefaultFontSize = 9;
// Larger markers cover any view; the bound keeps the conversion in range.
constexpr double kLargestRadius = 16383;

template <typename T>
CountedArray<T> AllocateRows(bool wanted, int32_t rows) {
  if (!wanted || rows == 0) return nullptr;
  CountedArray<T> p = NewCountedArray<T>(size_t(rows));
  if (p == nullptr) QueueError(kOutOfMemoryError);
  return p;
}

uint8_t ChannelByte(double value) {
  return static_cast<uint8_t>(DoubleToInt32(std::clamp(std::isnan(value) ? 0.0 : value, 0.0, 1.0) * 255));
}
}  // namespace

AData2DPlot::AData2DPlot(Compiled x, Compiled y, Colour colour, Compiled condition, Compiled radius, Compiled symbol,
                         Compiled label, Compiled fontSize, const A2DTransform& transform, DocumentRecord* document)
    : fTransform(transform),
      fDocument(document),
      fXExpression(std::move(x)),
      fYExpression(std::move(y)),
      fCondition(std::move(condition)),
      fRadiusExpression(std::move(radius)),
      fSymbolExpression(std::move(symbol)),
      fLabelExpression(std::move(label)),
      fFontSizeExpression(std::move(fontSize)),
      fColour(std::move(colour)),
      fJobs(this, GraphJobs::kOneJob) {
  fRows = std::max(GetTableDataSize(fXExpression->Tree(), document), GetTableDataSize(fYExpression->Tree(), document));
  Allocate();
  for (AnExpression* e :
       {fXExpression.get(), fYExpression.get(), fCondition.get(), fRadiusExpression.get(), fFontSizeExpression.get()}) {
    if (e) AnExpression::Compile(e);
  }
  Submit();
}

AData2DPlot::~AData2DPlot() { Stop(); }

void AData2DPlot::Allocate() {
  fX = AllocateRows<double>(true, fRows);
  fY = AllocateRows<double>(true, fRows);
  fRadius = AllocateRows<double>(fRadiusExpression != nullptr, fRows);
  fFontSize = AllocateRows<double>(fFontSizeExpression != nullptr, fRows);
  fRowColour = AllocateRows<uint32_t>(HasExplicitColour(), fRows);
  if (fRows > 0 && fSymbolExpression) fSymbol.reset(new (std::nothrow) RowText[size_t(fRows)]);
  if (fRows > 0 && fLabelExpression) fLabel.reset(new (std::nothrow) RowText[size_t(fRows)]);
  if ((fSymbolExpression && !fSymbol) || (fLabelExpression && !fLabel)) QueueError(kOutOfMemoryError);
}

bool AData2DPlot::HasExplicitColour() const {
  return fColour && (fColour->fType == AGraphColor::kRGBEquations || fColour->fType == AGraphColor::kHSVEquations);
}

void AData2DPlot::Stop() {
  fJobs.Stop(fColour.get(), {fXExpression.get(), fYExpression.get(), fCondition.get(), fRadiusExpression.get(),
                             fSymbolExpression.get(), fLabelExpression.get(), fFontSizeExpression.get()});
}

void AData2DPlot::Submit() {
  fComputed.store(0, std::memory_order_relaxed);
  fJobs.Submit(fColour.get(), {fXExpression.get(), fYExpression.get(), fCondition.get(), fRadiusExpression.get(),
                               fSymbolExpression.get(), fLabelExpression.get(), fFontSizeExpression.get()});
}

int32_t AData2DPlot::Compute(int32_t slice) {
  if (fX == nullptr || fY == nullptr) return fJobs.Finish(slice, kComputeNothingToDo, fDocument);
  if (fColour) fColour->Compute();
  for (int32_t k = 1; k <= fRows; ++k) {
    const int32_t i = k - 1;
    const double x = fXExpression->EvaluateIndexed(0, 0, 0, k), y = fYExpression->EvaluateIndexed(0, 0, 0, k);
    const bool shown = fCondition == nullptr || fCondition->EvaluateIndexed(x, y, 0, k) == 1;
    fX[i] = shown ? x : NAN;
    fY[i] = shown ? y : NAN;
    if (shown) {
      if (fRadius) fRadius[i] = fRadiusExpression->EvaluateIndexed(x, y, 0, k);
      if (fFontSize) fFontSize[i] = fFontSizeExpression->EvaluateIndexed(x, y, 0, k);
      for (auto [expression, texts] :
           {std::pair{fSymbolExpression.get(), fSymbol.get()}, std::pair{fLabelExpression.get(), fLabel.get()}}) {
        if (texts == nullptr) continue;
        const UniChar* text = expression->EvaluateAsString(k);
        texts[i].present = text != nullptr;
        texts[i].text = text ? text : u"";
      }
      if (fRowColour) {
        double r = 0, g = 0, b = 0;
        fColour->ComputeExplicitColorIndexed(k, x, y, 0, &r, &g, &b);
        fRowColour[i] = uint32_t(ChannelByte(r)) << 16 | uint32_t(ChannelByte(g)) << 8 | ChannelByte(b);
      }
    }
    if (fJobs.Cancelled()) return fJobs.Finish(slice, kComputeCancelled, fDocument);
    fComputed.store(k, std::memory_order_release);
  }
  return fJobs.Finish(slice, kComputeFinished, fDocument);
}

bool AData2DPlot::IsDoneComputing() { return (fX && fY) ? Computed() == fRows : fJobs.AllDone(); }

bool AData2DPlot::Contains(int32_t variableId) const {
  for (const AnExpression* e : {fXExpression.get(), fYExpression.get(), fCondition.get(), fRadiusExpression.get(),
                                fSymbolExpression.get(), fLabelExpression.get(), fFontSizeExpression.get()}) {
    if (e && e->Contains(variableId)) return true;
  }
  return false;
}

void AData2DPlot::InvalConstant(int32_t variableId) {
  AGraphColor::InvalConstants(fColour.get());
  for (AnExpression* e :
       {fXExpression.get(), fYExpression.get(), fCondition.get(), fRadiusExpression.get(), fFontSizeExpression.get()}) {
    if (e) e->InvalConstants();
  }
  if (!Contains(variableId) && !CurveColorContains(fColour.get(), variableId)) return;
  Stop();
  Submit();
}

// The pane sets the colour; the rows' colours follow it.
void AData2DPlot::SetParameter(ViewAttribute attribute, double) {
  if (attribute != kAttributeColor) return;
  Stop();
  Submit();
}

void AData2DPlot::Draw() {
  if (IsCurveHidden(fColour.get()) || fX == nullptr || fY == nullptr) return;
  const A2DTransform& t = fTransform;
  const int32_t c = t.xSampleFactor;
  const bool picture = fColour && fColour->fType == AGraphColor::kPictureTexture;
  const int32_t computed = Computed();
  // Symbols and labels are text: past the export's deadline the picture
  // keeps the rows drawn so far, the clock read every few rows.
  constexpr int32_t kRowsBetweenClockReads = 16;
  for (int32_t i = 0; i < computed; ++i) {
    if (i % kRowsBetweenClockReads == 0 && DrawingDeadlinePassed()) return;
    // Non-finite values are skipped, never converted.
    if (!std::isfinite(fX[i]) || !std::isfinite(fY[i])) continue;
    const int h = t.XTOI_InfSafe(fX[i]), v = t.YTOI_InfSafe(fY[i]);
    const uint32_t rgb = fRowColour ? fRowColour[i] : CurveSolidColor(fColour.get());
    int32_t r = 3 * c;
    if (fRadius) {
      const double pixels = fRadius[i] * t.xPixelsPerUnit;
      if (!std::isfinite(pixels)) continue;
      r = DoubleToInt32(std::clamp(pixels, -kLargestRadius, kLargestRadius));
    }
    double size = fFontSize ? fFontSize[i] : kDefaultFontSize;
    if (!std::isfinite(size) || size <= 0) size = kDefaultFontSize;
    size *= c;
    if (fSymbol && fSymbol[i].present) {
      DrawCenteredSymbol(fSymbol[i].text.c_str(), h, v, size, rgb, t.pixelRect);
    } else if (picture && fRadius == nullptr) {
      fColour->DrawCenteredPicture(h, v, t.pixelRect, c);
      r = fColour->GetPictureWidth() / 2 * c;
    } else if (picture) {
      fColour->DrawCenteredPictureScaledToSize(h, v, t.pixelRect, 2 * r);
    } else {
      OurDrawFilledCircle(t.pixelRect, h, v, r, rgb);
    }
    if (fLabel && fLabel[i].present) DrawPointLabel(fLabel[i].text.c_str(), h + r + 2, v, size, rgb, t.pixelRect);
  }
}

bool AData2DPlot::GetDataBounds(double* xLow, double* xHigh, double* yLow, double* yHigh) {
  if (!IsDoneComputing()) return false;
  double b[4] = {INFINITY, -INFINITY, INFINITY, -INFINITY};
  bool any = false;
  for (int32_t i = 0; fX && fY && i < fRows; ++i) {
    if (!std::isfinite(fX[i]) || !std::isfinite(fY[i])) continue;
    any = true;
    b[0] = std::min(b[0], fX[i]), b[1] = std::max(b[1], fX[i]);
    b[2] = std::min(b[2], fY[i]), b[3] = std::max(b[3], fY[i]);
  }
  if (!any) std::fill(b, b + 4, NAN);
  *xLow = b[0], *xHigh = b[1], *yLow = b[2], *yHigh = b[3];
  return true;
}
