#pragma once

// The smallest size of scripts (points) and the step from one script level
// to the next. Documents carry their own; start-up may change the defaults.
extern float gEquationFontMinSize;
extern float gEquationFontsizeSuperscriptFactor;

// Levels 0 to 2 the base size, level 3 one script step down, levels 4 and 5
// two, none below the minimum. The minimum is read as 1 to 49 points and
// the factor as 41 % to 100 %, so that every size is at least one point.
void FillMathSizeTable(float table[6], float baseSize);
