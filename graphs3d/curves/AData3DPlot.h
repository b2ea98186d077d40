#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "evaluation/AnExpression.h"
#include "graphpane/A3DGraph.h"
#include "graphpane/AGraphColor.h"
#include "graphpane/OwnedHandles.h"
#include "graphs2d/GraphJobs.h"
#include "graphs3d/drawing/JobContext.h"
#include "renderer/VertexObject.h"

class DocumentRecord;
struct MDrawContext;

// The rows of a document's tables as points of space: x, y and z from
// column expressions, and per row an optional condition, two texts (a
// symbol drawn in place of the point, a label beside it), a text size and
// colour equations. Rows are kept packed, in order; a row with an
// infinite coordinate is left out, one with a NaN kept but never drawn.
class AData3DPlot : public A3DGraph {
 public:
  // Takes over the expressions (all but x, y and z may be null) and the
  // colour.
  AData3DPlot(Compiled x, Compiled y, Compiled z, Compiled condition, Compiled firstText, Compiled secondText,
              Compiled size, Colour colour, MDrawContext* context, DocumentRecord* document);
  ~AData3DPlot() override;

  int32_t Compute(int32_t slice) override;
  bool IsDoneComputing() override { return fJobs.AllDone(); }
  int32_t GraphVisibility() override;
  void InvalConstant(int32_t variableId) override;
  void SetParameter(ViewAttribute attribute, double value) override;
  void ViewChanged() override;
  bool UsesGrainSlider() override { return false; }
  bool Draw() override;
  double MaximumModelSpaceRadius() override { return IsDoneComputing() ? fRadius : 0; }
  bool GetDataBounds(double* xLow, double* xHigh, double* yLow, double* yHigh, double* zLow, double* zHigh) override;

  int32_t RowCount() const { return fRows; }
  // Once done: the rows kept, and their points.
  int32_t PointCount() const { return fPointCount; }
  const Vertex* Points() const { return fPoints.get(); }
  // The cached models, one per run of at most 65,536 points.
  int32_t ModelCount() const { return fModelCount; }

 private:
  // A row's text, copied out of its table: a table edited while the graph
  // stands must not leave it dangling.
  struct RowText {
    bool present = false;
    std::u16string text;
  };
  void AllocateSpace();
  bool HasRowColours() const {
    return fColour->fType == AGraphColor::kRGBEquations || fColour->fType == AGraphColor::kHSVEquations;
  }
  bool SpaceMissing() const;
  void Stop();
  void Restart();
  void CacheModels();

  MDrawContext* fContext;
  // Taken at every submission, for the job.
  JobContext fJobContext;
  std::unique_ptr<AnExpression> fX, fY, fZ, fCondition, fTextExpressions[2], fSize;
  std::unique_ptr<AGraphColor> fColour;
  int32_t fRows = 0;
  // Written by the job, one entry per kept row.
  std::unique_ptr<Vertex[]> fPoints;
  std::unique_ptr<ColorArrayElement[]> fColours;
  std::unique_ptr<float[]> fSizes;
  std::unique_ptr<RowText[]> fTexts[2];
  int32_t fPointCount = 0;
  double fRadius = 0;
  // The texts the cached models point into, which the job never writes.
  std::unique_ptr<RowText[]> fDrawnTexts[2];
  std::unique_ptr<VertexObject[]> fModels;
  int32_t fModelCount = 0;
  bool fNeedsCaching = true;
  GraphJobs fJobs;
};
