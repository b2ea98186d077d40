#pragma once

#include <cstdint>
#include <memory>

#include "graphpane/OwnedHandles.h"
#include "graphs2d/ACellPlot.h"

// A view painted cell by cell from three expressions read as red, green and
// blue or as hue, saturation and value, each normalised by a range widened
// from [0, 1] to what a sample of the view shows. An optional complex
// expression feeds the selection readout.
class AColorPlot : public ACellPlot<uint32_t> {
 public:
  static constexpr uint32_t kUndefined = 0x80000000;
  static constexpr uint32_t kToDo = 0xDEADBEEF;

  // Takes over the expressions (complex may be null) and the colour.
  AColorPlot(Compiled first, Compiled second, Compiled third, Compiled complex, bool hsv, Colour colour,
             const A2DTransform& transform);
  ~AColorPlot() override;

  int32_t GraphVisibility() override;
  void InvalConstant(int32_t variableId) override;
  void SetParameter(ViewAttribute, double) override {}
  bool UsesGrainSlider() override { return false; }
  void Draw() override;
  bool IsPointOverCurve(double x, double y) override;
  Selection GetSelection(double x, double y) override;

  // The packed colour of three values under the sampled ranges.
  uint32_t MapValues(const double* v) const;

 protected:
  bool SetRange(MGridVariables* grid) override;
  void ComputeRow(MGridVariables* grid, int32_t gridRow, uint32_t* out) override;
  uint32_t ComputeCell(MGridVariables* grid, int32_t i, int32_t gridRow) override;
  bool HasRowPrograms() const override;

 private:
  bool Hidden() const;
  bool AnyContains(int32_t variableId) const;

  std::unique_ptr<AnExpression> fExpressions[3];
  std::unique_ptr<AnExpression> fComplex;
  std::unique_ptr<AGraphColor> fColour;
  double fLow[3] = {0, 0, 0}, fHigh[3] = {1, 1, 1};
  bool fHSV;
};
