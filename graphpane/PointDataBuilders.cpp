#include <utility>

#include "expression/TreeCopying.h"
#include "expression/TreeShorthands.h"
#include "graphpane/A2DGraph.h"
#include "graphpane/A3DGraph.h"
#include "graphpane/AGraphColor.h"
#include "graphpane/AGraphPane.h"
#include "graphpane/GraphMakers.h"
#include "graphpane/PassTrees.h"

namespace {

const ExpressionRecord* Operand(const ExpressionRecord* e, int i) { return e->operands[i]; }

// The entries of the column on the right side.
const ExpressionRecord* Entry(const ExpressionRecord* e, int i) { return e->operands[1]->operands[i]; }

// Cartesian coordinates of polar (r, theta), cylindrical (r, theta, z) and
// spherical (r, theta, phi) entries, over copies.
ExpressionRecord* PolarX(const ExpressionRecord* r, const ExpressionRecord* theta) {
  return Times(Copy(r), Cos(Copy(theta)));
}
ExpressionRecord* PolarY(const ExpressionRecord* r, const ExpressionRecord* theta) {
  return Times(Copy(r), Sin(Copy(theta)));
}
ExpressionRecord* SphericalX(const ExpressionRecord* r, const ExpressionRecord* theta, const ExpressionRecord* phi) {
  return Times3(Copy(r), Sin(Copy(phi)), Cos(Copy(theta)));
}
ExpressionRecord* SphericalY(const ExpressionRecord* r, const ExpressionRecord* theta, const ExpressionRecord* phi) {
  return Times3(Copy(r), Sin(Copy(phi)), Sin(Copy(theta)));
}
ExpressionRecord* SphericalZ(const ExpressionRecord* r, const ExpressionRecord* phi) {
  return Times(Copy(r), Cos(Copy(phi)));
}

}  // namespace

void AGraphPane::Add_kXY(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                         ExpressionRecord* symbol, ExpressionRecord* label, ExpressionRecord* size) {
  Add_kXYcomponents(Copy(Operand(e, 0)), Copy(Operand(e, 1)), view, colour, ct, symbol, label, size);
}

void AGraphPane::Add_kRTheta(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                             ExpressionRecord* symbol, ExpressionRecord* label, ExpressionRecord* size) {
  Add_kXYcomponents(PolarX(Entry(e, 0), Entry(e, 1)), PolarY(Entry(e, 0), Entry(e, 1)), view, colour, ct, symbol, label,
                    size);
}

void AGraphPane::Add_kComplexConstant(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                                      const CoordinateTransformation& ct, ExpressionRecord* symbol,
                                      ExpressionRecord* label, ExpressionRecord* size) {
  Add_kXYcomponents(Real(Copy(Operand(e, 1))), Imag(Copy(Operand(e, 1))), view, colour, ct, symbol, label, size);
}

// The point reads the parameter's value, so that dragging it moves it.
void AGraphPane::Add_kComplexParameter(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                                       const CoordinateTransformation& ct, ExpressionRecord* symbol,
                                       ExpressionRecord* label, ExpressionRecord* size) {
  Add_kXYcomponents(Real(Copy(Operand(e, 0))), Imag(Copy(Operand(e, 0))), view, colour, ct, symbol, label, size, true);
}

void AGraphPane::Add_kXYcomponents(ExpressionRecord* x, ExpressionRecord* y, int32_t view, AGraphColor* colour,
                                   const CoordinateTransformation& ct, ExpressionRecord* symbol,
                                   ExpressionRecord* label, ExpressionRecord* size, bool draggable) {
  Colour mirror(MirrorColour(view, ct, colour));
  const Tree keep[5] = {KeepFor(mirror.get(), x), KeepFor(mirror.get(), y), KeepFor(mirror.get(), symbol),
                        KeepFor(mirror.get(), label), KeepFor(mirror.get(), size)};
  Compiled cx(Required(x)), cy(Required(y)), cs(Optional(symbol)), cl(Optional(label)), cz(Optional(size));
  if (gGraphMakers.Point == nullptr) return;
  A2DGraph* graph = gGraphMakers.Point(cx.release(), cy.release(), cs.release(), cl.release(), cz.release(),
                                       HandOver(colour), draggable, *View2D(view));
  if (graph == nullptr) return;
  AddGraph(graph, view);
  Add_transformed_Point(ct, view, keep[0].get(), keep[1].get(), mirror.release(), keep[2].get(), keep[3].get(),
                        keep[4].get());
}

void AGraphPane::Add_kData2D(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                             ExpressionRecord* const (&style)[5], DocumentRecord* document) {
  Add_kData2Dcomponents(Copy(Operand(e, 0)), Copy(Operand(e, 1)), view, colour, ct, style, document);
}

void AGraphPane::Add_kData2DRTheta(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                                   const CoordinateTransformation& ct, ExpressionRecord* const (&style)[5],
                                   DocumentRecord* document) {
  Add_kData2Dcomponents(PolarX(Entry(e, 0), Entry(e, 1)), PolarY(Entry(e, 0), Entry(e, 1)), view, colour, ct, style,
                        document);
}

void AGraphPane::Add_kData2Dcomponents(ExpressionRecord* x, ExpressionRecord* y, int32_t view, AGraphColor* colour,
                                       const CoordinateTransformation& ct, ExpressionRecord* const (&style)[5],
                                       DocumentRecord* document) {
  Colour mirror(MirrorColour(view, ct, colour));
  const Tree kx = KeepFor(mirror.get(), x), ky = KeepFor(mirror.get(), y);
  Tree ks[5];
  const ExpressionRecord* kept[5];
  Compiled cs[5];
  for (int i = 0; i < 5; ++i) {
    ks[i] = KeepFor(mirror.get(), style[i]);
    kept[i] = ks[i].get();
    cs[i] = Compiled(Optional(style[i]));
  }
  Compiled cx(Required(x)), cy(Required(y));
  if (gGraphMakers.Data2D == nullptr) return;
  A2DGraph* graph = gGraphMakers.Data2D(cx.release(), cy.release(), HandOver(colour), cs[0].release(), cs[1].release(),
                                        cs[2].release(), cs[3].release(), cs[4].release(), *View2D(view), document);
  if (graph == nullptr) return;
  AddGraph(graph, view);
  Add_transformed_Data2D(ct, view, kx.get(), ky.get(), kept, mirror.release(), document);
}

void AGraphPane::Add_kData3D(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                             ExpressionRecord* const (&style)[5], DocumentRecord* document) {
  Add_kData3DComponents(Copy(Operand(e, 0)), Copy(Operand(e, 1)), Copy(Operand(e, 2)), view, colour, ct, style,
                        document);
}

void AGraphPane::Add_kDataRThetaZ(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                                  const CoordinateTransformation& ct, ExpressionRecord* const (&style)[5],
                                  DocumentRecord* document) {
  Add_kData3DComponents(PolarX(Entry(e, 0), Entry(e, 1)), PolarY(Entry(e, 0), Entry(e, 1)), Copy(Entry(e, 2)), view,
                        colour, ct, style, document);
}

void AGraphPane::Add_kDataRThetaPhi(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                                    const CoordinateTransformation& ct, ExpressionRecord* const (&style)[5],
                                    DocumentRecord* document) {
  const ExpressionRecord *r = Entry(e, 0), *theta = Entry(e, 1), *phi = Entry(e, 2);
  Add_kData3DComponents(SphericalX(r, theta, phi), SphericalY(r, theta, phi), SphericalZ(r, phi), view, colour, ct,
                        style, document);
}

void AGraphPane::Add_kData3DComponents(ExpressionRecord* x, ExpressionRecord* y, ExpressionRecord* z, int32_t view,
                                       AGraphColor* colour, const CoordinateTransformation& ct,
                                       ExpressionRecord* const (&style)[5], DocumentRecord* document) {
  Colour mirror(ct.kind == CoordinateTransformation::kSpace ? MirrorColour(view, ct, colour) : nullptr);
  const Tree kx = KeepFor(mirror.get(), x), ky = KeepFor(mirror.get(), y), kz = KeepFor(mirror.get(), z);
  Tree ks[5];
  Compiled cs[5];
  for (int i = 0; i < 5; ++i) {
    ks[i] = KeepFor(mirror.get(), style[i]);
    cs[i] = Compiled(Optional(style[i]));
  }
  Compiled cx(Required(x)), cy(Required(y)), cz(Required(z));
  if (gGraphMakers.Data3D == nullptr) return;
  AnExpression* const s[5] = {cs[0].release(), cs[1].release(), cs[2].release(), cs[3].release(), cs[4].release()};
  A3DGraph* graph =
      gGraphMakers.Data3D(cx.release(), cy.release(), cz.release(), s, HandOver(colour), *View3D(view), document);
  if (graph == nullptr) return;
  AddGraph(graph, view);
  ExpressionRecord *out[3], *condition;
  if (mirror && TransformXYZ(ct, kx.get(), ky.get(), kz.get(), ks[0].get(), mirror.get(), out, &condition)) {
    Compiled tx(Required(out[0])), ty(Required(out[1])), tz(Required(out[2]));
    AnExpression* const t[5] = {Optional(condition), Optional(ks[1].release()), Optional(ks[2].release()),
                                Optional(ks[3].release()), Optional(ks[4].release())};
    A3DGraph* second =
        gGraphMakers.Data3D(tx.release(), ty.release(), tz.release(), t, mirror.release(), *View3D(1), document);
    if (second != nullptr) {
      AddGraph_TransformedCoordinates(second);
      ShowXYZ(1);
    }
  }
  ShowXYZ(view);
}

void AGraphPane::Add_k3DPoint(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                              const CoordinateTransformation& ct, double grain, double opacity) {
  Add_k3DPointComponents(Copy(Operand(e, 0)), Copy(Operand(e, 1)), Copy(Operand(e, 2)), view, colour, ct, grain,
                         opacity);
}

void AGraphPane::Add_k3DPointRThetaZ(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                                     const CoordinateTransformation& ct, double grain, double opacity) {
  Add_k3DPointComponents(PolarX(Entry(e, 0), Entry(e, 1)), PolarY(Entry(e, 0), Entry(e, 1)), Copy(Entry(e, 2)), view,
                         colour, ct, grain, opacity);
}

void AGraphPane::Add_k3DPointRThetaPhi(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                                       const CoordinateTransformation& ct, double grain, double opacity) {
  const ExpressionRecord *r = Entry(e, 0), *theta = Entry(e, 1), *phi = Entry(e, 2);
  Add_k3DPointComponents(SphericalX(r, theta, phi), SphericalY(r, theta, phi), SphericalZ(r, phi), view, colour, ct,
                         grain, opacity);
}

void AGraphPane::Add_k3DPointComponents(ExpressionRecord* x, ExpressionRecord* y, ExpressionRecord* z, int32_t view,
                                        AGraphColor* colour, const CoordinateTransformation& ct, double grain,
                                        double opacity) {
  Colour mirror(ct.kind == CoordinateTransformation::kSpace ? MirrorColour(view, ct, colour) : nullptr);
  const Tree kx = KeepFor(mirror.get(), x), ky = KeepFor(mirror.get(), y), kz = KeepFor(mirror.get(), z);
  Compiled cx(Required(x)), cy(Required(y)), cz(Required(z));
  if (gGraphMakers.Point3D == nullptr) return;
  A3DGraph* graph =
      gGraphMakers.Point3D(cx.release(), cy.release(), cz.release(), HandOver(colour), grain, opacity, *View3D(view));
  if (graph == nullptr) return;
  AddGraph(graph, view);
  ExpressionRecord* out[3];
  if (mirror && TransformXYZ(ct, kx.get(), ky.get(), kz.get(), nullptr, mirror.get(), out, nullptr)) {
    Compiled tx(Required(out[0])), ty(Required(out[1])), tz(Required(out[2]));
    A3DGraph* second =
        gGraphMakers.Point3D(tx.release(), ty.release(), tz.release(), mirror.release(), grain, opacity, *View3D(1));
    if (second != nullptr) {
      AddGraph_TransformedCoordinates(second);
      ShowXYZ(1);
    }
  }
  ShowXYZ(view);
}

void AGraphPane::Add_kArrow(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                            const CoordinateTransformation& ct) {
  const ExpressionRecord *from = Operand(e, 0), *to = Operand(e, 1);
  Colour mirror(MirrorColour(view, ct, colour));
  Compiled c[4] = {Compiled(Required(Copy(Operand(from, 0)))), Compiled(Required(Copy(Operand(from, 1)))),
                   Compiled(Required(Copy(Operand(to, 0)))), Compiled(Required(Copy(Operand(to, 1))))};
  if (gGraphMakers.Arrow == nullptr) return;
  A2DGraph* graph = gGraphMakers.Arrow(c[0].release(), c[1].release(), c[2].release(), c[3].release(), HandOver(colour),
                                       *View2D(view));
  if (graph == nullptr) return;
  AddGraph(graph, view);
  Add_transformed_Arrow(ct, view, Operand(from, 0), Operand(from, 1), Operand(to, 0), Operand(to, 1), mirror.release());
}

// One arrow of the field from the first point to the second.
void AGraphPane::Add_k3DArrow(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                              const CoordinateTransformation& ct, ExpressionRecord* radius) {
  Tree ownedRadius(radius);
  const ExpressionRecord *from = Operand(e, 0), *to = Operand(e, 1);
  Tree start[3], direction[3];
  for (int i = 0; i < 3; ++i) {
    start[i] = Tree(Copy(Operand(from, i)));
    direction[i] = Tree(Minus(Copy(Operand(to, i)), Copy(Operand(from, i))));
  }
  // The mirror's start point and direction, the direction carried as if it
  // were a point.
  Colour mirror(ct.kind == CoordinateTransformation::kSpace ? MirrorColour(view, ct, colour) : nullptr);
  Tree mirrored[2][3], mirroredRadius = KeepFor(mirror.get(), radius);
  if (mirror) {
    ExpressionRecord *s[3], *d[3];
    const bool built =
        TransformXYZ(ct, start[0].get(), start[1].get(), start[2].get(), nullptr, mirror.get(), s, nullptr) &&
        TransformXYZ(ct, direction[0].get(), direction[1].get(), direction[2].get(), nullptr, nullptr, d, nullptr);
    for (int i = 0; i < 3; ++i) mirrored[0][i] = Tree(s[i]), mirrored[1][i] = Tree(built ? d[i] : nullptr);
    if (!built) mirror.reset();
  }
  if (gGraphMakers.StartOnPoint == nullptr) return;
  const auto arrow = [this](Tree(&s)[3], Tree(&d)[3], Tree r, AGraphColor* c, AGraphView& target) {
    Compiled cs[3], cd[3];
    for (int i = 0; i < 3; ++i) cs[i] = Compiled(Required(s[i].release())), cd[i] = Compiled(Required(d[i].release()));
    AnExpression* const field[3] = {cd[0].release(), cd[1].release(), cd[2].release()};
    AnExpression* const point[3] = {cs[0].release(), cs[1].release(), cs[2].release()};
    A3DGraph* solutions = nullptr;
    return gGraphMakers.StartOnPoint(field, point, Optional(r.release()), nullptr, 1.0, c, 0, target, &solutions);
  };
  A3DGraph* graph = arrow(start, direction, std::move(ownedRadius), HandOver(colour), *View3D(view));
  if (graph == nullptr) return;
  AddGraph(graph, view);
  if (mirror) {
    if (A3DGraph* second = arrow(mirrored[0], mirrored[1], std::move(mirroredRadius), mirror.release(), *View3D(1))) {
      AddGraph_TransformedCoordinates(second);
      ShowXYZ(1);
    }
  }
  ShowXYZ(view);
}
