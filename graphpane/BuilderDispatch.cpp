#include "graphpane/AGraphPane.h"
#include "graphpane/PassTrees.h"

void AGraphPane::Dispatch(EquationBuild& b) {
  ExpressionRecord* e = b.equation;
  const int32_t k = b.view;
  switch (b.kind) {
    case 1: Add_kY_X(e, k, b.colour, b.ct, b.mode); break;
    case 2: Add_kX_Y(e, k, b.colour, b.ct, b.mode); break;
    case 31: Add_kFxnOfX(e, k, b.colour, b.ct, b.mode); break;
    case 32: Add_kFxnOfY(e, k, b.colour, b.ct, b.mode); break;
    case 3: Add_kR_Theta(e, k, b.colour, b.ct, b.grain); break;
    case 4: Add_kTheta_R(e, k, b.colour, b.ct, b.grain); break;
    case 29: Add_kXYRTh_eq_XYRTh(b.relation.release(), k, b.colour, b.ct, b.mode, b.zero.release()); break;
    case 34: Add_kInequality(b.relation.release(), k, b.colour, b.ct, b.mode, b.zero.release()); break;
    case 35: Add_kInequality2(b.relation.release(), k, b.colour, b.ct, b.mode, b.zero.release()); break;
    default: break;
  }
}
