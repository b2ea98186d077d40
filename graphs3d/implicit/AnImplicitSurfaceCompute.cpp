#include <algorithm>
#include <new>

#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/threads/JobQueue.h"
#include "CoreUtilities/OurTime.h"
#include "graphpane/GraphHooks.h"
#include "graphs3d/implicit/ALattice.h"
#include "graphs3d/implicit/AnImplicitSurface.h"
#include "graphs3d/implicit/ExpressionOnLattice.h"
#include "graphs3d/implicit/LatticeSlab.h"

namespace {

constexpr ColorArrayElement kGrey = {0.5f, 0.5f, 0.5f};

bool IsColourEquations(GraphColorType type) {
  return type == AGraphColor::kRGBEquations || type == AGraphColor::kHSVEquations;
}

template <typename T>
std::unique_ptr<T> Fresh() {
  return std::unique_ptr<T>(new (std::nothrow) T);
}

}  // namespace

int32_t AnImplicitSurface::Compute(int32_t job) {
  if (job < 0 || job >= fJobs.Count()) return kJobNothingToCompute;
  int32_t status = kJobFinished;
  if (!fSlots[job].slabComputed) status = Polygonise(job);
  if (status != kJobCancelled && IsColourEquations(fColourType) && !ColourVertices(job)) {
    status = fJobs.Cancelled() ? kJobCancelled : kJobNothingToCompute;
  }
  return fJobs.Finish(job, FinishJob(job, status), fJobContext.document);
}

// The job's slab of z cells, each job polygonising its own with its own
// lattice. A job that runs out of memory keeps empty lists and still
// finishes, so that the others' model is saved.
int32_t AnImplicitSurface::Polygonise(int32_t job) {
  Slot& slot = fSlots[job];
  slot.piece = {Fresh<SurfaceVertexList>(), Fresh<TriangleList>(), nullptr};
  if (!slot.piece.vertices || !slot.piece.triangles) {
    slot.piece = {};
    QueueError(kOutOfMemoryError);
    return kJobNothingToCompute;
  }
  const LatticeSlab slab = SlabOfJob(job, fJobs.Count(), fN);
  if (slab.IsEmpty()) return kJobFinished;
  fSlabsPolygonised.fetch_add(1, std::memory_order_acq_rel);
  ExpressionOnLattice f(fF.get(), fGradient[0].get(), fGradient[1].get(), fGradient[2].get(),
                        fTestCondition ? fCondition.get() : nullptr, fCornerData.get(), fCentreData.get());
  ALattice lattice(f, fBox[0], fBox[1], fBox[2], fBox[3], fBox[4], fBox[5], fN, fN, slab);
  if (!lattice.IsFullyConstructed()) {
    QueueError(kOutOfMemoryError);
    return kJobNothingToCompute;
  }
  const bool publish = fProgressive && !PaneHooks::IsBenchmarkRunning();
  while (!lattice.IsDoneComputing()) {
    const uint32_t deadline = OurTime() + OurDuration(fPublishTicks.load(std::memory_order_relaxed));
    if (lattice.LoopOverUnitCubes(*slot.piece.vertices, slot.piece.triangles.get(), deadline) != 0) {
      slot.piece.vertices->RemoveAllElements();
      slot.piece.triangles->RemoveAllElements();
      QueueError(kOutOfMemoryError);
      return kJobNothingToCompute;
    }
    if (fJobs.Cancelled()) return kJobCancelled;
    if (publish && !lattice.IsDoneComputing()) PublishPartial(job);
  }
  return kJobFinished;
}

void AnImplicitSurface::PublishPartial(int32_t job) {
  Slot& slot = fSlots[job];
  auto vertices = slot.piece.vertices->Clone();
  auto triangles = slot.piece.triangles->Clone();
  OurLock lock(fPartialMutex);
  slot.partialVertices = std::move(vertices);
  slot.partialTriangles = std::move(triangles);
  fPartialAvailable.store(true, std::memory_order_release);
}

// False when cancelled or out of memory; the job then has no colours.
bool AnImplicitSurface::ColourVertices(int32_t job) {
  Slot& slot = fSlots[job];
  slot.piece.colours.reset();
  const SurfaceVertexList* list = fGeometryChanged ? slot.piece.vertices.get() : fSaved[size_t(job)].vertices.get();
  if (!list) return true;
  const int32_t count = list->Count();
  std::unique_ptr<ColorArrayElement[]> colours(new (std::nothrow) ColorArrayElement[size_t(count)]);
  if (!colours) {
    QueueError(kOutOfMemoryError);
    return false;
  }
  for (int32_t i = 0; i < count; ++i) {
    const SurfaceVertex& v = (*list)[i];
    double r = 0, g = 0, b = 0;
    fColour->ComputeExplicitColor(0, 0, v.x, v.y, v.z, 0, &r, &g, &b);
    colours[size_t(i)] = {float(r), float(g), float(b)};
    if (fJobs.Cancelled()) return false;
  }
  slot.piece.colours = std::move(colours);
  return true;
}

// Exactly one job, the last to finish, saves the model, once the previous
// one has been picked up.
int32_t AnImplicitSurface::FinishJob(int32_t job, int32_t status) {
  if (status == kJobCancelled) return status;
  bool last = true;
  {
    OurLock lock(fFinishMutex);
    fSlots[job].slabComputed = true;
    fSlots[job].finished.store(true, std::memory_order_release);
    for (int32_t j = 0; j < fJobs.Count() && last; ++j) last = fSlots[j].finished.load(std::memory_order_acquire);
  }
  if (!last) return status;
  OurLock lock(fModelMutex);
  fPickedUp.Wait(lock, [this] { return !fAwaitingPickup || fStopping; });
  if (fStopping) return kJobCancelled;
  SaveFinishedModel();
  return status;
}

void AnImplicitSurface::FreeSavedModel() {
  for (Piece& p : fSaved) p = {};
  fCombinedColours.reset();
}

void AnImplicitSurface::SaveFinishedModel() {
  if (fGeometryChanged) {
    FreeSavedModel();
    for (int32_t j = 0; j < fJobs.Count(); ++j) fSaved[size_t(j)] = std::move(fSlots[j].piece);
    {
      OurLock lock(fPartialMutex);
      for (int32_t j = 0; j < fJobs.Count(); ++j) {
        fSlots[j].partialVertices.reset();
        fSlots[j].partialTriangles.reset();
      }
    }
    fColoursStale = fGeometryChanged = false;
    fNewColoursSaved = fNewModelSaved = true;
  } else if (fColoursStale) {
    fCombinedColours.reset();
    for (int32_t j = 0; j < fJobs.Count(); ++j) fSaved[size_t(j)].colours = std::move(fSlots[j].piece.colours);
    fColoursStale = false;
    fNewColoursSaved = true;
  }
  CombineColorArrays();
  fSavedModelAvailable.store(true, std::memory_order_release);
  fAwaitingPickup = fNewModelSaved || fNewColoursSaved;
}

// A job without colours (it ran out of memory) shows grey.
void AnImplicitSurface::CombineColorArrays() {
  if (!IsColourEquations(fColourType) || fCombinedColours) return;
  size_t total = 0;
  for (const Piece& p : fSaved)
    if (p.vertices) total += size_t(p.vertices->Count());
  fCombinedColours.reset(new (std::nothrow) ColorArrayElement[total]);
  if (!fCombinedColours) {
    QueueError(kOutOfMemoryError);
    return;
  }
  ColorArrayElement* out = fCombinedColours.get();
  for (const Piece& p : fSaved) {
    const int32_t count = p.vertices ? p.vertices->Count() : 0;
    if (p.colours) {
      std::copy_n(p.colours.get(), count, out);
    } else {
      std::fill_n(out, count, kGrey);
    }
    out += count;
  }
}
