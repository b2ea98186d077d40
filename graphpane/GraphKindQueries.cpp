#include "graphpane/GraphKindQueries.h"

#include "platform/CheckedConvert.h"
#include "evaluation/compiler/VariableRestriction.h"
#include "expression/CoordinateExchange.h"
#include "expression/VariableIds.h"
#include "graphpane/EquationClassification.h"
#include "graphpane/EquationDefinitions.h"
#include "graphpane/ExpressionPredicates.h"
#include "graphpane/GraphKinds.h"

namespace {

int32_t Kind(ExpressionRecord* e, bool is3D, bool is4D, DocumentRecord* document) {
  return BaseKind(ExprTypeIgnoringModifiers(e, is3D, is4D, document));
}

bool SomeItemAfterFirst(const ExpressionRecord* e, auto&& test) {
  if (e->opcode != kOpComma || e->operandCount < 2) return false;
  for (int i = 1; i < e->operandCount; ++i)
    if (test(e->operands[i])) return true;
  return false;
}

// XY type 1 (its two low bits) makes a function of two variables a surface.
bool XYTypeIsSurface(double xyType) { return (DoubleToInt32(xyType) & 3) == 1; }

}  // namespace

bool UnprimedExprMayBeContourOrDensityPlot(ExpressionRecord* e, DocumentRecord* document) {
  if (e == nullptr) return false;
  if (e->opcode == kOpComma) {
    if (e->operandCount == 0) return false;
    e = e->operands[0];
  }
  constexpr int32_t kNone = kNoAllowedVariable;
  if (HasOnly(e, document, kIdX, kIdY, kIdR, kIdTheta) && !HasOnly(e, document, kIdX, kNone, kNone, kNone) &&
      !HasOnly(e, document, kIdY, kNone, kNone, kNone))
    return true;
  if (IsForm(e, document, kIdZ, kIdR, kIdTheta) || IsForm(e, document, kIdZ, kIdX, kIdY)) return true;
  if (HasOnly(e, document, kIdZ, kNone, kNone, kNone)) return true;
  return e->operandCount == 2 && IsAtom(e->operands[0], kIdZ) &&
         HasOnly(e->operands[1], document, kIdX, kIdY, kIdR, kIdTheta);
}

bool MayBeContourOrDensityPlot(const EquationList* equations, DocumentRecord* document) {
  if (equations == nullptr) return false;
  for (ExpressionRecord* e : *equations) {
    if (UnprimedExprMayBeContourOrDensityPlot(e, document)) return true;
    ExchangeXYZwithXYZprime(e);
    const bool primed = UnprimedExprMayBeContourOrDensityPlot(e, document);
    ExchangeXYZwithXYZprime(e);
    if (primed) return true;
  }
  return false;
}

bool MayUseTransparency(const EquationList* equations, DocumentRecord* document) {
  if (equations == nullptr) return false;
  for (ExpressionRecord* e : *equations) {
    const int32_t kind = Kind(e, true, false, document);
    if (kSurfaceKinds.Contains(kind) || kTranslucentKinds.Contains(kind)) return true;
    if (kTranslucentWithRadiusKinds.Contains(kind) &&
        SomeItemAfterFirst(e, [](const ExpressionRecord* item) { return IsRadiusOption(item); }))
      return true;
  }
  return false;
}

bool IsPointPlot(const EquationList* equations, bool is3D, bool is4D, DocumentRecord* document) {
  if (equations == nullptr) return false;
  for (ExpressionRecord* e : *equations)
    if (!kPointPlotKinds.Contains(Kind(e, is3D, is4D, document))) return false;
  return true;
}

bool AllowsPictures(ExpressionRecord* equation, bool is3D, bool is4D, DocumentRecord* document) {
  const int32_t kind = Kind(equation, is3D, is4D, document);
  return kSurfaceKinds.Contains(kind) || kPointPlotKinds.Contains(kind);
}

bool AllowsCheckers(const EquationList* equations, bool is3D, bool is4D, DocumentRecord* document) {
  if (equations == nullptr) return false;
  for (ExpressionRecord* e : *equations)
    if (!kSurfaceKinds.Contains(Kind(e, is3D, is4D, document))) return false;
  return true;
}

ExprTypeInfo GetExprTypeInfo(ExpressionRecord* equation, double xyType, DocumentRecord* document) {
  ExprTypeInfo info;
  const int32_t kind = ExprTypeIgnoringModifiers(equation, false, false, document);
  const int32_t base = BaseKind(kind);
  if (kind == 0)
    info.graphable = false;
  else if (IsExprDefinition(equation))
    info.graphable = IsExprPointPlot(equation) || IsExprGraphableDefinition(equation);
  else
    info.graphable = true;
  info.threeD = kFlatInTwoDKinds.Contains(base) ? XYTypeIsSurface(xyType) : IsThreeDOnlyKind(base);
  info.fourD = IsFourDKind(kind);
  info.primed = (kind & kPrimedKindFlag) != 0;
  const auto labelOption = [document](const ExpressionRecord* item) {
    return IsSymbolOption(item, document) || IsLabelOption(item, document);
  };
  info.labelled = IsDataKind(base) && KindView(base) == ViewDimension::k3D && SomeItemAfterFirst(equation, labelOption);
  return info;
}
