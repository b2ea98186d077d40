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
#include "graphpane/AGraphView.h"
#include "graphpane/EquationPass.h"
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

void AddFlatPlot(EquationPass& pass, EquationBuild& b, int32_t branch, ExpressionRecord* f, const ExpressionRecord* g) {
  Colour mirror = branch == 2 ? MirrorColour(pass, b.view, b.ct, b.colour.get()) : nullptr;
  Compiled compiled(pass.Required(Tree(f)));
  auto maker = branch == 2 ? gGraphMakers.DensityPlot : gGraphMakers.ContourPlot;
  if (maker == nullptr) return;
  std::unique_ptr<A2DGraph> graph = maker(std::move(compiled), b.grain, std::move(b.colour), *pass.View2D(b.view));
  if (graph == nullptr) return;
  pass.AddGraph(std::move(graph), b.view);
  // A contour plot is never rebuilt in the second view, only resampled.
  if (branch == 2) {
    Add_transformed_DensityPlot(pass, g, b.view, std::move(mirror), b.ct, b.grain);
  } else {
    ListForResampling(pass, b.view, b.ct);
  }
}

void AddPolarFunctionOfTwo(EquationPass& pass, EquationBuild& b, const ExpressionRecord* g) {
  if (AddGridSurface(pass, b, Times(LetterU(), Cos(LetterV())), Times(LetterU(), Sin(LetterV())),
                     SurfaceInUV(g, kIdR, kIdTheta), std::move(b.clip), kCoordR, kCoordTheta))
    pass.ShowFlags({kCoordR, kCoordTheta});
}

// A surface of f(z) runs in u + i·v: so do the colour equations over it.
void SplitZInColourEquations(EquationPass& pass, AGraphColor* colour) {
  const std::unique_ptr<AnExpression>* equations = colour->fColorExpressions;
  const bool typed = colour->fType == AColorEquations::kRGBEquations || colour->fType == AColorEquations::kHSVEquations;
  if (!typed || equations[0] == nullptr || equations[1] == nullptr || equations[2] == nullptr) return;
  for (int i = 0; i < 3; ++i) colour->ReplaceEquation(i, pass.Required(Tree(ZSplit(equations[i]->Tree(), kIdU, kIdV))));
  colour->Compile();
}

// Spherical (rho, theta, phi) to Cartesian, phi from the positive z axis.
void AddSphericalSurface(EquationPass& pass, EquationBuild& b, ExpressionRecord* rho, ExpressionRecord* theta,
                         ExpressionRecord* phi, CoordDisplayParam uRange, CoordDisplayParam vRange) {
  Tree r(rho), t(theta), p(phi);
  ExpressionRecord* x = Times3(Copy(r.get()), Sin(Copy(p.get())), Cos(Copy(t.get())));
  ExpressionRecord* y = Times3(Copy(r.get()), Sin(Copy(p.get())), Sin(Copy(t.get())));
  ExpressionRecord* z = Times(r.release(), Cos(p.release()));
  if (AddGridSurface(pass, b, x, y, z, std::move(b.clip), uRange, vRange)) pass.ShowFlags({uRange, vRange});
}

void Add4DSurface(EquationPass& pass, EquationBuild& b, ExpressionRecord* x, ExpressionRecord* y, ExpressionRecord* z,
                  ExpressionRecord* w, CoordDisplayParam uRange, CoordDisplayParam vRange) {
  Compiled cx(pass.Required(Tree(x))), cy(pass.Required(Tree(y))), cz(pass.Required(Tree(z))),
      cw(pass.Required(Tree(w))), cc(pass.Optional(std::move(b.clip)));
  if (gGraphMakers.GridSurface4D == nullptr) return;
  AGraphView& target = *pass.View4D();
  const double(&u)[2] = target.Record().ranges[uRange];
  const double(&v)[2] = target.Record().ranges[vRange];
  std::unique_ptr<A4DGraph> graph =
      gGraphMakers.GridSurface4D(std::move(cx), std::move(cy), std::move(cz), std::move(cw), b.grain, b.opacity,
                                 std::move(b.colour), std::move(cc), u[0], u[1], v[0], v[1], target);
  if (graph == nullptr) return;
  pass.AddGraph(std::move(graph), b.view);
  pass.ShowXYZ(0);
  pass.ShowFlags({kCoordW});
  if (uRange == kCoordU) pass.ShowFlags({kCoordU, kCoordV});
}

}  // namespace

bool AddGridSurface(EquationPass& pass, EquationBuild& b, ExpressionRecord* x, ExpressionRecord* y, ExpressionRecord* z,
                    Tree clip, CoordDisplayParam uRange, CoordDisplayParam vRange) {
  const GraphViewRecord &record = pass.View3D(b.view)->Record(), &first = pass.View3D(0)->Record();
  return AddGridSurface(pass, b, x, y, z, std::move(clip), record.ranges[uRange], record.ranges[vRange],
                        first.ranges[uRange], first.ranges[vRange]);
}

bool AddGridSurface(EquationPass& pass, EquationBuild& b, ExpressionRecord* x, ExpressionRecord* y, ExpressionRecord* z,
                    Tree clip, const double (&u)[2], const double (&v)[2], const double (&firstU)[2],
                    const double (&firstV)[2]) {
  Colour mirror =
      b.ct.kind == CoordinateTransformation::kSpace ? MirrorColour(pass, b.view, b.ct, b.colour.get()) : nullptr;
  const Tree keep[4] = {KeepFor(mirror.get(), x), KeepFor(mirror.get(), y), KeepFor(mirror.get(), z),
                        KeepFor(mirror.get(), clip.get())};
  Compiled cx(pass.Required(Tree(x))), cy(pass.Required(Tree(y))), cz(pass.Required(Tree(z))),
      cc(pass.Optional(std::move(clip)));
  if (gGraphMakers.GridSurface == nullptr) return false;
  AGraphView& target = *pass.View3D(b.view);
  std::unique_ptr<A3DGraph> graph =
      gGraphMakers.GridSurface(std::move(cx), std::move(cy), std::move(cz), b.grain, b.opacity, std::move(b.colour),
                               std::move(cc), b.mode, u[0], u[1], v[0], v[1], target);
  if (graph == nullptr) return false;
  pass.AddGraph(std::move(graph), b.view);
  Add_transformed_GridSurface(pass, b.ct, b.view, keep[0].get(), keep[1].get(), keep[2].get(), keep[3].get(), b.mode,
                              std::move(mirror), b.grain, b.opacity, firstU[0], firstU[1], firstV[0], firstV[1]);
  pass.ShowXYZ(b.view);
  return true;
}

void Add_kZ_XYRTheta(EquationPass& pass, EquationBuild& b) {
  const ExpressionRecord* g = b.equation->operands[1];
  switch (XYBranch(b.xyType)) {
    case 1:
      AddGridSurface(pass, b, LetterU(), LetterV(), SurfaceInUV(g, kIdX, kIdY), std::move(b.clip), kCoordX, kCoordY);
      break;
    case 2: AddFlatPlot(pass, b, 2, SurfaceInUV(g, kIdX, kIdY), g); break;
    case 3: AddFlatPlot(pass, b, 3, Copy(g), g); break;
    default: break;
  }
}

void Add_kZ_RTheta(EquationPass& pass, EquationBuild& b) {
  const ExpressionRecord* g = b.equation->operands[1];
  const int32_t branch = XYBranch(b.xyType);
  if (branch == 1) AddPolarFunctionOfTwo(pass, b, g);
  if (branch >= 2) AddFlatPlot(pass, b, branch, Copy(g), g);
}

void Add_kFxnOfXYRTheta(EquationPass& pass, EquationBuild& b) {
  const ExpressionRecord* e = b.equation;
  const bool polar =
      !DIM_Contains(e, kIdX) && !DIM_Contains(e, kIdY) && (DIM_Contains(e, kIdR) || DIM_Contains(e, kIdTheta));
  switch (XYBranch(b.xyType)) {
    case 1:
      if (polar) {
        AddPolarFunctionOfTwo(pass, b, e);
      } else {
        AddGridSurface(pass, b, LetterU(), LetterV(), SurfaceInUV(e, kIdX, kIdY), std::move(b.clip), kCoordX, kCoordY);
      }
      break;
    case 2: AddFlatPlot(pass, b, 2, SurfaceInUV(e, kIdX, kIdY), e); break;
    case 3: AddFlatPlot(pass, b, 3, Copy(e), e); break;
    default: break;
  }
}

void Add_kFxnOfZ(EquationPass& pass, EquationBuild& b) {
  const ExpressionRecord* e = b.equation;
  switch (XYBranch(b.xyType)) {
    case 1:
      if (b.clip) ReplaceAtom(b.clip.get(), kIdZ, kIdU, kIdV);
      SplitZInColourEquations(pass, b.colour.get());
      AddGridSurface(pass, b, LetterU(), LetterV(), ZSplit(e, kIdU, kIdV), std::move(b.clip), kCoordX, kCoordY);
      break;
    case 2: AddFlatPlot(pass, b, 2, ZSplit(e, kIdU, kIdV), e); break;
    case 3: AddFlatPlot(pass, b, 3, ZSplit(e, kIdX, kIdY), e); break;
    default: break;
  }
}

void Add_kR_ThetaPhi(EquationPass& pass, EquationBuild& b) {
  AddSphericalSurface(pass, b, SurfaceInUV(b.equation->operands[1], kIdTheta, kIdPhi), LetterU(), LetterV(),
                      kCoordTheta, kCoordPhi);
}

void Add_kTheta_RPhi(EquationPass& pass, EquationBuild& b) {
  AddSphericalSurface(pass, b, LetterU(), SurfaceInUV(b.equation->operands[1], kIdR, kIdPhi), LetterV(), kCoordR,
                      kCoordPhi);
}

void Add_kPhi_RTheta(EquationPass& pass, EquationBuild& b) {
  AddSphericalSurface(pass, b, LetterU(), LetterV(), SurfaceInUV(b.equation->operands[1], kIdR, kIdTheta), kCoordR,
                      kCoordTheta);
}

void Add_kRThetaPhi_uv(EquationPass& pass, EquationBuild& b) {
  const ExpressionRecord* c = b.equation->operands[1];
  AddSphericalSurface(pass, b, Copy(c->operands[0]), Copy(c->operands[1]), Copy(c->operands[2]), kCoordU, kCoordV);
}

void Add_kXYZ_equals_XYZ(EquationPass& pass, EquationBuild& b) {
  const ExpressionRecord* e = b.equation;
  Compiled f(pass.Required(Tree(Minus(Copy(e->operands[0]), Copy(e->operands[1]))))),
      cc(pass.Optional(std::move(b.clip)));
  if (gGraphMakers.ImplicitSurface == nullptr) return;
  AGraphView& target = *pass.View3D(b.view);
  const GraphViewRecord& record = target.Record();
  std::unique_ptr<A3DGraph> graph =
      gGraphMakers.ImplicitSurface(std::move(f), b.grain, b.opacity, std::move(b.colour), std::move(cc), b.mode,
                                   record.ranges[kCoordX], record.ranges[kCoordY], record.ranges[kCoordZ], target);
  if (graph == nullptr) return;
  const int32_t before = target.GraphCount();
  A3DGraph* const surface = graph.get();
  pass.AddGraph(std::move(graph), b.view);
  // The mirror shows the surface while the first view keeps it.
  if (b.view == 0 && b.ct.kind == CoordinateTransformation::kSpace && target.GraphCount() > before)
    ShowThroughSpace(pass, b.ct, gGraphMakers.TransformedImplicitSurface, surface);
  pass.ShowXYZ(b.view);
}

void Add_kW_Z(EquationPass& pass, EquationBuild& b) {
  const ExpressionRecord* g = b.equation->operands[1];
  Add4DSurface(pass, b, LetterU(), LetterV(), Real(ZSplit(g, kIdU, kIdV)), Imag(ZSplit(g, kIdU, kIdV)), kCoordX,
               kCoordY);
}

void Add_kXYZW_uv(EquationPass& pass, EquationBuild& b) {
  const ExpressionRecord* c = b.equation->operands[1];
  Add4DSurface(pass, b, Copy(c->operands[0]), Copy(c->operands[1]), Copy(c->operands[2]), Copy(c->operands[3]), kCoordU,
               kCoordV);
}
