#include <initializer_list>

#include "expression/TreeBuilding.h"
#include "expression/TreeComparison.h"
#include "expression/TreeCopying.h"
#include "expression/TreeRewriting.h"
#include "expression/TreeShorthands.h"
#include "expression/VariableIds.h"
#include "graphpane/A2DGraph.h"
#include "graphpane/A3DGraph.h"
#include "graphpane/A4DGraph.h"
#include "graphpane/AGraphColor.h"
#include "graphpane/AGraphPane.h"
#include "graphpane/GraphMakers.h"
#include "graphpane/GraphRewrites.h"
#include "graphpane/PassTrees.h"
#include "platform/CheckedConvert.h"

namespace {

// A copy of g with two coordinates renamed u and v.
ExpressionRecord* InUV(const ExpressionRecord* g, int32_t toU, int32_t toV) {
  ExpressionRecord* copy = Copy(g);
  if (copy != nullptr) ReplaceAtoms(copy, toU, kIdU), ReplaceAtoms(copy, toV, kIdV);
  return copy;
}

// A copy of g with z split into u + i·v (or x + i·y).
ExpressionRecord* ZSplit(const ExpressionRecord* g, int32_t re, int32_t im) {
  ExpressionRecord* copy = Copy(g);
  if (copy != nullptr) ReplaceAtom(copy, kIdZ, re, im);
  return copy;
}

ExpressionRecord* U() { return Atomic(kIdU); }
ExpressionRecord* V() { return Atomic(kIdV); }

// The block's xy type: 1 surface, 2 density, 3 contour, 0 nothing.
int32_t XYBranch(double xyType) { return DoubleToInt32(xyType) & 3; }

}  // namespace

bool AGraphPane::AddGridSurface(ExpressionRecord* x, ExpressionRecord* y, ExpressionRecord* z, ExpressionRecord* clip,
                                AGraphColor* colour, const CoordinateTransformation& ct, double grain, double opacity,
                                PlottingMode mode, int32_t view, CoordDisplayParam uRange, CoordDisplayParam vRange) {
  const GraphViewRecord &record = View3D(view)->Record(), &first = View3D(0)->Record();
  return AddGridSurface(x, y, z, clip, colour, ct, grain, opacity, mode, view, record.ranges[uRange],
                        record.ranges[vRange], first.ranges[uRange], first.ranges[vRange]);
}

// The mirror samples the first 3-D view's ranges.
bool AGraphPane::AddGridSurface(ExpressionRecord* x, ExpressionRecord* y, ExpressionRecord* z, ExpressionRecord* clip,
                                AGraphColor* colour, const CoordinateTransformation& ct, double grain, double opacity,
                                PlottingMode mode, int32_t view, const double (&u)[2], const double (&v)[2],
                                const double (&firstU)[2], const double (&firstV)[2]) {
  Colour mirror(ct.kind == CoordinateTransformation::kSpace ? MirrorColour(view, ct, colour) : nullptr);
  const Tree keep[4] = {KeepFor(mirror.get(), x), KeepFor(mirror.get(), y), KeepFor(mirror.get(), z),
                        KeepFor(mirror.get(), clip)};
  Compiled cx(Required(x)), cy(Required(y)), cz(Required(z)), cc(Optional(clip));
  if (gGraphMakers.GridSurface == nullptr) return false;
  AGraphView& target = *View3D(view);
  A3DGraph* graph = gGraphMakers.GridSurface(cx.release(), cy.release(), cz.release(), grain, opacity, HandOver(colour),
                                             cc.release(), mode, u[0], u[1], v[0], v[1], target);
  if (graph == nullptr) return false;
  AddGraph(graph, view);
  Add_transformed_GridSurface(ct, view, keep[0].get(), keep[1].get(), keep[2].get(), keep[3].get(), mode,
                              mirror.release(), grain, opacity, firstU[0], firstU[1], firstV[0], firstV[1]);
  ShowXYZ(view);
  return true;
}

void AGraphPane::AddFlatPlot(int32_t branch, ExpressionRecord* f, const ExpressionRecord* g, AGraphColor* colour,
                             const CoordinateTransformation& ct, double grain, int32_t view) {
  Colour mirror(branch == 2 ? MirrorColour(view, ct, colour) : nullptr);
  Compiled compiled(Required(f));
  auto maker = branch == 2 ? gGraphMakers.DensityPlot : gGraphMakers.ContourPlot;
  if (maker == nullptr) return;
  A2DGraph* graph = maker(compiled.release(), grain, HandOver(colour), *View2D(view));
  if (graph == nullptr) return;
  AddGraph(graph, view);
  // A contour plot is never rebuilt in the second view, only resampled.
  if (branch == 2) {
    Add_transformed_DensityPlot(g, view, mirror.release(), ct, grain);
  } else {
    ListForResampling(view, ct);
  }
}

void AGraphPane::ShowFlags(std::initializer_list<CoordDisplayParam> params) {
  for (CoordDisplayParam p : params) fCoordDisplay[p] = 1;
}

void AGraphPane::Add_kZ_XYRTheta(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                                 const CoordinateTransformation& ct, double grain, ExpressionRecord* clip,
                                 PlottingMode mode, double opacity, double xyType) {
  Tree owned(clip);
  const ExpressionRecord* g = e->operands[1];
  switch (XYBranch(xyType)) {
    case 1:
      AddGridSurface(U(), V(), InUV(g, kIdX, kIdY), owned.release(), colour, ct, grain, opacity, mode, view, kCoordX,
                     kCoordY);
      break;
    case 2: AddFlatPlot(2, InUV(g, kIdX, kIdY), g, colour, ct, grain, view); break;
    case 3: AddFlatPlot(3, Copy(g), g, colour, ct, grain, view); break;
    default: break;
  }
}

void AGraphPane::AddPolarFunctionOfTwo(const ExpressionRecord* g, int32_t view, AGraphColor* colour,
                                       const CoordinateTransformation& ct, double grain, ExpressionRecord* clip,
                                       PlottingMode mode, double opacity) {
  if (AddGridSurface(Times(U(), Cos(V())), Times(U(), Sin(V())), InUV(g, kIdR, kIdTheta), clip, colour, ct, grain,
                     opacity, mode, view, kCoordR, kCoordTheta))
    ShowFlags({kCoordR, kCoordTheta});
}

void AGraphPane::Add_kZ_RTheta(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                               const CoordinateTransformation& ct, double grain, ExpressionRecord* clip,
                               PlottingMode mode, double opacity, double xyType) {
  Tree owned(clip);
  const ExpressionRecord* g = e->operands[1];
  const int32_t branch = XYBranch(xyType);
  if (branch == 1) AddPolarFunctionOfTwo(g, view, colour, ct, grain, owned.release(), mode, opacity);
  if (branch >= 2) AddFlatPlot(branch, Copy(g), g, colour, ct, grain, view);
}

void AGraphPane::Add_kFxnOfXYRTheta(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                                    const CoordinateTransformation& ct, double grain, ExpressionRecord* clip,
                                    PlottingMode mode, double opacity, double xyType) {
  Tree owned(clip);
  const bool polar =
      !DIM_Contains(e, kIdX) && !DIM_Contains(e, kIdY) && (DIM_Contains(e, kIdR) || DIM_Contains(e, kIdTheta));
  switch (XYBranch(xyType)) {
    case 1:
      if (polar) {
        AddPolarFunctionOfTwo(e, view, colour, ct, grain, owned.release(), mode, opacity);
      } else {
        AddGridSurface(U(), V(), InUV(e, kIdX, kIdY), owned.release(), colour, ct, grain, opacity, mode, view, kCoordX,
                       kCoordY);
      }
      break;
    case 2: AddFlatPlot(2, InUV(e, kIdX, kIdY), e, colour, ct, grain, view); break;
    case 3: AddFlatPlot(3, Copy(e), e, colour, ct, grain, view); break;
    default: break;
  }
}

void AGraphPane::Add_kFxnOfZ(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                             double grain, ExpressionRecord* clip, PlottingMode mode, double opacity, double xyType) {
  Tree owned(clip);
  switch (XYBranch(xyType)) {
    case 1:
      if (owned) ReplaceAtom(owned.get(), kIdZ, kIdU, kIdV);
      SplitZInColourEquations(colour);
      AddGridSurface(U(), V(), ZSplit(e, kIdU, kIdV), owned.release(), colour, ct, grain, opacity, mode, view, kCoordX,
                     kCoordY);
      break;
    case 2: AddFlatPlot(2, ZSplit(e, kIdU, kIdV), e, colour, ct, grain, view); break;
    case 3: AddFlatPlot(3, ZSplit(e, kIdX, kIdY), e, colour, ct, grain, view); break;
    default: break;
  }
}

// A surface of f(z) runs in u + i·v: so do the colour equations over it.
void AGraphPane::SplitZInColourEquations(AGraphColor* colour) {
  AnExpression** equations = colour->fColorExpressions;
  const bool typed = colour->fType == AColorEquations::kRGBEquations || colour->fType == AColorEquations::kHSVEquations;
  if (!typed || equations[0] == nullptr || equations[1] == nullptr || equations[2] == nullptr) return;
  for (int i = 0; i < 3; ++i) {
    ExpressionRecord* split = ZSplit(equations[i]->Tree(), kIdU, kIdV);
    delete equations[i];
    equations[i] = Required(split);
  }
  colour->Compile();
}

// Spherical (rho, theta, phi) to Cartesian, phi from the positive z axis.
void AGraphPane::AddSphericalSurface(ExpressionRecord* rho, ExpressionRecord* theta, ExpressionRecord* phi,
                                     ExpressionRecord* clip, AGraphColor* colour, const CoordinateTransformation& ct,
                                     double grain, double opacity, PlottingMode mode, int32_t view,
                                     CoordDisplayParam uRange, CoordDisplayParam vRange) {
  Tree r(rho), t(theta), p(phi);
  ExpressionRecord* x = Times3(Copy(r.get()), Sin(Copy(p.get())), Cos(Copy(t.get())));
  ExpressionRecord* y = Times3(Copy(r.get()), Sin(Copy(p.get())), Sin(Copy(t.get())));
  ExpressionRecord* z = Times(r.release(), Cos(p.release()));
  if (AddGridSurface(x, y, z, clip, colour, ct, grain, opacity, mode, view, uRange, vRange))
    ShowFlags({uRange, vRange});
}

void AGraphPane::Add_kR_ThetaPhi(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                                 const CoordinateTransformation& ct, double grain, ExpressionRecord* clip,
                                 PlottingMode mode, double opacity) {
  AddSphericalSurface(InUV(e->operands[1], kIdTheta, kIdPhi), U(), V(), clip, colour, ct, grain, opacity, mode, view,
                      kCoordTheta, kCoordPhi);
}

void AGraphPane::Add_kTheta_RPhi(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                                 const CoordinateTransformation& ct, double grain, ExpressionRecord* clip,
                                 PlottingMode mode, double opacity) {
  AddSphericalSurface(U(), InUV(e->operands[1], kIdR, kIdPhi), V(), clip, colour, ct, grain, opacity, mode, view,
                      kCoordR, kCoordPhi);
}

void AGraphPane::Add_kPhi_RTheta(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                                 const CoordinateTransformation& ct, double grain, ExpressionRecord* clip,
                                 PlottingMode mode, double opacity) {
  AddSphericalSurface(U(), V(), InUV(e->operands[1], kIdR, kIdTheta), clip, colour, ct, grain, opacity, mode, view,
                      kCoordR, kCoordTheta);
}

void AGraphPane::Add_kRThetaPhi_uv(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                                   const CoordinateTransformation& ct, double grain, ExpressionRecord* clip,
                                   PlottingMode mode, double opacity) {
  const ExpressionRecord* c = e->operands[1];
  AddSphericalSurface(Copy(c->operands[0]), Copy(c->operands[1]), Copy(c->operands[2]), clip, colour, ct, grain,
                      opacity, mode, view, kCoordU, kCoordV);
}

void AGraphPane::Add_kXYZ_equals_XYZ(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                                     const CoordinateTransformation& ct, double grain, ExpressionRecord* clip,
                                     PlottingMode mode, double opacity) {
  Compiled f(Required(Minus(Copy(e->operands[0]), Copy(e->operands[1])))), cc(Optional(clip));
  if (gGraphMakers.ImplicitSurface == nullptr) return;
  AGraphView& target = *View3D(view);
  const GraphViewRecord& record = target.Record();
  A3DGraph* graph =
      gGraphMakers.ImplicitSurface(f.release(), grain, opacity, HandOver(colour), cc.release(), mode,
                                   record.ranges[kCoordX], record.ranges[kCoordY], record.ranges[kCoordZ], target);
  if (graph == nullptr) return;
  const int32_t before = target.GraphCount();
  AddGraph(graph, view);
  // The mirror shows the surface while the first view keeps it.
  if (view == 0 && ct.kind == CoordinateTransformation::kSpace && target.GraphCount() > before)
    ShowThroughSpace(ct, gGraphMakers.TransformedImplicitSurface, graph);
  ShowXYZ(view);
}

void AGraphPane::Add4DSurface(ExpressionRecord* x, ExpressionRecord* y, ExpressionRecord* z, ExpressionRecord* w,
                              ExpressionRecord* clip, AGraphColor* colour, double grain, double opacity, int32_t view,
                              CoordDisplayParam uRange, CoordDisplayParam vRange) {
  Compiled cx(Required(x)), cy(Required(y)), cz(Required(z)), cw(Required(w)), cc(Optional(clip));
  if (gGraphMakers.GridSurface4D == nullptr) return;
  AGraphView& target = *View4D();
  const double(&u)[2] = target.Record().ranges[uRange];
  const double(&v)[2] = target.Record().ranges[vRange];
  A4DGraph* graph = gGraphMakers.GridSurface4D(cx.release(), cy.release(), cz.release(), cw.release(), grain, opacity,
                                               HandOver(colour), cc.release(), u[0], u[1], v[0], v[1], target);
  if (graph == nullptr) return;
  AddGraph(graph, view);
  ShowXYZ(0);
  ShowFlags({kCoordW});
  if (uRange == kCoordU) ShowFlags({kCoordU, kCoordV});
}

void AGraphPane::Add_kW_Z(ExpressionRecord* e, int32_t view, AGraphColor* colour, double grain, ExpressionRecord* clip,
                          double opacity) {
  const ExpressionRecord* g = e->operands[1];
  Add4DSurface(U(), V(), Real(ZSplit(g, kIdU, kIdV)), Imag(ZSplit(g, kIdU, kIdV)), clip, colour, grain, opacity, view,
               kCoordX, kCoordY);
}

void AGraphPane::Add_kXYZW_uv(ExpressionRecord* e, int32_t view, AGraphColor* colour, double grain,
                              ExpressionRecord* clip, double opacity) {
  const ExpressionRecord* c = e->operands[1];
  Add4DSurface(Copy(c->operands[0]), Copy(c->operands[1]), Copy(c->operands[2]), Copy(c->operands[3]), clip, colour,
               grain, opacity, view, kCoordU, kCoordV);
}
