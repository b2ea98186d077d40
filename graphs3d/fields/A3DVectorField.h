#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "CoreUtilities/threads/OurMutex.h"
#include "graphs3d/fields/AVectorFieldOrDEPlot.h"
#include "graphs3d/fields/AnArrow3D.h"

// Arrows of the field, one from each start point with a usable vector, all
// scaled so that the longest is the given length (0: their own lengths).
// The arrows of the previous computation stay and are drawn until the view
// keeps its finished models.
class A3DVectorField : public AVectorFieldOrDEPlot {
 public:
  A3DVectorField(Compiled fx, Compiled fy, Compiled fz, Compiled radius, std::unique_ptr<AGraphColor> colour,
                 const double& arrowLength, const StartList& starts, MDrawContext* context);
  ~A3DVectorField() override;

  int32_t Compute(int32_t slice) override;
  int32_t GraphVisibility() override;
  void SetParameter(ViewAttribute attribute, double value) override;
  void ViewChanged() override {}
  bool Draw() override;
  double MaximumModelSpaceRadius() override;

  // Arrows made from now on have no head; the owner restarts the field.
  void SetHeadless(bool headless) { fHeadless.store(headless, std::memory_order_release); }

  // Copies for tests, under the lock.
  int32_t ArrowCount();
  int32_t StaleArrowCount();
  const AnArrow3D* Arrow(int32_t i);

 private:
  // An arrow with the colour of its own point, when it has one.
  struct FieldArrow {
    std::unique_ptr<AGraphColor> colour;
    std::unique_ptr<AnArrow3D> arrow;
  };
  struct Sample {
    AVector start, vector;
    double radius;
    uint32_t colour;
  };

  void MarkStale() override;
  bool Evaluate(AVector p, Sample* sample);
  FieldArrow MakeArrow(const Sample& sample, double scale, bool single);

  const double& fArrowLength;
  std::atomic<bool> fHeadless{false};
  std::atomic<int32_t> fStartCount{0};
  std::atomic<int32_t> fUsableCount{0};
  std::atomic<int32_t> fFiniteCount{0};
  // Guards the arrows against drawing.
  OurMutex fMutex;
  std::vector<FieldArrow> fArrows;
  int32_t fStaleCount = 0;
};
