#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "graphpane/A3DGraph.h"
#include "graphpane/AGraphColor.h"
#include "graphs3d/curves/ACurve3D.h"
#include "renderer/Submission.h"
#include "renderer/VertexObject.h"

struct MDrawContext;

// One arrow from a start point to a tip: lines with a small line-drawn
// head, or, with a radius, a solid shaft and cone drawn as a straight tube.
// It keeps its own copy of both ends, so that its owner may free the data
// it came from while the arrow is still drawn.
class AnArrow3D : public A3DGraph {
 public:
  static constexpr int32_t kTubePoints = 11;

  // The colour is borrowed. A single arrow gets a four-pointed head sized
  // by the box, others a three-pointed one sized by the arrow. The box is
  // the one the caller's job was submitted with.
  AnArrow3D(const Vertex& start, const Vertex& tip, double radius, AGraphColor* colour, bool single, bool headless,
            MDrawContext* context, const ModelSpace& space);

  int32_t Compute(int32_t) override { return kComputeFinished; }
  bool IsDoneComputing() override { return true; }
  int32_t GraphVisibility() override { return 0; }
  void InvalConstant(int32_t) override {}
  void SetParameter(ViewAttribute attribute, double value) override;
  void ViewChanged() override {}
  bool Draw() override;
  double MaximumModelSpaceRadius() override { return fMaximumRadius; }

  bool IsDrawable() const { return fComputed.load(std::memory_order_acquire); }
  // Line arrows: tip, start, then the head points. Thick arrows: the
  // tube's points, whose radii are TubeRadii().
  const Vertex* Points() const { return fPoints; }
  const double* TubeRadii() const { return fRadii; }
  int32_t HeadPointCount() const { return fHeadPointCount; }
  const ACurve3D* Tube() const { return fTube.get(); }
  const VertexObject& LineModel() const { return fLineModel; }

 private:
  void ComputeGeometry(const ModelSpace& space);
  void ComputeLineArrow(const ModelSpace& space);
  void ComputeThickArrow(const ModelSpace& space);
  void CacheLineModel();

  MDrawContext* fContext;
  Vertex fStart;
  Vertex fTip;
  double fRadius;
  AGraphColor* fColour;
  std::atomic<bool> fComputed{false};
  bool fNeedsCaching = false;
  double fMaximumRadius = 0;
  VertexObject fLineModel;
  Vertex fPoints[kTubePoints] = {};
  int32_t fHeadPointCount;
  bool fHeadless;
  bool fSingle;
  std::unique_ptr<ACurve3D> fTube;
  double fRadii[kTubePoints] = {};
};
