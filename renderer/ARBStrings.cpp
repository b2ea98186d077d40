#include "renderer/ARBStrings.h"

#include <array>
#include <exception>
#include <new>

#include "evaluation/AnExpression.h"
#include "evaluation/StackMachineRewriting.h"
#include "expression/OperatorKinds.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeShorthands.h"
#include "expression/TreeWalking.h"
#include "renderer/Expr2ARB.h"
#include "renderer/ShaderTransforms.h"

namespace {

bool IsUnsupported(const ExpressionRecord* node) {
  switch (node->opcode) {
    case kOpFact: case kOpFunction: case kOpOpPartial: case kOpSum: case kOpProduct: case kOpLParen:
    case kOpChoice: case kOpBesselJ: case kOpIf: case kOpBranch: case kOpAnd: case kOpOr: case kOpInf:
    case kOpSup: case kOpPreparedSum: case kOpPreparedProduct: case kOpSwappedCondition:
      return true;
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

// Copies of the caller's formulas, freed whatever happens.
class Formulas {
 public:
  Formulas(const std::array<ExpressionRecord*, 4>& given) {
    for (size_t i = 0; i < given.size(); ++i) {
      if (!given[i]) continue;
      fTrees[i] = Copy(given[i]);
      if (!fTrees[i]) throw std::bad_alloc();
    }
  }
  ~Formulas() {
    for (ExpressionRecord* tree : fTrees) DisposExpr(tree);
  }
  Formulas(const Formulas&) = delete;
  Formulas& operator=(const Formulas&) = delete;

  ExpressionRecord*& operator[](size_t i) { return fTrees[i]; }
  bool AnyUnsupported() const {
    for (ExpressionRecord* tree : fTrees) {
      if (tree && HasUnsupported(tree)) return true;
    }
    return false;
  }

 private:
  std::array<ExpressionRecord*, 4> fTrees{};
};

void Prepare(ExpressionRecord* tree, DocumentRecord* document) {
  if (!tree) return;
  MungeMinMaxModClamp(tree, document);
  ShaderTransformTreeReal(tree);
  ShaderTransformExprComplex(tree, document);
}

ExpressionRecord* TreeOf(AnExpression* e) { return e ? e->Tree() : nullptr; }

std::string Generate(const std::array<ExpressionRecord*, 4>& given, bool hsv, std::vector<ExpressionRecord*>* uniforms,
                     bool rawHSV, DocumentRecord* document) {
  try {
    Formulas f(given);
    const bool textured = !f[0] || !f[1] || !f[2];
    if (textured && !f[3]) return {};
    if (!textured && hsv && !rawHSV) {
      f[0] = Times(Number(360), f[0]);  // turns to degrees
      if (!f[0]) throw std::bad_alloc();
    }
    if (f.AnyUnsupported()) return {};
    for (size_t i = 0; i < 4; ++i) Prepare(f[i], document);
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
  ExpressionRecord* white = Number(1);
  if (!white) return {};
  const std::string text = Generate({white, white, white, TreeOf(mask)}, false, uniforms, false, document);
  DisposExpr(white);
  return text;
}
