#include "shaders/ShaderTransforms.h"

#include <new>

#include "CoreUtilities/MathConstants.h"
#include "expression/OperatorKinds.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "expression/TreeShorthands.h"
#include "expression/TreeSurgery.h"
#include "expression/TreeWalking.h"
#include "expression/VariableIds.h"

namespace {

ExpressionRecord* Exp(ExpressionRecord* a) { return NewUnop(kOpExp, a); }
ExpressionRecord* Asin(ExpressionRecord* a) { return NewUnop(kOpAsin, a); }
ExpressionRecord* Half(ExpressionRecord* a) { return Div(a, Number(2)); }
ExpressionRecord* HalfPiMinus(ExpressionRecord* a) { return Minus(Number(gPi / 2), a); }

// The rebuilt form of a node, or null when the node stays as it is.
class Rewrite {
 public:
  explicit Rewrite(ExpressionRecord* node) : fNode(node) {}

  ExpressionRecord* Make() {
    switch (fNode->opcode) {
      case kOpAtom: return fNode->payload.id == kIdDegree ? Number(gPi / 180) : nullptr;
      case kOpTan: return Div(Sin(A()), Cos(A()));
      case kOpCot: return Div(Cos(A()), Sin(A()));
      case kOpCsc: return Oneover(Sin(A()));
      case kOpSec: return Oneover(Cos(A()));
      case kOpAcos: return HalfPiMinus(Asin(A()));
      case kOpAcsc: return Asin(Oneover(A()));
      case kOpAsec: return HalfPiMinus(Asin(Oneover(A())));
      case kOpSinh: return Half(ExpDifference());
      case kOpCosh: return Half(ExpSum());
      case kOpTanh: return Div(ExpDifference(), ExpSum());
      case kOpCoth: return Div(ExpSum(), ExpDifference());
      case kOpCsch: return Div(Number(2), ExpDifference());
      case kOpSech: return Div(Number(2), ExpSum());
      case kOpAsinh: return Ln(Plus(A(), Sqrt(OnePlus(A()))));
      case kOpAcosh: return Ln(Plus(A(), Sqrt(MinusOne(A()))));
      case kOpAtanh: return Half(Ln(Div(Plus(Number(1), A()), Minus(Number(1), A()))));
      case kOpAcoth: return Half(Ln(Div(Plus(Number(1), A()), Minus(A(), Number(1)))));
      case kOpAcsch: return Ln(Plus(Oneover(A()), Sqrt(OnePlus(Oneover(A())))));
      case kOpAsech: return Ln(Plus(Oneover(A()), Sqrt(MinusOne(Oneover(A())))));
      case kOpLog: return Count() == 2 ? Div(Ln(A()), Ln(B())) : nullptr;
      case kOpSqrt: return Count() == 2 ? Tothe(A(), Oneover(B())) : nullptr;
      case kOpSn: return Count() == 2 ? Times(A(), Tothe(Number(10), B())) : nullptr;
      case kOpCeil: return Neg(NewUnop(kOpFloor, Neg(A())));
      case kOpClamp: return Count() == 3 ? NewBinop(kOpMin, C(), NewBinop(kOpMax, B(), A())) : nullptr;
      default: return nullptr;
    }
  }

  bool Changes() const {
    switch (fNode->opcode) {
      case kOpAtom: return fNode->payload.id == kIdDegree;
      case kOpLog:
      case kOpSqrt:
      case kOpSn: return Count() == 2;
      case kOpClamp: return Count() == 3;
      case kOpTan:
      case kOpCot:
      case kOpCsc:
      case kOpSec:
      case kOpAcos:
      case kOpAcsc:
      case kOpAsec:
      case kOpSinh:
      case kOpCosh:
      case kOpTanh:
      case kOpCoth:
      case kOpCsch:
      case kOpSech:
      case kOpAsinh:
      case kOpAcosh:
      case kOpAtanh:
      case kOpAcoth:
      case kOpAcsch:
      case kOpAsech:
      case kOpCeil: return Count() >= 1;
      default: return false;
    }
  }

 private:
  int32_t Count() const { return fNode->operandCount; }
  ExpressionRecord* Operand(int32_t i) const { return Copy(fNode->operands[i]); }
  ExpressionRecord* A() const { return Operand(0); }
  ExpressionRecord* B() const { return Operand(1); }
  ExpressionRecord* C() const { return Operand(2); }
  ExpressionRecord* ExpDifference() const { return Minus(Exp(A()), Exp(Neg(A()))); }
  ExpressionRecord* ExpSum() const { return Plus(Exp(A()), Exp(Neg(A()))); }

  ExpressionRecord* fNode;
};

}  // namespace

void ShaderTransformNodeReal(ExpressionRecord* node) {
  Rewrite rewrite(node);
  if (!rewrite.Changes()) return;
  ExpressionRecord* built = rewrite.Make();
  if (!built || !DeleteOperandsTransferAndDispose(built, node)) throw std::bad_alloc();
}

bool ShaderTransformChangesNode(ExpressionRecord* node) { return Rewrite(node).Changes(); }

void ShaderTransformTreeReal(ExpressionRecord* root) {
  for (ExpressionRecord* node = LeftMost(root); node;) {
    ExpressionRecord* next = node == root ? nullptr : NextBottomUp(node);
    ShaderTransformNodeReal(node);
    node = next;
  }
}
