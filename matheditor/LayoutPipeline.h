#pragma once

#include "expression/ExpressionRecord.h"
#include "matheditor/MathGraphicsContext.h"

// Lays out the current record when its layout is stale or its wrap width
// changed: parentheses, size levels, measuring, placing, line breaking.
// A node left without edit data abandons the layout: it stays invalid and
// every box is empty.
void MATH_Hmm();

void ORIGINS_NumbersToStrings(ExpressionRecord* node);
void HIER_ImplementHierarchy(ExpressionRecord* root);
// The parentheses one node's operands need, its operands' own already in
// place; true when it put any in.
bool HIER_ParenthesizeOperands(ExpressionRecord* node);
void HIER_FixSizes(ExpressionRecord* root);
void ORIGINS_IterateOnce(ExpressionRecord* root);

// Draws every node; nothing when some node has no edit data.
void OUTPUT_DrawExpression(ExpressionRecord* root, MathGraphicsContext* context);

// The caret bar of the current record; outputs unchanged for a highlight.
void MATH_GetIPCoords(float* x, float* y1, float* y2);

void ORIGINS_RecalculateAndDraw2();
void DoubleCheckEditingDataInCurrentMEH();

// Gives the node edit data and makes a table heading bold.
void setfont(ExpressionRecord* node);

// Size and face for the node's level, then its handler; nothing for a kind
// without a row.
void TypesetNode(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);
