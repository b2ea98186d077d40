#pragma once

#include <cstdint>
#include <string>

#include "expression/ExpressionRecord.h"

class DocumentRecord;

// The result strings the math pane shows after formulas that compute to a
// number.

// The part of an expanded equation whose value is shown: a whole formula
// that is no equation, or the right side of a name's definition; null when
// it does not compute to a number.
const ExpressionRecord* ResultFormulaOf(ExpressionRecord* tree, DocumentRecord* document);

// The value of the formula as shown, with the digits given: a number, a
// complex number, [low, high] for an interval, or the words for true,
// false, undecided, infinity and not a number.
std::u16string MathPaneResultString(const ExpressionRecord* formula, DocumentRecord* document, int32_t digits);

// On the math-pane thread: the strings of the document's result formulas,
// published under its results mutex. A cancel leaves the strings it had.
void ComputeMathPaneResults(DocumentRecord* document);

// The published string of the block; empty when it has none.
std::u16string MathPaneResultForBlock(const DocumentRecord* document, int32_t block);
