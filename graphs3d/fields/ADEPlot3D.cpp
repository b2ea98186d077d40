#include "graphs3d/fields/ADEPlot3D.h"

#include <algorithm>
#include <cmath>

#include "CoreUtilities/files/ErrorQueue.h"
#include "graphs3d/GraphArrays.h"

ADEPlot3D::ADEPlot3D(Compiled fx, Compiled fy, Compiled fz, Compiled radius, AnExpression* condition,
                     std::unique_ptr<AGraphColor> colour, double opacity, const StartList& starts, const double& xmin,
                     const double& xmax, const double& ymin, const double& ymax, const double& zmin, const double& zmax,
                     MDrawContext* context)
    : AVectorFieldOrDEPlot(std::move(fx), std::move(fy), std::move(fz), std::move(radius), condition, std::move(colour),
                           starts, context, GraphJobs::kOnePerProcessor),
      fXMin(&xmin),
      fXMax(&xmax),
      fYMin(&ymin),
      fYMax(&ymax),
      fZMin(&zmin),
      fZMax(&zmax),
      fOpacity(opacity) {}

ADEPlot3D::~ADEPlot3D() {
  AVectorFieldOrDEPlot::CancelJobs();
  for (ASolutionFollower* follower : std::vector<ASolutionFollower*>(fFollowers)) follower->SourceGone();
}

void ADEPlot3D::CancelJobs() {
  AVectorFieldOrDEPlot::CancelJobs();
  for (ASolutionFollower* follower : fFollowers) follower->SourceRestarted();
}

void ADEPlot3D::AddFollower(ASolutionFollower* follower) { fFollowers.push_back(follower); }

void ADEPlot3D::RemoveFollower(ASolutionFollower* follower) {
  fFollowers.erase(std::remove(fFollowers.begin(), fFollowers.end(), follower), fFollowers.end());
}

// The step is a fixed length h along the curve: s = h / |F(P)| is taken
// from k1 alone and held for the whole step.
std::unique_ptr<StartList> ADEPlot3D::Propagate(AVector start, int32_t stride) {
  auto list = std::make_unique<StartList>();
  if (list->Add(start) != 0) {
    QueueError(kOutOfMemoryError);
    return nullptr;
  }
  // A reversed range mirrors the picture, not the solution.
  const double dx = std::fabs(*fXMax - *fXMin), dy = std::fabs(*fYMax - *fYMin), dz = std::fabs(*fZMax - *fZMin);
  const double xlo = std::min(*fXMin, *fXMax) - 3 * dx, xhi = std::max(*fXMin, *fXMax) + 3 * dx;
  const double ylo = std::min(*fYMin, *fYMax) - 3 * dy, yhi = std::max(*fYMin, *fYMax) + 3 * dy;
  const double zlo = std::min(*fZMin, *fZMax) - 3 * dz, zhi = std::max(*fZMin, *fZMax) + 3 * dz;
  const double h = 0.005 * std::max({dx, dy, dz});
  AVector p = start;
  for (int32_t step = 1; step <= kSteps; ++step) {
    const AVector k1 = Field(p);
    const double s = h / std::sqrt(k1.y * k1.y + k1.x * k1.x + k1.z * k1.z);
    const AVector k2 = Field(p + (0.5 * s) * k1);
    const AVector k3 = Field(p + (0.5 * s) * k2);
    const AVector k4 = Field(p + s * k3);
    p = p + 0.3333333333333333 * (s * k2 + s * k3) + 0.16666666666666666 * (s * k4 + s * k1);
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) break;
    if (p.x <= xlo || p.x >= xhi || p.y <= ylo || p.y >= yhi || p.z <= zlo || p.z >= zhi) break;
    if (fCondition && At(fCondition, p) != 1.0) break;
    if (step % stride == 0 && list->Add(p) != 0) {
      QueueError(kOutOfMemoryError);
      return nullptr;
    }
    if (fJobs.Cancelled()) break;
  }
  return list;
}

// Arrays that cannot be had leave the curve without them.
bool ADEPlot3D::FillRadiiAndColours(ASolution& solution) {
  const int32_t n = solution.count;
  if (fRadius) solution.radii = AllocateGraphArray<double>(size_t(n));
  if (HasColourEquations()) solution.colours = AllocateGraphArray<ColorArrayElement>(size_t(n));
  for (int32_t i = 0; i < n && (solution.radii || solution.colours); ++i) {
    const Vertex& v = solution.points[i];
    const AVector p{v.x, v.y, v.z};
    if (solution.radii) solution.radii[i] = At(fRadius.get(), p);
    if (solution.colours) {
      double red = 0, green = 0, blue = 0;
      fColour->ComputeExplicitColor(0, 0, p.x, p.y, p.z, 0, &red, &green, &blue);
      solution.colours[i] = {float(red), float(green), float(blue)};
    }
    if (fJobs.Cancelled()) return false;
  }
  return !fJobs.Cancelled();
}

std::unique_ptr<ASolution> ADEPlot3D::Solve(AVector start) {
  std::unique_ptr<StartList> points = Propagate(start, fRadius ? 10 : 4);
  if (!points || fJobs.Cancelled()) return nullptr;
  std::unique_ptr<ASolution> solution = ASolution::FromList(*points);
  points.reset();
  if (!solution || !FillRadiiAndColours(*solution)) return nullptr;
  solution->MakeCurve(fColour.get(), Opacity(), fContext, fJobContext.space);
  return solution;
}

int32_t ADEPlot3D::Compute(int32_t slice) {
  DocumentRecord* document = fJobContext.document;
  const bool whole = fSolutions.AppendShare(fStarts.Count(), fJobs, [this](int32_t k) { return Solve(fStarts[k]); });
  return fJobs.Finish(slice, whole ? kComputeFinished : kComputeCancelled, document);
}

void ADEPlot3D::SetParameter(ViewAttribute attribute, double value) {
  switch (attribute) {
    case kAttributeColor: fColour->Set(value); break;
    case kAttributeSaveFinishedModels: fSolutions.KeepCurrent(attribute, value); break;
    case kAttributeOpacity:
      fOpacity.store(value, std::memory_order_release);
      fSolutions.PassToCurves(attribute, value);
      break;
    default: break;
  }
}
