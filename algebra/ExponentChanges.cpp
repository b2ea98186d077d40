#include "algebra/ExponentChanges.h"

#include "algebra/SimplifierNodes.h"
#include "algebra/SimplifierRules.h"
#include "algebra/WholeTreeSimplification.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "expression/TreeShorthands.h"

#include <cmath>

namespace {

// sign = 1 adds other, -1 subtracts it.
bool CombineExponent(ExpressionRecord* power, const ExpressionRecord* other, double sign) {
  ExpressionRecord* exponent = power->operands[1];
  if (IsNumberNode(exponent) && IsNumberNode(other)) {
    const double combined = NumberValue(exponent) + sign * NumberValue(other);
    if (!std::isfinite(combined) && std::isfinite(NumberValue(exponent)) && std::isfinite(NumberValue(other)))
      return false;
    SetNumberValue(exponent, combined);
  } else {
    ExpressionRecord* added = sign > 0 ? Copy(other) : Neg(Copy(other));
    if (!DO_PlusOnLeft(exponent, added)) return false;
    SIMP_TwoLevels(exponent);
  }
  SIMP_OneLevel(power);
  return true;
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

bool AddToExponent(ExpressionRecord* power, const ExpressionRecord* other) {
  return CombineExponent(power, other, 1.0);
}

bool SubtractFromExponent(ExpressionRecord* power, const ExpressionRecord* other) {
  return CombineExponent(power, other, -1.0);
}
