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
#include "graphs3d/drawing/UnitSphere.h"
#include "renderer/VertexObject.h"

struct MDrawContext;

// A point (x, y, z) drawn as a small shaded sphere, round on the screen
// however unequal the view box's sides.
class A3DPoint : public A3DGraph {
 public:
  // Takes over the expressions and the colour; the size runs from 0 to 1.
  A3DPoint(Compiled x, Compiled y, Compiled z, Colour colour, double size, double opacity, MDrawContext* context);
  ~A3DPoint() override;

  int32_t Compute(int32_t slice) override;
  bool IsDoneComputing() override { return fJobs.AllDone(); }
  int32_t GraphVisibility() override { return 0; }
  void InvalConstant(int32_t variableId) override;
  void SetParameter(ViewAttribute attribute, double value) override;
  void ViewChanged() override;
  bool Draw() override;
  double MaximumModelSpaceRadius() override { return fMaximumRadius.load(std::memory_order_acquire); }

  bool IsValid() const { return fValid.load(std::memory_order_acquire); }
  const Vertex* Positions() const { return fPositions; }
  const Vertex* Normals() const { return fNormals; }

 private:
  void Stop();
  void Restart();

  MDrawContext* fContext;
  // Taken at every submission, for the job.
  JobContext fJobContext;
  std::unique_ptr<AnExpression> fX, fY, fZ;
  std::unique_ptr<AGraphColor> fColour;
  double fSize;
  double fOpacity;
  std::atomic<bool> fValid{false};
  bool fModelChanged = true;
  std::atomic<double> fMaximumRadius{0};
  Vertex fPositions[kUnitSphereVertices];
  Vertex fNormals[kUnitSphereVertices];
  VertexObject fModel;
  GraphJobs fJobs;
};
