#pragma once

#include <optional>

#include "CoreUtilities/Complex.h"
#include "expression/ExpressionRecord.h"

// What an equation defines, read from the tree alone.

// The value of a tree of numbers and i under +, -, * and parentheses: the
// forms a point's complex constant is written in.
std::optional<Complex> ComplexConstantValue(const ExpressionRecord* tree);
// A name that is neither a coordinate, a constant nor a reserved word.
bool IsParameterName(const ExpressionRecord* node);
// name = ..., f(...) = ... or a subscripted name = ...
bool IsExprDefinition(const ExpressionRecord* tree);
// A parameter name set to a complex constant off the real line (p = 1 + 2i).
bool IsExprPointPlot(const ExpressionRecord* tree);
// A subscripted coordinate defined (y_1 = x^2): graphed like its coordinate.
bool IsExprGraphableDefinition(const ExpressionRecord* tree);
