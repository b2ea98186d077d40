#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "graphpane/A3DGraph.h"
#include "graphpane/AGraphColor.h"
#include "graphs3d/curves/TubeNormals.h"
#include "renderer/AVector.h"
#include "renderer/Submission.h"
#include "renderer/VertexObject.h"

struct MDrawContext;
class RingCircle;
struct TubeFrame;

// The drawing of a polyline of space: a tube of round section whose radius
// may vary point by point (with radii), else plain segments. Points with a
// NaN coordinate break it. The owner fills the points (and radii and
// colours), which stay its own, and calls ComputeCurve on its worker; the
// tube is a child graph the owner forwards view attributes to.
class ACurve3D : public A3DGraph {
 public:
  ACurve3D(int32_t count, const Vertex* points, const double* radii, const ColorArrayElement* colours,
           AGraphColor* colour, double grain, double opacity, bool straight, MDrawContext* context);

  int32_t Compute(int32_t) override { return kComputeFinished; }
  bool IsDoneComputing() override { return fComputed.load(std::memory_order_acquire); }
  int32_t GraphVisibility() override;
  void InvalConstant(int32_t) override {}
  void SetParameter(ViewAttribute attribute, double value) override;
  void ViewChanged() override;
  bool Draw() override;
  double MaximumModelSpaceRadius() override { return fMaximumRadius.load(std::memory_order_acquire); }

  // Once per computation, after the owner has filled the points; the box
  // is the one the owner's job was submitted with.
  void ComputeCurve(const ModelSpace& space);

  bool IsTube() const { return fRadii != nullptr; }
  int32_t Sides() const { return fSides; }
  int32_t TriangleCount() const { return fTriangleCount; }
  int32_t SegmentCount() const { return fSegmentCount; }
  // Ring i's vertices are entries i * Sides() to (i + 1) * Sides() - 1.
  const Vertex* RingVertices() const { return fRingVertices.get(); }
  const Vertex* RingNormals() const { return fRingNormals.get(); }
  const Triangle* Triangles() const { return fTriangles.get(); }
  const LineSegment* Segments() const { return fSegments.get(); }

 private:
  void AllocateSpace();
  void FreeUpSpace();
  bool HasSpace() const;
  void ClearResults();
  void ComputeLines(const ModelSpace& space);
  void ComputeTube(const ModelSpace& space);
  // False for a ring left out (no frame), its lanes untouched.
  bool PlaceRing(int32_t i, const TubeFrame& frame, const AVector& quarter, const RingCircle& circle, TubeRing& lanes);
  // Clears kept when a quad is left out; while kept, writes nothing.
  Triangle* AppendQuads(int32_t i, const TubeRing& ring, const TubeRing& next, const int32_t* band, bool& kept,
                        Triangle* out) const;
  // Rings i - 1, i and i + 1; a ring that is not there has state 0.
  void ComputeNormals(int32_t i, const TubeRing& before, const TubeRing& ring, const TubeRing& after);
  void CacheFinishedModel();

  MDrawContext* fContext;
  std::atomic<bool> fComputed{false};
  std::atomic<double> fMaximumRadius{0};
  bool fNeedsCaching = false;
  VertexObject fModel;
  int32_t fCount;
  const Vertex* fPoints;
  const double* fRadii;
  const ColorArrayElement* fColours;
  AGraphColor* fColour;
  std::unique_ptr<LineSegment[]> fSegments;
  int32_t fSegmentCount = 0;
  double fOpacity;
  bool fStraight;
  int32_t fTriangleCount = 0;
  // The triangles hold every quad of the tube, none left out.
  bool fAllQuadsKept = false;
  int32_t fSides;
  std::unique_ptr<Vertex[]> fRingVertices;
  std::unique_ptr<Vertex[]> fRingNormals;
  std::unique_ptr<Triangle[]> fTriangles;
  std::unique_ptr<ColorArrayElement[]> fRingColours;
};
