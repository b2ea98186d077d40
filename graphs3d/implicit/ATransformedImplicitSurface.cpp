#include "graphs3d/implicit/ATransformedImplicitSurface.h"

#include <cmath>
#include <new>
#include <utility>
#include <vector>

#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/threads/JobQueue.h"
#include "graphs3d/implicit/AnImplicitSurface.h"
#include "renderer/Frame.h"
#include "renderer/Submission.h"

namespace {

constexpr unsigned long kProgramStandIn = 0xC0C0C0;

bool IsFiniteMeshVertex(const Vertex& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

Vertex Sub(const Vertex& a, const Vertex& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vertex Cross(const Vertex& a, const Vertex& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Dot(const Vertex& a, const Vertex& b) { return double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z; }

template <typename T>
std::unique_ptr<T[]> AllocateArray(int32_t count) {
  std::unique_ptr<T[]> array(new (std::nothrow) T[size_t(count)]());
  if (!array) QueueError(kOutOfMemoryError);
  return array;
}

}  // namespace

ATransformedImplicitSurface::ATransformedImplicitSurface(Compiled x, Compiled y, Compiled z, AnImplicitSurface* source,
                                                         MDrawContext* context)
    : fX(std::move(x)),
      fY(std::move(y)),
      fZ(std::move(z)),
      fSource(source),
      fContext(context),
      fJobs(this, GraphJobs::kOneJob) {
  fJobs.DependOn(fSource);
  SnapshotSourceBox();
  AnExpression::Compile(fX.get(), fY.get(), fZ.get());
  Restart();
}

ATransformedImplicitSurface::~ATransformedImplicitSurface() { fJobs.Stop(nullptr, {fX.get(), fY.get(), fZ.get()}); }

void ATransformedImplicitSurface::SnapshotSourceBox() {
  for (int a = 0; a < 6; ++a) fSourceBox[a] = *fSource->Bounds()[a];
}

bool ATransformedImplicitSurface::SourceBoxChanged() const {
  for (int a = 0; a < 6; ++a)
    if (fSourceBox[a] != *fSource->Bounds()[a]) return true;
  return false;
}

void ATransformedImplicitSurface::Restart() {
  fJobContext = JobContextOf(fContext);
  fJobs.Submit(nullptr, {fX.get(), fY.get(), fZ.get()});
}

bool ATransformedImplicitSurface::IsDoneComputing() { return fSource->IsDoneComputing() && fJobs.AllDone(); }

// Runs once the source is done; the source's saved model cannot change
// while its mutex is held.
int32_t ATransformedImplicitSurface::Compute(int32_t job) {
  OurLock sourceLock(fSource->ModelMutex());
  const auto& saved = fSource->SavedModel();
  int32_t vertices = 0, triangles = 0;
  for (const AnImplicitSurface::Piece& p : saved) {
    if (!p.vertices || !p.triangles) continue;
    vertices += p.vertices->Count();
    triangles += p.triangles->Count();
  }
  auto positions = AllocateArray<Vertex>(vertices);
  auto normals = AllocateArray<Vertex>(vertices);
  auto kept = AllocateArray<Triangle>(triangles);
  if (!positions || !normals || !kept) return fJobs.Finish(job, kJobNothingToCompute, fJobContext.document);
  int32_t v = 0, t = 0;
  for (const AnImplicitSurface::Piece& p : saved) {
    if (!p.vertices || !p.triangles) continue;
    const int32_t offset = v;
    for (int32_t i = 0; i < p.vertices->Count(); ++i, ++v) {
      const SurfaceVertex& s = (*p.vertices)[i];
      positions[size_t(v)] = {float(fX->Evaluate(0, 0, s.x, s.y, s.z, 0)), float(fY->Evaluate(0, 0, s.x, s.y, s.z, 0)),
                              float(fZ->Evaluate(0, 0, s.x, s.y, s.z, 0))};
      if (fJobs.Cancelled()) return kJobCancelled;
      if (fSource->Cancelled()) {
        fSourceCancelled.store(true, std::memory_order_release);
        return kJobCancelled;
      }
    }
    // NaN as well as infinite vertices leave their triangles out.
    for (int32_t i = 0; i < p.triangles->Count(); ++i) {
      Triangle tri = (*p.triangles)[i];
      bool finite = true;
      for (int32_t& index : tri.v) {
        index += offset;
        finite = finite && IsFiniteMeshVertex(positions[size_t(index)]);
      }
      if (finite) kept[size_t(t++)] = tri;
    }
  }
  // Each vertex sums the unit normals of its faces.
  for (int32_t i = 0; i < t; ++i) {
    const Triangle& tri = kept[size_t(i)];
    const Vertex& p0 = positions[size_t(tri.v[0])];
    const Vertex n = Cross(Sub(positions[size_t(tri.v[1])], p0), Sub(positions[size_t(tri.v[2])], p0));
    const double length = std::sqrt(Dot(n, n));
    const Vertex unit{float(n.x / length), float(n.y / length), float(n.z / length)};
    if (!IsFiniteMeshVertex(unit)) continue;
    for (int32_t index : tri.v) {
      Vertex& sum = normals[size_t(index)];
      sum = {sum.x + unit.x, sum.y + unit.y, sum.z + unit.z};
    }
  }
  for (int32_t i = 0; i < t; ++i) {
    Triangle& tri = kept[size_t(i)];
    const Vertex& p0 = positions[size_t(tri.v[0])];
    const Vertex n = Cross(Sub(positions[size_t(tri.v[1])], p0), Sub(positions[size_t(tri.v[2])], p0));
    if (Dot(n, normals[size_t(tri.v[0])]) < 0) std::swap(tri.v[1], tri.v[2]);
  }
  std::vector<Vertex> finite;
  for (int32_t i = 0; i < v; ++i)
    if (IsFiniteMeshVertex(positions[size_t(i)])) finite.push_back(positions[size_t(i)]);
  fMaximumRadius.store(CalculateMaximumModelSpaceRadius(finite.data(), int(finite.size()), fJobContext.space),
                       std::memory_order_release);
  {
    OurLock lock(fMutex);
    fPositions = std::move(positions);
    fNormals = std::move(normals);
    fTriangles = std::move(kept);
    fVertexCount = v;
    fTriangleCount = t;
    fNewModel = true;
  }
  fComputations.fetch_add(1, std::memory_order_acq_rel);
  return fJobs.Finish(job, kJobFinished, fJobContext.document);
}

void ATransformedImplicitSurface::ViewChanged() {
  fJobs.Stop(nullptr, {fX.get(), fY.get(), fZ.get()});
  Restart();
}

void ATransformedImplicitSurface::InvalConstant(int32_t id) {
  AnExpression::InvalConstants(nullptr, fX.get(), fY.get(), fZ.get());
  AnExpression* condition = fSource->Condition();
  if (fX->Contains(id) || fY->Contains(id) || fZ->Contains(id) || fSource->Function()->Contains(id) ||
      (condition && condition->Contains(id)))
    ViewChanged();
}

void ATransformedImplicitSurface::SetParameter(ViewAttribute attribute, double value) {
  (void)value;
  if (attribute == kAttributeGrain) {
    ViewChanged();
    return;
  }
  if (attribute != kAttributeUpdateSavedVertexObjects) return;
  OurLock sourceLock(fSource->ModelMutex());
  OurLock lock(fMutex);
  if (!fNewModel) return;
  // The source's colours follow its saved model; after a new one they no
  // longer line up with this mapping's vertices.
  const ColorArrayElement* colours = fSource->CombinedColours();
  int32_t sourceVertices = 0;
  for (const AnImplicitSurface::Piece& p : fSource->SavedModel())
    if (p.vertices && p.triangles) sourceVertices += p.vertices->Count();
  if (sourceVertices != fVertexCount) colours = nullptr;
  fModel.CacheModel(fPositions.get(), fNormals.get(), colours, nullptr, fTriangles.get(), fVertexCount, fTriangleCount,
                    false, fContext);
  fNewModel = false;
}

bool ATransformedImplicitSurface::Draw() {
  AGraphColor& colour = *fSource->Colour();
  if (colour.fType == AGraphColor::kHidden) return true;
  if (SourceBoxChanged() || fSourceCancelled.load(std::memory_order_acquire)) {
    SnapshotSourceBox();
    fSourceCancelled.store(false, std::memory_order_release);
    ViewChanged();
    return true;
  }
  if (fModel.GetMode() == VertexObject::kEmpty) return true;
  if (colour.fType == AGraphColor::kSolid) {
    OurSubmitSolidColor(colour.fSolidColor, fContext);
  } else if (colour.fFragmentProgram != nullptr) {
    OurSubmitSolidColor(kProgramStandIn, fContext);
  }
  OurSubmitOpacity(float(fSource->Opacity()), fContext);
  fModel.DrawCachedModel();
  return true;
}
