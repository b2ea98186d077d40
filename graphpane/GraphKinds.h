#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>

// The graph kinds ExprType gives: 1 to 80, 0 for "can't graph", with
// kPrimedKindFlag for an equation written in x', y', z', r'.
inline constexpr int32_t kPrimedKindFlag = 0x100;
inline constexpr int32_t kLastGraphKind = 80;

inline constexpr int32_t BaseKind(int32_t kind) { return kind & ~kPrimedKindFlag; }

enum class ViewDimension : uint8_t { kNone, k2D, k3D, k4D };

struct GraphKindInfo {
  ViewDimension view;
  // Drawn as a contour or density plot in a 2-D view.
  bool flatInTwoD;
  // The member of AGraphPane that builds it; null when AddEquation builds
  // it itself.
  const char* builder;
};

inline constexpr std::array<GraphKindInfo, kLastGraphKind + 1> kGraphKinds = {{
    {ViewDimension::kNone, false, nullptr},  // 0
    {ViewDimension::k2D, false, "Add_kY_X"},
    {ViewDimension::k2D, false, "Add_kX_Y"},
    {ViewDimension::k2D, false, "Add_kR_Theta"},
    {ViewDimension::k2D, false, "Add_kTheta_R"},
    {ViewDimension::k3D, true, "Add_kZ_XYRTheta"},  // 5
    {ViewDimension::k3D, false, nullptr},
    {ViewDimension::k3D, false, nullptr},
    {ViewDimension::k3D, false, "Add_kR_ThetaPhi"},
    {ViewDimension::k3D, false, "Add_kTheta_RPhi"},
    {ViewDimension::k3D, false, "Add_kPhi_RTheta"},  // 10
    {ViewDimension::k3D, false, nullptr},
    {ViewDimension::k3D, true, "Add_kZ_RTheta"},
    {ViewDimension::k3D, true, "Add_kZ_XYRTheta"},
    {ViewDimension::k3D, false, nullptr},
    {ViewDimension::k2D, false, "Add_kRTheta_t"},  // 15
    {ViewDimension::k2D, false, "Add_kXY_XY"},
    {ViewDimension::k3D, false, nullptr},
    {ViewDimension::k2D, false, "Add_kXY_t"},
    {ViewDimension::k3D, false, "Add_kXYZt"},
    {ViewDimension::k4D, false, "Add_kXYZW_t"},  // 20
    {ViewDimension::k4D, false, "Add_kXYZW_uv"},
    {ViewDimension::k4D, false, "Add_kW_Z"},
    {ViewDimension::k4D, false, "Add_k4DVertexList"},
    {ViewDimension::k3D, false, "Add_kRThetaPhi_t"},
    {ViewDimension::k3D, false, "Add_kRThetaZ_t"},  // 25
    {ViewDimension::k3D, false, "Add_kXYZuv"},
    {ViewDimension::k3D, false, "Add_kRThetaPhi_uv"},
    {ViewDimension::k3D, false, nullptr},
    {ViewDimension::k2D, false, "Add_kXYRTh_eq_XYRTh"},
    {ViewDimension::k3D, false, "Add_kXYZ_equals_XYZ"},  // 30
    {ViewDimension::k2D, false, "Add_kFxnOfX"},
    {ViewDimension::k2D, false, "Add_kFxnOfY"},
    {ViewDimension::k3D, true, "Add_kFxnOfXYRTheta"},
    {ViewDimension::k2D, false, "Add_kInequality"},
    {ViewDimension::k2D, false, "Add_kInequality2"},  // 35
    {ViewDimension::k3D, false, nullptr},
    {ViewDimension::k2D, false, "Add_kODEdydx"},
    {ViewDimension::k2D, false, "Add_kODEdrdt"},
    {ViewDimension::k2D, false, "Add_kZ_t"},
    {ViewDimension::k3D, false, "Add_kZ_z"},  // 40
    {ViewDimension::k3D, true, "Add_kFxnOfZ"},
    {ViewDimension::k2D, false, "Add_kODEdzdt"},
    {ViewDimension::k2D, false, "Add_kComplexParameter"},
    {ViewDimension::k2D, false, "Add_kComplexConstant"},
    {ViewDimension::k2D, false, "Add_kXY"},  // 45
    {ViewDimension::k2D, false, "Add_kXY"},
    {ViewDimension::k2D, false, "Add_kRTheta"},
    {ViewDimension::k2D, false, "Add_kData2D"},
    {ViewDimension::k2D, false, "Add_kData2D"},
    {ViewDimension::k2D, false, "Add_kData2DRTheta"},  // 50
    {ViewDimension::k3D, false, "Add_kData3D"},
    {ViewDimension::k3D, false, "Add_kData3D"},
    {ViewDimension::k3D, false, "Add_kDataRThetaZ"},
    {ViewDimension::k3D, false, "Add_kDataRThetaPhi"},
    {ViewDimension::k2D, false, "Add_kXYt"},  // 55
    {ViewDimension::k3D, false, "Add_kXYZt"},
    {ViewDimension::kNone, false, nullptr},  // 57 is never produced
    {ViewDimension::k3D, false, "Add_kXYZuv"},
    {ViewDimension::k2D, false, "Add_kRGB_xy"},
    {ViewDimension::k2D, false, "Add_kRGB_xy"},  // 60
    {ViewDimension::k2D, false, "Add_kArrow"},
    {ViewDimension::k3D, false, "Add_k3DArrow"},
    {ViewDimension::k3D, false, "Add_k3DPoint"},
    {ViewDimension::k3D, false, "Add_k3DPoint"},
    {ViewDimension::k3D, false, "Add_k3DPointRThetaZ"},  // 65
    {ViewDimension::k3D, false, "Add_k3DPointRThetaPhi"},
    {ViewDimension::k3D, false, nullptr},
    {ViewDimension::k3D, false, nullptr},
    {ViewDimension::k3D, false, nullptr},
    {ViewDimension::k3D, false, "Add_kXYZ_XYZ_zxy"},  // 70
    {ViewDimension::k3D, false, "Add_kXYZ_XYZ_rthetaphi"},
    {ViewDimension::k3D, false, "Add_kXYZ_XYZ_thetarphi"},
    {ViewDimension::k3D, false, "Add_kXYZ_XYZ_phirtheta"},
    {ViewDimension::k3D, false, "Add_kXYZ_XYZ_rthetaz"},
    {ViewDimension::k3D, false, "Add_kXYZ_XYZ_zrtheta"},  // 75
    {ViewDimension::k3D, false, "Add_kXYZ_XYZ_thetarz"},
    {ViewDimension::k3D, false, nullptr},
    {ViewDimension::k3D, false, "Add_kXYZ_XYZ_rthphiuv"},
    {ViewDimension::k3D, false, "Add_kXYZ_XYZ_rthetazuv"},
    {ViewDimension::k3D, false, "Add_kRotation"},  // 80
}};

// A set of kinds given as single kinds and inclusive ranges {first, last}.
class KindSet {
 public:
  struct Range {
    int32_t first;
    int32_t last;
  };
  constexpr KindSet(std::initializer_list<Range> ranges) {
    for (const Range& range : ranges)
      for (int32_t k = range.first; k <= range.last; ++k) fMember[static_cast<std::size_t>(k)] = true;
  }
  constexpr bool Contains(int32_t kind) const {
    return kind >= 0 && kind <= kLastGraphKind && fMember[static_cast<std::size_t>(kind)];
  }

 private:
  std::array<bool, kLastGraphKind + 1> fMember{};
};

inline constexpr bool IsFourDKind(int32_t kind) { return kind >= 20 && kind <= 23; }
inline constexpr bool IsDataKind(int32_t kind) { return kind >= 48 && kind <= 54; }

// Kinds that take a "radius" option.
inline constexpr KindSet kRadiusKinds{{17, 17}, {19, 19}, {24, 25}, {36, 36}, {40, 40}, {43, 50},
                                      {56, 56}, {62, 62}, {67, 79}};
// Kinds that take "symbol", "label" and "fontsize".
inline constexpr KindSet kLabelKinds{{43, 54}};
// Kinds that take a start point (x, y) = C.
inline constexpr KindSet kStartPointKinds{{37, 38}, {42, 42}};
// 3-D kinds whose conditions clip, allowed only in a 3-D view.
inline constexpr KindSet kThreeDClipKinds{{5, 15}, {17, 19}, {24, 28}, {30, 30}, {33, 33}, {36, 36},
                                          {39, 41}, {55, 56}, {58, 58}, {67, 80}};
// Kinds whose conditions are always accepted.
inline constexpr KindSet kAnyViewClipKinds{{20, 22}, {29, 29}, {34, 35}, {48, 54}};
// Surfaces, and point plots, for the graph-kind queries.
inline constexpr KindSet kSurfaceKinds{{5, 14}, {21, 22}, {26, 28}, {33, 33}, {41, 41}, {58, 58}, {80, 80}};
inline constexpr KindSet kPointPlotKinds{{44, 50}};
