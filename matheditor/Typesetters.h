#pragma once

#include "CoreUtilities/text/UniChar.h"
#include "expression/ExpressionRecord.h"
#include "matheditor/MathGraphicsContext.h"

#include <cstdint>

// The typesetting handlers: mode 0 measures the node and places its
// operands, mode 1 draws the node's own marks.
void num_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);
void prompt_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);
void atomic_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);
void string_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);
void indexes_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);
void matrix_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);
void sin_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);
void integral2_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);
void extended_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);
void prefix_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);
void infix_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);
void parens_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);
void branch_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);
void sqrt_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);
void tothe_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);
void tentothe_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);
void div_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);
void log_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);
void fxn_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);
void besselj_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);
void del_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);
void lap_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);
void negate_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);
void fact_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);
void dagger_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);
void set_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);
void floor_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);
void ceiling_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);
void abs_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);
void overbar_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);
void subst_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);
void derivs_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);
void inner_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);
void hat_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);

// The alignment point of a piecewise row: half its width.
float MATH_FindTab(const ExpressionRecord* row);

// The character of a special-symbol id; the id itself for any other.
uint32_t GetSpecialSymbolUnicode(int32_t variableId);
void set_font_for_atomic(ExpressionRecord* node);
// A new array (the caller deletes[] it): the text between curly quotes;
// null when memory is refused.
UniChar* OurStringCopyWithQuotes(const UniChar* text);
// The offset of the text nearest to formula x, for the node's font.
int32_t WhereInStr(float x, ExpressionRecord* node, const UniChar* text);
int32_t Clamp(int32_t value, int32_t low, int32_t high);
// Whether a product shows a dot between two adjacent factors.
bool DrawDotBetweenTermsInMultiply(const ExpressionRecord* left, const ExpressionRecord* right);
