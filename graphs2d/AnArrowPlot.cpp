#include "graphs2d/AnArrowPlot.h"

#include <cmath>
#include <memory>

#include "CoreUtilities/drawing/DirectPixelDrawing.h"
#include "evaluation/AnExpression.h"
#include "graphpane/AGraphColor.h"
#include "graphs2d/ArrowHead.h"
#include "graphs2d/FunctionGraphColor.h"

AnArrowPlot::AnArrowPlot(Compiled x1, Compiled y1, Compiled x2, Compiled y2, Colour colour,
                         const A2DTransform& transform)
    : fTransform(transform),
      fDocument(transform.document),
      fExpressions{std::move(x1), std::move(y1), std::move(x2), std::move(y2)},
      fColour(std::move(colour)),
      fJobs(this, GraphJobs::kOneJob) {
  for (const auto& e : fExpressions) AnExpression::Compile(e.get());
  Submit();
}

AnArrowPlot::~AnArrowPlot() { Stop(); }

void AnArrowPlot::Stop() {
  fJobs.Stop(fColour.get(),
             {fExpressions[0].get(), fExpressions[1].get(), fExpressions[2].get(), fExpressions[3].get()});
}

void AnArrowPlot::Submit() {
  fDone.store(false, std::memory_order_relaxed);
  fJobs.Submit(fColour.get(),
               {fExpressions[0].get(), fExpressions[1].get(), fExpressions[2].get(), fExpressions[3].get()});
}

int32_t AnArrowPlot::Compute(int32_t slice) {
  for (int i = 0; i < 4; ++i) fEnds[i] = fExpressions[i]->Evaluate(0.0);
  if (fColour) fColour->Compute();
  if (fJobs.Cancelled()) return fJobs.Finish(slice, kComputeCancelled, fDocument);
  fDone.store(true, std::memory_order_release);
  return fJobs.Finish(slice, kComputeFinished, fDocument);
}

// Every constant change recomputes: the ends may follow a slider.
void AnArrowPlot::InvalConstant(int32_t) {
  AGraphColor::InvalConstants(fColour.get());
  for (const auto& e : fExpressions) e->InvalConstants();
  Stop();
  Submit();
}

void AnArrowPlot::Draw() {
  if (IsCurveHidden(fColour.get()) || !IsDoneComputing()) return;
  for (double v : fEnds) {
    if (!std::isfinite(v)) return;
  }
  const A2DTransform& t = fTransform;
  const uint32_t rgb = CurveSolidColor(fColour.get());
  const MPoint tail{static_cast<int16_t>(t.YTOI_InfSafe(fEnds[1])), static_cast<int16_t>(t.XTOI_InfSafe(fEnds[0]))};
  const MPoint head{static_cast<int16_t>(t.YTOI_InfSafe(fEnds[3])), static_cast<int16_t>(t.XTOI_InfSafe(fEnds[2]))};
  OurLineDraw(t.pixelRect, tail, head, rgb);
  DrawArrowHead(fEnds[0], fEnds[1], fEnds[2] - fEnds[0], fEnds[3] - fEnds[1], t, rgb);
}
