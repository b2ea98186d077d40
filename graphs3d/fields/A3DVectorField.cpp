#include "graphs3d/fields/A3DVectorField.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int32_t kFieldUndefinedMessage = 11;

Vertex AsVertex(AVector v) { return {float(v.x), float(v.y), float(v.z)}; }

bool IsFiniteFieldVertex(const Vertex& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

uint32_t Packed(double red, double green, double blue) {
  return uint32_t((int(red * 255) & 255) << 16 | (int(green * 255) & 255) << 8 | (int(blue * 255) & 255));
}

}  // namespace

A3DVectorField::A3DVectorField(Compiled fx, Compiled fy, Compiled fz, Compiled radius,
                               std::unique_ptr<AGraphColor> colour, const double& arrowLength, const StartList& starts,
                               MDrawContext* context)
    : AVectorFieldOrDEPlot(std::move(fx), std::move(fy), std::move(fz), std::move(radius), nullptr, std::move(colour),
                           starts, context, GraphJobs::kOneJob),
      fArrowLength(arrowLength) {
  fColour->MaximizeIntensity();
}

A3DVectorField::~A3DVectorField() { CancelJobs(); }

void A3DVectorField::MarkStale() {
  OurLock lock(fMutex);
  fStaleCount = int32_t(fArrows.size());
}

bool A3DVectorField::Evaluate(AVector p, Sample* sample) {
  const AVector f = Field(p);
  const double magnitude = std::sqrt(f.y * f.y + f.x * f.x + f.z * f.z);
  if (!std::isfinite(magnitude)) return false;
  sample->start = p, sample->vector = f;
  sample->radius = fRadius ? At(fRadius.get(), p) : 0.0;
  sample->colour = 0;
  if (HasColourEquations()) {
    double red = 0, green = 0, blue = 0;
    fColour->ComputeExplicitColor(0, 0, p.x, p.y, p.z, 0, &red, &green, &blue);
    sample->colour = Packed(red, green, blue);
  }
  return true;
}

A3DVectorField::FieldArrow A3DVectorField::MakeArrow(const Sample& sample, double scale, bool single) {
  FieldArrow made;
  AGraphColor* colour = fColour.get();
  if (HasColourEquations()) {
    made.colour = std::make_unique<AGraphColor>();
    made.colour->fSolidColor = sample.colour;
    colour = made.colour.get();
  }
  const Vertex start = AsVertex(sample.start), tip = AsVertex(scale * sample.vector + sample.start);
  made.arrow = std::make_unique<AnArrow3D>(start, tip, sample.radius, colour, single,
                                           fHeadless.load(std::memory_order_acquire), fContext, fJobContext.space);
  return made;
}

int32_t A3DVectorField::Compute(int32_t slice) {
  DocumentRecord* document = fJobContext.document;
  const int32_t n = fStarts.Count();
  std::vector<Sample> samples;
  samples.reserve(size_t(n));
  double largest = 0;
  for (int32_t i = 0; i < n; ++i) {
    Sample sample;
    if (!Evaluate(fStarts[i], &sample)) continue;
    const AVector& v = sample.vector;
    largest = std::max(largest, std::sqrt(v.y * v.y + v.x * v.x + v.z * v.z));
    if (fJobs.Cancelled()) return fJobs.Finish(slice, kComputeCancelled, document);
    samples.push_back(sample);
  }
  if (largest == 0) largest = 1.0;
  const double scale = fArrowLength == 0 ? 1.0 : fArrowLength / largest;
  int32_t finite = 0;
  for (const Sample& sample : samples) {
    finite += IsFiniteFieldVertex(AsVertex(scale * sample.vector + sample.start));
    FieldArrow made = MakeArrow(sample, scale, n == 1);
    OurLock lock(fMutex);
    fArrows.push_back(std::move(made));
  }
  fStartCount.store(n, std::memory_order_release);
  fUsableCount.store(int32_t(samples.size()), std::memory_order_release);
  fFiniteCount.store(finite, std::memory_order_release);
  return fJobs.Finish(slice, kComputeFinished, document);
}

// No start points is nothing to draw, not a field undefined everywhere.
int32_t A3DVectorField::GraphVisibility() {
  if (!IsDoneComputing() || fStartCount.load(std::memory_order_acquire) == 0) return 0;
  if (fUsableCount.load(std::memory_order_acquire) == 0 || fFiniteCount.load(std::memory_order_acquire) == 0)
    return kFieldUndefinedMessage;
  return 0;
}

void A3DVectorField::SetParameter(ViewAttribute attribute, double value) {
  switch (attribute) {
    case kAttributeColor:
      fColour->Set(value);
      fColour->MaximizeIntensity();
      break;
    case kAttributeSaveFinishedModels: {
      if (!IsDoneComputing()) break;
      OurLock lock(fMutex);
      fArrows.erase(fArrows.begin(), fArrows.begin() + fStaleCount);
      fStaleCount = 0;
      for (FieldArrow& a : fArrows) a.arrow->SetParameter(attribute, value);
      break;
    }
    case kAttributeGrain: {
      OurLock lock(fMutex);
      for (FieldArrow& a : fArrows) a.arrow->SetParameter(attribute, value);
      break;
    }
    case kAttributeEqualLengthArrows: SetHeadless(value != 0); break;
    default: break;
  }
}

bool A3DVectorField::Draw() {
  if (fColour->fType == AGraphColor::kHidden) return true;
  OurLock lock(fMutex);
  bool drawn = true;
  for (FieldArrow& a : fArrows) drawn = a.arrow->Draw() && drawn;
  return drawn;
}

double A3DVectorField::MaximumModelSpaceRadius() {
  OurLock lock(fMutex);
  double largest = 0;
  for (FieldArrow& a : fArrows) largest = std::max(largest, a.arrow->MaximumModelSpaceRadius());
  return largest;
}

int32_t A3DVectorField::ArrowCount() {
  OurLock lock(fMutex);
  return int32_t(fArrows.size());
}

int32_t A3DVectorField::StaleArrowCount() {
  OurLock lock(fMutex);
  return fStaleCount;
}

const AnArrow3D* A3DVectorField::Arrow(int32_t i) {
  OurLock lock(fMutex);
  return i >= 0 && i < int32_t(fArrows.size()) ? fArrows[size_t(i)].arrow.get() : nullptr;
}
