#pragma once

#include <string>

#include "evaluation/ColorEquations.h"
#include "tests/evaluation/AnExpressionTestSupport.h"

// Makes the colour one of equation type `type` over the three formulas
// (red, green, blue or hue, saturation, value), not yet compiled.
inline void FillColourEquations(AColorEquations& colour, GraphColorType type, const std::string& c1,
                                const std::string& c2, const std::string& c3, DocumentRecord* document = nullptr) {
  colour.fType = type;
  colour.fColorExpressions[0] = MakeExpression(c1, document);
  colour.fColorExpressions[1] = MakeExpression(c2, document);
  colour.fColorExpressions[2] = MakeExpression(c3, document);
}
