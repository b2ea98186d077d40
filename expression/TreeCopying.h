#pragma once

#include "expression/ExpressionRecord.h"

// A deep copy without parent and without edit data; null for null. When
// memory runs out the partial copy is freed, gMathError set, message 36
// queued and the result is the number NaN (null if even that fails).
ExpressionRecord* Copy(const ExpressionRecord* root);
ExpressionRecord* ExprCopyWithKern(const ExpressionRecord* root);
