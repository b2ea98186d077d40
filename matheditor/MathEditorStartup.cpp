#include "matheditor/MathEditorStartup.h"

#include "expression/MathEditorHooks.h"
#include "expression/OperatorTable.h"
#include "matheditor/CaretPlacement.h"
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

void InvertBox(const FRect& box, int32_t which, MathGraphicsContext* context) {
  LB_InvertRect(box, which != 0, context);
}

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
  SetTypesetHandler(kParens, parens_);
  SetTypesetHandler(kBranch, branch_);
  SetTypesetHandler(kSqrt, sqrt_);
  SetTypesetHandler(kTothe, tothe_);
  SetTypesetHandler(kTentothe, tentothe_);
  SetTypesetHandler(kDiv, div_);
  SetTypesetHandler(kLog, log_);
  SetTypesetHandler(kFxn, fxn_);
  SetTypesetHandler(kBesselj, besselj_);
  SetTypesetHandler(kDel, del_);
  SetTypesetHandler(kLap, lap_);
  SetTypesetHandler(kNegate, negate_);
  SetTypesetHandler(kFact, fact_);
  SetTypesetHandler(kDagger, dagger_);
  SetTypesetHandler(kSet, set_);
  SetTypesetHandler(kFloor, floor_);
  SetTypesetHandler(kCeiling, ceiling_);
  SetTypesetHandler(kAbs, abs_);
  SetTypesetHandler(kOverbar, overbar_);
  SetTypesetHandler(kSubst, subst_);
  SetTypesetHandler(kDerivs, derivs_);
  SetTypesetHandler(kInner, inner_);
  SetTypesetHandler(kHat, hat_);
  MathEditorHooks hooks = CurrentMathEditorHooks();
  hooks.layOutCurrentFormula = LayOutCurrentFormula;
  hooks.setTextStyle = SetTextStyle;
  hooks.charWidth = [](UniChar c) { return DIM_CharWidth(c); };
  hooks.offsetToPosition = DIM_StringOffsetToPosition;
  hooks.invertRect = InvertBox;
  hooks.recalculateAndDraw = ORIGINS_RecalculateAndDraw2;
  InstallMathEditorHooks(hooks);
  InstallCaretHooks();
}
