#include "graphpane/GraphBuilders.h"
#include "graphpane/GraphKinds.h"
#include "graphpane/PassTrees.h"

namespace {

void NoGraph(EquationPass&, EquationBuild&) {}

using Builder = void (*)(EquationPass&, EquationBuild&);

constexpr Builder kKindBuilders[] = {
#define ZL_KIND_BUILDER(number, name, view, options, dependent, builder) builder,
    ZL_GRAPH_KIND_TABLE(ZL_KIND_BUILDER)
#undef ZL_KIND_BUILDER
};

}  // namespace

void Dispatch(EquationPass& pass, EquationBuild& b) {
  const int32_t kind = KindNumber(b.kind);
  if (GraphKindInfoOf(kind) == nullptr) return;
  ExpressionRecord* e = b.equation;
  if (KindSet(kBuiltFromRightSide).Contains(kind) && e->operandCount >= 2) b.equation = e->operands[1];
  kKindBuilders[kind](pass, b);
}
