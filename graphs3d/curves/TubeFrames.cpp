#include "graphs3d/curves/TubeFrames.h"

#include <cmath>

#include "renderer/TriangleFacing.h"

namespace {

constexpr double kParallelCross = 1e-7;

AVector Of(const Vertex& v) { return {v.x, v.y, v.z}; }

bool Finite(AVector v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

double Length(AVector v) { return std::sqrt(Dot(v, v)); }

AVector Unit(AVector v) { return (1 / Length(v)) * v; }

// False when there is no direction to take.
bool CurveTangent(const Vertex* points, int32_t count, int32_t i, AVector* tangent) {
  const AVector p = Of(points[i]);
  if (!Finite(p)) return false;
  AVector d;
  if (i + 1 < count && Finite(Of(points[i + 1]))) {
    d = Of(points[i + 1]) - p;
  } else if (i > 0 && Finite(Of(points[i - 1]))) {
    d = p - Of(points[i - 1]);
  } else {
    return false;
  }
  const double length = Length(d);
  if (!(length > 0) || !std::isfinite(length)) return false;
  *tangent = (1 / length) * d;
  return true;
}

bool StraightTangent(const Vertex* points, int32_t count, AVector quarter, AVector* tangent) {
  const AVector d = Of(points[count - 1]) - Of(points[0]);
  const double length = Length(d);
  if (!(length > 0) || !std::isfinite(length)) return false;
  const AVector t = (1 / length) * d;
  *tangent = {t.x / quarter.x, t.y / quarter.y, t.z / quarter.z};
  return Finite(*tangent);
}

AVector MirroredLike(AVector t, AVector quarter) {
  return {quarter.x < 0 ? -t.x : t.x, quarter.y < 0 ? -t.y : t.y, quarter.z < 0 ? -t.z : t.z};
}

AVector FirstSide(AVector t) {
  return std::fabs(t.z) <= std::fabs(t.x) ? Unit(Cross(t, {0, 0, 1})) : Unit(Cross(t, {1, 0, 0}));
}

// v turned about the axis a = t x next (|a|^2 = square of the sine,
// t . next = cosine) by the angle that takes t to next, without the angle
// (Rodrigues' formula): v cos + a x v + a (a . v) (1 - cos) / sin^2, the
// last factor taken as 1 / (1 + cos) where that cancels less.
AVector Turned(AVector v, AVector a, double square, double cosine) {
  double k;
  if (cosine > 0) {
    k = 1 / (1 + cosine);
  } else {
    const double sine = std::sqrt(square);
    k = (1 - cosine) / (sine * sine);
  }
  return cosine * v + Cross(a, v) + (Dot(a, v) * k) * a;
}

}  // namespace

void ComputeTubeFrames(const Vertex* points, int32_t count, bool straight, AVector quarter, TubeFrame* frames) {
  AVector straightTangent;
  const bool straightValid = straight && count > 0 && StraightTangent(points, count, quarter, &straightTangent);
  for (int32_t i = 0; i < count; ++i) {
    TubeFrame& f = frames[i];
    if (straight) {
      f.valid = straightValid && Finite(Of(points[i]));
      f.tangent = straightTangent;
    } else {
      f.valid = CurveTangent(points, count, i, &f.tangent);
      f.tangent = MirroredLike(f.tangent, quarter);
    }
  }
  const double scale[3] = {quarter.x, quarter.y, quarter.z};
  const bool mirrored = MirrorsModel(scale);
  bool haveFrame = false;
  AVector side;
  for (int32_t i = 0; i < count; ++i) {
    TubeFrame& f = frames[i];
    if (!f.valid) {
      haveFrame = false;
      continue;
    }
    if (!haveFrame) side = FirstSide(f.tangent);
    haveFrame = true;
    f.side = side;
    // A curved tube's side is a unit vector, carried by turns that keep its
    // length and its right angle to the tangent to rounding, across a unit
    // tangent: their cross product is a unit vector without a root. A
    // straight tube's tangent is in model units.
    f.across = straight ? Unit(Cross(side, f.tangent)) : Cross(side, f.tangent);
    if (mirrored) f.across = -1 * f.across;
    if (straight || i + 1 >= count || !frames[i + 1].valid) continue;
    const AVector next = frames[i + 1].tangent;
    const AVector axis = Cross(f.tangent, next);
    // The sine's square against the least sine's: no root for every turn.
    const double square = Dot(axis, axis);
    if (square > kParallelCross * kParallelCross) side = Turned(side, axis, square, Dot(next, f.tangent));
  }
}
