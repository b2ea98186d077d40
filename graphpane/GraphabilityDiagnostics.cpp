#include "graphpane/GraphabilityDiagnostics.h"

#include "evaluation/compiler/VariableRestriction.h"
#include "expression/MathEditRecord.h"
#include "expression/TreeComparison.h"
#include "expression/TreeWalking.h"
#include "expression/VariableIds.h"
#include "graphpane/EquationClassification.h"
#include "graphpane/ExpressionPredicates.h"
#include "graphpane/GraphKinds.h"
#include "graphpane/GraphMakers.h"

namespace {

bool ContainsPrompt(ExpressionRecord* e) {
  for (ExpressionRecord* node = e; node != nullptr; node = NextTopDownWithin(node, e))
    if (node->opcode == kOpPrompt) return true;
  return false;
}

bool IsMatrixEquation(const ExpressionRecord* e) {
  return e->opcode == kOpEquals && e->operandCount >= 2 && e->operands[0]->opcode == kOpMatrix &&
         e->operands[1]->opcode == kOpMatrix;
}

bool HasOnlyXYRTheta(ExpressionRecord* e, DocumentRecord* doc) { return HasOnly(e, doc, kIdX, kIdY, kIdR, kIdTheta); }

// Step 1.3: the kind was found but an option refused.
int32_t RefusedOptionMessage(int32_t kind, bool is3D) {
  const int32_t base = BaseKind(kind);
  if (kThreeDClipKinds.Contains(base)) return is3D ? kMsgCantParseCondition : kMsgConditionNotAppropriate;
  if (kAnyViewClipKinds.Contains(base)) return kMsgCantParseCondition;
  return kMsgConditionNotAppropriate;
}

}  // namespace

int32_t GetEqnSyntaxErr(ExpressionRecord* e, bool is3D, bool is4D, DocumentRecord* doc) {
  if (e == nullptr) return kMsgNoEquation;
  if (e->opcode == kOpComma && e->operandCount >= 1) {
    bool allFourD = true;
    for (int i = 0; i < e->operandCount; ++i) allFourD = allFourD && IsConstColumn(e->operands[i], doc, 4);
    const bool wholeList = allFourD || (e->operandCount == 2 && IsArrowOrVectorFieldOnSurface(e, doc));
    if (!wholeList) {
      for (int i = 1; i < e->operandCount; ++i)
        if (!AllNodesComputable(e->operands[i], doc, kFlagsItems)) return kMsgCantParseCondition;
      const int32_t kind = ExprTypeIgnoringModifiers(e, is3D, is4D, doc);
      if (kind != 0 && ExprType(e, is3D, is4D, doc) == 0) return RefusedOptionMessage(kind, is3D);
      e = e->operands[0];
    }
  }
  if (e->opcode == kOpPrompt) return kMsgNoEquation;
  if (ContainsPrompt(e)) {
    gShowPromptAsIP = false;
    return kMsgQuestionMarks;
  }
  const bool twoSided = e->opcode == kOpEquals && e->operandCount == 2;
  if (is3D && twoSided && IsTotalDerivativeOfColumn(e->operands[0], 2) &&
      Matrix2DHasOnly(e->operands[1], doc, kIdX, kIdY))
    return kMsgCantGraphIn3D;
  if (DIM_Contains(e, kIdT) && !IsMatrixEquation(e)) return kMsgParameterT;
  if ((DIM_Contains(e, kIdU) || DIM_Contains(e, kIdV)) && !IsMatrixEquation(e)) return kMsgParametersUV;
  if (is3D) {
    // Only a comparison is a 2-D inequality; a 2-D point (1, 2) is not.
    if (IsComparison(e) && e->operandCount == 2 && HasOnlyXYRTheta(e->operands[0], doc) &&
        HasOnlyXYRTheta(e->operands[1], doc))
      return kMsgInequalityIn3D;
    if (e->opcode == kOpEquals && e->operandCount >= 1 && e->operands[0]->opcode == kOpMatrix &&
        e->operands[0]->payload.shape.rows == 2)
      return kMsgVectorIn3D;
    if (e->opcode == kOpComma && e->operandCount >= 2 && IsConstColumn(e->operands[0], doc, 2) &&
        IsConstColumn(e->operands[1], doc, 2))
      return kMsgVectorIn3D;
    if (twoSided && IsFormDaDb(e->operands[0], kIdX, kIdY) &&
        HasOnly(e->operands[1], doc, kIdX, kIdY, kNoAllowedVariable, kNoAllowedVariable))
      return kMsgCantGraphIn3D;
  }
  if (DIM_Contains(e, kIdZ) && DIM_Contains(e, kIdPhi)) return kMsgMultipleCoordinateSystems;
  if (is4D && ExprTypeIgnoringModifiers(e, false, false, doc) != 0) return kMsgCantGraphIn4D;
  return kMsgCantGraphThisForm;
}
