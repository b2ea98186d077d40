#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "CoreUtilities/memory/AListGenericLarge.h"
#include "CoreUtilities/threads/OurMutex.h"
#include "graphpane/A2DGraph.h"
#include "graphpane/OwnedHandles.h"
#include "graphs2d/ContourLevels.h"
#include "graphs2d/GraphJobs.h"

class AGraphColor;
class AnExpression;
struct A2DTransform;

struct ContourVertex {
  double x;
  double y;
  int16_t level;
};

struct ContourSegment {
  int32_t first;
  int32_t second;
};

// Level curves of z = f(x, y): round levels chosen from a sample of the
// view, a 50 x 50 mesh of unit squares split by their rising diagonal,
// crossings found once per edge and shared by the squares on both sides.
// One job; the lists are drawn while they grow.
class AContourPlot : public A2DGraph {
 public:
  static constexpr int32_t kMeshSquares = 50;

  // Takes over the function and the colour.
  AContourPlot(Compiled function, double grain, Colour colour, const A2DTransform& transform);
  ~AContourPlot() override;

  int32_t Compute(int32_t slice) override;
  bool IsDoneComputing() override;
  int32_t GraphVisibility() override;
  void InvalConstant(int32_t variableId) override;
  void SetParameter(ViewAttribute attribute, double value) override;
  void ViewChanged() override;
  void Draw() override;
  void Resize() override { ViewChanged(); }
  void Pan(int32_t, int32_t) override { ViewChanged(); }
  bool IsPointOverCurve(double x, double y) override;
  Selection GetSelection(double x, double y) override;
  void PauseComputing() override {}
  Neighborhood GetNeighborhood(double x, double y, double radius, double parameterLow, double parameterHigh) override;

  // What the walk found, for tools and tests; call when done.
  int32_t LevelCount() const { return fLevelCount; }
  bool LevelsValid() const { return fLevelsValid.load(std::memory_order_acquire); }
  double Level(int32_t k) const { return fLevels[k]; }
  const AListGenericLarge<ContourVertex, 10>& Vertices() const { return fVertices; }
  const AListGenericLarge<ContourSegment, 10>& Segments() const { return fSegments; }

 private:
  struct RowEntry {
    double value;
    int32_t crossings[kMaxContourLevels];
  };
  enum Edge { kLeft, kDiagonal, kBottom, kTop, kRight, kEdgeCount };

  void Stop();
  void Submit();
  void ConstructMesh();
  void SetContourRange();
  // False when a list could not grow.
  bool LoopOverUnitSquares();
  void SetCorners(int32_t i, int32_t j, double x, double y);
  bool SetEdges(int32_t i, int32_t j, double x, double y);
  bool AddSegments();
  bool HasRowBuffer() const { return fRow && !fWalkFailed.load(std::memory_order_acquire); }
  bool Hidden() const;
  int32_t NearestSegmentLevel(double x, double y);

  const A2DTransform& fTransform;
  std::unique_ptr<AnExpression> fFunction;
  std::unique_ptr<AGraphColor> fColour;
  OurMutex fMutex;
  AListGenericLarge<ContourVertex, 10> fVertices;
  AListGenericLarge<ContourSegment, 10> fSegments;
  std::unique_ptr<RowEntry[]> fRow;
  // Set when a list could not grow: nothing more is drawn or computed.
  std::atomic<bool> fWalkFailed{false};
  double fCarriedValue = 0;
  int32_t fCarriedEdge[kMaxContourLevels] = {};
  double fCorner[4] = {};
  int32_t fEdges[kEdgeCount][kMaxContourLevels] = {};
  // Levels are written by the job before it publishes them valid.
  std::atomic<bool> fLevelsValid{false};
  double fLevels[kMaxContourLevels] = {};
  int32_t fLevelCount;
  int32_t fSelectedLevel = 0;
  double fX0 = 0, fX1 = 0, fY0 = 0, fY1 = 0, fDX = 0, fDY = 0;
  GraphJobs fJobs;
};
