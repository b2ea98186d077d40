#include "graphpane/AGraphPane.h"
#include "graphpane/PassTrees.h"

void AGraphPane::Dispatch(EquationBuild& b) {
  ExpressionRecord* e = b.equation;
  const int32_t k = b.view;
  // Some kinds are built from the right side alone.
  ExpressionRecord* rhs = e->operandCount >= 2 ? e->operands[1] : e;
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
    case 16: Add_kXY_XY(e, k, b.colour, b.ct, b.grain, b.xyType); break;
    case 18: Add_kXY_t(e, k, b.colour, b.ct, b.grain, b.clip.release(), b.is3D); break;
    case 39: Add_kZ_t(e, k, b.colour, b.ct, b.grain, b.clip.release(), b.is3D); break;
    case 55: Add_kXYt(e, k, b.colour, b.ct, b.grain, b.clip.release(), b.is3D); break;
    case 19:
    case 56:
      Add_kXYZt(b.kind == 19 ? rhs : e, k, b.colour, b.ct, b.grain, b.clip.release(), b.radius.release(), b.opacity);
      break;
    case 26:
    case 58: Add_kXYZuv(b.kind == 26 ? rhs : e, k, b.colour, b.ct, b.grain, b.clip.release(), b.mode, b.opacity); break;
    case 80: Add_kRotation(e, k, b.colour, b.ct, b.grain, b.clip.release(), b.mode, b.opacity); break;
    case 23: Add_k4DVertexList(e, k, b.colour); break;
    case 37: Add_kODEdydx(e, k, b.colour, b.ct, b.grain, b.startX.release(), b.startY.release()); break;
    case 38: Add_kODEdrdt(e, k, b.colour, b.ct, b.grain, b.startX.release(), b.startY.release()); break;
    case 42: Add_kODEdzdt(e, k, b.colour, b.ct, b.grain, b.startX.release(), b.startY.release()); break;
    case 43:
      Add_kComplexParameter(e, k, b.colour, b.ct, b.symbol.release(), b.label.release(), b.fontSize.release());
      break;
    case 44:
      Add_kComplexConstant(e, k, b.colour, b.ct, b.symbol.release(), b.label.release(), b.fontSize.release());
      break;
    case 45:
    case 46:
      Add_kXY(b.kind == 46 ? rhs : e, k, b.colour, b.ct, b.symbol.release(), b.label.release(), b.fontSize.release());
      break;
    case 47: Add_kRTheta(e, k, b.colour, b.ct, b.symbol.release(), b.label.release(), b.fontSize.release()); break;
    case 48:
    case 49:
    case 50:
    case 51:
    case 52:
    case 53:
    case 54: AddDataPlot(b); break;
    case 59:
    case 60: Add_kRGB_xy(e, k, b.colour, b.ct, b.extra.release(), b.kind == 60); break;
    case 61: Add_kArrow(e, k, b.colour, b.ct); break;
    case 62: Add_k3DArrow(e, k, b.colour, b.ct, b.radius.release()); break;
    case 63:
    case 64: Add_k3DPoint(b.kind == 64 ? rhs : e, k, b.colour, b.ct, b.grain, b.opacity); break;
    case 65: Add_k3DPointRThetaZ(e, k, b.colour, b.ct, b.grain, b.opacity); break;
    case 66: Add_k3DPointRThetaPhi(e, k, b.colour, b.ct, b.grain, b.opacity); break;
    case 70: Add_kXYZ_XYZ_zxy(e, k, b.colour, b.ct, b.grain, b.clip.release(), b.radius.release(), b.opacity); break;
    case 71:
      Add_kXYZ_XYZ_rthetaphi(e, k, b.colour, b.ct, b.grain, b.clip.release(), b.radius.release(), b.opacity);
      break;
    case 72:
      Add_kXYZ_XYZ_thetarphi(e, k, b.colour, b.ct, b.grain, b.clip.release(), b.radius.release(), b.opacity);
      break;
    case 73:
      Add_kXYZ_XYZ_phirtheta(e, k, b.colour, b.ct, b.grain, b.clip.release(), b.radius.release(), b.opacity);
      break;
    case 74:
      Add_kXYZ_XYZ_rthetaz(e, k, b.colour, b.ct, b.grain, b.clip.release(), b.radius.release(), b.opacity);
      break;
    case 75:
      Add_kXYZ_XYZ_zrtheta(e, k, b.colour, b.ct, b.grain, b.clip.release(), b.radius.release(), b.opacity);
      break;
    case 76:
      Add_kXYZ_XYZ_thetarz(e, k, b.colour, b.ct, b.grain, b.clip.release(), b.radius.release(), b.opacity);
      break;
    case 78:
      Add_kXYZ_XYZ_rthphiuv(e, k, b.colour, b.ct, b.grain, b.clip.release(), b.radius.release(), b.opacity);
      break;
    case 79:
      Add_kXYZ_XYZ_rthetazuv(e, k, b.colour, b.ct, b.grain, b.clip.release(), b.radius.release(), b.opacity);
      break;
    case 6:
    case 7:
    case 11:
    case 14:
    case 28: AddInlineSurface(b); break;
    case 17:
    case 36:
    case 67:
    case 68:
    case 69:
    case 77: AddInlineField(b); break;
    default: break;
  }
}

// Data plots: the conditions, radius and styles go with the columns.
void AGraphPane::AddDataPlot(EquationBuild& b) {
  ExpressionRecord* const style[5] = {b.clip.release(), b.radius.release(), b.symbol.release(), b.label.release(),
                                      b.fontSize.release()};
  ExpressionRecord* e = b.equation;
  ExpressionRecord* rhs = e->operandCount >= 2 ? e->operands[1] : e;
  switch (b.kind) {
    case 48: Add_kData2D(e, b.view, b.colour, b.ct, style, fDocument); break;
    case 49: Add_kData2D(rhs, b.view, b.colour, b.ct, style, fDocument); break;
    case 50: Add_kData2DRTheta(e, b.view, b.colour, b.ct, style, fDocument); break;
    case 51: Add_kData3D(e, b.view, b.colour, b.ct, style, fDocument); break;
    case 52: Add_kData3D(rhs, b.view, b.colour, b.ct, style, fDocument); break;
    case 53: Add_kDataRThetaZ(e, b.view, b.colour, b.ct, style, fDocument); break;
    default: Add_kDataRThetaPhi(e, b.view, b.colour, b.ct, style, fDocument); break;
  }
}
