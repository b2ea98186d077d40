#include "matheditor/MathTypesetState.h"

#include "matheditor/DrawingLayer.h"

#include <string>

const char* gMathFontName = "Times";
float gMathFontSize = 24.0f;
float gMathFontAscent = 24.0f;
float gMathFontDescent = 6.0f;
float gMathLineWidth = 1.2f;
float gMathHS = 2.4f;
float gMathVS = 2.4f;
bool gMathBold = false;
bool gMathItalic = false;
uint32_t gMathFontNameChanges = 0;

void SetMathFontName(const char* name) {
  static std::string kept;
  kept = name ? name : "Times";
  gMathFontName = kept.c_str();
  ++gMathFontNameChanges;
}

namespace {

void SetSize(float s) {
  gMathFontSize = s;
  gMathFontAscent = s;
  gMathFontDescent = 0.25f * s;
  gMathLineWidth = s / 20.0f;
  gMathHS = 0.1f * s;
  gMathVS = 0.1f * s;
}

}  // namespace

void MathTextSize(float s) {
  SetSize(s);
  DIM_TextSize(s);
}

void MathNormalFace() {
  gMathBold = false;
  gMathItalic = false;
  DIM_NormalFace();
}

void MathTextSizeAndNormalFace(float s) {
  SetSize(s);
  gMathBold = false;
  gMathItalic = false;
  DIM_TextSizeAndNormalFace(s);
}

void UseBold() { gMathBold = true; }

void UseItalics() { gMathItalic = true; }
