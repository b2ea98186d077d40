#pragma once

#include <string>
#include <vector>

#include "expression/ExpressionRecord.h"

class DocumentRecord;

// Fragment-program texts for prepared colour formulas of x, y and z. The
// colour is multiplied by the lit vertex colour; a mask below 0.5 discards
// the pixel. Document parameters are appended to the uniform list, entry i
// read as component i % 4 of program.local[i / 4]. Anything the generator
// cannot express, or any failure, gives an empty text; the trees are
// never changed.
namespace Expr2ARB {

// Red, green and blue; with any of them null the colour is the picture
// texture's.
std::string getARBString(std::vector<ExpressionRecord*>* uniforms, ExpressionRecord* r, ExpressionRecord* g,
                         ExpressionRecord* b, ExpressionRecord* mask, DocumentRecord* document);

// Hue in degrees, saturation and value. Raw leaves hue in turns,
// saturation and value in the colour for the renderer's later HSV pass.
std::string getARBStringFromHSV(std::vector<ExpressionRecord*>* uniforms, ExpressionRecord* h, ExpressionRecord* s,
                                ExpressionRecord* v, ExpressionRecord* mask, DocumentRecord* document, bool rawHSV);

}  // namespace Expr2ARB
