#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "expression/TreeRewriting.h"
#include "expression/TreeShorthands.h"
#include "expression/VariableIds.h"
#include "graphpane/A2DGraph.h"
#include "graphpane/A3DGraph.h"
#include "graphpane/A4DGraph.h"
#include "graphpane/AGraphColor.h"
#include "graphpane/AGraphPane.h"
#include "graphpane/CoordinateTransformRewrites.h"
#include "graphpane/GraphMakers.h"
#include "graphpane/GraphRewrites.h"
#include "graphpane/PassTrees.h"
#include "platform/CheckedConvert.h"

namespace {

const ExpressionRecord* Operand(const ExpressionRecord* e, int i) { return e->operands[i]; }
const ExpressionRecord* Entry(const ExpressionRecord* e, int i) { return e->operands[1]->operands[i]; }

// A copy with x and y renamed u and v, the variables of a plane raster.
ExpressionRecord* InUV(ExpressionRecord* tree) {
  if (tree != nullptr) ReplaceAtoms(tree, kIdX, kIdU), ReplaceAtoms(tree, kIdY, kIdV);
  return tree;
}

bool IsPlane(const CoordinateTransformation& ct) {
  return ct.kind == CoordinateTransformation::kPlaneFromTransformed ||
         ct.kind == CoordinateTransformation::kPlaneFromSource;
}

}  // namespace

void AGraphPane::Add_kXYt(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                          double grain, ExpressionRecord* clip, bool threeD) {
  Add_2D_t(Copy(Operand(e, 0)), Copy(Operand(e, 1)), view, colour, ct, grain, clip, threeD);
}

void AGraphPane::Add_kXY_t(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                           double grain, ExpressionRecord* clip, bool threeD) {
  Add_2D_t(Copy(Entry(e, 0)), Copy(Entry(e, 1)), view, colour, ct, grain, clip, threeD);
}

void AGraphPane::Add_kZ_t(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                          double grain, ExpressionRecord* clip, bool threeD) {
  const ExpressionRecord* f = Operand(e, 1);
  Add_2D_t(Real(Copy(f)), Imag(Copy(f)), view, colour, ct, grain, clip, threeD);
}

// In a 3-D view the plane curve lies in z = 0; its clip is renamed with
// it, so that a condition on t clips.
void AGraphPane::Add_2D_t(ExpressionRecord* x, ExpressionRecord* y, int32_t view, AGraphColor* colour,
                          const CoordinateTransformation& ct, double grain, ExpressionRecord* clip, bool threeD) {
  if (threeD) {
    AddSpaceCurve(x, y, Number(0), nullptr, clip, colour, ct, grain, 1.0, view, kIdT, kCoordT);
    return;
  }
  Tree(clip).reset();
  for (ExpressionRecord* tree : {x, y})
    if (tree != nullptr) ReplaceAtoms(tree, kIdT, kIdU);
  AddPlaneCurve(x, y, view, colour, ct, grain, 3, kCoordT);
}

void AGraphPane::Add_kXYZt(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                           double grain, ExpressionRecord* clip, ExpressionRecord* radius, double opacity) {
  AddSpaceCurve(Copy(Operand(e, 0)), Copy(Operand(e, 1)), Copy(Operand(e, 2)), radius, clip, colour, ct, grain, opacity,
                view, kIdT, kCoordT);
}

void AGraphPane::Add_kXYZuv(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                            double grain, ExpressionRecord* clip, PlottingMode mode, double opacity) {
  if (AddGridSurface(Copy(Operand(e, 0)), Copy(Operand(e, 1)), Copy(Operand(e, 2)), clip, colour, ct, grain, opacity,
                     mode, view, kCoordU, kCoordV))
    ShowFlags({kCoordU, kCoordV});
}

void AGraphPane::Add_kRGB_xy(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                             ExpressionRecord* extra, bool hsv) {
  Tree fourth(extra);
  Colour mirror(ct.kind == CoordinateTransformation::kPlaneFromTransformed ? MirrorColour(view, ct, colour) : nullptr);
  Tree mirrored[4];
  if (mirror) {
    for (int i = 0; i < 3; ++i) {
      mirrored[i] = Tree(Copy(Entry(e, i)));
      if (!mirrored[i] || !TransformExpr(mirrored[i].get(), ct)) mirror.reset();
      InUV(mirrored[i].get());
    }
    mirrored[3] = KeepFor(mirror.get(), extra);
    if (mirrored[3] && !TransformExpr(mirrored[3].get(), ct)) mirror.reset();
  }
  const auto plot = [this, hsv](Tree(&c)[4], AGraphColor* plotColour, int32_t k) {
    Compiled first(Required(c[0].release())), second(Required(c[1].release())), third(Required(c[2].release())),
        complex(Optional(c[3].release()));
    return gGraphMakers.ColorPlot(first.release(), second.release(), third.release(), complex.release(), hsv,
                                  plotColour, *View2D(k));
  };
  if (gGraphMakers.ColorPlot == nullptr) return;
  Tree own[4] = {Tree(InUV(Copy(Entry(e, 0)))), Tree(InUV(Copy(Entry(e, 1)))), Tree(InUV(Copy(Entry(e, 2)))),
                 std::move(fourth)};
  A2DGraph* graph = plot(own, HandOver(colour), view);
  if (graph == nullptr) return;
  AddGraph(graph, view);
  if (view != 0) return;
  if (ct.kind == CoordinateTransformation::kPlaneFromSource) AppendTransformSource();
  if (mirror)
    if (A2DGraph* second = plot(mirrored, mirror.release(), 1)) AddGraph_TransformedCoordinates(second);
}

void AGraphPane::Add_k4DVertexList(ExpressionRecord* e, int32_t view, AGraphColor* colour) {
  Compiled vertices(Required(Copy(e)));
  if (gGraphMakers.VertexList4D == nullptr) return;
  A4DGraph* graph = gGraphMakers.VertexList4D(vertices.release(), HandOver(colour), *View4D());
  if (graph == nullptr) return;
  AddGraph(graph, view);
  ShowXYZ(0);
  ShowFlags({kCoordW});
}

// Differential equations and vector fields are only ever resampled in the
// second view of a plane transformation.
void AGraphPane::ListForResampling(int32_t view, const CoordinateTransformation& ct) {
  if (view == 0 && IsPlane(ct)) AppendTransformSource();
}

void AGraphPane::AddDEPlot(ExpressionRecord* first, ExpressionRecord* second, int32_t view, AGraphColor* colour,
                           const CoordinateTransformation& ct, double grain, ExpressionRecord* startX,
                           ExpressionRecord* startY) {
  Compiled a(Required(first)), b(Optional(second)), sx(Optional(startX)), sy(Optional(startY));
  if (gGraphMakers.DEPlot == nullptr) return;
  A2DGraph* graph =
      gGraphMakers.DEPlot(a.release(), b.release(), sx.release(), sy.release(), HandOver(colour), grain, *View2D(view));
  if (graph == nullptr) return;
  AddGraph(graph, view);
  ListForResampling(view, ct);
}

void AGraphPane::Add_kODEdydx(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                              const CoordinateTransformation& ct, double grain, ExpressionRecord* startX,
                              ExpressionRecord* startY) {
  AddDEPlot(Copy(Operand(e, 1)), nullptr, view, colour, ct, grain, startX, startY);
}

void AGraphPane::Add_kODEdrdt(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                              const CoordinateTransformation& ct, double grain, ExpressionRecord* startX,
                              ExpressionRecord* startY) {
  AddDEPlot(Copy(Entry(e, 0)), Copy(Entry(e, 1)), view, colour, ct, grain, startX, startY);
}

// dz/dt = f(z) is the plane system of f's real and imaginary parts at
// z = x + i·y.
void AGraphPane::Add_kODEdzdt(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                              const CoordinateTransformation& ct, double grain, ExpressionRecord* startX,
                              ExpressionRecord* startY) {
  Tree re(Copy(Operand(e, 1))), im(Copy(Operand(e, 1)));
  for (const Tree* part : {&re, &im})
    if (*part) ReplaceAtom(part->get(), kIdZ, kIdX, kIdY);
  AddDEPlot(Real(re.release()), Imag(im.release()), view, colour, ct, grain, startX, startY);
}

// Arrows of equal length when the block's xy type has bit 2 (value 4) set.
void AGraphPane::Add_kXY_XY(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                            double grain, double xyType) {
  const bool equalLength = (DoubleToInt32(xyType) & 4) != 0;
  Compiled vx(Required(Copy(Entry(e, 0)))), vy(Required(Copy(Entry(e, 1))));
  if (gGraphMakers.VectorPlot == nullptr) return;
  A2DGraph* graph =
      gGraphMakers.VectorPlot(vx.release(), vy.release(), grain, HandOver(colour), equalLength, *View2D(view));
  if (graph == nullptr) return;
  AddGraph(graph, view);
  ListForResampling(view, ct);
}
