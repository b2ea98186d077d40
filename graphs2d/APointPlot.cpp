#include "graphs2d/APointPlot.h"

#include <cmath>

#include "CoreUtilities/drawing/DirectPixelDrawing.h"
#include "evaluation/AnExpression.h"
#include "graphpane/AGraphColor.h"
#include "graphs2d/FunctionGraphColor.h"
#include "graphs2d/PointMarkers.h"

namespace {
// The text of a string expression, copied; false when there is none.
bool CopyText(const AnExpression* e, std::u16string* out) {
  const UniChar* text = e ? e->EvaluateAsString(1) : nullptr;
  if (text == nullptr) return false;
  *out = text;
  return true;
}
}  // namespace

APointPlot::APointPlot(Compiled x, Compiled y, Compiled symbol, Compiled label, Compiled size, Colour colour,
                       bool draggable, const A2DTransform& transform)
    : fTransform(transform),
      fDocument(transform.document),
      fXExpression(std::move(x)),
      fYExpression(std::move(y)),
      fSymbolExpression(std::move(symbol)),
      fLabelExpression(std::move(label)),
      fSizeExpression(std::move(size)),
      fColour(std::move(colour)),
      fDraggable(draggable),
      fJobs(this, GraphJobs::kOneJob) {
  for (AnExpression* e : {fXExpression.get(), fYExpression.get(), fSizeExpression.get()}) {
    if (e) AnExpression::Compile(e);
  }
  Submit();
}

APointPlot::~APointPlot() { Stop(); }

void APointPlot::Stop() {
  fJobs.Stop(fColour.get(), {fXExpression.get(), fYExpression.get(), fSymbolExpression.get(), fLabelExpression.get(),
                             fSizeExpression.get()});
}

void APointPlot::Submit() {
  fDone.store(false, std::memory_order_relaxed);
  fJobs.Submit(fColour.get(), {fXExpression.get(), fYExpression.get(), fSymbolExpression.get(), fLabelExpression.get(),
                               fSizeExpression.get()});
}

int32_t APointPlot::Compute(int32_t slice) {
  fX = fXExpression->Evaluate(0.0);
  fY = fYExpression->Evaluate(0.0);
  if (fColour) fColour->Compute();
  fHasSymbol = CopyText(fSymbolExpression.get(), &fSymbol);
  fHasLabel = CopyText(fLabelExpression.get(), &fLabel);
  if (fSizeExpression) {
    const double size = fSizeExpression->Evaluate(0, 0, X(), Y(), 0, 0);
    if (std::isfinite(size) && size > 0) fSize = size;
  }
  if (fJobs.Cancelled()) return fJobs.Finish(slice, kComputeCancelled, fDocument);
  fDone.store(true, std::memory_order_release);
  return fJobs.Finish(slice, kComputeFinished, fDocument);
}

void APointPlot::InvalConstant(int32_t) {
  AGraphColor::InvalConstants(fColour.get());
  for (AnExpression* e : {fXExpression.get(), fYExpression.get(), fSizeExpression.get()}) {
    if (e) e->InvalConstants();
  }
  Stop();
  Submit();
}

void APointPlot::SetParameter(ViewAttribute attribute, double value) {
  // The view moves a dragged point this way; a colour code goes to the colour
  // through the pane.
  if (attribute == kAttributeDraggedX) fX = value;
  if (attribute == kAttributeDraggedY) fY = value;
}

void APointPlot::Draw() {
  if (IsCurveHidden(fColour.get()) || !IsDoneComputing()) return;
  // Non-finite coordinates are never converted: NaN and the infinities alike.
  const double x = X(), y = Y();
  if (!std::isfinite(x) || !std::isfinite(y)) return;
  const A2DTransform& t = fTransform;
  const int32_t c = t.xSampleFactor;
  const int h = t.XTOI_InfSafe(x), v = t.YTOI_InfSafe(y);
  const uint32_t rgb = CurveSolidColor(fColour.get());
  const double fontSize = c * fSize;
  if (fHasSymbol) {
    fLabelOffset = DrawCenteredSymbol(fSymbol.c_str(), h, v, fontSize, rgb, t.pixelRect);
  } else if (fColour && fColour->fType == AGraphColor::kPictureTexture) {
    fColour->DrawCenteredPicture(h, v, t.pixelRect, c);
    fLabelOffset = fColour->GetPictureWidth() / 2 * c;
  } else {
    OurDrawFilledCircle(t.pixelRect, h, v, 3 * c, rgb);
    fLabelOffset = 3 * c;
  }
  if (fHasLabel) DrawPointLabel(fLabel.c_str(), h + fLabelOffset + 4, v, fontSize, rgb, t.pixelRect);
}

bool APointPlot::IsPointOverCurve(double x, double y) {
  if (!fDraggable || IsCurveHidden(fColour.get())) return false;
  const A2DTransform& t = fTransform;
  const double dh = double(t.XTOI_InfSafe(X())) - t.XTOI_InfSafe(x);
  const double dv = double(t.YTOI_InfSafe(Y())) - t.YTOI_InfSafe(y);
  const double c = t.xSampleFactor;
  return dh * dh + dv * dv <= 16 * c * c;
}

Selection APointPlot::GetSelection(double x, double y) {
  Selection s;
  if (!fDraggable) return s;
  s.kind = kSelectDraggedPoint;
  s.x = x;
  s.y = y;
  return s;
}
