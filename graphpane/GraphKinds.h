#pragma once

#include <iterator>
#include <cstddef>
#include <cstdint>

#include "expression/VariableIds.h"

// The graph kinds, one row each: everything the classification, the pass of
// adding equations, the builders' dispatch and the graph-kind queries know
// about a kind is read from here. A kind is what ExprType gives: 1 to 80,
// 0 for "can't graph", with kPrimedKindFlag for an equation written in
// x', y', z', r'. Documents and the pass keep the numbers: never renumber.
inline constexpr int32_t kPrimedKindFlag = 0x100;
inline constexpr int32_t kLastGraphKind = 80;

inline constexpr int32_t BaseKind(int32_t kind) { return kind & ~kPrimedKindFlag; }

enum class ViewDimension : uint8_t { kNone, k2D, k3D, k4D };

// The option sets a kind belongs to.
enum KindOption : uint32_t {
  kNoOptions = 0,
  kRadius = 1u << 0,                 // takes "radius"
  kLabel = 1u << 1,                  // takes "symbol", "label" and "fontsize"
  kStartPoint = 1u << 2,             // takes a start point (x, y) = C
  kClipIn3D = 1u << 3,               // its conditions clip, allowed only in a 3-D view
  kClipInAnyView = 1u << 4,          // its conditions are accepted in any view
  kClipInXY = 1u << 5,               // conditions in x and y fold into the function
  kClipInPolar = 1u << 6,            // conditions in r and theta fold into the function
  kTranslucent = 1u << 7,            // may be drawn translucent
  kTranslucentWithRadius = 1u << 8,  // translucent when given a radius
  kRegion = 1u << 9,                 // a region made from its relation and boundary
  kRightSideParameters = 1u << 10,   // only its right side names shown parameters: the d of dx is none
  kSurface = 1u << 11,
  kPointPlot = 1u << 12,
  kFlatInTwoD = 1u << 13,          // a contour or density plot in a 2-D view
  kTableData = 1u << 14,           // plots the document's table data
  kRadiusUnused = 1u << 15,        // accepts a radius and draws without it
  kItemsToBuilder = 1u << 16,      // unknown items go to the builder
  kBuiltFromRightSide = 1u << 17,  // its builder gets the right side alone
};
using KindOptions = uint32_t;

// The coordinate a kind's equation gives: c in c = f(...), y for f(x)
// alone and x for f(y) alone. Conditions folded into the function stand
// for it in this coordinate.
enum class Dependent : int32_t {
  kNone = 0,
  kX = kIdX,
  kY = kIdY,
  kZ = kIdZ,
  kW = kIdW,
  kR = kIdR,
  kTheta = kIdTheta,
  kPhi = kIdPhi,
};

// X(number, name, view, options, dependent, builder)
//   number     the kind as stored and classified; fixed
//   name       its GraphKind
//   view       the view it is drawn in (kinds with kFlatInTwoD also in 2-D)
//   dependent  the coordinate its equation gives, kNone when none
//   builder    the pass's builder that makes its graphs
#define ZL_GRAPH_KIND_TABLE(X)                                                                                     \
  X(0, kCantGraph, kNone, kNoOptions, kNone, NoGraph)                                                              \
  X(1, kY_X, k2D, kClipInXY, kY, Add_kY_X)                                                                         \
  X(2, kX_Y, k2D, kClipInXY, kX, Add_kX_Y)                                                                         \
  X(3, kR_Theta, k2D, kClipInPolar, kR, Add_kR_Theta)                                                              \
  X(4, kTheta_R, k2D, kClipInPolar, kTheta, Add_kTheta_R)                                                          \
  X(5, kZ_XY, k3D, kClipIn3D | kSurface | kFlatInTwoD, kZ, Add_kZ_XYRTheta)                                        \
  X(6, kX_YZ, k3D, kClipIn3D | kSurface, kX, AddInlineSurface)                                                     \
  X(7, kY_XZ, k3D, kClipIn3D | kSurface, kY, AddInlineSurface)                                                     \
  X(8, kR_ThetaPhi, k3D, kClipIn3D | kSurface, kR, Add_kR_ThetaPhi)                                                \
  X(9, kTheta_RPhi, k3D, kClipIn3D | kSurface, kTheta, Add_kTheta_RPhi)                                            \
  X(10, kPhi_RTheta, k3D, kClipIn3D | kSurface, kPhi, Add_kPhi_RTheta)                                             \
  X(11, kR_ThetaZ, k3D, kClipIn3D | kSurface, kR, AddInlineSurface)                                                \
  X(12, kZ_RTheta, k3D, kClipIn3D | kSurface | kFlatInTwoD, kZ, Add_kZ_RTheta)                                     \
  X(13, kZ_XYRTheta, k3D, kClipIn3D | kSurface | kFlatInTwoD, kZ, Add_kZ_XYRTheta)                                 \
  X(14, kTheta_RZ, k3D, kClipIn3D | kSurface, kTheta, AddInlineSurface)                                            \
  X(15, kRTheta_t, k2D, kClipIn3D, kNone, Add_kRTheta_t)                                                           \
  X(16, kXY_XY, k2D, kNoOptions | kRightSideParameters, kNone, Add_kXY_XY)                                         \
  X(17, kXYZ_XYZ, k3D, kRadius | kClipIn3D | kTranslucentWithRadius | kRightSideParameters, kNone, AddInlineField) \
  X(18, kXY_t, k2D, kClipIn3D, kNone, Add_kXY_t)                                                                   \
  X(19, kXYZ_t, k3D, kRadius | kClipIn3D | kTranslucentWithRadius | kBuiltFromRightSide, kNone, Add_kXYZt)         \
  X(20, kXYZW_t, k4D, kClipInAnyView | kRightSideParameters, kNone, Add_kXYZW_t)                                   \
  X(21, kXYZW_uv, k4D, kClipInAnyView | kRightSideParameters | kSurface, kNone, Add_kXYZW_uv)                      \
  X(22, kW_Z, k4D, kClipInAnyView | kRightSideParameters | kSurface, kW, Add_kW_Z)                                 \
  X(23, k4DVertexList, k4D, kNoOptions, kNone, Add_k4DVertexList)                                                  \
  X(24, kRThetaPhi_t, k3D, kRadius | kClipIn3D | kTranslucentWithRadius, kNone, Add_kRThetaPhi_t)                  \
  X(25, kRThetaZ_t, k3D, kRadius | kClipIn3D | kTranslucentWithRadius, kNone, Add_kRThetaZ_t)                      \
  X(26, kXYZ_uv, k3D, kClipIn3D | kSurface | kBuiltFromRightSide, kNone, Add_kXYZuv)                               \
  X(27, kRThetaPhi_uv, k3D, kClipIn3D | kSurface, kNone, Add_kRThetaPhi_uv)                                        \
  X(28, kRThetaZ_uv, k3D, kClipIn3D | kSurface, kNone, AddInlineSurface)                                           \
  X(29, kXYRTh_eq_XYRTh, k2D, kClipInAnyView | kRegion, kNone, Add_kXYRTh_eq_XYRTh)                                \
  X(30, kXYZ_equals_XYZ, k3D, kClipIn3D | kTranslucent, kNone, Add_kXYZ_equals_XYZ)                                \
  X(31, kFxnOfX, k2D, kClipInXY, kY, Add_kFxnOfX)                                                                  \
  X(32, kFxnOfY, k2D, kClipInXY, kX, Add_kFxnOfY)                                                                  \
  X(33, kFxnOfXYRTheta, k3D, kClipIn3D | kSurface | kFlatInTwoD, kNone, Add_kFxnOfXYRTheta)                        \
  X(34, kInequality, k2D, kClipInAnyView | kRegion, kNone, Add_kInequality)                                        \
  X(35, kInequality2, k2D, kClipInAnyView | kRegion, kNone, Add_kInequality2)                                      \
  X(36, kXYZ_XYZ_point, k3D, kRadius | kClipIn3D | kTranslucentWithRadius, kNone, AddInlineField)                  \
  X(37, kODEdydx, k2D, kStartPoint | kRightSideParameters, kNone, Add_kODEdydx)                                    \
  X(38, kODEdrdt, k2D, kStartPoint, kNone, Add_kODEdrdt)                                                           \
  X(39, kZ_t, k2D, kClipIn3D, kZ, Add_kZ_t)                                                                        \
  X(40, kZ_z, k3D, kRadius | kClipIn3D, kNone, Add_kZ_z)                                                           \
  X(41, kFxnOfZ, k3D, kClipIn3D | kSurface | kFlatInTwoD, kNone, Add_kFxnOfZ)                                      \
  X(42, kODEdzdt, k2D, kStartPoint | kRightSideParameters, kNone, Add_kODEdzdt)                                    \
  X(43, kComplexParameter, k2D, kRadius | kLabel, kNone, Add_kComplexParameter)                                    \
  X(44, kComplexConstant, k2D, kRadius | kLabel | kPointPlot, kZ, Add_kComplexConstant)                            \
  X(45, kXY, k2D, kRadius | kLabel | kPointPlot | kRadiusUnused, kNone, Add_kXY)                                   \
  X(46, kXY_equals_XY, k2D, kRadius | kLabel | kPointPlot | kRadiusUnused | kBuiltFromRightSide, kNone, Add_kXY)   \
  X(47, kRTheta, k2D, kRadius | kLabel | kPointPlot | kRadiusUnused, kNone, Add_kRTheta)                           \
  X(48, kData2D, k2D, kRadius | kLabel | kClipInAnyView | kPointPlot | kTableData, kNone, Add_kData2D)             \
  X(49, kXY_Data2D, k2D, kRadius | kLabel | kClipInAnyView | kPointPlot | kTableData | kBuiltFromRightSide, kNone, \
    Add_kData2D)                                                                                                   \
  X(50, kData2DRTheta, k2D, kRadius | kLabel | kClipInAnyView | kPointPlot | kTableData, kNone, Add_kData2DRTheta) \
  X(51, kData3D, k3D, kLabel | kClipInAnyView | kTableData, kNone, Add_kData3D)                                    \
  X(52, kXYZ_Data3D, k3D, kLabel | kClipInAnyView | kTableData | kBuiltFromRightSide, kNone, Add_kData3D)          \
  X(53, kDataRThetaZ, k3D, kLabel | kClipInAnyView | kTableData, kNone, Add_kDataRThetaZ)                          \
  X(54, kDataRThetaPhi, k3D, kLabel | kClipInAnyView | kTableData, kNone, Add_kDataRThetaPhi)                      \
  X(55, kXYt, k2D, kClipIn3D, kNone, Add_kXYt)                                                                     \
  X(56, kXYZt, k3D, kRadius | kClipIn3D | kTranslucentWithRadius, kNone, Add_kXYZt)                                \
  X(57, kNeverProduced, kNone, kNoOptions, kNone, NoGraph)                                                         \
  X(58, kXYZuv, k3D, kClipIn3D | kSurface, kNone, Add_kXYZuv)                                                      \
  X(59, kRGB_xy, k2D, kRightSideParameters | kItemsToBuilder, kNone, Add_kRGB_xy)                                  \
  X(60, kHSV_xy, k2D, kRightSideParameters | kItemsToBuilder, kNone, Add_kRGB_xy)                                  \
  X(61, kArrow, k2D, kNoOptions, kNone, Add_kArrow)                                                                \
  X(62, k3DArrow, k3D, kRadius, kNone, Add_k3DArrow)                                                               \
  X(63, k3DPoint, k3D, kTranslucent, kNone, Add_k3DPoint)                                                          \
  X(64, kXYZ_3DPoint, k3D, kTranslucent | kBuiltFromRightSide, kNone, Add_k3DPoint)                                \
  X(65, k3DPointRThetaZ, k3D, kTranslucent, kNone, Add_k3DPointRThetaZ)                                            \
  X(66, k3DPointRThetaPhi, k3D, kTranslucent, kNone, Add_k3DPointRThetaPhi)                                        \
  X(67, kXYZ_XYZ_implicit, k3D, kRadius | kClipIn3D | kTranslucentWithRadius, kNone, AddInlineField)               \
  X(68, kXYZ_XYZ_xyz, k3D, kRadius | kClipIn3D | kTranslucentWithRadius, kNone, AddInlineField)                    \
  X(69, kXYZ_XYZ_yzx, k3D, kRadius | kClipIn3D | kTranslucentWithRadius, kNone, AddInlineField)                    \
  X(70, kXYZ_XYZ_zxy, k3D, kRadius | kClipIn3D | kTranslucentWithRadius, kNone, Add_kXYZ_XYZ_zxy)                  \
  X(71, kXYZ_XYZ_rthetaphi, k3D, kRadius | kClipIn3D | kTranslucentWithRadius, kNone, Add_kXYZ_XYZ_rthetaphi)      \
  X(72, kXYZ_XYZ_thetarphi, k3D, kRadius | kClipIn3D | kTranslucentWithRadius, kNone, Add_kXYZ_XYZ_thetarphi)      \
  X(73, kXYZ_XYZ_phirtheta, k3D, kRadius | kClipIn3D | kTranslucentWithRadius, kNone, Add_kXYZ_XYZ_phirtheta)      \
  X(74, kXYZ_XYZ_rthetaz, k3D, kRadius | kClipIn3D | kTranslucentWithRadius, kNone, Add_kXYZ_XYZ_rthetaz)          \
  X(75, kXYZ_XYZ_zrtheta, k3D, kRadius | kClipIn3D | kTranslucentWithRadius, kNone, Add_kXYZ_XYZ_zrtheta)          \
  X(76, kXYZ_XYZ_thetarz, k3D, kRadius | kClipIn3D | kTranslucentWithRadius, kNone, Add_kXYZ_XYZ_thetarz)          \
  X(77, kXYZ_XYZ_xyzuv, k3D, kRadius | kClipIn3D | kTranslucentWithRadius, kNone, AddInlineField)                  \
  X(78, kXYZ_XYZ_rthphiuv, k3D, kRadius | kClipIn3D | kTranslucentWithRadius, kNone, Add_kXYZ_XYZ_rthphiuv)        \
  X(79, kXYZ_XYZ_rthetazuv, k3D, kRadius | kClipIn3D | kTranslucentWithRadius, kNone, Add_kXYZ_XYZ_rthetazuv)      \
  X(80, kRotation, k3D, kClipIn3D | kSurface, kNone, Add_kRotation)

enum class GraphKind : int32_t {
#define ZL_GRAPH_KIND_NAME(number, name, view, options, dependent, builder) name = number,
  ZL_GRAPH_KIND_TABLE(ZL_GRAPH_KIND_NAME)
#undef ZL_GRAPH_KIND_NAME
};

inline constexpr int32_t KindNumber(GraphKind kind) { return static_cast<int32_t>(kind); }

struct GraphKindInfo {
  int32_t number;
  ViewDimension view;
  KindOptions options;
  Dependent dependent;
};

inline constexpr GraphKindInfo kGraphKinds[] = {
#define ZL_GRAPH_KIND_INFO(number, name, view, options, dependent, builder) \
  {number, ViewDimension::view, options, Dependent::dependent},
    ZL_GRAPH_KIND_TABLE(ZL_GRAPH_KIND_INFO)
#undef ZL_GRAPH_KIND_INFO
};

namespace graph_kind_numbering {
constexpr bool EachNumberIsItsPlace() {
  for (std::size_t i = 0; i < std::size(kGraphKinds); ++i)
    if (kGraphKinds[i].number != static_cast<int32_t>(i)) return false;
  return true;
}
static_assert(EachNumberIsItsPlace());
// The kinds whose conditions fold into their function say where.
constexpr bool EachFoldingKindHasItsDependent() {
  for (const GraphKindInfo& info : kGraphKinds)
    if ((info.options & (kClipInXY | kClipInPolar)) != 0 && info.dependent == Dependent::kNone) return false;
  return true;
}
static_assert(EachFoldingKindHasItsDependent());
static_assert(std::size(kGraphKinds) == kLastGraphKind + 1);
static_assert(KindNumber(GraphKind::kY_X) == 1 && KindNumber(GraphKind::kRotation) == kLastGraphKind);
}  // namespace graph_kind_numbering

// The row of a kind without the primed flag; null for any other number.
inline constexpr const GraphKindInfo* GraphKindInfoOf(int32_t kind) {
  return kind >= 0 && kind <= kLastGraphKind ? &kGraphKinds[static_cast<std::size_t>(kind)] : nullptr;
}

inline constexpr Dependent KindDependent(int32_t kind) {
  const GraphKindInfo* info = GraphKindInfoOf(kind);
  return info != nullptr ? info->dependent : Dependent::kNone;
}

inline constexpr ViewDimension KindView(int32_t kind) {
  const GraphKindInfo* info = GraphKindInfoOf(kind);
  return info != nullptr ? info->view : ViewDimension::kNone;
}

// The kinds that belong to one of the option sets given.
class KindSet {
 public:
  constexpr explicit KindSet(KindOptions options) : fOptions(options) {}
  constexpr bool Contains(int32_t kind) const {
    const GraphKindInfo* info = GraphKindInfoOf(kind);
    return info != nullptr && (info->options & fOptions) != 0;
  }

 private:
  KindOptions fOptions;
};

inline constexpr KindSet kRadiusKinds{kRadius};
inline constexpr KindSet kLabelKinds{kLabel};
inline constexpr KindSet kStartPointKinds{kStartPoint};
inline constexpr KindSet kThreeDClipKinds{kClipIn3D};
inline constexpr KindSet kAnyViewClipKinds{kClipInAnyView};
inline constexpr KindSet kSurfaceKinds{kSurface};
inline constexpr KindSet kPointPlotKinds{kPointPlot};
inline constexpr KindSet kTranslucentKinds{kTranslucent};
inline constexpr KindSet kTranslucentWithRadiusKinds{kTranslucentWithRadius};
inline constexpr KindSet kFlatInTwoDKinds{kFlatInTwoD};
inline constexpr KindSet kInequalityKinds{kRegion};
inline constexpr KindSet kRightSideParameterKinds{kRightSideParameters};
inline constexpr KindSet kDataKinds{kTableData};

inline constexpr bool IsFourDKind(int32_t kind) { return KindView(kind) == ViewDimension::k4D; }
inline constexpr bool IsDataKind(int32_t kind) { return kDataKinds.Contains(kind); }
// Drawn in a 3-D view whatever the view the equation goes to.
inline constexpr bool IsThreeDOnlyKind(int32_t kind) {
  return KindView(kind) == ViewDimension::k3D && !kFlatInTwoDKinds.Contains(kind);
}
