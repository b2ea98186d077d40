#pragma once

#include "CoreUtilities/MRect.h"
#include "expression/ExpressionRecord.h"

#include <cstdint>

// Selection geometry of the current record in window coordinates: the
// one-line boxes truncated to whole points plus the drawing offset.

void GetSelectionRect(MRect& rect);
void GetFullExprRect(MRect& rect);
// As GetSelectionRect, an operator sign counting as its whole node.
void GetSelectionRectOfWhatWillBeCopied(MRect& rect);
// The box the first atom with the id would have if selected; the rectangle
// is left alone when no atom has it.
void DIM_GetScreenRectOfAtom(int32_t variableId, MRect& rect);
bool DIM_PointInSelection(MPoint point);
bool DIM_PointInGrabbableSelection(MPoint point);

// The distance from the bottom edge up to the baseline, truncated.
int32_t GetBaselineOfExpr(const ExpressionRecord* node);
int32_t GetBaselineOfSelection();
int32_t GetBaselineOfFullExpr();
