#pragma once

#include <cstdint>

#include "algebra/RewriteHelpers.h"
#include "expression/ExpressionRecord.h"

class DocumentRecord;

// The small questions classification and the builders ask of a formula
// tree. None keeps a pointer into the tree.

// Computability flags of the graph code.
inline constexpr int32_t kFlagsCoordinates = 37;    // HasOnly
inline constexpr int32_t kFlagsItems = 39;          // items after a comma
inline constexpr int32_t kFlagsVectorEntries = 53;  // colour vectors
inline constexpr int32_t kFlagsClip = 165;          // comparisons pass
inline constexpr int32_t kFlagsConditions = 173;    // and every atom

// A column of atoms with exactly these ids, in order.
bool IsMatrix(const ExpressionRecord* e, int32_t a, int32_t b);
bool IsMatrix(const ExpressionRecord* e, int32_t a, int32_t b, int32_t c);
bool IsMatrix(const ExpressionRecord* e, int32_t a, int32_t b, int32_t c, int32_t d);
bool IsColumn(const ExpressionRecord* e, int rows);
bool IsMatrixDxDy(const ExpressionRecord* e);
bool IsMatrixDxDyDz(const ExpressionRecord* e);
// a + i·b
bool Isaplusib(const ExpressionRecord* e, int32_t a, int32_t b);
// (d·b)/(d·a), or the total derivative in a applied to the atom b.
bool IsFormDaDb(const ExpressionRecord* e, int32_t a, int32_t b);
bool IsODEForm(const ExpressionRecord* e);
// d/dt applied to the column (x, y) or (x, y, z).
bool IsTotalDerivativeOfColumn(const ExpressionRecord* e, int rows);
bool Is3Vector(ExpressionRecord* e, DocumentRecord* document);
bool IsComparison(const ExpressionRecord* e);
bool IsLogical(const ExpressionRecord* e);
// The operands an And, Or or Not tests: the items of its one list operand,
// else its own operands.
const ExpressionRecord* LogicalOperandList(const ExpressionRecord* e);
// A comparison, or a logical node whose operand list holds only
// comparisons and logical expressions.
bool IsConditionShape(const ExpressionRecord* e);

bool HasOnlyAllowingClip(ExpressionRecord* e, DocumentRecord* document, int32_t a, int32_t b, int32_t c, int32_t d);
bool HasOnlyAllowingMatrix(ExpressionRecord* e, DocumentRecord* document, int32_t a, int32_t b, int32_t c);
bool Matrix2DHasOnly(ExpressionRecord* e, DocumentRecord* document, int32_t a, int32_t b);
bool Matrix3DHasOnly(ExpressionRecord* e, DocumentRecord* document, int32_t a, int32_t b, int32_t c);
bool Matrix4DHasOnly(ExpressionRecord* e, DocumentRecord* document, int32_t a, int32_t b);
bool Matrix3DHasOnly_xyrtheta(ExpressionRecord* e, DocumentRecord* document);
// No coordinate name at all.
bool IsConst(ExpressionRecord* e, DocumentRecord* document);
bool IsConstColumn(ExpressionRecord* e, DocumentRecord* document, int rows);
bool IsForm(ExpressionRecord* e, DocumentRecord* document, int32_t a, int32_t b, int32_t c);
// (a, b) = a 2-row column in c and d only that holds c or d.
bool IsForm2DCoordinateTransform(ExpressionRecord* e, DocumentRecord* document, int32_t a, int32_t b, int32_t c,
                                 int32_t d);
// (a, b, c) = a 3-row column in d, f and g only that holds one of them.
bool IsForm3DCoordinateTransform(ExpressionRecord* e, DocumentRecord* document, int32_t a, int32_t b, int32_t c,
                                 int32_t d, int32_t f, int32_t g);
bool CanComputeSomething(ExpressionRecord* e, DocumentRecord* document, int32_t flags);
// Every node of the tree is numerically computable under the flags.
bool AllNodesComputable(ExpressionRecord* e, DocumentRecord* document, int32_t flags);

// Options after the comma.
bool IsRadiusOption(const ExpressionRecord* e);
bool IsFontSizeOption(const ExpressionRecord* e);
bool IsNamedStringOption(const ExpressionRecord* e, const char* name, const DocumentRecord* document);
bool IsSymbolOption(const ExpressionRecord* e, const DocumentRecord* document);
bool IsLabelOption(const ExpressionRecord* e, const DocumentRecord* document);
bool IsStartOption(ExpressionRecord* e, bool primed, DocumentRecord* document);
// (a, b, c) = a computable 3-vector.
bool IsColorEquation(ExpressionRecord* e, DocumentRecord* document, int32_t a, int32_t b, int32_t c);

// Zero exactly on the relation's boundary; multiplied by factor when given.
// The operands are copied; null when memory ran out.
ExpressionRecord* MakeZeroExpr(const ExpressionRecord* factor, const ExpressionRecord* relation);
