#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "CoreUtilities/threads/OurMutex.h"
#include "evaluation/AnExpression.h"
#include "graphpane/A3DGraph.h"
#include "graphpane/OwnedHandles.h"
#include "graphs2d/GraphJobs.h"
#include "graphs3d/drawing/JobContext.h"
#include "renderer/VertexObject.h"

class AnImplicitSurface;

// An implicit surface of the first 3-D view carried through the space
// transformation (X, Y, Z)(x, y, z) into the second: its job waits for the
// source to finish, maps the source's saved model and turns the triangles
// by the mapped mesh's own normals. It never polygonises by itself.
class ATransformedImplicitSurface : public A3DGraph {
 public:
  // Takes over the mapping; the source stays its view's and must outlive
  // this surface.
  ATransformedImplicitSurface(Compiled x, Compiled y, Compiled z, AnImplicitSurface* source, MDrawContext* context);
  ~ATransformedImplicitSurface() override;

  int32_t Compute(int32_t job) override;
  bool IsDoneComputing() override;
  int32_t GraphVisibility() override { return 0; }
  void InvalConstant(int32_t variableId) override;
  void SetParameter(ViewAttribute attribute, double value) override;
  void ViewChanged() override;
  bool Draw() override;
  double MaximumModelSpaceRadius() override { return fMaximumRadius.load(std::memory_order_acquire); }

  // The published model, for tests; read once done.
  int32_t VertexCount() const { return fVertexCount; }
  int32_t TriangleCount() const { return fTriangleCount; }
  const Vertex* Positions() const { return fPositions.get(); }
  const Vertex* Normals() const { return fNormals.get(); }
  const Triangle* Triangles() const { return fTriangles.get(); }
  const VertexObject& CachedModel() const { return fModel; }
  // Computations that ran to the end, for tests.
  int64_t Computations() const { return fComputations.load(std::memory_order_acquire); }

 private:
  void SnapshotSourceBox();
  bool SourceBoxChanged() const;
  void Restart();

  std::unique_ptr<AnExpression> fX, fY, fZ;
  AnImplicitSurface* fSource;
  MDrawContext* fContext;
  JobContext fJobContext;
  std::atomic<double> fMaximumRadius{0};
  // Published under fMutex.
  std::unique_ptr<Vertex[]> fPositions, fNormals;
  std::unique_ptr<Triangle[]> fTriangles;
  int32_t fVertexCount = 0, fTriangleCount = 0;
  bool fNewModel = false;
  OurMutex fMutex;
  VertexObject fModel;
  double fSourceBox[6] = {};
  std::atomic<bool> fSourceCancelled{false};
  std::atomic<int64_t> fComputations{0};
  GraphJobs fJobs;
};
