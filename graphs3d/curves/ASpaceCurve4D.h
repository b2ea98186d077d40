#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "evaluation/AnExpression.h"
#include "graphpane/A4DGraph.h"
#include "graphpane/AGraphColor.h"
#include "graphpane/OwnedHandles.h"
#include "graphs2d/GraphJobs.h"
#include "graphs3d/views/Transform4D.h"
#include "renderer/Submission.h"

class DocumentRecord;
struct MDrawContext;

// A curve of 4-space, (x, y, z, w) of t over the view's T range or a list
// of 4-vectors, computed once by one job in coordinates normalised to the
// view's four ranges and projected through the view's transform whenever
// it is drawn. A point with a coordinate not finite, or whose condition is
// not exactly 1, breaks it.
class ASpaceCurve4D : public A4DGraph {
 public:
  // Takes over the expressions and the colour; the condition may be null.
  ASpaceCurve4D(Compiled x, Compiled y, Compiled z, Compiled w, Compiled condition, Colour colour, double grain,
                MDrawContext* context, const MTransform4D& transform, const double& tmin, const double& tmax);
  // A polyline through the vectors of a list.
  ASpaceCurve4D(Compiled list, Colour colour, MDrawContext* context, const MTransform4D& transform);
  ~ASpaceCurve4D() override;

  int32_t Compute(int32_t slice) override;
  bool IsDoneComputing() override { return fJobs.AllDone(); }
  int32_t GraphVisibility() override;
  void InvalConstant(int32_t variableId) override;
  void SetParameter(ViewAttribute attribute, double value) override;
  void ViewChanged() override;
  bool UsesGrainSlider() override { return !IsList(); }
  void Draw() override;
  double MaximumModelSpaceRadius() override;

  int32_t PointCount() const { return fN; }
  // The normalised point i, valid or not.
  A4Vector Point(int32_t i) const { return fPoints[size_t(i)]; }
  bool IsValid(int32_t i) const { return fValid[size_t(i)] != 0; }

 private:
  bool IsList() const { return fIsList; }
  void AllocateSpace();
  void Stop();
  void Restart();
  bool Sample(int32_t i, double* v);

  MDrawContext* fContext;
  const MTransform4D* fTransform;
  const double* fTMin = nullptr;
  const double* fTMax = nullptr;
  std::unique_ptr<AnExpression> fX, fY, fZ, fW;
  std::unique_ptr<AnExpression> fCondition;
  bool fIsList = false;
  // Four per vector, for a list.
  std::vector<std::unique_ptr<AnExpression>> fComponents;
  std::unique_ptr<AGraphColor> fColour;
  int32_t fN = 0;
  // Taken at every submission, for the job.
  double fRanges[4][2] = {};
  double fTRange[2] = {0, 1};
  DocumentRecord* fDocument = nullptr;
  std::unique_ptr<A4Vector[]> fPoints;
  std::unique_ptr<uint8_t[]> fValid;
  std::unique_ptr<Vertex[]> fVertices;
  std::unique_ptr<uint8_t[]> fDrawn;
  std::unique_ptr<LineSegment[]> fSegments;
  double fLargestSquare = 0;
  GraphJobs fJobs;
};
