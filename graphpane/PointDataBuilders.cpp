#include <utility>

#include "expression/TreeCopying.h"
#include "expression/TreeShorthands.h"
#include "graphpane/A2DGraph.h"
#include "graphpane/A3DGraph.h"
#include "graphpane/AGraphColor.h"
#include "graphpane/AGraphView.h"
#include "graphpane/EquationPass.h"
#include "graphpane/GraphBuilders.h"
#include "graphpane/GraphMakers.h"
#include "graphpane/PassTrees.h"
#include "graphpane/TransformedBuilders.h"

namespace {

const ExpressionRecord* OperandOf(const ExpressionRecord* e, int i) { return e->operands[i]; }

// The entries of the column on the right side.
const ExpressionRecord* PointEntry(const ExpressionRecord* e, int i) { return e->operands[1]->operands[i]; }

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

// A point in space as new trees: (x, y, z) = anything, or the right-side
// column (r, theta, z) or (r, theta, phi).
struct SpacePoint {
  ExpressionRecord *x, *y, *z;
};
SpacePoint Cartesian(const ExpressionRecord* e) {
  return {Copy(OperandOf(e, 0)), Copy(OperandOf(e, 1)), Copy(OperandOf(e, 2))};
}
SpacePoint Cylindrical(const ExpressionRecord* e) {
  return {PolarX(PointEntry(e, 0), PointEntry(e, 1)), PolarY(PointEntry(e, 0), PointEntry(e, 1)),
          Copy(PointEntry(e, 2))};
}
SpacePoint Spherical(const ExpressionRecord* e) {
  const ExpressionRecord *r = PointEntry(e, 0), *theta = PointEntry(e, 1), *phi = PointEntry(e, 2);
  return {SphericalX(r, theta, phi), SphericalY(r, theta, phi), SphericalZ(r, phi)};
}

// A plane point (x, y) with the build's styles; draggable for a complex
// parameter.
void AddPoint(EquationPass& pass, EquationBuild& b, ExpressionRecord* x, ExpressionRecord* y, bool draggable = false) {
  Colour mirror = MirrorColour(pass, b.view, b.ct, b.colour.get());
  const Tree keep[5] = {KeepFor(mirror.get(), x), KeepFor(mirror.get(), y), KeepFor(mirror.get(), b.symbol.get()),
                        KeepFor(mirror.get(), b.label.get()), KeepFor(mirror.get(), b.fontSize.get())};
  Compiled cx(pass.Required(Tree(x))), cy(pass.Required(Tree(y))), cs(pass.Optional(std::move(b.symbol))),
      cl(pass.Optional(std::move(b.label))), cz(pass.Optional(std::move(b.fontSize)));
  if (gGraphMakers.Point == nullptr) return;
  std::unique_ptr<A2DGraph> graph =
      gGraphMakers.Point(std::move(cx), std::move(cy), std::move(cs), std::move(cl), std::move(cz), std::move(b.colour),
                         draggable, *pass.View2D(b.view));
  if (graph == nullptr) return;
  pass.AddGraph(std::move(graph), b.view);
  Add_transformed_Point(pass, b.ct, b.view, keep[0].get(), keep[1].get(), std::move(mirror), keep[2].get(),
                        keep[3].get(), keep[4].get());
}

// The styles of a data plot: condition, radius, symbol, label, font size.
void TakeStyles(EquationBuild& b, Tree (&style)[5]) {
  style[0] = std::move(b.clip), style[1] = std::move(b.radius), style[2] = std::move(b.symbol);
  style[3] = std::move(b.label), style[4] = std::move(b.fontSize);
}

void AddData2D(EquationPass& pass, EquationBuild& b, ExpressionRecord* x, ExpressionRecord* y) {
  Tree style[5];
  TakeStyles(b, style);
  Colour mirror = MirrorColour(pass, b.view, b.ct, b.colour.get());
  const Tree kx = KeepFor(mirror.get(), x), ky = KeepFor(mirror.get(), y);
  Tree ks[5];
  const ExpressionRecord* kept[5];
  Compiled cs[5];
  for (int i = 0; i < 5; ++i) {
    ks[i] = KeepFor(mirror.get(), style[i].get());
    kept[i] = ks[i].get();
    cs[i] = Compiled(pass.Optional(std::move(style[i])));
  }
  Compiled cx(pass.Required(Tree(x))), cy(pass.Required(Tree(y)));
  if (gGraphMakers.Data2D == nullptr) return;
  std::unique_ptr<A2DGraph> graph =
      gGraphMakers.Data2D(std::move(cx), std::move(cy), std::move(b.colour), std::move(cs[0]), std::move(cs[1]),
                          std::move(cs[2]), std::move(cs[3]), std::move(cs[4]), *pass.View2D(b.view), pass.Document());
  if (graph == nullptr) return;
  pass.AddGraph(std::move(graph), b.view);
  Add_transformed_Data2D(pass, b.ct, b.view, kx.get(), ky.get(), kept, std::move(mirror), pass.Document());
}

void AddData3D(EquationPass& pass, EquationBuild& b, SpacePoint p) {
  ExpressionRecord *x = p.x, *y = p.y, *z = p.z;
  Tree style[5];
  TakeStyles(b, style);
  const int32_t view = b.view;
  Colour mirror =
      b.ct.kind == CoordinateTransformation::kSpace ? MirrorColour(pass, view, b.ct, b.colour.get()) : nullptr;
  const Tree kx = KeepFor(mirror.get(), x), ky = KeepFor(mirror.get(), y), kz = KeepFor(mirror.get(), z);
  Tree ks[5];
  Compiled cs[5];
  for (int i = 0; i < 5; ++i) {
    ks[i] = KeepFor(mirror.get(), style[i].get());
    cs[i] = Compiled(pass.Optional(std::move(style[i])));
  }
  Compiled cx(pass.Required(Tree(x))), cy(pass.Required(Tree(y))), cz(pass.Required(Tree(z)));
  if (gGraphMakers.Data3D == nullptr) return;
  std::array<Compiled, 5> s = {std::move(cs[0]), std::move(cs[1]), std::move(cs[2]), std::move(cs[3]),
                               std::move(cs[4])};
  std::unique_ptr<A3DGraph> graph = gGraphMakers.Data3D(std::move(cx), std::move(cy), std::move(cz), std::move(s),
                                                        std::move(b.colour), *pass.View3D(view), pass.Document());
  if (graph == nullptr) return;
  pass.AddGraph(std::move(graph), view);
  Tree out[3], condition;
  if (mirror && TransformXYZ(b.ct, kx.get(), ky.get(), kz.get(), ks[0].get(), mirror.get(), out, &condition)) {
    Compiled tx(pass.Required(std::move(out[0]))), ty(pass.Required(std::move(out[1]))),
        tz(pass.Required(std::move(out[2])));
    std::array<Compiled, 5> t = {Compiled(pass.Optional(std::move(condition))),
                                 Compiled(pass.Optional(std::move(ks[1]))), Compiled(pass.Optional(std::move(ks[2]))),
                                 Compiled(pass.Optional(std::move(ks[3]))), Compiled(pass.Optional(std::move(ks[4])))};
    std::unique_ptr<A3DGraph> second = gGraphMakers.Data3D(std::move(tx), std::move(ty), std::move(tz), std::move(t),
                                                           std::move(mirror), *pass.View3D(1), pass.Document());
    if (second != nullptr) {
      pass.AddGraph_TransformedCoordinates(std::move(second));
      pass.ShowXYZ(1);
    }
  }
  pass.ShowXYZ(view);
}

void AddPoint3D(EquationPass& pass, EquationBuild& b, SpacePoint p) {
  ExpressionRecord *x = p.x, *y = p.y, *z = p.z;
  const int32_t view = b.view;
  Colour mirror =
      b.ct.kind == CoordinateTransformation::kSpace ? MirrorColour(pass, view, b.ct, b.colour.get()) : nullptr;
  const Tree kx = KeepFor(mirror.get(), x), ky = KeepFor(mirror.get(), y), kz = KeepFor(mirror.get(), z);
  Compiled cx(pass.Required(Tree(x))), cy(pass.Required(Tree(y))), cz(pass.Required(Tree(z)));
  if (gGraphMakers.Point3D == nullptr) return;
  std::unique_ptr<A3DGraph> graph = gGraphMakers.Point3D(std::move(cx), std::move(cy), std::move(cz),
                                                         std::move(b.colour), b.grain, b.opacity, *pass.View3D(view));
  if (graph == nullptr) return;
  pass.AddGraph(std::move(graph), view);
  Tree out[3];
  if (mirror && TransformXYZ(b.ct, kx.get(), ky.get(), kz.get(), nullptr, mirror.get(), out, nullptr)) {
    Compiled tx(pass.Required(std::move(out[0]))), ty(pass.Required(std::move(out[1]))),
        tz(pass.Required(std::move(out[2])));
    std::unique_ptr<A3DGraph> second = gGraphMakers.Point3D(std::move(tx), std::move(ty), std::move(tz),
                                                            std::move(mirror), b.grain, b.opacity, *pass.View3D(1));
    if (second != nullptr) {
      pass.AddGraph_TransformedCoordinates(std::move(second));
      pass.ShowXYZ(1);
    }
  }
  pass.ShowXYZ(view);
}

}  // namespace

void Add_kXY(EquationPass& pass, EquationBuild& b) {
  AddPoint(pass, b, Copy(OperandOf(b.equation, 0)), Copy(OperandOf(b.equation, 1)));
}

void Add_kRTheta(EquationPass& pass, EquationBuild& b) {
  const ExpressionRecord* e = b.equation;
  AddPoint(pass, b, PolarX(PointEntry(e, 0), PointEntry(e, 1)), PolarY(PointEntry(e, 0), PointEntry(e, 1)));
}

void Add_kComplexConstant(EquationPass& pass, EquationBuild& b) {
  AddPoint(pass, b, Real(Copy(OperandOf(b.equation, 1))), Imag(Copy(OperandOf(b.equation, 1))));
}

// The point reads the parameter's value, so that dragging it moves it.
void Add_kComplexParameter(EquationPass& pass, EquationBuild& b) {
  AddPoint(pass, b, Real(Copy(OperandOf(b.equation, 0))), Imag(Copy(OperandOf(b.equation, 0))), true);
}

void Add_kData2D(EquationPass& pass, EquationBuild& b) {
  AddData2D(pass, b, Copy(OperandOf(b.equation, 0)), Copy(OperandOf(b.equation, 1)));
}

void Add_kData2DRTheta(EquationPass& pass, EquationBuild& b) {
  const ExpressionRecord* e = b.equation;
  AddData2D(pass, b, PolarX(PointEntry(e, 0), PointEntry(e, 1)), PolarY(PointEntry(e, 0), PointEntry(e, 1)));
}

void Add_kData3D(EquationPass& pass, EquationBuild& b) { AddData3D(pass, b, Cartesian(b.equation)); }

void Add_kDataRThetaZ(EquationPass& pass, EquationBuild& b) { AddData3D(pass, b, Cylindrical(b.equation)); }

void Add_kDataRThetaPhi(EquationPass& pass, EquationBuild& b) { AddData3D(pass, b, Spherical(b.equation)); }

void Add_k3DPoint(EquationPass& pass, EquationBuild& b) { AddPoint3D(pass, b, Cartesian(b.equation)); }

void Add_k3DPointRThetaZ(EquationPass& pass, EquationBuild& b) { AddPoint3D(pass, b, Cylindrical(b.equation)); }

void Add_k3DPointRThetaPhi(EquationPass& pass, EquationBuild& b) { AddPoint3D(pass, b, Spherical(b.equation)); }

void Add_kArrow(EquationPass& pass, EquationBuild& b) {
  const ExpressionRecord *from = OperandOf(b.equation, 0), *to = OperandOf(b.equation, 1);
  Colour mirror = MirrorColour(pass, b.view, b.ct, b.colour.get());
  Compiled c[4] = {
      Compiled(pass.Required(Tree(Copy(OperandOf(from, 0))))), Compiled(pass.Required(Tree(Copy(OperandOf(from, 1))))),
      Compiled(pass.Required(Tree(Copy(OperandOf(to, 0))))), Compiled(pass.Required(Tree(Copy(OperandOf(to, 1)))))};
  if (gGraphMakers.Arrow == nullptr) return;
  std::unique_ptr<A2DGraph> graph = gGraphMakers.Arrow(std::move(c[0]), std::move(c[1]), std::move(c[2]),
                                                       std::move(c[3]), std::move(b.colour), *pass.View2D(b.view));
  if (graph == nullptr) return;
  pass.AddGraph(std::move(graph), b.view);
  Add_transformed_Arrow(pass, b.ct, b.view, OperandOf(from, 0), OperandOf(from, 1), OperandOf(to, 0), OperandOf(to, 1),
                        std::move(mirror));
}

// One arrow of the field from the first point to the second.
void Add_k3DArrow(EquationPass& pass, EquationBuild& b) {
  const int32_t view = b.view;
  const CoordinateTransformation& ct = b.ct;
  const ExpressionRecord *from = OperandOf(b.equation, 0), *to = OperandOf(b.equation, 1);
  Tree start[3], direction[3];
  for (int i = 0; i < 3; ++i) {
    start[i] = Tree(Copy(OperandOf(from, i)));
    direction[i] = Tree(Minus(Copy(OperandOf(to, i)), Copy(OperandOf(from, i))));
  }
  // The mirror's start point and direction, the direction carried as if it
  // were a point.
  Colour mirror = ct.kind == CoordinateTransformation::kSpace ? MirrorColour(pass, view, ct, b.colour.get()) : nullptr;
  Tree mirrored[2][3], mirroredRadius = KeepFor(mirror.get(), b.radius.get());
  if (mirror) {
    Tree s[3], d[3];
    const bool built =
        TransformXYZ(ct, start[0].get(), start[1].get(), start[2].get(), nullptr, mirror.get(), s, nullptr) &&
        TransformXYZ(ct, direction[0].get(), direction[1].get(), direction[2].get(), nullptr, nullptr, d, nullptr);
    for (int i = 0; i < 3; ++i) mirrored[0][i] = std::move(s[i]), mirrored[1][i] = std::move(d[i]);
    if (!built) mirror.reset();
  }
  if (gGraphMakers.StartOnPoint == nullptr) return;
  const auto arrow = [&pass](Tree(&s)[3], Tree(&d)[3], Tree r, Colour c, AGraphView& target) {
    std::array<Compiled, 3> cs, cd;
    for (int i = 0; i < 3; ++i)
      cs[i] = Compiled(pass.Required(std::move(s[i]))), cd[i] = Compiled(pass.Required(std::move(d[i])));
    A3DGraph* solutions = nullptr;
    return gGraphMakers.StartOnPoint(std::move(cd), std::move(cs), Compiled(pass.Optional(std::move(r))), nullptr, 1.0,
                                     std::move(c), 0, target, &solutions);
  };
  std::unique_ptr<A3DGraph> graph =
      arrow(start, direction, std::move(b.radius), std::move(b.colour), *pass.View3D(view));
  if (graph == nullptr) return;
  pass.AddGraph(std::move(graph), view);
  if (mirror) {
    if (std::unique_ptr<A3DGraph> second =
            arrow(mirrored[0], mirrored[1], std::move(mirroredRadius), std::move(mirror), *pass.View3D(1))) {
      pass.AddGraph_TransformedCoordinates(std::move(second));
      pass.ShowXYZ(1);
    }
  }
  pass.ShowXYZ(view);
}
