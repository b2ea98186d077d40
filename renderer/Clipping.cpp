#include <algorithm>
#include <cmath>

#include "CoreUtilities/files/ErrorQueue.h"
#include "renderer/DrawContext.h"
#include "renderer/SoftwareRasteriser.h"

namespace {

constexpr int kFields = 9;

float* Fields(MVertex& v) { return &v.x; }
const float* Fields(const MVertex& v) { return &v.x; }

// The point at t from a to b, every field alike, with the tested
// coordinate exactly on the bound.
MVertex Crossing(const MVertex& a, const MVertex& b, int axis, float bound) {
  const float t = (bound - Fields(a)[axis]) / (Fields(b)[axis] - Fields(a)[axis]);
  MVertex out;
  for (int k = 0; k < kFields; ++k) Fields(out)[k] = Fields(a)[k] + t * (Fields(b)[k] - Fields(a)[k]);
  Fields(out)[axis] = bound;
  return out;
}

struct Bound {
  int axis;  // 0 x, 1 y
  float value;
  bool upper;
  bool strict;

  bool Inside(const MVertex& v) const {
    const float c = Fields(v)[axis];
    if (!upper) return value <= c;
    return strict ? c < value : c <= value;
  }
};

bool Finite(const MVertex& v) { return std::isfinite(v.x) && std::isfinite(v.y); }

// One pass of the polygon clip.
int ClipPass(const MVertex* in, int count, const Bound& bound, MVertex* out) {
  int inside = 0;
  bool mark[kMaxClippedCorners];
  for (int i = 0; i < count; ++i) inside += mark[i] = bound.Inside(in[i]);
  if (inside == count) {
    std::copy_n(in, count, out);
    return count;
  }
  if (inside == 0) return 0;
  int made = 0;
  for (int i = 0; i < count; ++i) {
    const int previous = i == 0 ? count - 1 : i - 1;
    if (mark[i] != mark[previous]) out[made++] = Crossing(in[previous], in[i], bound.axis, bound.value);
    if (mark[i]) out[made++] = in[i];
  }
  return made;
}

template <typename Draw>
bool ClipTriangle(const MVertex* a, const MVertex* b, const MVertex* c, MDrawContext* ctx, Draw&& draw) {
  MVertex p[kMaxClippedCorners];
  const int count = ClipTriangleToPane(*a, *b, *c, float(ctx->pane.right - ctx->pane.left),
                                       float(ctx->pane.bottom - ctx->pane.top), p);
  for (int k = 2; k < count; ++k)
    if (!draw(&p[0], &p[k - 1], &p[k])) {
      QueueError(kTransparencyMemoryError);
      return false;
    }
  return true;
}

}  // namespace

int ClipTriangleToPane(const MVertex& a, const MVertex& b, const MVertex& c, float w, float h, MVertex* out) {
  if (!Finite(a) || !Finite(b) || !Finite(c)) return 0;
  const Bound bounds[4] = {
      {0, 0, false, false}, {0, w - 0.5f, true, false}, {1, 0, false, false}, {1, h - 0.5f, true, false}};
  // Most triangles lie wholly inside: every pass would copy them unchanged.
  const MVertex* corners[3] = {&a, &b, &c};
  if (std::all_of(corners, corners + 3, [&](const MVertex* v) {
        return std::all_of(bounds, bounds + 4, [v](const Bound& bound) { return bound.Inside(*v); });
      })) {
    out[0] = a, out[1] = b, out[2] = c;
    return 3;
  }
  MVertex passes[2][kMaxClippedCorners];
  passes[0][0] = a, passes[0][1] = b, passes[0][2] = c;
  int count = 3, current = 0;
  for (const Bound& bound : bounds) {
    count = ClipPass(passes[current], count, bound, passes[1 - current]);
    current = 1 - current;
    if (count == 0) return 0;
  }
  std::copy_n(passes[current], count, out);
  return count < 3 ? 0 : count;
}

bool DrawClippedGouraudTriangle(const MVertex* a, const MVertex* b, const MVertex* c, MDrawContext* ctx) {
  return ClipTriangle(a, b, c, ctx, [ctx](const MVertex* p, const MVertex* q, const MVertex* r) {
    return SWDrawTriGouraud(p, q, r, ctx);
  });
}

bool DrawClippedTexturedTriangle(const OurTexture* texture, const MVertex* a, const MVertex* b, const MVertex* c,
                                 MDrawContext* ctx) {
  return ClipTriangle(a, b, c, ctx, [ctx, texture](const MVertex* p, const MVertex* q, const MVertex* r) {
    return SWDrawTriTexture(texture, p, q, r, ctx);
  });
}

bool DrawClippedLine(const MVertex* a, const MVertex* b, MDrawContext* ctx) {
  if (!Finite(*a) || !Finite(*b)) return true;
  const float w = float(ctx->pane.right - ctx->pane.left), h = float(ctx->pane.bottom - ctx->pane.top);
  // The right and bottom bounds leave room for a wide supersampled line.
  const Bound bounds[4] = {
      {0, 0, false, false}, {0, w - 1.5f, true, true}, {1, 0, false, false}, {1, h - 1.5f, true, true}};
  MVertex ends[2] = {*a, *b};
  for (const Bound& bound : bounds) {
    const bool in0 = bound.Inside(ends[0]), in1 = bound.Inside(ends[1]);
    if (!in0 && !in1) return true;
    if (in0 != in1) {
      const int out = in0 ? 1 : 0;
      ends[out] = Crossing(ends[1 - out], ends[out], bound.axis, bound.value);
    }
  }
  if (SWDrawLine(&ends[0], &ends[1], ctx)) return true;
  QueueError(kTransparencyMemoryError);
  return false;
}

bool DrawClippedPoint(const MVertex* v, MDrawContext* ctx) {
  const float w = float(ctx->pane.right - ctx->pane.left), h = float(ctx->pane.bottom - ctx->pane.top);
  if (!(v->x >= 0 && v->x <= w && v->y >= 0 && v->y <= h)) return true;
  if (SWDrawPoint(v, ctx)) return true;
  QueueError(kTransparencyMemoryError);
  return false;
}
