#pragma once

#include "graphpane/PassTrees.h"

class AGraphPane;

// The builders of the graph kinds, one per name in the builder column of
// the kinds' table (GraphKinds.h), called only through Dispatch. Each makes
// its graphs from the build, registers them with the pane and mirrors them
// into the second view; what it does not hand on is freed with the build.
void Dispatch(AGraphPane& pane, EquationBuild& b);

// FunctionGraphBuilders.cpp
void Add_kY_X(AGraphPane& pane, EquationBuild& b);
void Add_kX_Y(AGraphPane& pane, EquationBuild& b);
void Add_kFxnOfX(AGraphPane& pane, EquationBuild& b);
void Add_kFxnOfY(AGraphPane& pane, EquationBuild& b);
void Add_kR_Theta(AGraphPane& pane, EquationBuild& b);
void Add_kTheta_R(AGraphPane& pane, EquationBuild& b);
void Add_kInequality(AGraphPane& pane, EquationBuild& b);
void Add_kXYRTh_eq_XYRTh(AGraphPane& pane, EquationBuild& b);
void Add_kInequality2(AGraphPane& pane, EquationBuild& b);

// SurfaceBuilders.cpp
void Add_kZ_XYRTheta(AGraphPane& pane, EquationBuild& b);
void Add_kZ_RTheta(AGraphPane& pane, EquationBuild& b);
void Add_kFxnOfXYRTheta(AGraphPane& pane, EquationBuild& b);
void Add_kFxnOfZ(AGraphPane& pane, EquationBuild& b);
void Add_kR_ThetaPhi(AGraphPane& pane, EquationBuild& b);
void Add_kTheta_RPhi(AGraphPane& pane, EquationBuild& b);
void Add_kPhi_RTheta(AGraphPane& pane, EquationBuild& b);
void Add_kRThetaPhi_uv(AGraphPane& pane, EquationBuild& b);
void Add_kXYZ_equals_XYZ(AGraphPane& pane, EquationBuild& b);
void Add_kW_Z(AGraphPane& pane, EquationBuild& b);
void Add_kXYZW_uv(AGraphPane& pane, EquationBuild& b);

// SpaceCurveBuilders.cpp
void Add_kRThetaZ_t(AGraphPane& pane, EquationBuild& b);
void Add_kRThetaPhi_t(AGraphPane& pane, EquationBuild& b);
void Add_kZ_z(AGraphPane& pane, EquationBuild& b);
void Add_kXYZW_t(AGraphPane& pane, EquationBuild& b);
void Add_kRTheta_t(AGraphPane& pane, EquationBuild& b);

// PointDataBuilders.cpp
void Add_kXY(AGraphPane& pane, EquationBuild& b);
void Add_kRTheta(AGraphPane& pane, EquationBuild& b);
void Add_kComplexConstant(AGraphPane& pane, EquationBuild& b);
void Add_kComplexParameter(AGraphPane& pane, EquationBuild& b);
void Add_kData2D(AGraphPane& pane, EquationBuild& b);
void Add_kData2DRTheta(AGraphPane& pane, EquationBuild& b);
void Add_kData3D(AGraphPane& pane, EquationBuild& b);
void Add_kDataRThetaZ(AGraphPane& pane, EquationBuild& b);
void Add_kDataRThetaPhi(AGraphPane& pane, EquationBuild& b);
void Add_k3DPoint(AGraphPane& pane, EquationBuild& b);
void Add_k3DPointRThetaZ(AGraphPane& pane, EquationBuild& b);
void Add_k3DPointRThetaPhi(AGraphPane& pane, EquationBuild& b);
void Add_kArrow(AGraphPane& pane, EquationBuild& b);
void Add_k3DArrow(AGraphPane& pane, EquationBuild& b);

// CurveFieldBuilders.cpp
void Add_kXYt(AGraphPane& pane, EquationBuild& b);
void Add_kXY_t(AGraphPane& pane, EquationBuild& b);
void Add_kZ_t(AGraphPane& pane, EquationBuild& b);
void Add_kXYZt(AGraphPane& pane, EquationBuild& b);
void Add_kXYZuv(AGraphPane& pane, EquationBuild& b);
void Add_kRGB_xy(AGraphPane& pane, EquationBuild& b);
void Add_k4DVertexList(AGraphPane& pane, EquationBuild& b);
void Add_kODEdydx(AGraphPane& pane, EquationBuild& b);
void Add_kODEdrdt(AGraphPane& pane, EquationBuild& b);
void Add_kODEdzdt(AGraphPane& pane, EquationBuild& b);
void Add_kXY_XY(AGraphPane& pane, EquationBuild& b);

// RotationBuilder.cpp
void Add_kRotation(AGraphPane& pane, EquationBuild& b);

// StartSurfaceBuilders.cpp: fields started on a surface, one per
// coordinate form of the surface.
void Add_kXYZ_XYZ_zxy(AGraphPane& pane, EquationBuild& b);
void Add_kXYZ_XYZ_rthetaphi(AGraphPane& pane, EquationBuild& b);
void Add_kXYZ_XYZ_thetarphi(AGraphPane& pane, EquationBuild& b);
void Add_kXYZ_XYZ_phirtheta(AGraphPane& pane, EquationBuild& b);
void Add_kXYZ_XYZ_rthetaz(AGraphPane& pane, EquationBuild& b);
void Add_kXYZ_XYZ_zrtheta(AGraphPane& pane, EquationBuild& b);
void Add_kXYZ_XYZ_thetarz(AGraphPane& pane, EquationBuild& b);
void Add_kXYZ_XYZ_rthphiuv(AGraphPane& pane, EquationBuild& b);
void Add_kXYZ_XYZ_rthetazuv(AGraphPane& pane, EquationBuild& b);

// InlineBuilders.cpp: the surfaces and fields the table's other rows name.
void AddInlineSurface(AGraphPane& pane, EquationBuild& b);
void AddInlineField(AGraphPane& pane, EquationBuild& b);
