#pragma once

#include "CoreUtilities/Complex.h"
#include "expression/ExpressionRecord.h"

#include <cstdint>

// One-call makers of the small trees the parser and the algebra build.
// Each takes over the trees it is given and returns a new tree without a
// parent; null when memory ran out or an argument was null, the arguments
// then freed (see TreeBuilding.h).

ExpressionRecord* Plus(ExpressionRecord* a, ExpressionRecord* b);
ExpressionRecord* Minus(ExpressionRecord* a, ExpressionRecord* b);  // a + (-b)
ExpressionRecord* Times(ExpressionRecord* a, ExpressionRecord* b);
ExpressionRecord* Times3(ExpressionRecord* a, ExpressionRecord* b, ExpressionRecord* c);
ExpressionRecord* Div(ExpressionRecord* numerator, ExpressionRecord* denominator);
ExpressionRecord* Oneover(ExpressionRecord* a);  // 1 / a
ExpressionRecord* Neg(ExpressionRecord* a);
ExpressionRecord* Tothe(ExpressionRecord* base, ExpressionRecord* exponent);
ExpressionRecord* Sqrt(ExpressionRecord* a);
ExpressionRecord* Square(ExpressionRecord* a);    // a ^ 2
ExpressionRecord* OnePlus(ExpressionRecord* a);   // 1 + a^2
ExpressionRecord* MinusOne(ExpressionRecord* a);  // a^2 + (-1)
ExpressionRecord* Ln(ExpressionRecord* a);
ExpressionRecord* Sin(ExpressionRecord* a);
ExpressionRecord* Cos(ExpressionRecord* a);
ExpressionRecord* Real(ExpressionRecord* a);
ExpressionRecord* Imag(ExpressionRecord* a);
// expression with lhs = rhs substituted
ExpressionRecord* Subst(ExpressionRecord* expression, ExpressionRecord* lhs, ExpressionRecord* rhs);
// A column vector of three elements.
ExpressionRecord* Vector(ExpressionRecord* a, ExpressionRecord* b, ExpressionRecord* c);
// A subscripted name: the indexes node with its shape fields 0 and 1.
ExpressionRecord* Sub(ExpressionRecord* base, ExpressionRecord* index);
// The partial-derivative pair of an expression and a variable node.
ExpressionRecord* Partial(ExpressionRecord* expression, ExpressionRecord* variable);
// A pattern placeholder holding an integer id.
ExpressionRecord* Dummy(int32_t id);

// The tree of a complex constant: re + im*i, im*i when only the imaginary
// part is non-zero, else re. A NaN part counts as non-zero.
ExpressionRecord* ComplexNumber(Complex c);

// True when some node applies a first derivative written with the
// derivative operator (an operator node with one operand, no order).
bool ContainsDerivative(const ExpressionRecord* tree);
bool ContainsMatrix(const ExpressionRecord* tree);
bool ContainsInterval(const ExpressionRecord* tree);

// The ids of the special symbols: pi, phi, theta, infinity, degree, ellipsis.
bool IsSpecialSymbolChar(int32_t variableId);
