#include <vector>

#include "graphs3d/implicit/AnImplicitSurface.h"
#include "graphs3d/drawing/LitModelDrawing.h"
#include "renderer/Submission.h"

namespace {

constexpr unsigned long kUncolouredGrey = 0x808080;

}  // namespace

// What the jobs have so far: a finished job's own lists, else its last
// published partial lists.
void AnImplicitSurface::DrawPartialModel() {
  OurLock model(fModelMutex);
  OurLock partial(fPartialMutex);
  std::vector<const SurfaceVertexList*> vertices;
  std::vector<const TriangleList*> triangles;
  for (int32_t j = 0; j < fJobs.Count(); ++j) {
    const Slot& slot = fSlots[j];
    const bool finished = slot.finished.load(std::memory_order_acquire);
    const SurfaceVertexList* v = finished ? slot.piece.vertices.get() : slot.partialVertices.get();
    const TriangleList* t = finished ? slot.piece.triangles.get() : slot.partialTriangles.get();
    if (!v || !t) continue;
    vertices.push_back(v);
    triangles.push_back(t);
  }
  if (!vertices.empty()) {
    fModel.CacheModel(int(vertices.size()), vertices.data(), triangles.data(), nullptr, UsingShader(), fContext);
    fCachedWithColours = false;
  }
}

bool AnImplicitSurface::Draw() {
  const GraphColorType type = fColour->fType;
  if (type == AGraphColor::kHidden) return true;
  const bool done = IsDoneComputing();
  if (!done && fProgressive && fPartialAvailable.exchange(false, std::memory_order_acq_rel)) DrawPartialModel();
  if (fModel.GetMode() == VertexObject::kEmpty) return true;
  if (type == AGraphColor::kSolid) {
    OurSubmitSolidColor(fColour->fSolidColor, fContext);
  } else if (!fCachedWithColours || !done) {
    OurSubmitSolidColor(kUncolouredGrey, fContext);
  }
  OurSubmitOpacity(float(fOpacity), fContext);
  if (fClipPlaneFlag) OurSubmitClipPlane(fClipPlane, fContext);
  if (!DrawLitModel(fModel, *fColour, fContext, false)) SetParameter(kAttributePlottingMode, 1.0);
  if (fClipPlaneFlag) OurDisableClipPlane(fContext);
  return true;
}
