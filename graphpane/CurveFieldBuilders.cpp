#include "expression/TreeBuilding.h"
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
#include "graphpane/CoordinateTransformRewrites.h"
#include "graphpane/GraphBuilders.h"
#include "graphpane/GraphMakers.h"
#include "graphpane/GraphRewrites.h"
#include "graphpane/PassTrees.h"
#include "graphpane/TransformedBuilders.h"
#include "platform/CheckedConvert.h"

namespace {

const ExpressionRecord* Operand(const ExpressionRecord* e, int i) { return e->operands[i]; }
const ExpressionRecord* Entry(const ExpressionRecord* e, int i) { return e->operands[1]->operands[i]; }

// A copy with x and y renamed u and v, the variables of a plane raster.
ExpressionRecord* CurveInUV(ExpressionRecord* tree) {
  if (tree != nullptr) ReplaceAtoms(tree, kIdX, kIdU), ReplaceAtoms(tree, kIdY, kIdV);
  return tree;
}

bool IsPlane(const CoordinateTransformation& ct) {
  return ct.kind == CoordinateTransformation::kPlaneFromTransformed ||
         ct.kind == CoordinateTransformation::kPlaneFromSource;
}

void AddDEPlot(EquationPass& pass, EquationBuild& b, ExpressionRecord* first, ExpressionRecord* second) {
  Compiled f(pass.Required(Tree(first))), g(pass.Optional(Tree(second))), sx(pass.Optional(std::move(b.startX))),
      sy(pass.Optional(std::move(b.startY)));
  if (gGraphMakers.DEPlot == nullptr) return;
  std::unique_ptr<A2DGraph> graph = gGraphMakers.DEPlot(std::move(f), std::move(g), std::move(sx), std::move(sy),
                                                        std::move(b.colour), b.grain, *pass.View2D(b.view));
  if (graph == nullptr) return;
  pass.AddGraph(std::move(graph), b.view);
  ListForResampling(pass, b.view, b.ct);
}

}  // namespace

void Add_kXYt(EquationPass& pass, EquationBuild& b) {
  AddCurveInT(pass, b, Copy(Operand(b.equation, 0)), Copy(Operand(b.equation, 1)), 3);
}

void Add_kXY_t(EquationPass& pass, EquationBuild& b) {
  AddCurveInT(pass, b, Copy(Entry(b.equation, 0)), Copy(Entry(b.equation, 1)), 3);
}

void Add_kZ_t(EquationPass& pass, EquationBuild& b) {
  const ExpressionRecord* f = Operand(b.equation, 1);
  AddCurveInT(pass, b, Real(Copy(f)), Imag(Copy(f)), 3);
}

void Add_kXYZt(EquationPass& pass, EquationBuild& b) {
  const ExpressionRecord* e = b.equation;
  AddSpaceCurve(pass, b, Copy(Operand(e, 0)), Copy(Operand(e, 1)), Copy(Operand(e, 2)), std::move(b.radius),
                std::move(b.clip), b.opacity, kIdT, kCoordT);
}

void Add_kXYZuv(EquationPass& pass, EquationBuild& b) {
  const ExpressionRecord* e = b.equation;
  if (AddGridSurface(pass, b, Copy(Operand(e, 0)), Copy(Operand(e, 1)), Copy(Operand(e, 2)), std::move(b.clip), kCoordU,
                     kCoordV))
    pass.ShowFlags({kCoordU, kCoordV});
}

void Add_kRGB_xy(EquationPass& pass, EquationBuild& b) {
  const ExpressionRecord* e = b.equation;
  const int32_t view = b.view;
  const CoordinateTransformation& ct = b.ct;
  const bool hsv = b.kind == GraphKind::kHSV_xy;
  Colour mirror = ct.kind == CoordinateTransformation::kPlaneFromTransformed
                      ? MirrorColour(pass, view, ct, b.colour.get())
                      : nullptr;
  Tree mirrored[4];
  if (mirror) {
    for (int i = 0; i < 3; ++i) {
      mirrored[i] = Tree(Copy(Entry(e, i)));
      if (!mirrored[i] || !TransformExpr(mirrored[i].get(), ct)) mirror.reset();
      CurveInUV(mirrored[i].get());
    }
    mirrored[3] = KeepFor(mirror.get(), b.extra.get());
    if (mirrored[3] && !TransformExpr(mirrored[3].get(), ct)) mirror.reset();
  }
  const auto plot = [&pass, hsv](Tree(&c)[4], Colour plotColour, int32_t k) {
    Compiled first(pass.Required(std::move(c[0]))), second(pass.Required(std::move(c[1]))),
        third(pass.Required(std::move(c[2]))), complex(pass.Optional(std::move(c[3])));
    return gGraphMakers.ColorPlot(std::move(first), std::move(second), std::move(third), std::move(complex), hsv,
                                  std::move(plotColour), *pass.View2D(k));
  };
  if (gGraphMakers.ColorPlot == nullptr) return;
  Tree own[4] = {Tree(CurveInUV(Copy(Entry(e, 0)))), Tree(CurveInUV(Copy(Entry(e, 1)))),
                 Tree(CurveInUV(Copy(Entry(e, 2)))), std::move(b.extra)};
  std::unique_ptr<A2DGraph> graph = plot(own, std::move(b.colour), view);
  if (graph == nullptr) return;
  pass.AddGraph(std::move(graph), view);
  if (view != 0) return;
  if (ct.kind == CoordinateTransformation::kPlaneFromSource) pass.AppendTransformSource();
  if (mirror)
    if (std::unique_ptr<A2DGraph> second = plot(mirrored, std::move(mirror), 1))
      pass.AddGraph_TransformedCoordinates(std::move(second));
}

void Add_k4DVertexList(EquationPass& pass, EquationBuild& b) {
  Compiled vertices(pass.Required(Tree(Copy(b.equation))));
  if (gGraphMakers.VertexList4D == nullptr) return;
  std::unique_ptr<A4DGraph> graph = gGraphMakers.VertexList4D(std::move(vertices), std::move(b.colour), *pass.View4D());
  if (graph == nullptr) return;
  pass.AddGraph(std::move(graph), b.view);
  pass.ShowXYZ(0);
  pass.ShowFlags({kCoordW});
}

void ListForResampling(EquationPass& pass, int32_t view, const CoordinateTransformation& ct) {
  if (view == 0 && IsPlane(ct)) pass.AppendTransformSource();
}

void Add_kODEdydx(EquationPass& pass, EquationBuild& b) { AddDEPlot(pass, b, Copy(Operand(b.equation, 1)), nullptr); }

void Add_kODEdrdt(EquationPass& pass, EquationBuild& b) {
  AddDEPlot(pass, b, Copy(Entry(b.equation, 0)), Copy(Entry(b.equation, 1)));
}

// dz/dt = f(z) is the plane system of f's real and imaginary parts at
// z = x + i·y.
void Add_kODEdzdt(EquationPass& pass, EquationBuild& b) {
  Tree re(Copy(Operand(b.equation, 1))), im(Copy(Operand(b.equation, 1)));
  for (const Tree* part : {&re, &im})
    if (*part) ReplaceAtom(part->get(), kIdZ, kIdX, kIdY);
  AddDEPlot(pass, b, Real(re.release()), Imag(im.release()));
}

// Arrows of equal length when the block's xy type has bit 2 (value 4) set.
void Add_kXY_XY(EquationPass& pass, EquationBuild& b) {
  const bool equalLength = (DoubleToInt32(b.xyType) & 4) != 0;
  Compiled vx(pass.Required(Tree(Copy(Entry(b.equation, 0))))), vy(pass.Required(Tree(Copy(Entry(b.equation, 1)))));
  if (gGraphMakers.VectorPlot == nullptr) return;
  std::unique_ptr<A2DGraph> graph = gGraphMakers.VectorPlot(std::move(vx), std::move(vy), b.grain, std::move(b.colour),
                                                            equalLength, *pass.View2D(b.view));
  if (graph == nullptr) return;
  pass.AddGraph(std::move(graph), b.view);
  ListForResampling(pass, b.view, b.ct);
}
