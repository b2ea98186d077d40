#pragma once

#include "expression/ExpressionRecord.h"
#include "matheditor/DrawingLayer.h"

#include <cstdint>

// Clicks and drags in the current record, in one-line formula coordinates.

// The tracking loop's state: where the press began (moved on by each step
// of a live drag), the last point handled, the selection box when the live
// drag started or last stepped, and whether a live drag runs, moved the
// selection, and the caret bar is drawn.
extern FPoint gStartPoint;
extern FPoint gLastPoint;
extern FRect gIPrect;
extern int32_t gLiveDragging;
extern bool gDraggedFar;
extern bool gIPisXored;

// Handles one press until the button is released: places the caret, then
// extends the selection while the mouse moves, or drags a movable
// selection through its expression.
void MouseDownInExpr(FPoint where, bool extend, bool selectLeaf, bool dragAllowed);
// The selection for the mouse at the point, from the anchor (null: the node
// under the press); true when it changed.
bool MouseMovedInExpr(FPoint where, ExpressionRecord* anchor);
// One step of a live drag: 1 when the selection was moved, else 0.
int32_t LiveDraggingMouseMoved(FPoint where);
// The deepest node under the point, from the node down.
ExpressionRecord* CLICK_FindIterate(FPoint where, ExpressionRecord* node);
// The gap between operands i and i + 1 the point lies in horizontally
// (edges included), or -1.
int32_t CLICK_OpNumBetween(const ExpressionRecord* node, FPoint where);
