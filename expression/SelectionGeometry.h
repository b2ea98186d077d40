#pragma once

#include "expression/MathEditorHooks.h"

struct MathGraphicsContext;

// A node's box from its edit data; leaves the box alone for a null node or
// one without edit data.
void ME_GetScreenBounds(const ExpressionRecord* node, FRect& box);

// The selection of the current record after laying it out: first its main
// box, second a companion box (a function's exponent, a derivative's
// variable) or all zero. Both zero without a current selection.
void ME_GetIPRect(FRect& first, FRect& second);

// Highlights the current record's selection when the record is active,
// laid out and its selection is a highlight rather than a caret.
void ME_InvertRange(MathGraphicsContext* context);
