#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "evaluation/AnExpression.h"
#include "graphpane/A4DGraph.h"
#include "graphpane/AGraphColor.h"
#include "graphpane/OwnedHandles.h"
#include "graphs2d/GraphJobs.h"
#include "graphs3d/drawing/JobContext.h"
#include "graphs3d/views/Transform4D.h"

struct MDrawContext;

// A surface of 4-space, (x, y, z, w) of the grid parameters u and v (x and
// y for w = f(z)). One job evaluates it on an n x n grid in coordinates
// normalised to the view's four ranges, with the partials where they can
// be had analytically, and triangulates the cells whose corners exist;
// every frame projects points and tangents through the view's transform,
// so turning the view never recomputes it. A point with a coordinate not
// finite, or whose condition is not exactly 1, is left out.
class AGridSurface4D : public A4DGraph {
 public:
  // Takes over the expressions and the colour; the condition may be null.
  // The bounds are the view's own, read at every computation.
  AGridSurface4D(Compiled x, Compiled y, Compiled z, Compiled w, double grain, double opacity, Colour colour,
                 Compiled condition, const double& umin, const double& umax, const double& vmin, const double& vmax,
                 MDrawContext* context, const MTransform4D& transform);
  ~AGridSurface4D() override;

  int32_t Compute(int32_t slice) override;
  bool IsDoneComputing() override { return fJobs.AllDone(); }
  int32_t GraphVisibility() override;
  void InvalConstant(int32_t variableId) override;
  void SetParameter(ViewAttribute attribute, double value) override;
  void ViewChanged() override;
  bool UsesGrainSlider() override { return true; }
  void Draw() override;
  double MaximumModelSpaceRadius() override;

  int32_t GridSize() const { return fN; }
  bool UsesAnalyticNormals() const { return fAnalytic; }
  int32_t TriangleCount() const { return fTriangleCount; }
  bool IsValid(int32_t i, int32_t j) const { return fValid[size_t(i * fN + j)] != 0; }
  // The normalised point (i, j).
  A4Vector Point(int32_t i, int32_t j) const { return fPoints[size_t(i * fN + j)]; }
  // What the last frame submitted, `Copies()` entries per grid point.
  const Vertex* Vertices() const { return fVertices.get(); }
  const Vertex* Normals() const { return fNormals.get(); }
  const ColorArrayElement* Colours() const { return fColours.get(); }
  const Triangle* Triangles() const { return fTriangles.get(); }
  int32_t Copies() const { return fCopies; }

 private:
  // The normalised tangents along u and v of a grid point; zero where the
  // partials are not known.
  struct Tangents {
    float du[4];
    float dv[4];
  };

  void PrepareTheMachines();
  void AllocateSpace();
  void FreeUpSpace();
  bool HasSpace() const;
  void Stop();
  void Restart();
  void Recompute();
  bool ComputePoint(int32_t i, int32_t j, MGridVariables* grid);
  void ProjectModel();
  void SubmitColour();

  MDrawContext* fContext;
  const MTransform4D* fTransform;
  std::unique_ptr<AnExpression> fX, fY, fZ, fW;
  // du of x, y, z, w, then dv; null unless analytic.
  std::unique_ptr<AnExpression> fPartials[8];
  std::unique_ptr<AnExpression> fCondition;
  std::unique_ptr<AGraphColor> fColour;
  double fOpacity;
  const double* fUMin;
  const double* fUMax;
  const double* fVMin;
  const double* fVMax;
  int32_t fN;
  bool fAnalytic = false;
  std::unique_ptr<MGridData> fGridData;
  // Taken at every submission, for the job: the job never reads the view.
  JobContext fJobContext;
  double fRanges[4][2] = {};
  double fU[2] = {0, 1}, fV[2] = {0, 1};
  // The colour's type as the arrays were made for it.
  GraphColorType fColourType = AGraphColor::kSolid;
  int32_t fCopies = 1;
  std::unique_ptr<A4Vector[]> fPoints;
  std::unique_ptr<Tangents[]> fTangents;
  std::unique_ptr<uint8_t[]> fValid;
  std::unique_ptr<Vertex[]> fVertices;
  std::unique_ptr<Vertex[]> fNormals;
  std::unique_ptr<ColorArrayElement[]> fColours;
  std::unique_ptr<TexCoord[]> fTexCoords;
  std::unique_ptr<Triangle[]> fTriangles;
  int32_t fTriangleCount = 0;
  // Read while the job computes.
  std::atomic<double> fLargestSquare{0};
  GraphJobs fJobs;
};
