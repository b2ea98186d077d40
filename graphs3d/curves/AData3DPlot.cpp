#include "graphs3d/curves/AData3DPlot.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <vector>

#include "expression/TreeComputability.h"
#include "graphs3d/GraphArrays.h"
#include "graphs3d/drawing/LineRuns.h"
#include "renderer/Submission.h"

namespace {

constexpr int32_t kUndefinedForRanges = 11;

// A coordinate the model's floats cannot hold counts as infinite; NaN
// passes.
bool Unbounded(double v) { return std::fabs(v) > FLT_MAX; }

float SizeOf(double size) { return float(std::clamp(size, double(-FLT_MAX), double(FLT_MAX))); }

}  // namespace

AData3DPlot::AData3DPlot(Compiled x, Compiled y, Compiled z, Compiled condition, Compiled firstText,
                         Compiled secondText, Compiled size, Colour colour, MDrawContext* context,
                         DocumentRecord* document)
    : fContext(context),
      fX(std::move(x)),
      fY(std::move(y)),
      fZ(std::move(z)),
      fCondition(std::move(condition)),
      fTextExpressions{std::move(firstText), std::move(secondText)},
      fSize(std::move(size)),
      fColour(std::move(colour)),
      fJobs(this, GraphJobs::kOneJob) {
  for (AnExpression* e : {fX.get(), fY.get(), fZ.get()}) fRows = std::max(fRows, GetTableDataSize(e->Tree(), document));
  AnExpression::Compile(fX.get(), fY.get(), fZ.get());
  if (fCondition) AnExpression::Compile(fCondition.get());
  if (fSize) AnExpression::Compile(fSize.get());
  fColour->Compile();
  fColour->MaximizeIntensity();
  AllocateSpace();
  Restart();
}

AData3DPlot::~AData3DPlot() { Stop(); }

void AData3DPlot::Stop() { fJobs.Stop(fColour.get(), {fX.get(), fY.get(), fZ.get(), fCondition.get(), fSize.get()}); }

void AData3DPlot::Restart() {
  fJobContext = JobContextOf(fContext);
  fNeedsCaching = true;
  fJobs.Submit(fColour.get(), {fX.get(), fY.get(), fZ.get(), fCondition.get(), fSize.get()});
}

// On a refusal (message 36 queued) the plot keeps nothing and draws
// nothing.
void AData3DPlot::AllocateSpace() {
  const size_t n = size_t(std::max(fRows, 1));
  fPoints = AllocateGraphArray<Vertex>(n);
  fColours = HasRowColours() ? AllocateGraphArray<ColorArrayElement>(n) : nullptr;
  fSizes = fSize ? AllocateGraphArray<float>(n) : nullptr;
  for (int k = 0; k < 2; ++k) {
    fTexts[k] = fTextExpressions[k] ? AllocateGraphArray<RowText>(n) : nullptr;
    fDrawnTexts[k] = fTextExpressions[k] ? AllocateGraphArray<RowText>(n) : nullptr;
  }
  if (SpaceMissing()) {
    fPoints.reset(), fColours.reset(), fSizes.reset();
    for (int k = 0; k < 2; ++k) fTexts[k].reset(), fDrawnTexts[k].reset();
  }
}

bool AData3DPlot::SpaceMissing() const {
  if (!fPoints || (HasRowColours() && !fColours) || (fSize && !fSizes)) return true;
  for (int k = 0; k < 2; ++k)
    if (fTextExpressions[k] && (!fTexts[k] || !fDrawnTexts[k])) return true;
  return false;
}

int32_t AData3DPlot::Compute(int32_t slice) {
  DocumentRecord* document = fJobContext.document;
  fPointCount = 0;
  if (SpaceMissing()) return fJobs.Finish(slice, kComputeNothingToDo, document);
  int32_t kept = 0;
  for (int32_t row = 1; row <= fRows; ++row) {
    const double x = fX->EvaluateIndexed(0, 0, 0, row), y = fY->EvaluateIndexed(0, 0, 0, row),
                 z = fZ->EvaluateIndexed(0, 0, 0, row);
    const bool shown = !Unbounded(x) && !Unbounded(y) && !Unbounded(z) &&
                       (!fCondition || fCondition->EvaluateIndexed(x, y, z, row) == 1.0);
    if (shown) {
      for (int k = 0; k < 2; ++k) {
        if (!fTexts[k]) continue;
        const UniChar* text = fTextExpressions[k]->EvaluateAsString(row);
        fTexts[k][kept].present = text != nullptr;
        fTexts[k][kept].text = text != nullptr ? text : u"";
      }
      if (fSizes) fSizes[kept] = SizeOf(fSize->EvaluateIndexed(x, y, z, row));
      if (fColours) {
        double c[3] = {0, 0, 0};
        fColour->ComputeExplicitColorIndexed(row, x, y, z, &c[0], &c[1], &c[2]);
        fColours[kept] = {float(c[0]), float(c[1]), float(c[2])};
      }
      fPoints[kept++] = {float(x), float(y), float(z)};
    }
    if (fJobs.Cancelled()) return fJobs.Finish(slice, kComputeCancelled, document);
  }
  fPointCount = kept;
  fRadius = CalculateMaximumModelSpaceRadius(fPoints.get(), kept, fJobContext.space);
  return fJobs.Finish(slice, kComputeFinished, document);
}

int32_t AData3DPlot::GraphVisibility() {
  if (!IsDoneComputing()) return 0;
  return fPointCount > 0 ? 0 : kUndefinedForRanges;
}

bool AData3DPlot::GetDataBounds(double* xLow, double* xHigh, double* yLow, double* yHigh, double* zLow, double* zHigh) {
  if (!IsDoneComputing()) return false;
  double b[3][2] = {{INFINITY, -INFINITY}, {INFINITY, -INFINITY}, {INFINITY, -INFINITY}};
  bool any = false;
  for (int32_t i = 0; i < fPointCount; ++i) {
    const float p[3] = {fPoints[i].x, fPoints[i].y, fPoints[i].z};
    if (!std::all_of(p, p + 3, [](float v) { return std::isfinite(v); })) continue;
    any = true;
    for (int k = 0; k < 3; ++k) b[k][0] = std::min(b[k][0], double(p[k])), b[k][1] = std::max(b[k][1], double(p[k]));
  }
  if (!any) return false;
  *xLow = b[0][0], *xHigh = b[0][1], *yLow = b[1][0], *yHigh = b[1][1], *zLow = b[2][0], *zHigh = b[2][1];
  return true;
}

void AData3DPlot::InvalConstant(int32_t variableId) {
  AnExpression::InvalConstants(fColour.get(), fX.get(), fY.get(), fZ.get(), fCondition.get(), fSize.get());
  // The sizes and colours follow their constants too.
  bool uses = fColour->Contains(variableId);
  for (const AnExpression* e : {fX.get(), fY.get(), fZ.get(), fCondition.get(), fSize.get()})
    uses = uses || (e && e->Contains(variableId));
  if (uses) ViewChanged();
}

void AData3DPlot::ViewChanged() {
  Stop();
  Restart();
}

void AData3DPlot::SetParameter(ViewAttribute attribute, double value) {
  switch (attribute) {
    case kAttributeColor:
      // Equations give way to the menu's colour: the rows lose theirs.
      Stop();
      fColour->Set(value);
      fColour->MaximizeIntensity();
      if (!HasRowColours()) fColours.reset();
      Restart();
      break;
    case kAttributeSaveFinishedModels:
      if (fNeedsCaching && IsDoneComputing()) CacheModels();
      break;
    default: break;
  }
}

// The cached models point into the texts of this computation, which the
// next one leaves alone.
void AData3DPlot::CacheModels() {
  fNeedsCaching = false;
  fModels.reset();
  fModelCount = 0;
  if (SpaceMissing() || fPointCount == 0) return;
  for (int k = 0; k < 2; ++k) std::swap(fTexts[k], fDrawnTexts[k]);
  fModelCount = (fPointCount + kVerticesPerRun - 1) / kVerticesPerRun;
  fModels.reset(new VertexObject[size_t(fModelCount)]);
  std::vector<const UniChar*> texts[2];
  for (int32_t m = 0; m < fModelCount; ++m) {
    const int32_t first = m * kVerticesPerRun, n = std::min(kVerticesPerRun, fPointCount - first);
    for (int k = 0; k < 2; ++k) {
      if (!fDrawnTexts[k]) continue;
      texts[k].resize(size_t(n));
      for (int32_t i = 0; i < n; ++i) {
        const RowText& t = fDrawnTexts[k][first + i];
        texts[k][size_t(i)] = t.present ? t.text.c_str() : nullptr;
      }
    }
    fModels[m].CacheModel(fPoints.get() + first, fColours ? fColours.get() + first : nullptr,
                          fDrawnTexts[0] ? texts[0].data() : nullptr, fDrawnTexts[1] ? texts[1].data() : nullptr,
                          fSizes ? fSizes.get() + first : nullptr, n, fContext);
  }
}

bool AData3DPlot::Draw() {
  if (fColour->fType == AGraphColor::kHidden) {
    for (int32_t m = 0; m < fModelCount; ++m) fModels[m].CopyBuffersIfContextChanged();
    return true;
  }
  if (fModelCount == 0) return true;
  OurSubmitSolidAmbientColor(fColour->fSolidColor, fContext);
  for (int32_t m = 0; m < fModelCount; ++m) fModels[m].DrawCachedModel();
  return true;
}
