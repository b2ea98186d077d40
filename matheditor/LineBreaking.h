#pragma once

#include "expression/MathEditRecord.h"
#include "matheditor/DrawingLayer.h"

// A formula is laid out on one virtual line; when it is wider than its
// wrap width the virtual line is cut into display lines shown one under
// another. Coordinates stay those of the one-line layout: the primitives
// here move a point to its display line at the moment of drawing.

void LB_Precompute();
// Rebuilds the current record's line table.
void LB_ComputeLineBreaks();
// Inserts a line start; false (table unchanged) when no new table can be had.
bool UserBreak(float x);
// A display point to the one-line layout, in place.
void UnVirtual(FPoint* point);
// A one-line point to its display position.
FPoint ToDisplay(float x, float y);

void LB_MoveTo(float x, float y, MathGraphicsContext* context);
void LB_LineTo(float x, float y, MathGraphicsContext* context);
void LB_InvertRect(const FRect& box, bool plain, MathGraphicsContext* context);
float LB_Width(const MERecord* record);
float LB_Height(const MERecord* record);

// A square bracket from (x + w, y): w left, h up, w right; a negative w
// mirrors it. Never split across lines.
void DrawBracket(float x, float y, float w, float h, MathGraphicsContext* context);
// The lower half: w left, then h up.
void DrawHalfBracket(float x, float y, float w, float h, MathGraphicsContext* context);
