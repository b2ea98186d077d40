#include "graphpane/EquationClassification.h"

#include "evaluation/ExpressionQueries.h"
#include "evaluation/compiler/VariableRestriction.h"
#include "expression/CoordinateExchange.h"
#include "expression/DocumentHooks.h"
#include "expression/NumericComputability.h"
#include "expression/SymbolTable.h"
#include "expression/TreeComputability.h"
#include "expression/VariableIds.h"
#include "graphpane/EquationDefinitions.h"
#include "graphpane/ExpressionPredicates.h"
#include "graphpane/GraphKinds.h"

namespace {

using enum GraphKind;

constexpr int32_t kIdThetaPrime = 8;
constexpr int32_t kIdG = 'g';
constexpr int32_t kIdB = 'b';
constexpr int32_t kIdH = 'h';
constexpr int32_t kIdS = 's';

bool IsList(const ExpressionRecord* e) { return e->opcode == kOpComma; }

bool IsEquation(const ExpressionRecord* e) { return e->opcode == kOpEquals && e->operandCount == 2; }

ExpressionRecord* Left(const ExpressionRecord* e) { return e->operands[0]; }
ExpressionRecord* Right(const ExpressionRecord* e) { return e->operands[1]; }

bool Only(ExpressionRecord* e, DocumentRecord* doc, int32_t a = kNoAllowedVariable, int32_t b = kNoAllowedVariable,
          int32_t c = kNoAllowedVariable, int32_t d = kNoAllowedVariable) {
  return HasOnly(e, doc, a, b, c, d);
}

bool OnlyXYRTheta(ExpressionRecord* e, DocumentRecord* doc) { return Only(e, doc, kIdX, kIdY, kIdR, kIdTheta); }

// An ODE head: d/dt (x, y, z) or (dx, dy, dz) = F(x, y, z); ddtOnly keeps
// the first form only.
bool IsODEHead(ExpressionRecord* e, DocumentRecord* doc, bool ddtOnly) {
  if (!IsEquation(e)) return false;
  const bool head = IsTotalDerivativeOfColumn(Left(e), 3) || (!ddtOnly && IsMatrixDxDyDz(Left(e)));
  return head && Matrix3DHasOnly(Right(e), doc, kIdX, kIdY, kIdZ);
}

bool IsColumnEquation(ExpressionRecord* e, int32_t a, int32_t b, int32_t c) {
  return IsEquation(e) && IsMatrix(Left(e), a, b, c);
}

// (a, b, c) = G(u, v)
bool IsStartSurfaceColumn(ExpressionRecord* e, DocumentRecord* doc, int32_t a, int32_t b, int32_t c) {
  return IsColumnEquation(e, a, b, c) && Matrix3DHasOnly(Right(e), doc, kIdU, kIdV, kNoAllowedVariable);
}

// The start point of a 3-D field: d/dt (x, y, z) = F, (x, y, z) = C.
bool IsStartPointOfDdt(ExpressionRecord* list, DocumentRecord* doc) {
  return IsODEHead(list->operands[0], doc, true) && IsColumnEquation(list->operands[1], kIdX, kIdY, kIdZ) &&
         IsConstColumn(Right(list->operands[1]), doc, 3);
}

bool IsImplicitStartSurface(ExpressionRecord* list, DocumentRecord* doc) {
  ExpressionRecord* start = list->operands[1];
  return IsODEHead(list->operands[0], doc, false) && IsEquation(start) && !IsRadiusOption(start) &&
         Only(Left(start), doc, kIdX, kIdY, kIdZ) && Only(Right(start), doc, kIdX, kIdY, kIdZ);
}

bool BothConstColumns(ExpressionRecord* list, DocumentRecord* doc, int rows) {
  return list->operandCount >= 2 && IsConstColumn(list->operands[0], doc, rows) &&
         IsConstColumn(list->operands[1], doc, rows);
}

struct GridStart {
  int32_t a, b, c;
  GraphKind kind;
};

// The start surfaces written as one coordinate of the other two, in the
// order they are tried.
constexpr GridStart kGridStarts[] = {
    {kIdX, kIdY, kIdZ, kXYZ_XYZ_xyz},
    {kIdY, kIdZ, kIdX, kXYZ_XYZ_yzx},
    {kIdZ, kIdY, kIdX, kXYZ_XYZ_zxy},
    {kIdR, kIdTheta, kIdPhi, kXYZ_XYZ_rthetaphi},
    {kIdPhi, kIdR, kIdTheta, kXYZ_XYZ_phirtheta},
    {kIdTheta, kIdR, kIdPhi, kXYZ_XYZ_thetarphi},
    {kIdR, kIdTheta, kIdZ, kXYZ_XYZ_rthetaz},
    {kIdZ, kIdR, kIdTheta, kXYZ_XYZ_zrtheta},
    {kIdTheta, kIdR, kIdZ, kXYZ_XYZ_thetarz},
};

GraphKind ListKind(ExpressionRecord* e, bool is3D, DocumentRecord* doc) {
  bool allFourD = true;
  for (int i = 0; i < e->operandCount; ++i) allFourD = allFourD && IsConstColumn(e->operands[i], doc, 4);
  if (allFourD) return k4DVertexList;
  if (!is3D && BothConstColumns(e, doc, 2)) return kArrow;
  if (BothConstColumns(e, doc, 3)) return k3DArrow;
  if (e->operandCount < 2) return kCantGraph;
  if (IsStartPointOfDdt(e, doc)) return kXYZ_XYZ_point;
  if (IsODEHead(e->operands[0], doc, false)) {
    if (IsStartSurfaceColumn(e->operands[1], doc, kIdX, kIdY, kIdZ)) return kXYZ_XYZ_xyzuv;
    if (IsStartSurfaceColumn(e->operands[1], doc, kIdR, kIdTheta, kIdPhi)) return kXYZ_XYZ_rthphiuv;
    if (IsStartSurfaceColumn(e->operands[1], doc, kIdR, kIdTheta, kIdZ)) return kXYZ_XYZ_rthetazuv;
  }
  return kCantGraph;
}

bool IsRangeChain(const ExpressionRecord* e) { return e->opcode == kOpLess; }

// Rotate(profile, axis [, angle] [, range]): a surface of revolution.
GraphKind RotationKind(ExpressionRecord* e, DocumentRecord* doc) {
  if (e->operandCount != 1 || !IsList(e->operands[0])) return kCantGraph;
  ExpressionRecord* items = e->operands[0];
  const int count = items->operandCount;
  if (count < 2 || count > 4) return kCantGraph;
  ExpressionRecord* profile = items->operands[0];
  ExpressionRecord* axis = items->operands[1];
  ExpressionRecord* angle = nullptr;
  ExpressionRecord* range = nullptr;
  if (count >= 3) (IsRangeChain(items->operands[2]) ? range : angle) = items->operands[2];
  if (count == 4) {
    if (!IsRangeChain(items->operands[3])) return kCantGraph;
    range = items->operands[3];
  }
  if (!Only(profile, doc, kIdX) && !IsForm(profile, doc, kIdY, kIdX, kNoAllowedVariable)) return kCantGraph;
  if (!IsEquation(axis)) return kCantGraph;
  for (ExpressionRecord* side : {Left(axis), Right(axis)})
    if (!Only(side, doc, kIdX, kIdY) || !IsLinear(side, doc)) return kCantGraph;
  if (angle != nullptr && !IsConst(angle, doc)) return kCantGraph;
  if (range != nullptr) {
    if (range->operandCount != 3 || !IsAtom(range->operands[1], kIdX)) return kCantGraph;
    if (!IsConst(range->operands[0], doc) || !IsConst(range->operands[2], doc)) return kCantGraph;
  }
  return kRotation;
}

bool IsCoordinateLetter(const ExpressionRecord* e) {
  return e->opcode == kOpAtom && Is_xyzwtuvr_theta_phi(e->payload.id);
}

bool IsSubscriptedCoordinate(const ExpressionRecord* e) {
  return e->opcode == kOpIndexes && e->operandCount == 2 && IsCoordinateLetter(e->operands[0]);
}

struct ExplicitForm {
  int32_t a, b, c;
  GraphKind kind;
};

constexpr ExplicitForm kPlaneForms[] = {
    {kIdY, kIdX, kNoAllowedVariable, kY_X},
    {kIdX, kIdY, kNoAllowedVariable, kX_Y},
    {kIdR, kIdTheta, kNoAllowedVariable, kR_Theta},
    {kIdTheta, kIdR, kNoAllowedVariable, kTheta_R},
};

constexpr ExplicitForm kSpaceForms[] = {
    {kIdZ, kIdX, kIdY, kZ_XY},
    {kIdX, kIdY, kIdZ, kX_YZ},
    {kIdY, kIdX, kIdZ, kY_XZ},
    {kIdR, kIdTheta, kIdPhi, kR_ThetaPhi},
    {kIdTheta, kIdR, kIdPhi, kTheta_RPhi},
    {kIdPhi, kIdR, kIdTheta, kPhi_RTheta},
    {kIdR, kIdTheta, kIdZ, kR_ThetaZ},
    {kIdZ, kIdR, kIdTheta, kZ_RTheta},
    {kIdTheta, kIdR, kIdZ, kTheta_RZ},
};

// Step E.4: an equation with a coordinate alone on one side.
GraphKind ExplicitKind(ExpressionRecord* e, bool is3D, DocumentRecord* doc) {
  if (!is3D) {
    for (const ExplicitForm& form : kPlaneForms)
      if (IsForm(e, doc, form.a, form.b, form.c)) return form.kind;
    if (IsForm(e, doc, kIdZ, kNoAllowedVariable, kNoAllowedVariable) &&
        (DIM_Complex(Right(e), doc) || UsesComplexParameter(Right(e), doc)))
      return kComplexConstant;
  }
  for (const ExplicitForm& form : kSpaceForms)
    if (IsForm(e, doc, form.a, form.b, form.c)) return form.kind;
  if ((IsAtom(Left(e), kIdZ) && Only(Right(e), doc, kIdX, kIdY, kIdR, kIdTheta)) ||
      (IsAtom(Right(e), kIdZ) && Only(Left(e), doc, kIdX, kIdY, kIdR, kIdTheta)))
    return kZ_XYRTheta;
  if (!is3D && OnlyXYRTheta(Left(e), doc) && OnlyXYRTheta(Right(e), doc)) return kXYRTh_eq_XYRTh;
  if (Only(Left(e), doc, kIdX, kIdY, kIdZ) && Only(Right(e), doc, kIdX, kIdY, kIdZ)) return kXYZ_equals_XYZ;
  if (IsForm(e, doc, kIdZ, kIdT, kNoAllowedVariable)) return kZ_t;
  if (IsForm(e, doc, kIdW, kIdZ, kNoAllowedVariable)) return kW_Z;
  return kCantGraph;
}

bool IsConstColumnEquation(ExpressionRecord* e, DocumentRecord* doc, int rows) {
  return IsConstColumn(Right(e), doc, rows);
}

bool RefersToTable(ExpressionRecord* e, DocumentRecord* doc) { return ExprReferencesTableData(e, doc); }

// Step E.5: the other equations.
GraphKind OtherEquationKind(ExpressionRecord* e, bool is3D, DocumentRecord* doc) {
  ExpressionRecord* left = Left(e);
  ExpressionRecord* right = Right(e);
  const bool xyz = IsMatrix(left, kIdX, kIdY, kIdZ);
  const bool rThetaZ = IsMatrix(left, kIdR, kIdTheta, kIdZ);
  const bool rThetaPhi = IsMatrix(left, kIdR, kIdTheta, kIdPhi);
  const bool xy = IsMatrix(left, kIdX, kIdY);
  const bool rTheta = IsMatrix(left, kIdR, kIdTheta);
  const bool constant3 = IsConstColumnEquation(e, doc, 3);
  const bool constant2 = IsConstColumnEquation(e, doc, 2);
  const bool table = RefersToTable(right, doc);
  if (constant3 && table) {
    if (xyz) return kXYZ_Data3D;
    if (rThetaZ) return kDataRThetaZ;
    if (rThetaPhi) return kDataRThetaPhi;
  }
  if (!is3D) {
    if (constant2 && table && xy) return kXY_Data2D;
    if (constant2 && table && rTheta) return kData2DRTheta;
    if (constant2 && xy) return kXY_equals_XY;
    if (constant2 && rTheta) return kRTheta;
    if (IsMatrixDxDy(left) && Matrix2DHasOnly(right, doc, kIdX, kIdY)) return kXY_XY;
  }
  if (constant3 && xyz) return kXYZ_3DPoint;
  if (constant3 && rThetaZ) return k3DPointRThetaZ;
  if (constant3 && rThetaPhi) return k3DPointRThetaPhi;
  if ((IsTotalDerivativeOfColumn(left, 3) || IsMatrixDxDyDz(left)) && Matrix3DHasOnly(right, doc, kIdX, kIdY, kIdZ))
    return kXYZ_XYZ;
  if (xy && Matrix2DHasOnly(right, doc, kIdT, kNoAllowedVariable)) return kXY_t;
  if (rTheta && Matrix2DHasOnly(right, doc, kIdT, kNoAllowedVariable)) return kRTheta_t;
  if (!is3D && Matrix3DHasOnly_xyrtheta(right, doc)) {
    if (IsMatrix(left, kIdR, kIdG, kIdB)) return kRGB_xy;
    if (IsMatrix(left, kIdH, kIdS, kIdV)) return kHSV_xy;
  }
  const bool curve3 = Matrix3DHasOnly(right, doc, kIdT, kNoAllowedVariable, kNoAllowedVariable);
  if (xyz && curve3) return kXYZ_t;
  if (IsMatrix(left, kIdX, kIdY, kIdU, kIdV)) {
    if (Matrix4DHasOnly(right, doc, kIdT, kNoAllowedVariable)) return kXYZW_t;
    if (Matrix4DHasOnly(right, doc, kIdU, kIdV)) return kXYZW_uv;
  }
  const bool surface3 = Matrix3DHasOnly(right, doc, kIdU, kIdV, kNoAllowedVariable);
  if (rThetaPhi && curve3) return kRThetaPhi_t;
  if (rThetaZ && curve3) return kRThetaZ_t;
  if (xyz && surface3) return kXYZ_uv;
  if (rThetaPhi && surface3) return kRThetaPhi_uv;
  if (rThetaZ && surface3) return kRThetaZ_uv;
  if (!is3D) {
    if (IsExprPointPlot(e)) return kComplexParameter;
    if (OnlyXYRTheta(left, doc) && OnlyXYRTheta(right, doc)) return kXYRTh_eq_XYRTh;
    if (Isaplusib(left, kIdX, kIdY) && Only(right, doc, kIdT)) return kZ_t;
  }
  if (Isaplusib(left, kIdX, kIdY) && Only(right, doc, kIdZ)) return kZ_z;
  if (Only(left, doc, kIdX, kIdY, kIdZ) && Only(right, doc, kIdX, kIdY, kIdZ)) return kXYZ_equals_XYZ;
  return kCantGraph;
}

GraphKind EquationKind(ExpressionRecord* e, bool is3D, DocumentRecord* doc) {
  if (!is3D && e->operandCount == 2) {
    if (IsFormDaDb(Left(e), kIdX, kIdY) && Only(Right(e), doc, kIdX, kIdY)) return kODEdydx;
    if (IsFormDaDb(Left(e), kIdT, kIdZ) && Only(Right(e), doc, kIdZ)) return kODEdzdt;
    if (IsTotalDerivativeOfColumn(Left(e), 2) && Matrix2DHasOnly(Right(e), doc, kIdX, kIdY)) return kODEdrdt;
  }
  if (e->operandCount != 2) return kCantGraph;
  if (IsCoordinateLetter(Left(e)) || IsSubscriptedCoordinate(Left(e)) || IsCoordinateLetter(Right(e)))
    return ExplicitKind(e, is3D, doc);
  return OtherEquationKind(e, is3D, doc);
}

// Step F: columns, expressions and relations standing alone.
GraphKind LoneExpressionKind(ExpressionRecord* e, bool is3D, DocumentRecord* doc) {
  if (IsConstColumn(e, doc, 3)) return RefersToTable(e, doc) ? kData3D : k3DPoint;
  if (!is3D) {
    if (IsConstColumn(e, doc, 2)) return RefersToTable(e, doc) ? kData2D : kXY;
    if (Matrix2DHasOnly(e, doc, kIdT, kNoAllowedVariable)) return kXYt;
  }
  if (Matrix3DHasOnly(e, doc, kIdT, kNoAllowedVariable, kNoAllowedVariable)) return kXYZt;
  if (Matrix3DHasOnly(e, doc, kIdU, kIdV, kNoAllowedVariable)) return kXYZuv;
  if (IsConst(e, doc)) return kCantGraph;
  if (!is3D) {
    if (Only(e, doc, kIdX)) return kFxnOfX;
    if (Only(e, doc, kIdY)) return kFxnOfY;
  }
  if (OnlyXYRTheta(e, doc)) return kFxnOfXYRTheta;
  if (Only(e, doc, kIdZ)) return kFxnOfZ;
  if (is3D) return kCantGraph;
  if ((e->opcode == kOpLeq || e->opcode == kOpGeq) && e->operandCount == 2 && OnlyXYRTheta(Left(e), doc) &&
      OnlyXYRTheta(Right(e), doc))
    return kInequality2;
  if (IsComparison(e)) {
    for (int i = 0; i < e->operandCount; ++i)
      if (!OnlyXYRTheta(e->operands[i], doc)) return kCantGraph;
    return kInequality;
  }
  if (!IsLogical(e)) return kCantGraph;
  for (int i = 0; i < e->operandCount; ++i)
    if (!HasOnlyAllowingClip(e->operands[i], doc, kIdX, kIdY, kIdR, kIdTheta)) return kCantGraph;
  return kInequality;
}

bool AllItemsAfterFirstComputable(ExpressionRecord* e, DocumentRecord* doc) {
  for (int i = 1; i < e->operandCount; ++i)
    if (!AllNodesComputable(e->operands[i], doc, kFlagsItems)) return false;
  return true;
}

// Exchanges the primed coordinates for the lifetime of the object.
class PrimedExchange {
 public:
  PrimedExchange(ExpressionRecord* tree, bool active) : fTree(active ? tree : nullptr) {
    ExchangeXYZwithXYZprime(fTree);
  }
  ~PrimedExchange() { ExchangeXYZwithXYZprime(fTree); }
  PrimedExchange(const PrimedExchange&) = delete;
  PrimedExchange& operator=(const PrimedExchange&) = delete;

 private:
  ExpressionRecord* fTree;
};

enum class OptionVerdict { kAccepted, kRefused, kRestGoToBuilder };

bool OperandsHaveOnly(ExpressionRecord* condition, DocumentRecord* doc, const AllowedVariables& ids) {
  for (int i = 0; i < condition->operandCount; ++i)
    if (!HasOnlyAllowingClip(condition->operands[i], doc, ids[0], ids[1], ids[2], ids[3])) return false;
  return true;
}

OptionVerdict ConditionVerdict(ExpressionRecord* option, int32_t base, bool primed, bool is3D, DocumentRecord* doc) {
  auto verdict = [](bool accepted) { return accepted ? OptionVerdict::kAccepted : OptionVerdict::kRefused; };
  if (KindSet(kClipInXY).Contains(base))
    return verdict(primed
                       ? OperandsHaveOnly(option, doc, {kIdXPrime, kIdYPrime, kNoAllowedVariable, kNoAllowedVariable})
                       : OperandsHaveOnly(option, doc, {kIdX, kIdY, kNoAllowedVariable, kNoAllowedVariable}));
  // The exchange leaves theta as it is, so a primed polar equation's
  // condition is in r' and theta (theta' still accepted).
  if (KindSet(kClipInPolar).Contains(base))
    return verdict(primed ? OperandsHaveOnly(option, doc, {kIdRPrime, kIdTheta, kIdThetaPrime, kNoAllowedVariable})
                          : OperandsHaveOnly(option, doc, {kIdR, kIdTheta, kNoAllowedVariable, kNoAllowedVariable}));
  if (kThreeDClipKinds.Contains(base)) return verdict(is3D);
  return verdict(kAnyViewClipKinds.Contains(base));
}

OptionVerdict CheckOption(ExpressionRecord* option, int32_t base, bool primed, bool is3D, DocumentRecord* doc) {
  auto verdict = [](bool accepted) { return accepted ? OptionVerdict::kAccepted : OptionVerdict::kRefused; };
  if (IsColorEquation(option, doc, kIdR, kIdG, kIdB) || IsColorEquation(option, doc, kIdH, kIdS, kIdV))
    return OptionVerdict::kAccepted;
  if (IsRadiusOption(option)) return verdict(kRadiusKinds.Contains(base));
  if (IsSymbolOption(option, doc) || IsLabelOption(option, doc) || IsFontSizeOption(option))
    return verdict(kLabelKinds.Contains(base));
  if (IsStartOption(option, primed, doc)) return verdict(kStartPointKinds.Contains(base));
  if (IsConditionShape(option) && AllNodesComputable(option, doc, kFlagsConditions))
    return ConditionVerdict(option, base, primed, is3D, doc);
  return KindSet(kItemsToBuilder).Contains(base) ? OptionVerdict::kRestGoToBuilder : OptionVerdict::kRefused;
}

}  // namespace

bool Is3DVectorFieldOnGrid(ExpressionRecord* e, DocumentRecord* doc, int32_t a, int32_t b, int32_t c) {
  return IsList(e) && e->operandCount >= 2 && IsODEHead(e->operands[0], doc, false) &&
         IsForm(e->operands[1], doc, a, b, c);
}

bool IsArrowOrVectorFieldOnSurface(ExpressionRecord* e, DocumentRecord* doc) {
  if (!IsList(e) || e->operandCount < 2) return false;
  if (BothConstColumns(e, doc, 2) || BothConstColumns(e, doc, 3)) return true;
  if (IsStartPointOfDdt(e, doc) || IsImplicitStartSurface(e, doc)) return true;
  if (IsODEHead(e->operands[0], doc, false) && (IsStartSurfaceColumn(e->operands[1], doc, kIdX, kIdY, kIdZ) ||
                                                IsStartSurfaceColumn(e->operands[1], doc, kIdR, kIdTheta, kIdPhi) ||
                                                IsStartSurfaceColumn(e->operands[1], doc, kIdR, kIdTheta, kIdZ)))
    return true;
  for (const GridStart& start : kGridStarts)
    if (Is3DVectorFieldOnGrid(e, doc, start.a, start.b, start.c)) return true;
  return false;
}

bool CanExtractOptions(ExpressionRecord* e, DocumentRecord* doc) {
  if (!IsList(e)) return false;
  bool someItemNotFourD = false;
  for (int i = 0; i < e->operandCount; ++i)
    someItemNotFourD = someItemNotFourD || !IsConstColumn(e->operands[i], doc, 4);
  return someItemNotFourD && !(e->operandCount == 2 && IsArrowOrVectorFieldOnSurface(e, doc));
}

int32_t ExprTypeIgnoringModifiersWorkhorse(ExpressionRecord* e, bool is3D, DocumentRecord* doc) {
  if (e == nullptr) return 0;
  if (IsList(e)) {
    if (e->operandCount == 0) return 0;
    if (const GraphKind kind = ListKind(e, is3D, doc); kind != kCantGraph) return KindNumber(kind);
  }
  for (const GridStart& start : kGridStarts)
    if (Is3DVectorFieldOnGrid(e, doc, start.a, start.b, start.c)) return KindNumber(start.kind);
  if (IsList(e)) {
    if (e->operandCount >= 2 && IsImplicitStartSurface(e, doc)) return KindNumber(kXYZ_XYZ_implicit);
    if (!AllItemsAfterFirstComputable(e, doc)) return 0;
    e = e->operands[0];
  }
  if (e->opcode == kOpRotate)
    if (const GraphKind kind = RotationKind(e, doc); kind != kCantGraph) return KindNumber(kind);
  return KindNumber(e->opcode == kOpEquals ? EquationKind(e, is3D, doc) : LoneExpressionKind(e, is3D, doc));
}

int32_t ExprTypeIgnoringModifiers(ExpressionRecord* e, bool is3D, bool is4D, DocumentRecord* doc) {
  if (e == nullptr) return 0;
  int32_t kind = ExprTypeIgnoringModifiersWorkhorse(e, is3D, doc);
  if (kind == 0) {
    PrimedExchange primed(e, true);
    kind = ExprTypeIgnoringModifiersWorkhorse(e, is3D, doc);
    if (IsFourDKind(kind)) kind = 0;
    if (kind != 0) kind |= kPrimedKindFlag;
  }
  if (is4D && !IsFourDKind(kind)) kind = 0;
  if (ExprReferencesTableData(e, doc) && !IsDataKind(BaseKind(kind))) kind = 0;
  return kind;
}

int32_t ExprType(ExpressionRecord* e, bool is3D, bool is4D, DocumentRecord* doc) {
  const int32_t kind = ExprTypeIgnoringModifiers(e, is3D, is4D, doc);
  if (kind == 0) return 0;
  const bool primed = (kind & kPrimedKindFlag) != 0;
  bool carriesOptions = false;
  int firstOption = 1;
  {
    PrimedExchange unprimed(e, primed);
    carriesOptions = CanExtractOptions(e, doc);
    if (carriesOptions && IsArrowOrVectorFieldOnSurface(e, doc)) firstOption = 2;
  }
  if (!carriesOptions) return kind;
  const int32_t base = BaseKind(kind);
  for (int i = firstOption; i < e->operandCount; ++i) {
    switch (CheckOption(e->operands[i], base, primed, is3D, doc)) {
      case OptionVerdict::kAccepted: continue;
      case OptionVerdict::kRefused: return 0;
      case OptionVerdict::kRestGoToBuilder: return kind;
    }
  }
  return kind;
}
