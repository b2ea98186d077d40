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
    case 5:
    case 13: Add_kZ_XYRTheta(e, k, b.colour, b.ct, b.grain, b.clip.release(), b.mode, b.opacity, b.xyType); break;
    case 12: Add_kZ_RTheta(e, k, b.colour, b.ct, b.grain, b.clip.release(), b.mode, b.opacity, b.xyType); break;
    case 33: Add_kFxnOfXYRTheta(e, k, b.colour, b.ct, b.grain, b.clip.release(), b.mode, b.opacity, b.xyType); break;
    case 41: Add_kFxnOfZ(e, k, b.colour, b.ct, b.grain, b.clip.release(), b.mode, b.opacity, b.xyType); break;
    case 8: Add_kR_ThetaPhi(e, k, b.colour, b.ct, b.grain, b.clip.release(), b.mode, b.opacity); break;
    case 9: Add_kTheta_RPhi(e, k, b.colour, b.ct, b.grain, b.clip.release(), b.mode, b.opacity); break;
    case 10: Add_kPhi_RTheta(e, k, b.colour, b.ct, b.grain, b.clip.release(), b.mode, b.opacity); break;
    case 27: Add_kRThetaPhi_uv(e, k, b.colour, b.ct, b.grain, b.clip.release(), b.mode, b.opacity); break;
    case 30: Add_kXYZ_equals_XYZ(e, k, b.colour, b.ct, b.grain, b.clip.release(), b.mode, b.opacity); break;
    case 21: Add_kXYZW_uv(e, k, b.colour, b.grain, b.clip.release(), b.opacity); break;
    case 22: Add_kW_Z(e, k, b.colour, b.grain, b.clip.release(), b.opacity); break;
    case 20: Add_kXYZW_t(e, k, b.colour, b.grain, b.clip.release()); break;
    case 15: Add_kRTheta_t(e, k, b.colour, b.ct, b.grain, b.clip.release(), b.is3D); break;
    case 24: Add_kRThetaPhi_t(e, k, b.colour, b.ct, b.grain, b.clip.release(), b.radius.release(), b.opacity); break;
    case 25: Add_kRThetaZ_t(e, k, b.colour, b.ct, b.grain, b.clip.release(), b.radius.release(), b.opacity); break;
    case 40: Add_kZ_z(e, k, b.colour, b.ct, b.grain, b.clip.release(), b.radius.release(), b.opacity); break;
    case 6: case 7: case 11: case 14: case 28: AddInlineSurface(b); break;
    case 17: case 36: case 67: case 68: case 69: case 77: AddInlineField(b); break;
    default: break;
  }
}
