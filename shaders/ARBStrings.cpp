#include "shaders/ARBStrings.h"

#include <array>
#include <exception>
#include <memory>
#include <new>

#include "evaluation/AnExpression.h"
#include "evaluation/compiler/StackMachineRewriting.h"
#include "expression/TreeComputability.h"
#include "expression/OperatorKinds.h"
#include "expression/OwnedTree.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "expression/TreeShorthands.h"
#include "expression/TreeWalking.h"
#include "shaders/Expr2ARB.h"
#include "shaders/ShaderTransforms.h"

namespace {

bool IsUnsupported(const ExpressionRecord* node) {
  switch (node->opcode) {
    case kOpFact:
    case kOpFunction:
    case kOpOpPartial:
    case kOpSum:
    case kOpProduct:
    case kOpLParen:
    case kOpChoice:
    case kOpBesselJ:
    case kOpIf:
    case kOpBranch:
    case kOpAnd:
    case kOpOr:
    case kOpInf:
    case kOpSup:
    case kOpPreparedSum:
    case kOpPreparedProduct:
    case kOpSwappedCondition: return true;
    case kOpAtom: {
      const int32_t id = node->payload.id;
      return (id >= 't' && id <= 'v') || (id >= 8 && id <= 13);
    }
    default: return false;
  }
}

bool HasUnsupported(ExpressionRecord* root) {
  for (ExpressionRecord* node = root; node; node = NextTopDownWithin(node, root)) {
    if (IsUnsupported(node)) return true;
  }
  return false;
}

void Prepare(ExpressionRecord* tree, DocumentRecord* document) {
  MungeMinMaxModClamp(tree, document);
  ShaderTransformTreeReal(tree);
  ShaderTransformExprComplex(tree, document);
}

// Most formulas need no preparation: they are then read as they stand,
// without a copy to make and free.
bool PreparationKeeps(ExpressionRecord* tree, DocumentRecord* document) {
  if (tree->parent) return false;
  for (ExpressionRecord* node = tree; node; node = NextTopDownWithin(node, tree)) {
    if (MinMaxModClampMayChange(node) || ShaderTransformChangesNode(node)) return false;
  }
  return !DIM_Complex(tree, document);
}

// The formulas as the generator reads them: each the caller's own tree
// where the preparation would leave it as it is, otherwise a prepared copy,
// freed whatever happens. The hue in degrees is always a copy.
class Formulas {
 public:
  Formulas(const std::array<ExpressionRecord*, 4>& given, bool hueInDegrees, DocumentRecord* document) {
    for (size_t i = 0; i < given.size(); ++i) {
      if (!given[i]) continue;
      const bool inDegrees = i == 0 && hueInDegrees;
      if (!inDegrees && PreparationKeeps(given[i], document)) {
        fTrees[i] = given[i];
        continue;
      }
      ExpressionRecord* copy = Copy(given[i]);
      if (copy && inDegrees) copy = Times(Number(360), copy);
      if (!copy) throw std::bad_alloc();
      fOwned[i].reset(copy);
      Prepare(copy, document);
      fTrees[i] = copy;
    }
  }

  ExpressionRecord* operator[](size_t i) const { return fTrees[i]; }

 private:
  std::array<ExpressionRecord*, 4> fTrees{};
  std::array<Tree, 4> fOwned;
};

bool AnyUnsupported(const std::array<ExpressionRecord*, 4>& trees) {
  for (ExpressionRecord* tree : trees) {
    if (tree && HasUnsupported(tree)) return true;
  }
  return false;
}

ExpressionRecord* TreeOf(AnExpression* e) { return e ? e->Tree() : nullptr; }

std::string Generate(const std::array<ExpressionRecord*, 4>& given, bool hsv, std::vector<ExpressionRecord*>* uniforms,
                     bool rawHSV, DocumentRecord* document) {
  try {
    const bool textured = !given[0] || !given[1] || !given[2];
    if (textured && !given[3]) return {};
    if (AnyUnsupported(given)) return {};
    const Formulas f(given, !textured && hsv && !rawHSV, document);  // hue in turns to degrees
    if (hsv && !textured) return Expr2ARB::getARBStringFromHSV(uniforms, f[0], f[1], f[2], f[3], document, rawHSV);
    return Expr2ARB::getARBString(uniforms, f[0], f[1], f[2], f[3], document);
  } catch (const std::exception&) {
    return {};
  }
}

}  // namespace

std::string OurGetARBString(AnExpression* c1, AnExpression* c2, AnExpression* c3, AnExpression* mask, bool hsv,
                            std::vector<ExpressionRecord*>* uniforms, bool rawHSV, DocumentRecord* document) {
  return Generate({TreeOf(c1), TreeOf(c2), TreeOf(c3), TreeOf(mask)}, hsv, uniforms, rawHSV, document);
}

std::string OurGetARBString(AnExpression* mask, std::vector<ExpressionRecord*>* uniforms, bool textured,
                            DocumentRecord* document) {
  if (textured) return Generate({nullptr, nullptr, nullptr, TreeOf(mask)}, false, uniforms, false, document);
  const Tree white(Number(1));
  if (!white) return {};
  return Generate({white.get(), white.get(), white.get(), TreeOf(mask)}, false, uniforms, false, document);
}
