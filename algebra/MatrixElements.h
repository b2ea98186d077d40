#pragma once

#include "expression/ExpressionRecord.h"

#include <cstdint>

// Pieces the matrix rewrites share.

// A matrix node whose operand count agrees with its shape.
bool IsMatrixNode(const ExpressionRecord* node);
bool IsSquareMatrix(const ExpressionRecord* node);
// A zeroed matrix node of the shape; null when memory ran out.
ExpressionRecord* NewMatrix(int32_t rows, int32_t columns);
void SetOperand(ExpressionRecord* node, int32_t k, ExpressionRecord* operand);
// The product rule of a times node, repeated until it stops.
void MatrixProductRule(ExpressionRecord* p);
