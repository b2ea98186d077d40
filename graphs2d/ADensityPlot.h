#pragma once

#include <cstdint>
#include <memory>

#include "graphpane/OwnedHandles.h"
#include "graphs2d/ACellPlot.h"

// z = f(x, y) as a stepped ramp of the graph colour's shades: each cell a
// byte, the value scaled into the range sampled over the view when the plot
// was made (kept through zoom, pan, resize and animation, so a value keeps
// its shade).
class ADensityPlot : public ACellPlot<uint8_t> {
 public:
  static constexpr uint8_t kUndefined = 254;
  static constexpr uint8_t kToDo = 255;

  // Takes over the function and the colour.
  ADensityPlot(Compiled function, double grain, Colour colour, const A2DTransform& transform);
  ~ADensityPlot() override;

  int32_t GraphVisibility() override;
  void InvalConstant(int32_t variableId) override;
  void SetParameter(ViewAttribute attribute, double value) override;
  void Draw() override;
  bool IsPointOverCurve(double x, double y) override;
  Selection GetSelection(double x, double y) override;

  int32_t BandCount() const { return fBandCount; }
  // The cell byte of a value under the sampled range.
  uint8_t MapValue(double v) const;

 protected:
  bool SetRange(MGridVariables* grid) override;
  void ComputeRow(MGridVariables* grid, int32_t gridRow, uint8_t* out) override;
  uint8_t ComputeCell(MGridVariables* grid, int32_t i, int32_t gridRow) override;
  bool HasRowPrograms() const override;

 private:
  double PointValue(double x, double y);

  std::unique_ptr<AnExpression> fFunction;
  std::unique_ptr<AGraphColor> fColour;
  double fMin, fMax, fScale = 0;
  int32_t fBandCount;
};
