#pragma once

#include "CoreUtilities/MRect.h"
#include "CoreUtilities/text/UniChar.h"
#include "expression/MathEditorHooks.h"
#include "matheditor/MathGraphicsContext.h"

#include <cstdint>

// The editor's only way to the platform's drawing and fonts. A null context
// draws into the current port at whole-pixel positions; a context draws
// with its painter at fractional positions. Absolute primitives add the
// current record's drawing offset; relative ones add nothing.

// A step or point of the editor: vertical first.
struct FPoint {
  float v;
  float h;
};

void DIM_MoveTo(float x, float y, MathGraphicsContext* context);
void DIM_Move(float dx, float dy, MathGraphicsContext* context);
void DIM_LineTo(float x, float y, MathGraphicsContext* context);
void DIM_Line(float dx, float dy, MathGraphicsContext* context);
void DIM_DrawPolyLine(int32_t count, const FPoint* steps, MathGraphicsContext* context);
// A selection highlight with round corners: the theme's highlight colour,
// or opaque white when plain.
void DIM_InvertRect(const FRect& box, bool plain, MathGraphicsContext* context);
// Table rows and columns: square corners, no offsets.
void DIM_InvertRect(const MRect& box, MathGraphicsContext* context);

// Text in the current math font state (size truncated to whole points).
float DIM_CharWidth(uint32_t c);
float DIM_StringWidth(const UniChar* s);
int32_t DIM_PositionToStringOffset(const UniChar* s, float x);
float DIM_StringOffsetToPosition(const UniChar* s, int32_t offset);
void DIM_DrawChar(uint32_t c, MathGraphicsContext* context);
void DIM_DrawString(const UniChar* s, MathGraphicsContext* context);
void DIM_TextSize(float size);
void DIM_NormalFace();
void DIM_TextSizeAndNormalFace(float size);
float DIM_CharAscent(uint32_t c);
float DIM_CharDescent(uint32_t c);

// While one lives, text drawn into the current port shares one painter
// (making a painter per string costs more than drawing it). Pen drawing
// and highlights end that painter first: they write the port themselves.
class PortTextPass {
 public:
  PortTextPass();
  ~PortTextPass();
  PortTextPass(const PortTextPass&) = delete;
  PortTextPass& operator=(const PortTextPass&) = delete;
};

// The measuring seam: with k above 0 every character is k times the whole
// font size wide, the font's ascent is the size and nothing is laid out;
// 0 restores the fonts' own measures. Tests compute geometry by hand on it.
void SetFixedMetricMeasuring(float k);
