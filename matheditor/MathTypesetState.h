#pragma once

#include <cstdint>

// The editor's font state: the size and face every text primitive reads and
// the spacing units every handler measures with. Interface thread only.

extern const char* gMathFontName;
extern float gMathFontSize;
extern float gMathFontAscent;
extern float gMathFontDescent;
extern float gMathLineWidth;
extern float gMathHS;  // horizontal spacing unit
extern float gMathVS;  // vertical spacing unit
extern bool gMathBold;
extern bool gMathItalic;

// The math axis lies this fraction of the size above the baseline.
inline constexpr float kMathAxis = 0.26171875f;

// Copies the name: the document it came from may go first.
void SetMathFontName(const char* name);
// Counts the calls of SetMathFontName, so that what is found from the name
// can be kept until it changes.
extern uint32_t gMathFontNameChanges;

void MathTextSize(float s);
void MathNormalFace();
// Both, as every node starts from them.
void MathTextSizeAndNormalFace(float s);
void UseBold();
void UseItalics();
