#include "graphpane/AGraphPane.h"
#include "graphpane/GraphKinds.h"
#include "graphpane/PassTrees.h"

// The builders the kinds' rows name (GraphKinds.h). Each hands its builder
// the parts of the build it takes; trees released here are the builder's,
// the rest are freed with the build.
struct KindBuilders {
  using B = EquationBuild;
  using Builder = void (*)(AGraphPane&, B&);

  // The families of builders that take the same parts.
  template <auto Add>
  static void Function(AGraphPane& p, B& b) { (p.*Add)(b.equation, b.view, b.colour, b.ct, b.mode); }
  template <auto Add>
  static void Polar(AGraphPane& p, B& b) { (p.*Add)(b.equation, b.view, b.colour, b.ct, b.grain); }
  template <auto Add>
  static void Region(AGraphPane& p, B& b) {
    (p.*Add)(b.relation.release(), b.view, b.colour, b.ct, b.mode, b.zero.release());
  }
  template <auto Add>
  static void SurfaceOrFlat(AGraphPane& p, B& b) {
    (p.*Add)(b.equation, b.view, b.colour, b.ct, b.grain, b.clip.release(), b.mode, b.opacity, b.xyType);
  }
  template <auto Add>
  static void Surface(AGraphPane& p, B& b) {
    (p.*Add)(b.equation, b.view, b.colour, b.ct, b.grain, b.clip.release(), b.mode, b.opacity);
  }
  template <auto Add>
  static void PlaneCurve(AGraphPane& p, B& b) {
    (p.*Add)(b.equation, b.view, b.colour, b.ct, b.grain, b.clip.release(), b.is3D);
  }
  template <auto Add>
  static void SpaceCurve(AGraphPane& p, B& b) {
    (p.*Add)(b.equation, b.view, b.colour, b.ct, b.grain, b.clip.release(), b.radius.release(), b.opacity);
  }
  template <auto Add>
  static void PlaneField(AGraphPane& p, B& b) {
    (p.*Add)(b.equation, b.view, b.colour, b.ct, b.grain, b.startX.release(), b.startY.release());
  }
  template <auto Add>
  static void Point(AGraphPane& p, B& b) {
    (p.*Add)(b.equation, b.view, b.colour, b.ct, b.symbol.release(), b.label.release(), b.fontSize.release());
  }
  template <auto Add>
  static void Point3D(AGraphPane& p, B& b) { (p.*Add)(b.equation, b.view, b.colour, b.ct, b.grain, b.opacity); }
  // Data plots: the conditions, radius and styles go with the columns.
  template <auto Add>
  static void Data(AGraphPane& p, B& b) {
    ExpressionRecord* const style[5] = {b.clip.release(), b.radius.release(), b.symbol.release(), b.label.release(),
                                        b.fontSize.release()};
    (p.*Add)(b.equation, b.view, b.colour, b.ct, style, p.fDocument);
  }

  static void NoGraph(AGraphPane&, B&) {}
  static constexpr Builder Add_kY_X = Function<&AGraphPane::Add_kY_X>;
  static constexpr Builder Add_kX_Y = Function<&AGraphPane::Add_kX_Y>;
  static constexpr Builder Add_kFxnOfX = Function<&AGraphPane::Add_kFxnOfX>;
  static constexpr Builder Add_kFxnOfY = Function<&AGraphPane::Add_kFxnOfY>;
  static constexpr Builder Add_kR_Theta = Polar<&AGraphPane::Add_kR_Theta>;
  static constexpr Builder Add_kTheta_R = Polar<&AGraphPane::Add_kTheta_R>;
  static constexpr Builder Add_kXYRTh_eq_XYRTh = Region<&AGraphPane::Add_kXYRTh_eq_XYRTh>;
  static constexpr Builder Add_kInequality = Region<&AGraphPane::Add_kInequality>;
  static constexpr Builder Add_kInequality2 = Region<&AGraphPane::Add_kInequality2>;
  static constexpr Builder Add_kZ_XYRTheta = SurfaceOrFlat<&AGraphPane::Add_kZ_XYRTheta>;
  static constexpr Builder Add_kZ_RTheta = SurfaceOrFlat<&AGraphPane::Add_kZ_RTheta>;
  static constexpr Builder Add_kFxnOfXYRTheta = SurfaceOrFlat<&AGraphPane::Add_kFxnOfXYRTheta>;
  static constexpr Builder Add_kFxnOfZ = SurfaceOrFlat<&AGraphPane::Add_kFxnOfZ>;
  static constexpr Builder Add_kR_ThetaPhi = Surface<&AGraphPane::Add_kR_ThetaPhi>;
  static constexpr Builder Add_kTheta_RPhi = Surface<&AGraphPane::Add_kTheta_RPhi>;
  static constexpr Builder Add_kPhi_RTheta = Surface<&AGraphPane::Add_kPhi_RTheta>;
  static constexpr Builder Add_kRThetaPhi_uv = Surface<&AGraphPane::Add_kRThetaPhi_uv>;
  static constexpr Builder Add_kXYZ_equals_XYZ = Surface<&AGraphPane::Add_kXYZ_equals_XYZ>;
  static constexpr Builder Add_kXYZuv = Surface<&AGraphPane::Add_kXYZuv>;
  static constexpr Builder Add_kRotation = Surface<&AGraphPane::Add_kRotation>;
  static constexpr Builder Add_kRTheta_t = PlaneCurve<&AGraphPane::Add_kRTheta_t>;
  static constexpr Builder Add_kXY_t = PlaneCurve<&AGraphPane::Add_kXY_t>;
  static constexpr Builder Add_kZ_t = PlaneCurve<&AGraphPane::Add_kZ_t>;
  static constexpr Builder Add_kXYt = PlaneCurve<&AGraphPane::Add_kXYt>;
  static constexpr Builder Add_kRThetaPhi_t = SpaceCurve<&AGraphPane::Add_kRThetaPhi_t>;
  static constexpr Builder Add_kRThetaZ_t = SpaceCurve<&AGraphPane::Add_kRThetaZ_t>;
  static constexpr Builder Add_kZ_z = SpaceCurve<&AGraphPane::Add_kZ_z>;
  static constexpr Builder Add_kXYZt = SpaceCurve<&AGraphPane::Add_kXYZt>;
  static constexpr Builder Add_kXYZ_XYZ_zxy = SpaceCurve<&AGraphPane::Add_kXYZ_XYZ_zxy>;
  static constexpr Builder Add_kXYZ_XYZ_rthetaphi = SpaceCurve<&AGraphPane::Add_kXYZ_XYZ_rthetaphi>;
  static constexpr Builder Add_kXYZ_XYZ_thetarphi = SpaceCurve<&AGraphPane::Add_kXYZ_XYZ_thetarphi>;
  static constexpr Builder Add_kXYZ_XYZ_phirtheta = SpaceCurve<&AGraphPane::Add_kXYZ_XYZ_phirtheta>;
  static constexpr Builder Add_kXYZ_XYZ_rthetaz = SpaceCurve<&AGraphPane::Add_kXYZ_XYZ_rthetaz>;
  static constexpr Builder Add_kXYZ_XYZ_zrtheta = SpaceCurve<&AGraphPane::Add_kXYZ_XYZ_zrtheta>;
  static constexpr Builder Add_kXYZ_XYZ_thetarz = SpaceCurve<&AGraphPane::Add_kXYZ_XYZ_thetarz>;
  static constexpr Builder Add_kXYZ_XYZ_rthphiuv = SpaceCurve<&AGraphPane::Add_kXYZ_XYZ_rthphiuv>;
  static constexpr Builder Add_kXYZ_XYZ_rthetazuv = SpaceCurve<&AGraphPane::Add_kXYZ_XYZ_rthetazuv>;
  static constexpr Builder Add_kODEdydx = PlaneField<&AGraphPane::Add_kODEdydx>;
  static constexpr Builder Add_kODEdrdt = PlaneField<&AGraphPane::Add_kODEdrdt>;
  static constexpr Builder Add_kODEdzdt = PlaneField<&AGraphPane::Add_kODEdzdt>;
  static constexpr Builder Add_kComplexParameter = Point<&AGraphPane::Add_kComplexParameter>;
  static constexpr Builder Add_kComplexConstant = Point<&AGraphPane::Add_kComplexConstant>;
  static constexpr Builder Add_kXY = Point<&AGraphPane::Add_kXY>;
  static constexpr Builder Add_kRTheta = Point<&AGraphPane::Add_kRTheta>;
  static constexpr Builder Add_k3DPoint = Point3D<&AGraphPane::Add_k3DPoint>;
  static constexpr Builder Add_k3DPointRThetaZ = Point3D<&AGraphPane::Add_k3DPointRThetaZ>;
  static constexpr Builder Add_k3DPointRThetaPhi = Point3D<&AGraphPane::Add_k3DPointRThetaPhi>;
  static constexpr Builder Add_kData2D = Data<&AGraphPane::Add_kData2D>;
  static constexpr Builder Add_kData2DRTheta = Data<&AGraphPane::Add_kData2DRTheta>;
  static constexpr Builder Add_kData3D = Data<&AGraphPane::Add_kData3D>;
  static constexpr Builder Add_kDataRThetaZ = Data<&AGraphPane::Add_kDataRThetaZ>;
  static constexpr Builder Add_kDataRThetaPhi = Data<&AGraphPane::Add_kDataRThetaPhi>;

  static void Add_kXYZW_uv(AGraphPane& p, B& b) {
    p.Add_kXYZW_uv(b.equation, b.view, b.colour, b.grain, b.clip.release(), b.opacity);
  }
  static void Add_kW_Z(AGraphPane& p, B& b) {
    p.Add_kW_Z(b.equation, b.view, b.colour, b.grain, b.clip.release(), b.opacity);
  }
  static void Add_kXYZW_t(AGraphPane& p, B& b) {
    p.Add_kXYZW_t(b.equation, b.view, b.colour, b.grain, b.clip.release());
  }
  static void Add_k4DVertexList(AGraphPane& p, B& b) { p.Add_k4DVertexList(b.equation, b.view, b.colour); }
  static void Add_kXY_XY(AGraphPane& p, B& b) { p.Add_kXY_XY(b.equation, b.view, b.colour, b.ct, b.grain, b.xyType); }
  static void Add_kRGB_xy(AGraphPane& p, B& b) {
    p.Add_kRGB_xy(b.equation, b.view, b.colour, b.ct, b.extra.release(), b.kind == GraphKind::kHSV_xy);
  }
  static void Add_kArrow(AGraphPane& p, B& b) { p.Add_kArrow(b.equation, b.view, b.colour, b.ct); }
  static void Add_k3DArrow(AGraphPane& p, B& b) {
    p.Add_k3DArrow(b.equation, b.view, b.colour, b.ct, b.radius.release());
  }
  static void AddInlineSurface(AGraphPane& p, B& b) { p.AddInlineSurface(b); }
  static void AddInlineField(AGraphPane& p, B& b) { p.AddInlineField(b); }
};

namespace {

constexpr KindBuilders::Builder kKindBuilders[] = {
#define ZL_KIND_BUILDER(number, name, view, options, builder) KindBuilders::builder,
    ZL_GRAPH_KIND_TABLE(ZL_KIND_BUILDER)
#undef ZL_KIND_BUILDER
};

}  // namespace

void AGraphPane::Dispatch(EquationBuild& b) {
  const int32_t kind = KindNumber(b.kind);
  if (GraphKindInfoOf(kind) == nullptr) return;
  ExpressionRecord* e = b.equation;
  if (KindSet(kBuiltFromRightSide).Contains(kind) && e->operandCount >= 2) b.equation = e->operands[1];
  kKindBuilders[kind](*this, b);
}
