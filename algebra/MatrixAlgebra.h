#pragma once

#include "expression/ExpressionRecord.h"

#include <cstdint>

class DocumentRecord;

// Matrix operations worked out in a formula tree: products, sums, scalar
// multiples, transposes, inverses, determinants, traces, lengths, dot and
// cross products. Mismatched shapes, singular inverses and symbolic
// determinants stay written.

void CMD_MatrixAlgebra();
// Every node of the tree, children first.
void MENU_MatrixAlgebraRecurse(ExpressionRecord* e, DocumentRecord* doc);
// In the product p: the matrix operand i times the matrix operand j.
void MATRIX_Multiplication(ExpressionRecord* p, int32_t i, int32_t j);
// In the product p: every element of the matrix operand i times the scalar
// operand j (on the element's right when i < j, else on its left).
void MATRIX_ScalarMult(ExpressionRecord* p, int32_t i, int32_t j);
void MatrixTranspose(ExpressionRecord* m);
// The abs node of the 3 by 3 matrix of copies of m's elements at the nine
// indexes: a minor of a 4 by 4 determinant.
ExpressionRecord* Cofactor(const ExpressionRecord* m, const int32_t (&indexes)[9]);
// abs or Det of a square matrix of numbers becomes its determinant.
void EvalDeterminant(ExpressionRecord* e, DocumentRecord* doc);
