#include "matheditor/MathEditorStartup.h"

#include "expression/MathEditorHooks.h"
#include "expression/OperatorTable.h"
#include "matheditor/DrawingLayer.h"
#include "matheditor/LayoutPipeline.h"
#include "matheditor/LineBreaking.h"
#include "matheditor/MathTypesetState.h"
#include "matheditor/Typesetters.h"

namespace {

void LayOutCurrentFormula() {
  DoubleCheckEditingDataInCurrentMEH();
  MATH_Hmm();
}

void SetTextStyle(ExpressionRecord* node, float size) {
  MathTextSize(size);
  MathNormalFace();
  setfont(node);
}

void InvertBox(const FRect& box, int32_t which, MathGraphicsContext* context) { LB_InvertRect(box, which != 0, context); }

}  // namespace

void InstallMathEditor() {
  using enum Typesetter;
  SetTypesetHandler(kNum, num_);
  SetTypesetHandler(kPrompt, prompt_);
  SetTypesetHandler(kAtomic, atomic_);
  SetTypesetHandler(kString, string_);
  SetTypesetHandler(kIndexes, indexes_);
  SetTypesetHandler(kMatrix, matrix_);
  SetTypesetHandler(kSin, sin_);
  SetTypesetHandler(kIntegral2, integral2_);
  SetTypesetHandler(kExtended, extended_);
  SetTypesetHandler(kPrefix, prefix_);
  SetTypesetHandler(kInfix, infix_);
  MathEditorHooks hooks = CurrentMathEditorHooks();
  hooks.layOutCurrentFormula = LayOutCurrentFormula;
  hooks.setTextStyle = SetTextStyle;
  hooks.charWidth = [](UniChar c) { return DIM_CharWidth(c); };
  hooks.offsetToPosition = DIM_StringOffsetToPosition;
  hooks.invertRect = InvertBox;
  hooks.recalculateAndDraw = ORIGINS_RecalculateAndDraw2;
  InstallMathEditorHooks(hooks);
}
