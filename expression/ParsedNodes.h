#pragma once

#include "CoreUtilities/text/UniChar.h"
#include "expression/ExpressionRecord.h"

#include <cstdint>

// The nodes the grammar's expression rules build. The binary and unary
// makers leave their operands alone when they fail (null): the operands are
// still in the parser's node list, which frees them.

// Trees nested deeper than this after normalisation are refused.
inline constexpr int32_t kMostParsedNesting = 1000;

ExpressionRecord* ParsedBinary(OpCodeT kind, ExpressionRecord* a, ExpressionRecord* b);
ExpressionRecord* ParsedUnary(OpCodeT kind, ExpressionRecord* a);
ExpressionRecord* ParsedDifference(ExpressionRecord* a, ExpressionRecord* b);  // a + (-b)
ExpressionRecord* ParsedSubscript(ExpressionRecord* base, ExpressionRecord* index);
// These take over the text they are given (freed with std::free or
// DisposeParsedString) and record what they make.
ExpressionRecord* ParsedNameAtom(char* name);
ExpressionRecord* ParsedString(UniChar* text);
ExpressionRecord* ParsedNamedApplication(char* name, ExpressionRecord* argument);
ExpressionRecord* ParsedColumnVector(ExpressionRecord* argument);
void DisposeParsedString(UniChar* text);

// Normalises a finished expression (identities removed, lists merged, call
// notation resolved), hands its nodes over from the node list and checks its
// shape: two-operand kinds written with one operand get a prompt, matrices
// must have rows x columns elements, nesting is capped. Null, the tree
// freed, when it is refused.
ExpressionRecord* FinishParsedTree(ExpressionRecord* tree);
