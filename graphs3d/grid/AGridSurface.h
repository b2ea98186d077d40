#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "evaluation/AnExpression.h"
#include "graphpane/A3DGraph.h"
#include "graphpane/AGraphColor.h"
#include "graphpane/OwnedHandles.h"
#include "graphs2d/GraphJobs.h"
#include "graphs3d/drawing/JobContext.h"
#include "graphs3d/grid/GridMesh.h"
#include "renderer/VertexObject.h"

struct MDrawContext;

// A surface given as a point of space per pair of grid parameters u, v
// (x and y for z = f(x, y)): one job evaluates x, y, z on an n x n grid,
// forms normals (analytic where the partials can be had, else from the
// mesh), colours and texture coordinates, and triangulates the cells whose
// corners exist. A condition keeps only the points where it is exactly 1.
class AGridSurface : public A3DGraph {
 public:
  // Takes over the expressions and the colour; the bounds are the view's
  // own, read at every computation.
  AGridSurface(Compiled x, Compiled y, Compiled z, double grain, double opacity, Colour colour, Compiled condition,
               PlottingMode mode, const double& umin, const double& umax, const double& vmin, const double& vmax,
               MDrawContext* context);
  ~AGridSurface() override;

  int32_t Compute(int32_t slice) override;
  bool IsDoneComputing() override { return fJobs.AllDone(); }
  int32_t GraphVisibility() override;
  void InvalConstant(int32_t variableId) override;
  void SetParameter(ViewAttribute attribute, double value) override;
  void ViewChanged() override;
  bool Draw() override;
  double MaximumModelSpaceRadius() override { return fMaximumRadius.load(std::memory_order_acquire); }
  bool UsingShader() override { return fColour->fFragmentProgram != nullptr; }
  bool UsingShaderHSV() override;

  int32_t GridSize() const { return fN; }
  int32_t TriangleCount() const { return fTriangleCount; }
  bool UsesAnalyticNormals() const { return fAnalyticNormals; }
  bool HasClipPlane() const { return fClipPlaneFlag; }
  // The finished arrays, for reading once the surface is done.
  const Vertex* Positions() const { return fPositions.get(); }
  const Vertex* Normals() const { return fNormals.get(); }
  const ColorArrayElement* Colours() const { return fColours.get(); }
  const Triangle* Triangles() const { return fTriangles.get(); }
  const uint8_t* Valid() const { return fValid.get(); }
  // Vertex copies per grid point: 2 for a discrete colour, else 1.
  int32_t Copies() const { return fCopies; }

 private:
  void PrepareTheMachines();
  void AllocateSpace();
  void FreeUpSpace();
  bool HasSpace() const;
  void ClearResults();
  void DoColorsAndClipping(int32_t i, int32_t j, double x, double y, double z, double du, double dv);
  void StorePoint(int32_t k, double x, double y, double z);
  void StoreNormal(int32_t k, const double (&du)[3], const double (&dv)[3]);
  void Stop();
  void Restart();
  void CacheFinishedModel();
  void UpdateClipPlane();
  double ValidPointsRadius() const;

  MDrawContext* fContext;
  // Taken at every submission, for the job.
  JobContext fJobContext;
  std::unique_ptr<AnExpression> fX, fY, fZ;
  // du of x, y, z, then dv; null unless analytic normals are in use.
  std::unique_ptr<AnExpression> fPartials[6];
  std::unique_ptr<AnExpression> fCondition;
  std::unique_ptr<AGraphColor> fColour;
  double fOpacity;
  const double* fUMin;
  const double* fUMax;
  const double* fVMin;
  const double* fVMax;
  std::unique_ptr<Vertex[]> fPositions;
  std::unique_ptr<Vertex[]> fNormals;
  std::unique_ptr<ColorArrayElement[]> fColours;
  std::unique_ptr<TexCoord[]> fTexCoords;
  std::unique_ptr<Triangle[]> fTriangles;
  VertexObject fModel;
  std::unique_ptr<uint8_t[]> fValid;
  int32_t fN;
  int32_t fTriangleCount = 0;
  bool fAnalyticNormals = false;
  bool fNormalsComplete = true;
  bool fModelChanged = false;
  PlottingMode fMode;
  // The colour's type as the arrays were made for it, and whether the
  // condition is tested point by point (not a clip plane, not folded into
  // a fragment program): the job reads these, never the colour, which a
  // solid colour change sets while it computes.
  GraphColorType fColourType = AGraphColor::kSolid;
  int32_t fCopies = 1;
  bool fConditionEvaluated = false;
  // Read while the job computes.
  std::atomic<double> fMaximumRadius{0};
  bool fClipPlaneFlag = false;
  A4Vector fClipPlane{0, 0, 0, -1};
  std::unique_ptr<MGridData> fGridData;
  GraphJobs fJobs;
};
