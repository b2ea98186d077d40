#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "CoreUtilities/memory/AListGenericSmall.h"
#include "CoreUtilities/MRect.h"
#include "graphpane/A2DGraph.h"
#include "graphpane/OwnedHandles.h"
#include "graphs2d/GraphJobs.h"
#include "renderer/CountedMemory.h"

class A2DGraphView;
class AGraphColor;
class AnExpression;
class MipPyramid;
struct A2DTransform;
struct MGridData;
struct TriangleTarget;

// The first view's picture carried forward through x' = f(x, y),
// y' = g(x, y): a coarse grid over the source view is mapped through f and
// g, and every cell drawn as two triangles textured with the picture.
class ATextureMapPlot : public A2DGraph {
 public:
  // Takes over f, g and the colour; the source list stays the pane's.
  ATextureMapPlot(Compiled f, Compiled g, Colour colour, double grain, const A2DTransform& transform,
                  A2DGraphView& source, const AListGenericSmall<int32_t>* sourceList);
  ~ATextureMapPlot() override;

  int32_t Compute(int32_t slice) override;
  bool IsDoneComputing() override { return fJobs.AllDone(); }
  int32_t GraphVisibility() override { return 0; }
  void InvalConstant(int32_t variableId) override;
  void SetParameter(ViewAttribute attribute, double value) override;
  void ViewChanged() override { InvalidatePoints(); }
  void Draw() override;
  void Resize() override { InvalidatePoints(); }
  void Pan(int32_t, int32_t) override { InvalidatePoints(); }
  bool IsPointOverCurve(double, double) override { return false; }
  Selection GetSelection(double, double) override { return Selection{}; }
  void PauseComputing() override {}

  int32_t GridColumns() const { return fColumns; }
  int32_t GridRows() const { return fRows; }
  // Grid points evaluated since construction.
  int64_t Evaluations() const { return fEvaluations.load(std::memory_order_relaxed); }
  // Triangles the grid cells gave in the last Draw, before clipping.
  int32_t TrianglesDrawn() const { return fTrianglesDrawn; }

 private:
  // The source view's mapping: what the grid spans and what Draw compares.
  struct SourceMapping {
    MRect rect;
    double xOrigin, yOrigin, xPixelsPerUnit, yPixelsPerUnit, xUnitsPerPixel, yUnitsPerPixel;
    bool SameMapping(const SourceMapping& o) const {
      return xOrigin == o.xOrigin && yOrigin == o.yOrigin && xPixelsPerUnit == o.xPixelsPerUnit &&
             yPixelsPerUnit == o.yPixelsPerUnit;
    }
  };

  SourceMapping CurrentSourceMapping() const;
  void SizeGrid();
  void FreeGrid();
  void InvalidatePoints();
  void DrawCells(const MipPyramid& texture, const TriangleTarget& target, const MRect& bounds);

  const A2DTransform& fTransform;
  A2DGraphView& fSource;
  const AListGenericSmall<int32_t>* fSourceList;
  std::unique_ptr<AnExpression> fF;
  std::unique_ptr<AnExpression> fG;
  std::unique_ptr<AGraphColor> fColour;
  double fGrain;
  CountedArray<float> fGrid;
  int32_t fColumns = 0, fRows = 0;
  std::unique_ptr<MGridData> fGridData;
  // Read by the job; written only while it is stopped.
  SourceMapping fComputing{};
  // The mapping the finished grid belongs to, published by the job's done flag.
  SourceMapping fSnapshot{};
  std::atomic<int64_t> fEvaluations{0};
  int32_t fTrianglesDrawn = 0;
  GraphJobs fJobs;
};

// The grid step in pixels for a grain: trunc(15 - 10 grain), at least one
// pixel; a grain that is not a number counts as 0.5.
int32_t TextureGridStep(double grain);
