#include "algebra/ExponentChanges.h"

#include "algebra/SimplifierNodes.h"
#include "algebra/SimplifierRules.h"
#include "algebra/WholeTreeSimplification.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "expression/TreeShorthands.h"

namespace {

// sign = 1 adds other, -1 subtracts it.
void CombineExponent(ExpressionRecord* power, const ExpressionRecord* other, double sign) {
  ExpressionRecord* exponent = power->operands[1];
  if (IsNumberNode(exponent) && IsNumberNode(other)) {
    SetNumberValue(exponent, NumberValue(exponent) + sign * NumberValue(other));
  } else {
    ExpressionRecord* added = sign > 0 ? Copy(other) : Neg(Copy(other));
    if (!DO_PlusOnLeft(exponent, added)) return;
    SIMP_TwoLevels(exponent);
  }
  SIMP_OneLevel(power);
}

}  // namespace

void StepExponent(ExpressionRecord* power, double delta) {
  ExpressionRecord* exponent = power->operands[1];
  if (IsNumberNode(exponent)) {
    SetNumberValue(exponent, NumberValue(exponent) + delta);
  } else {
    if (!DO_PlusOn(exponent, Number(delta))) return;
    SIMP_OneLevel(exponent);
  }
  SIMP_OneLevel(power);
}

void AddToExponent(ExpressionRecord* power, const ExpressionRecord* other) { CombineExponent(power, other, 1.0); }

void SubtractFromExponent(ExpressionRecord* power, const ExpressionRecord* other) {
  CombineExponent(power, other, -1.0);
}
