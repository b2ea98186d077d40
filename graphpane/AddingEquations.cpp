#include <memory>
#include <utility>

#include "evaluation/AnExpression.h"
#include "expression/CoordinateExchange.h"
#include "expression/OperatorKinds.h"
#include "expression/SymbolTable.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeRewriting.h"
#include "expression/VariableIds.h"
#include "graphpane/AGraphColor.h"
#include "graphpane/AGraphPane.h"
#include "graphpane/AGraphView.h"
#include "graphpane/EquationPass.h"
#include "graphpane/EquationClassification.h"
#include "graphpane/EquationDefinitions.h"
#include "graphpane/ExpressionPredicates.h"
#include "graphpane/GraphBuilders.h"
#include "graphpane/GraphHooks.h"
#include "graphpane/GraphKinds.h"
#include "graphpane/GraphRewrites.h"
#include "graphpane/PassTrees.h"
#include "graphpane/TransformedBuilders.h"
#include "platform/CheckedConvert.h"

namespace {

// Conditions accepted in any view clip, save those of regions, which join
// the relation.
bool AlwaysClips(int32_t kind) { return kAnyViewClipKinds.Contains(kind) && !kInequalityKinds.Contains(kind); }

// Out-of-range modes, NaN among them, take the block default.
PlottingMode ToPlottingMode(double mode) {
  const int32_t m = DoubleToInt32(mode);
  return m >= kPlotSampling && m <= kPlotIntervalPixelTests ? PlottingMode(m) : kPlotIntervalPixelTests;
}

// The options read from the items after the equation.
struct EquationOptions {
  Tree radius, symbol, label, fontSize, startX, startY, conditions, zero, extra;

  void AddCondition(const ExpressionRecord* item) {
    ExpressionRecord* copy = Copy(item);
    conditions = Tree(conditions ? NewBinop(kOpConditions, conditions.release(), copy) : copy);
  }
};

bool IsCoordinateAtom(const ExpressionRecord* e) {
  if (e->opcode == kOpIndexes && e->operandCount >= 1) e = e->operands[0];
  return e->opcode == kOpAtom && Is_xyzwtuvr_theta_phi(e->payload.id);
}

// f(x) = y, to be read as y = f(x); a derivative form or a coordinate on
// the left stays.
bool SidesToExchange(const ExpressionRecord* e) {
  if (e->opcode != kOpEquals || e->operandCount != 2) return false;
  const ExpressionRecord* left = e->operands[0];
  const ExpressionRecord* right = e->operands[1];
  return !IsODEForm(left) && !IsCoordinateAtom(left) && right->opcode == kOpAtom &&
         Is_xyzwtuvr_theta_phi(right->payload.id);
}

// The conditions fold into f: f + (0 if conditions), undefined where they
// fail; the dependent coordinate in them stands for f itself.
void FoldConditions(ExpressionRecord* f, Tree conditions, int32_t dependent) {
  ReplaceAtom(conditions.get(), dependent, f);
  DO_PlusOn(f, NewBinop(kOpIf, Number(0), conditions.release()));
}

}  // namespace

Compiled EquationPass::Required(Tree e) { return std::make_unique<AnExpression>(e.release(), fDocument); }

Compiled EquationPass::Optional(Tree e) { return e != nullptr ? Required(std::move(e)) : nullptr; }

void EquationPass::Start(bool is3D, bool is4D, bool twoViews, bool secondIs3D, const CoordinateTransformation& ct) {
  fGraphLookup.RemoveAllElements();
  fTransformIndexes.RemoveAllElements();
  for (int32_t& flag : fCoordDisplay) flag = 0;

  AGraphView* current = is4D ? View4D() : is3D ? View3D(0) : View2D(0);
  AGraphView* second = !twoViews || is4D ? nullptr : secondIs3D ? View3D(1) : View2D(1);
  const bool plane = ct.kind == CoordinateTransformation::kPlaneFromTransformed ||
                     ct.kind == CoordinateTransformation::kPlaneFromSource;
  if (current == View2D(0) && second == nullptr && plane) second = View2D(1);
  if (current == View3D(0) && ct.kind == CoordinateTransformation::kSpace) second = View3D(1);
  fPane.ShowViews(current, second);
  MakeTransformPlot(*this, ct);
  ShareParameterRanges();
}

void EquationPass::ShareParameterRanges() {
  AGraphView* current = CurrentView();
  GraphViewRecord& from = current->Record();
  const GraphViewRecord& first3D = View3D(0)->Record();
  auto copy = [](double(&to)[2], const double(&source)[2]) { to[0] = source[0], to[1] = source[1]; };
  double t[2], u[2], v[2], r[2], theta[2];
  copy(t, from.ranges[kCoordT]);
  const GraphViewRecord& uvSource = current == View2D(0) ? first3D : from;
  copy(u, uvSource.ranges[kCoordU]);
  copy(v, uvSource.ranges[kCoordV]);
  const GraphViewRecord& polarSource = current == View4D() ? first3D : from;
  copy(r, polarSource.ranges[kCoordR]);
  copy(theta, polarSource.ranges[kCoordTheta]);
  AGraphView* const views[] = {View2D(0), View2D(1), View3D(0), View3D(1), View4D()};
  for (int k = 0; k < 5; ++k) {
    GraphViewRecord& to = views[k]->Record();
    copy(to.ranges[kCoordT], t);
    if (k >= 2) copy(to.ranges[kCoordU], u), copy(to.ranges[kCoordV], v);
    if (k < 4) copy(to.ranges[kCoordR], r), copy(to.ranges[kCoordTheta], theta);
  }
  copy(View3D(1)->Record().ranges[kCoordPhi], first3D.ranges[kCoordPhi]);
  View3D(0)->Record().passValue = View3D(1)->Record().passValue = 1.2;
}

void EquationPass::Done() {
  for (int32_t p = 0; p < kCoordDisplayParamCount; ++p) {
    if (fCoordDisplay[p] != 0) fPane.ShowParam(CoordDisplayParam(p));
  }
}

void EquationPass::ConstructColorExprs(AGraphColor* colour, GraphColorType type, const ExpressionRecord* option) {
  colour->fType = type;
  const ExpressionRecord* column = option->operands[1];
  PaneHooks::AddToParameterList(column, fDocument);
  PaneHooks::SetDocumentFragmentProgramFlag(fDocument);
  for (int i = 0; i < 3; ++i) {
    ExpressionRecord* entry = Copy(column->operands[i]);
    SubstituteNumbers(entry, fDocument);
    ReplaceAtoms(entry, kIdR, kIdRho);
    ReplaceAtoms(entry, kIdT, kIdU);
    colour->ReplaceEquation(i, Required(Tree(entry)));
  }
  colour->Compile();
}

int32_t EquationPass::Add(ExpressionRecord* e, bool is3D, bool is4D, const CoordinateTransformation& ct,
                          double colourCode, double grain, double opacity, double plottingMode, double xyType) {
  if (e == nullptr) return -1;
  int32_t kind = ExprType(e, is3D, is4D, fDocument);
  if (BaseKind(kind) == 0) return -1;
  // The pass reads the caller's tree and changes only its own copies; a
  // primed equation is read from an unprimed copy.
  const int32_t view = kind & kPrimedKindFlag ? 1 : 0;
  Tree unprimed;
  ExpressionRecord* whole = e;
  if (view == 1) {
    unprimed = Tree(Copy(e));
    if (unprimed == nullptr) return -1;
    ExchangeXYZwithXYZprime(unprimed.get());
    whole = unprimed.get();
  }
  kind = BaseKind(kind);

  MDrawContext* context = is4D ? View4D()->Record().drawContext : View3D(view)->Record().drawContext;
  auto colour = std::make_unique<AGraphColor>(context, fDocument);
  colour->Set(colourCode);

  EquationOptions options;
  const bool surfaceList = IsArrowOrVectorFieldOnSurface(whole, fDocument);
  const bool listed = CanExtractOptions(whole, fDocument);
  if (listed) {
    for (int i = surfaceList ? 2 : 1; i < whole->operandCount; ++i) {
      ExpressionRecord* item = whole->operands[i];
      if (colour->fType != AGraphColor::kHidden && IsColorEquation(item, fDocument, kIdR, 'g', 'b')) {
        ConstructColorExprs(colour.get(), AColorEquations::kRGBEquations, item);
      } else if (colour->fType != AGraphColor::kHidden && IsColorEquation(item, fDocument, 'h', 's', kIdV)) {
        ConstructColorExprs(colour.get(), AColorEquations::kHSVEquations, item);
      } else if (IsComparison(item) && AllNodesComputable(item, fDocument, kFlagsConditions)) {
        options.AddCondition(item);
        if (kInequalityKinds.Contains(kind)) options.zero = Tree(MakeZeroExpr(options.zero.get(), item));
      } else if (IsLogical(item) && CanComputeSomething(item, fDocument, kFlagsConditions - kFlagsCoordinates)) {
        options.AddCondition(item);
      } else if (IsRadiusOption(item)) {
        options.radius = Tree(Copy(item->operands[1]));
      } else if (IsSymbolOption(item, fDocument)) {
        options.symbol = Tree(Copy(item->operands[1]));
      } else if (IsLabelOption(item, fDocument)) {
        options.label = Tree(Copy(item->operands[1]));
      } else if (IsFontSizeOption(item)) {
        options.fontSize = Tree(Copy(item->operands[1]));
      } else if (IsStartOption(item, false, fDocument)) {
        options.startX = Tree(Copy(item->operands[1]->operands[0]));
        options.startY = Tree(Copy(item->operands[1]->operands[1]));
      } else if (KindSet(kItemsToBuilder).Contains(kind)) {
        options.extra = Tree(Copy(item));
      }
    }
  }
  // The equation proper. The pass copies it only when it changes it.
  ExpressionRecord* eq = !surfaceList && listed ? whole->operands[0] : whole;
  Tree owned;
  const auto own = [&] {
    if (!owned) owned = Tree(Copy(eq));
    if (owned) eq = owned.get();
    return owned != nullptr;
  };
  // f(x) = y is read as y = f(x) before conditions fold into its right side.
  if (SidesToExchange(eq)) {
    if (!own()) return -1;
    std::swap(eq->operands[0], eq->operands[1]);
    kind = BaseKind(ExprType(eq, is3D, is4D, fDocument));
  }

  Tree clip;
  if (options.conditions && ((is3D && kThreeDClipKinds.Contains(kind)) || AlwaysClips(kind))) {
    SubstituteNumbers(options.conditions.get(), fDocument);
    ReplaceAtoms(options.conditions.get(), kIdR, kIdRho);
    PaneHooks::SetDocumentFragmentProgramFlag(fDocument);
    clip = std::move(options.conditions);
  }
  if (KindSet(kRadiusUnused).Contains(kind)) options.radius.reset();

  Tree relation;
  if (kInequalityKinds.Contains(kind)) {
    options.zero = Tree(MakeZeroExpr(options.zero.get(), eq));
    ExpressionRecord* copy = Copy(eq);
    relation = Tree(options.conditions ? NewBinop(kOpConditions, copy, options.conditions.release()) : copy);
  }

  if (options.conditions && KindSet(kClipInXY | kClipInPolar).Contains(kind)) {
    if (!own()) return -1;
    const GraphKind named = GraphKind(kind);
    const int32_t dependent = int32_t(KindDependent(kind));
    if (named == GraphKind::kFxnOfX || named == GraphKind::kFxnOfY) {
      FoldConditions(eq, std::move(options.conditions), dependent);
    } else if (eq->opcode == kOpEquals && eq->operandCount == 2) {
      FoldConditions(eq->operands[1], std::move(options.conditions), dependent);
    }
  }

  if (kRightSideParameterKinds.Contains(kind)) {
    if (eq->operandCount >= 2) PaneHooks::AddToParameterList(eq->operands[1], fDocument);
  } else if (!IsExprPointPlot(eq)) {
    PaneHooks::AddToParameterList(eq, fDocument);
  }
  if (HasNumbersToSubstitute(eq, fDocument)) {
    if (!own()) return -1;
    SubstituteNumbers(eq, fDocument);
  }
  if (options.zero) SubstituteNumbers(options.zero.get(), fDocument);
  if (relation) SubstituteNumbers(relation.get(), fDocument);

  const int32_t rows = fGraphLookup.Count();
  EquationBuild build{GraphKind(kind),
                      eq,
                      view,
                      std::move(colour),
                      ct,
                      is3D,
                      is4D,
                      grain,
                      opacity,
                      ToPlottingMode(plottingMode),
                      xyType,
                      std::move(relation),
                      std::move(options.zero),
                      std::move(clip),
                      std::move(options.radius),
                      std::move(options.symbol),
                      std::move(options.label),
                      std::move(options.fontSize),
                      std::move(options.startX),
                      std::move(options.startY),
                      std::move(options.extra)};
  Dispatch(*this, build);
  return fGraphLookup.Count() > rows ? fGraphLookup.Count() - 1 : -1;
}
