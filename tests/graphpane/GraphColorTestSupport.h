#pragma once

#include <memory>
#include <string>

#include "graphpane/AGraphColor.h"
#include "tests/support/ColourEquations.h"

// A colour of equation type `type` over the three formulas, compiled as
// the pane compiles it.
inline std::unique_ptr<AGraphColor> EquationColour(GraphColorType type, const std::string& c1, const std::string& c2,
                                                   const std::string& c3, DocumentRecord* document = nullptr) {
  auto colour = std::make_unique<AGraphColor>(nullptr, document);
  FillColourEquations(*colour, type, c1, c2, c3, document);
  colour->Compile();
  return colour;
}

// The hue of the point's angle about the origin (theta is atan2(y, x)), full saturation and value.
inline std::unique_ptr<AGraphColor> AngleHueColour() {
  return EquationColour(AGraphColor::kHSVEquations, "theta / (2 * pi)", "1", "1");
}
