#include "expression/MoveQuestions.h"

#include "expression/MathEditRecord.h"
#include "expression/TreeWalking.h"

bool FACTOR_CanMove() {
  if (!gMathCurrentMEH || !gMathCurrentMEH->selected) return false;
  const ExpressionRecord* node = gMathCurrentMEH->selected;
  const ExpressionRecord* parent = node->parent;
  if (!parent) return false;
  switch (parent->opcode) {
    case kOpTimes:
    case kOpPlus:
    case kOpEquals:
    case kOpComma:
    case kOpMinus:
    case kOpId:
    case kOpOver: return true;
    case kOpIntegral:
    case kOpSum:
    case kOpProduct:
    case kOpPower: return OP_NUMeq(node, 0);
    default: return false;
  }
}
