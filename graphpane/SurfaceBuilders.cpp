#include <utility>

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
#include "graphpane/BuildSteps.h"
#include "graphpane/GraphBuilders.h"
#include "graphpane/GraphMakers.h"
#include "graphpane/GraphRewrites.h"
#include "graphpane/PassTrees.h"
#include "graphpane/TransformedBuilders.h"
#include "platform/CheckedConvert.h"

namespace {

// A copy of g with two coordinates renamed u and v.
ExpressionRecord* SurfaceInUV(const ExpressionRecord* g, int32_t toU, int32_t toV) {
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

ExpressionRecord* LetterU() { return Atomic(kIdU); }
ExpressionRecord* LetterV() { return Atomic(kIdV); }

// The block's xy type: 1 surface, 2 density, 3 contour, 0 nothing.
int32_t XYBranch(double xyType) { return DoubleToInt32(xyType) & 3; }

void AddFlatPlot(AGraphPane& pane, EquationBuild& b, int32_t branch, ExpressionRecord* f, const ExpressionRecord* g) {
  Colour mirror = branch == 2 ? MirrorColour(pane, b.view, b.ct, b.colour.get()) : nullptr;
  Compiled compiled(pane.Required(Tree(f)));
  auto maker = branch == 2 ? gGraphMakers.DensityPlot : gGraphMakers.ContourPlot;
  if (maker == nullptr) return;
  std::unique_ptr<A2DGraph> graph = maker(std::move(compiled), b.grain, std::move(b.colour), *pane.View2D(b.view));
  if (graph == nullptr) return;
  pane.AddGraph(std::move(graph), b.view);
  // A contour plot is never rebuilt in the second view, only resampled.
  if (branch == 2) {
    Add_transformed_DensityPlot(pane, g, b.view, std::move(mirror), b.ct, b.grain);
  } else {
    ListForResampling(pane, b.view, b.ct);
  }
}

void AddPolarFunctionOfTwo(AGraphPane& pane, EquationBuild& b, const ExpressionRecord* g) {
  if (AddGridSurface(pane, b, Times(LetterU(), Cos(LetterV())), Times(LetterU(), Sin(LetterV())),
                     SurfaceInUV(g, kIdR, kIdTheta), std::move(b.clip), kCoordR, kCoordTheta))
    pane.ShowFlags({kCoordR, kCoordTheta});
}

// A surface of f(z) runs in u + i·v: so do the colour equations over it.
void SplitZInColourEquations(AGraphPane& pane, AGraphColor* colour) {
  const std::unique_ptr<AnExpression>* equations = colour->fColorExpressions;
  const bool typed = colour->fType == AColorEquations::kRGBEquations || colour->fType == AColorEquations::kHSVEquations;
  if (!typed || equations[0] == nullptr || equations[1] == nullptr || equations[2] == nullptr) return;
  for (int i = 0; i < 3; ++i) colour->ReplaceEquation(i, pane.Required(Tree(ZSplit(equations[i]->Tree(), kIdU, kIdV))));
  colour->Compile();
}

// Spherical (rho, theta, phi) to Cartesian, phi from the positive z axis.
void AddSphericalSurface(AGraphPane& pane, EquationBuild& b, ExpressionRecord* rho, ExpressionRecord* theta,
                         ExpressionRecord* phi, CoordDisplayParam uRange, CoordDisplayParam vRange) {
  Tree r(rho), t(theta), p(phi);
  ExpressionRecord* x = Times3(Copy(r.get()), Sin(Copy(p.get())), Cos(Copy(t.get())));
  ExpressionRecord* y = Times3(Copy(r.get()), Sin(Copy(p.get())), Sin(Copy(t.get())));
  ExpressionRecord* z = Times(r.release(), Cos(p.release()));
  if (AddGridSurface(pane, b, x, y, z, std::move(b.clip), uRange, vRange)) pane.ShowFlags({uRange, vRange});
}

void Add4DSurface(AGraphPane& pane, EquationBuild& b, ExpressionRecord* x, ExpressionRecord* y, ExpressionRecord* z,
                  ExpressionRecord* w, CoordDisplayParam uRange, CoordDisplayParam vRange) {
  Compiled cx(pane.Required(Tree(x))), cy(pane.Required(Tree(y))), cz(pane.Required(Tree(z))),
      cw(pane.Required(Tree(w))), cc(pane.Optional(std::move(b.clip)));
  if (gGraphMakers.GridSurface4D == nullptr) return;
  AGraphView& target = *pane.View4D();
  const double(&u)[2] = target.Record().ranges[uRange];
  const double(&v)[2] = target.Record().ranges[vRange];
  std::unique_ptr<A4DGraph> graph =
      gGraphMakers.GridSurface4D(std::move(cx), std::move(cy), std::move(cz), std::move(cw), b.grain, b.opacity,
                                 std::move(b.colour), std::move(cc), u[0], u[1], v[0], v[1], target);
  if (graph == nullptr) return;
  pane.AddGraph(std::move(graph), b.view);
  pane.ShowXYZ(0);
  pane.ShowFlags({kCoordW});
  if (uRange == kCoordU) pane.ShowFlags({kCoordU, kCoordV});
}

}  // namespace

bool AddGridSurface(AGraphPane& pane, EquationBuild& b, ExpressionRecord* x, ExpressionRecord* y, ExpressionRecord* z,
                    Tree clip, CoordDisplayParam uRange, CoordDisplayParam vRange) {
  const GraphViewRecord &record = pane.View3D(b.view)->Record(), &first = pane.View3D(0)->Record();
  return AddGridSurface(pane, b, x, y, z, std::move(clip), record.ranges[uRange], record.ranges[vRange],
                        first.ranges[uRange], first.ranges[vRange]);
}

bool AddGridSurface(AGraphPane& pane, EquationBuild& b, ExpressionRecord* x, ExpressionRecord* y, ExpressionRecord* z,
                    Tree clip, const double (&u)[2], const double (&v)[2], const double (&firstU)[2],
                    const double (&firstV)[2]) {
  Colour mirror =
      b.ct.kind == CoordinateTransformation::kSpace ? MirrorColour(pane, b.view, b.ct, b.colour.get()) : nullptr;
  const Tree keep[4] = {KeepFor(mirror.get(), x), KeepFor(mirror.get(), y), KeepFor(mirror.get(), z),
                        KeepFor(mirror.get(), clip.get())};
  Compiled cx(pane.Required(Tree(x))), cy(pane.Required(Tree(y))), cz(pane.Required(Tree(z))),
      cc(pane.Optional(std::move(clip)));
  if (gGraphMakers.GridSurface == nullptr) return false;
  AGraphView& target = *pane.View3D(b.view);
  std::unique_ptr<A3DGraph> graph =
      gGraphMakers.GridSurface(std::move(cx), std::move(cy), std::move(cz), b.grain, b.opacity, std::move(b.colour),
                               std::move(cc), b.mode, u[0], u[1], v[0], v[1], target);
  if (graph == nullptr) return false;
  pane.AddGraph(std::move(graph), b.view);
  Add_transformed_GridSurface(pane, b.ct, b.view, keep[0].get(), keep[1].get(), keep[2].get(), keep[3].get(), b.mode,
                              std::move(mirror), b.grain, b.opacity, firstU[0], firstU[1], firstV[0], firstV[1]);
  pane.ShowXYZ(b.view);
  return true;
}

void Add_kZ_XYRTheta(AGraphPane& pane, EquationBuild& b) {
  const ExpressionRecord* g = b.equation->operands[1];
  switch (XYBranch(b.xyType)) {
    case 1:
      AddGridSurface(pane, b, LetterU(), LetterV(), SurfaceInUV(g, kIdX, kIdY), std::move(b.clip), kCoordX, kCoordY);
      break;
    case 2: AddFlatPlot(pane, b, 2, SurfaceInUV(g, kIdX, kIdY), g); break;
    case 3: AddFlatPlot(pane, b, 3, Copy(g), g); break;
    default: break;
  }
}

void Add_kZ_RTheta(AGraphPane& pane, EquationBuild& b) {
  const ExpressionRecord* g = b.equation->operands[1];
  const int32_t branch = XYBranch(b.xyType);
  if (branch == 1) AddPolarFunctionOfTwo(pane, b, g);
  if (branch >= 2) AddFlatPlot(pane, b, branch, Copy(g), g);
}

void Add_kFxnOfXYRTheta(AGraphPane& pane, EquationBuild& b) {
  const ExpressionRecord* e = b.equation;
  const bool polar =
      !DIM_Contains(e, kIdX) && !DIM_Contains(e, kIdY) && (DIM_Contains(e, kIdR) || DIM_Contains(e, kIdTheta));
  switch (XYBranch(b.xyType)) {
    case 1:
      if (polar) {
        AddPolarFunctionOfTwo(pane, b, e);
      } else {
        AddGridSurface(pane, b, LetterU(), LetterV(), SurfaceInUV(e, kIdX, kIdY), std::move(b.clip), kCoordX, kCoordY);
      }
      break;
    case 2: AddFlatPlot(pane, b, 2, SurfaceInUV(e, kIdX, kIdY), e); break;
    case 3: AddFlatPlot(pane, b, 3, Copy(e), e); break;
    default: break;
  }
}

void Add_kFxnOfZ(AGraphPane& pane, EquationBuild& b) {
  const ExpressionRecord* e = b.equation;
  switch (XYBranch(b.xyType)) {
    case 1:
      if (b.clip) ReplaceAtom(b.clip.get(), kIdZ, kIdU, kIdV);
      SplitZInColourEquations(pane, b.colour.get());
      AddGridSurface(pane, b, LetterU(), LetterV(), ZSplit(e, kIdU, kIdV), std::move(b.clip), kCoordX, kCoordY);
      break;
    case 2: AddFlatPlot(pane, b, 2, ZSplit(e, kIdU, kIdV), e); break;
    case 3: AddFlatPlot(pane, b, 3, ZSplit(e, kIdX, kIdY), e); break;
    default: break;
  }
}

void Add_kR_ThetaPhi(AGraphPane& pane, EquationBuild& b) {
  AddSphericalSurface(pane, b, SurfaceInUV(b.equation->operands[1], kIdTheta, kIdPhi), LetterU(), LetterV(),
                      kCoordTheta, kCoordPhi);
}

void Add_kTheta_RPhi(AGraphPane& pane, EquationBuild& b) {
  AddSphericalSurface(pane, b, LetterU(), SurfaceInUV(b.equation->operands[1], kIdR, kIdPhi), LetterV(), kCoordR,
                      kCoordPhi);
}

void Add_kPhi_RTheta(AGraphPane& pane, EquationBuild& b) {
  AddSphericalSurface(pane, b, LetterU(), LetterV(), SurfaceInUV(b.equation->operands[1], kIdR, kIdTheta), kCoordR,
                      kCoordTheta);
}

void Add_kRThetaPhi_uv(AGraphPane& pane, EquationBuild& b) {
  const ExpressionRecord* c = b.equation->operands[1];
  AddSphericalSurface(pane, b, Copy(c->operands[0]), Copy(c->operands[1]), Copy(c->operands[2]), kCoordU, kCoordV);
}

void Add_kXYZ_equals_XYZ(AGraphPane& pane, EquationBuild& b) {
  const ExpressionRecord* e = b.equation;
  Compiled f(pane.Required(Tree(Minus(Copy(e->operands[0]), Copy(e->operands[1]))))),
      cc(pane.Optional(std::move(b.clip)));
  if (gGraphMakers.ImplicitSurface == nullptr) return;
  AGraphView& target = *pane.View3D(b.view);
  const GraphViewRecord& record = target.Record();
  std::unique_ptr<A3DGraph> graph =
      gGraphMakers.ImplicitSurface(std::move(f), b.grain, b.opacity, std::move(b.colour), std::move(cc), b.mode,
                                   record.ranges[kCoordX], record.ranges[kCoordY], record.ranges[kCoordZ], target);
  if (graph == nullptr) return;
  const int32_t before = target.GraphCount();
  A3DGraph* const surface = graph.get();
  pane.AddGraph(std::move(graph), b.view);
  // The mirror shows the surface while the first view keeps it.
  if (b.view == 0 && b.ct.kind == CoordinateTransformation::kSpace && target.GraphCount() > before)
    ShowThroughSpace(pane, b.ct, gGraphMakers.TransformedImplicitSurface, surface);
  pane.ShowXYZ(b.view);
}

void Add_kW_Z(AGraphPane& pane, EquationBuild& b) {
  const ExpressionRecord* g = b.equation->operands[1];
  Add4DSurface(pane, b, LetterU(), LetterV(), Real(ZSplit(g, kIdU, kIdV)), Imag(ZSplit(g, kIdU, kIdV)), kCoordX,
               kCoordY);
}

void Add_kXYZW_uv(AGraphPane& pane, EquationBuild& b) {
  const ExpressionRecord* c = b.equation->operands[1];
  Add4DSurface(pane, b, Copy(c->operands[0]), Copy(c->operands[1]), Copy(c->operands[2]), Copy(c->operands[3]), kCoordU,
               kCoordV);
}
