#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "CoreUtilities/threads/OurMutex.h"
#include "evaluation/AnExpression.h"
#include "graphpane/A3DGraph.h"
#include "graphpane/AGraphColor.h"
#include "graphpane/OwnedHandles.h"
#include "graphs2d/GraphJobs.h"
#include "graphs3d/implicit/AUnitCube.h"
#include "graphs3d/drawing/JobContext.h"
#include "renderer/VertexObject.h"

struct MDrawContext;

// The zero set of F(x, y, z) inside the view's box: the box is cut into
// horizontal slabs, one per job, each polygonised by its own lattice; when
// every job is done their lists become the saved model, which the interface
// thread caches and draws. A long computation publishes partial lists so
// the surface grows on screen.
class AnImplicitSurface : public A3DGraph {
 public:
  // Takes over the expressions and the colour; the bounds are the view's
  // own. jobCount 0: one job on one processor, else twice the processors.
  AnImplicitSurface(Compiled f, double grain, double opacity, std::unique_ptr<AGraphColor> colour, Compiled condition,
                    PlottingMode mode, const double& xmin, const double& xmax, const double& ymin, const double& ymax,
                    const double& zmin, const double& zmax, MDrawContext* context, int32_t jobCount = 0);
  ~AnImplicitSurface() override;

  int32_t Compute(int32_t job) override;
  bool IsDoneComputing() override;
  int32_t GraphVisibility() override;
  void InvalConstant(int32_t variableId) override;
  void SetParameter(ViewAttribute attribute, double value) override;
  void ViewChanged() override;
  bool Draw() override;
  // Half the diagonal of the 4-unit model box.
  double MaximumModelSpaceRadius() override { return 3.4641016151377544; }
  bool UsingShader() override { return fColour->fFragmentProgram != nullptr; }
  bool UsingShaderHSV() override;

  // Of the saved model; 0 when there is none.
  int32_t TriangleCount();
  int32_t VertexCount();
  int32_t JobCount() const { return fJobs.Count(); }
  int32_t LatticeCells() const { return fN; }
  bool HasClipPlane() const { return fClipPlaneFlag; }
  // Slabs polygonised since construction, for telling a recolouring from
  // a new computation.
  int64_t SlabsPolygonised() const { return fSlabsPolygonised.load(std::memory_order_acquire); }
  // Ticks between partial publications; the next computation uses it.
  void SetPublishingInterval(int32_t ticks) { fPublishTicks.store(ticks, std::memory_order_relaxed); }

  // The saved model's pieces in job order; read under ModelMutex().
  struct Piece {
    std::unique_ptr<SurfaceVertexList> vertices;
    std::unique_ptr<TriangleList> triangles;
    std::unique_ptr<ColorArrayElement[]> colours;
  };
  OurMutex& ModelMutex() { return fModelMutex; }
  const std::vector<Piece>& SavedModel() const { return fSaved; }
  // One entry per saved vertex in job order, colour equations only.
  const ColorArrayElement* CombinedColours() const { return fCombinedColours.get(); }
  const double* const* Bounds() const { return fBounds; }
  AnExpression* Function() const { return fF.get(); }
  AnExpression* Condition() const { return fCondition.get(); }
  AGraphColor* Colour() const { return fColour.get(); }
  double Opacity() const { return fOpacity; }
  // Raised while the jobs are being stopped.
  bool Cancelled() const { return fJobs.Cancelled(); }
  // The drawn model, for tests.
  const VertexObject& CachedModel() const { return fModel; }

 private:
  // One job's work for the current computation.
  struct Slot {
    Piece piece;
    std::unique_ptr<SurfaceVertexList> partialVertices;
    std::unique_ptr<TriangleList> partialTriangles;
    std::atomic<bool> finished{false};
    bool slabComputed = false;
  };

  void PrepareTheMachines();
  void UpdateClipPlane();
  void RunIntervalTests();
  void CancelJobs();
  void Restart();
  void Recolour();
  int32_t Polygonise(int32_t job);
  bool ColourVertices(int32_t job);
  int32_t FinishJob(int32_t job, int32_t status);
  void SaveFinishedModel();
  void FreeSavedModel();
  void CombineColorArrays();
  void PublishPartial(int32_t job);
  void DrawPartialModel();
  void CacheSavedModel();
  bool ConditionEvaluated() const;

  std::unique_ptr<AnExpression> fF;
  std::unique_ptr<AnExpression> fGradient[3];
  std::unique_ptr<AnExpression> fCondition;
  std::unique_ptr<MGridData> fCornerData, fCentreData;
  double fGrain;
  int32_t fN;
  std::unique_ptr<AGraphColor> fColour;
  MDrawContext* fContext;
  JobContext fJobContext;
  VertexObject fModel;
  std::unique_ptr<ColorArrayElement[]> fCombinedColours;
  double fOpacity;
  const double* fBounds[6];
  // The box as the jobs of this computation see it.
  double fBox[6] = {};
  bool fGeometryChanged = true;
  bool fColoursStale = true;
  bool fNewModelSaved = false;
  bool fNewColoursSaved = false;
  PlottingMode fMode;
  bool fProgressive = true;
  std::atomic<int32_t> fPublishTicks{120};
  bool fClipPlaneFlag = false;
  A4Vector fClipPlane{0, 0, 0, -1};
  // Taken at submission for the jobs, which never read the colour itself.
  GraphColorType fColourType = AGraphColor::kSolid;
  bool fTestCondition = false;
  bool fNoZeroAnywhere = false;
  bool fNoZeroInBox = false;
  bool fCachedWithColours = false;
  std::atomic<bool> fPartialAvailable{false};
  std::atomic<bool> fSavedModelAvailable{false};
  std::atomic<int64_t> fSlabsPolygonised{0};
  std::unique_ptr<Slot[]> fSlots;
  std::vector<Piece> fSaved;
  // Lock order: model, then partial; the finish mutex is never held with
  // either.
  OurMutex fModelMutex;
  OurMutex fFinishMutex;
  OurMutex fPartialMutex;
  // A saved model waits for the interface thread to cache it before the
  // next may be saved over it; stopping the jobs releases the wait.
  OurConditionVariable fPickedUp;
  bool fAwaitingPickup = false;
  bool fStopping = false;
  GraphJobs fJobs;
};
