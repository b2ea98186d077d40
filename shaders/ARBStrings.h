#pragma once

#include <string>
#include <vector>

#include "expression/ExpressionRecord.h"

class AnExpression;
class DocumentRecord;

// The fragment-program text for a surface coloured by three formulas (red,
// green, blue, or hue in turns, saturation, value) and an optional mask;
// empty when a formula holds something a program cannot compute, and the
// surface is then coloured on the processor. With any component missing
// the colour is the picture texture's and only the mask is computed. The
// given formulas are never changed; document parameters are appended to
// the uniform list.
std::string OurGetARBString(AnExpression* c1, AnExpression* c2, AnExpression* c3, AnExpression* mask, bool hsv,
                            std::vector<ExpressionRecord*>* uniforms, bool rawHSV, DocumentRecord* document);

// A colour given by the mask alone: the texture's, or the lit vertex
// colour's.
std::string OurGetARBString(AnExpression* mask, std::vector<ExpressionRecord*>* uniforms, bool textured,
                            DocumentRecord* document);
