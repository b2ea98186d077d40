#pragma once

#include "graphpane/PassTrees.h"

class EquationPass;

// The builders of the graph kinds, one per name in the builder column of
// the kinds' table (GraphKinds.h), called only through Dispatch. Each makes
// its graphs from the build, registers them through the pass and mirrors them
// into the second view; what it does not hand on is freed with the build.
void Dispatch(EquationPass& pass, EquationBuild& b);

// FunctionGraphBuilders.cpp
void Add_kY_X(EquationPass& pass, EquationBuild& b);
void Add_kX_Y(EquationPass& pass, EquationBuild& b);
void Add_kFxnOfX(EquationPass& pass, EquationBuild& b);
void Add_kFxnOfY(EquationPass& pass, EquationBuild& b);
void Add_kR_Theta(EquationPass& pass, EquationBuild& b);
void Add_kTheta_R(EquationPass& pass, EquationBuild& b);
void Add_kInequality(EquationPass& pass, EquationBuild& b);
void Add_kXYRTh_eq_XYRTh(EquationPass& pass, EquationBuild& b);
void Add_kInequality2(EquationPass& pass, EquationBuild& b);

// SurfaceBuilders.cpp
void Add_kZ_XYRTheta(EquationPass& pass, EquationBuild& b);
void Add_kZ_RTheta(EquationPass& pass, EquationBuild& b);
void Add_kFxnOfXYRTheta(EquationPass& pass, EquationBuild& b);
void Add_kFxnOfZ(EquationPass& pass, EquationBuild& b);
void Add_kR_ThetaPhi(EquationPass& pass, EquationBuild& b);
void Add_kTheta_RPhi(EquationPass& pass, EquationBuild& b);
void Add_kPhi_RTheta(EquationPass& pass, EquationBuild& b);
void Add_kRThetaPhi_uv(EquationPass& pass, EquationBuild& b);
void Add_kXYZ_equals_XYZ(EquationPass& pass, EquationBuild& b);
void Add_kW_Z(EquationPass& pass, EquationBuild& b);
void Add_kXYZW_uv(EquationPass& pass, EquationBuild& b);

// SpaceCurveBuilders.cpp
void Add_kRThetaZ_t(EquationPass& pass, EquationBuild& b);
void Add_kRThetaPhi_t(EquationPass& pass, EquationBuild& b);
void Add_kZ_z(EquationPass& pass, EquationBuild& b);
void Add_kXYZW_t(EquationPass& pass, EquationBuild& b);
void Add_kRTheta_t(EquationPass& pass, EquationBuild& b);

// PointDataBuilders.cpp
void Add_kXY(EquationPass& pass, EquationBuild& b);
void Add_kRTheta(EquationPass& pass, EquationBuild& b);
void Add_kComplexConstant(EquationPass& pass, EquationBuild& b);
void Add_kComplexParameter(EquationPass& pass, EquationBuild& b);
void Add_kData2D(EquationPass& pass, EquationBuild& b);
void Add_kData2DRTheta(EquationPass& pass, EquationBuild& b);
void Add_kData3D(EquationPass& pass, EquationBuild& b);
void Add_kDataRThetaZ(EquationPass& pass, EquationBuild& b);
void Add_kDataRThetaPhi(EquationPass& pass, EquationBuild& b);
void Add_k3DPoint(EquationPass& pass, EquationBuild& b);
void Add_k3DPointRThetaZ(EquationPass& pass, EquationBuild& b);
void Add_k3DPointRThetaPhi(EquationPass& pass, EquationBuild& b);
void Add_kArrow(EquationPass& pass, EquationBuild& b);
void Add_k3DArrow(EquationPass& pass, EquationBuild& b);

// CurveFieldBuilders.cpp
void Add_kXYt(EquationPass& pass, EquationBuild& b);
void Add_kXY_t(EquationPass& pass, EquationBuild& b);
void Add_kZ_t(EquationPass& pass, EquationBuild& b);
void Add_kXYZt(EquationPass& pass, EquationBuild& b);
void Add_kXYZuv(EquationPass& pass, EquationBuild& b);
void Add_kRGB_xy(EquationPass& pass, EquationBuild& b);
void Add_k4DVertexList(EquationPass& pass, EquationBuild& b);
void Add_kODEdydx(EquationPass& pass, EquationBuild& b);
void Add_kODEdrdt(EquationPass& pass, EquationBuild& b);
void Add_kODEdzdt(EquationPass& pass, EquationBuild& b);
void Add_kXY_XY(EquationPass& pass, EquationBuild& b);

// RotationBuilder.cpp
void Add_kRotation(EquationPass& pass, EquationBuild& b);

// StartSurfaceBuilders.cpp: fields started on a surface, one per
// coordinate form of the surface.
void Add_kXYZ_XYZ_zxy(EquationPass& pass, EquationBuild& b);
void Add_kXYZ_XYZ_rthetaphi(EquationPass& pass, EquationBuild& b);
void Add_kXYZ_XYZ_thetarphi(EquationPass& pass, EquationBuild& b);
void Add_kXYZ_XYZ_phirtheta(EquationPass& pass, EquationBuild& b);
void Add_kXYZ_XYZ_rthetaz(EquationPass& pass, EquationBuild& b);
void Add_kXYZ_XYZ_zrtheta(EquationPass& pass, EquationBuild& b);
void Add_kXYZ_XYZ_thetarz(EquationPass& pass, EquationBuild& b);
void Add_kXYZ_XYZ_rthphiuv(EquationPass& pass, EquationBuild& b);
void Add_kXYZ_XYZ_rthetazuv(EquationPass& pass, EquationBuild& b);

// InlineBuilders.cpp: the surfaces and fields the table's other rows name.
void AddInlineSurface(EquationPass& pass, EquationBuild& b);
void AddInlineField(EquationPass& pass, EquationBuild& b);
