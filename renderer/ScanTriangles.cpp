#include <algorithm>
#include <cmath>

#include "renderer/RasterTarget.h"
#include "renderer/SoftwareRasteriser.h"
#include "renderer/SoftwareTexture.h"

namespace {

// A corner snapped to the sample grid with its interpolated channels:
// alpha, red, green, blue (x 255), then for textures s and t in texels.
template <int C>
struct Corner {
  float x, y;
  double z;
  float c[C];
};

template <int C>
struct Gradients {
  float dx[C], dy[C];
};

// One side of the triangle between two corners, walked a row at a time.
struct Edge {
  float x, xStep;
  double z, zStep;
};

template <int C>
Edge StartEdge(const Corner<C>& from, const Corner<C>& to) {
  const float rows = to.y - from.y;
  return {from.x, (to.x - from.x) / rows, from.z, (to.z - from.z) / rows};
}

// One row's run of pixels, left up to right - 1, with the depth and
// channels at the current pixel.
template <int C>
struct Span {
  int y, left, right;
  double z, zStep;
  float c[C];

  void Step(const Gradients<C>& g) {
    z += zStep;
    for (int k = 0; k < C; ++k) c[k] += g.dx[k];
  }
};

// The walk of the triangle set-up: rows from top to bottom (bottom row
// excluded), pixels floor(left) up to floor(right) - 1. The shader takes
// each row's span; only the left side carries the channels.
template <int C, typename Shade>
bool Walk(const Corner<C> v[3], const Gradients<C>& g, float det, Shade&& shade) {
  const Corner<C>&top = v[0], &middle = v[1], &bottom = v[2];
  const bool flatTop = top.y == middle.y;
  const bool middleLeft = flatTop ? !(top.x < middle.x) : det >= 0;
  // The side that turns at the middle corner, and the side that does not.
  Edge bent = flatTop ? StartEdge(middle, bottom) : StartEdge(top, middle);
  Edge straight = StartEdge(top, bottom);
  float colours[C], colourStep[C];
  auto startLeft = [&](const Corner<C>& from, const Edge& edge) {
    for (int k = 0; k < C; ++k) {
      colours[k] = from.c[k];
      colourStep[k] = g.dy[k] + edge.xStep * g.dx[k];
    }
  };
  if (middleLeft)
    startLeft(flatTop ? middle : top, bent);
  else
    startLeft(top, straight);
  for (int y = int(top.y); y < int(bottom.y); ++y) {
    if (!flatTop && y == int(middle.y)) {
      bent = StartEdge(middle, bottom);
      if (middleLeft) startLeft(middle, bent);
    }
    const Edge& left = middleLeft ? bent : straight;
    const Edge& right = middleLeft ? straight : bent;
    const int xl = int(std::floor(left.x)), xr = int(std::floor(right.x));
    if (xr > xl) {
      Span<C> span{y, xl, xr, left.z, (right.z - left.z) / (xr - xl), {}};
      std::copy_n(colours, C, span.c);
      if (!shade(span)) return false;
    }
    for (Edge* edge : {&bent, &straight}) {
      edge->x += edge->xStep;
      edge->z += edge->zStep;
    }
    for (int k = 0; k < C; ++k) colours[k] += colourStep[k];
  }
  return true;
}

// Snaps and sorts the corners and forms the channel gradients; false when
// the triangle covers no area on the grid.
template <int C>
bool SetUp(const MVertex* const in[3], const RasterTarget& target, float textureSide, Corner<C> v[3], Gradients<C>& g,
           float& det) {
  for (int i = 0; i < 3; ++i) {
    const MVertex& m = *in[i];
    v[i].x = std::floor(m.x * target.scaleX + 0.5f);
    v[i].y = std::floor(m.y * target.scaleY + 0.5f);
    v[i].z = m.z;
    const float channels[6] = {m.alpha * 255, m.red * 255,       m.green * 255,
                               m.blue * 255,  m.s * textureSide, m.t * textureSide};
    std::copy_n(channels, C, v[i].c);
  }
  if (v[0].y == v[1].y && v[1].y == v[2].y) return false;
  // A stable sort of three by y.
  if (v[1].y < v[0].y) std::swap(v[0], v[1]);
  if (v[2].y < v[1].y) {
    std::swap(v[1], v[2]);
    if (v[1].y < v[0].y) std::swap(v[0], v[1]);
  }
  if (v[0].x == v[1].x && v[1].x == v[2].x) return false;
  const float dXm = v[1].x - v[0].x, dYm = v[1].y - v[0].y, dXb = v[2].x - v[0].x, dYb = v[2].y - v[0].y;
  det = dYm * dXb - dXm * dYb;
  if (det == 0) return false;  // collinear corners cover nothing
  for (int k = 0; k < C; ++k) {
    const float dm = v[1].c[k] - v[0].c[k], db = v[2].c[k] - v[0].c[k];
    g.dx[k] = (dYm * db - dYb * dm) / det;
    g.dy[k] = (dXb * dm - dXm * db) / det;
  }
  return true;
}

// The finest level whose texels are at least as many as the triangle's
// pixels.
int TextureLevel(const MVertex* const in[3], float det) {
  const float dsm = in[1]->s - in[0]->s, dtm = in[1]->t - in[0]->t;
  const float dsb = in[2]->s - in[0]->s, dtb = in[2]->t - in[0]->t;
  const float textureDet = dtm * dsb - dsm * dtb;
  const float ratio = std::fabs(det / textureDet);
  for (int level = 0; level <= 8; ++level)
    if (ratio <= float(1 << (2 * level))) return level;
  return 9;
}

int Texel(float coordinate, int side) {
  if (!(coordinate >= 0)) return 0;
  return coordinate < float(side) ? int(coordinate) : side - 1;
}

// Four taps inside the pixel, spread so that no two coincide.
constexpr float kJitter[4][2] = {{0, 0}, {0.9f, 0}, {0, 0.9f}, {0.9f, 0.9f}};

}  // namespace

bool SWDrawTriGouraud(const MVertex* a, const MVertex* b, const MVertex* c, MDrawContext* ctx) {
  const RasterTarget target(ctx);
  const MVertex* in[3] = {a, b, c};
  Corner<4> v[3];
  Gradients<4> g;
  float det;
  if (!SetUp(in, target, 0, v, g, det)) return true;
  if (ctx->fragmentHeads)
    return Walk(v, g, det, [&](Span<4>& s) {
      for (int32_t cell = target.Cell(s.left, s.y), end = cell + s.right - s.left; cell < end; ++cell, s.Step(g))
        if (!InsertFragment(ctx, cell, s.z, PackSample(s.c[0], s.c[1], s.c[2], s.c[3]))) return false;
      return true;
    });
  return Walk(v, g, det, [&](Span<4>& s) {
    const int32_t cell = target.Cell(s.left, s.y);
    target.MarkWritten(cell, cell + s.right - s.left);
    double* depth = ctx->depthBuffer.get() + cell;
    // The next row's span starts near this one's: fetch its depths early.
    if (cell + ctx->bufferCols + 8 < ctx->bufferPixels) {
      __builtin_prefetch(depth + ctx->bufferCols, 1);
      __builtin_prefetch(depth + ctx->bufferCols + 8, 1);
    }
    uint32_t* pixel = target.Pixel(s.left, s.y);
    for (int x = s.left; x < s.right; ++x, ++depth, ++pixel, s.Step(g))
      if (s.z < *depth) {
        *depth = s.z;
        *pixel = PackSample(s.c[0], s.c[1], s.c[2], s.c[3]);
      }
    return true;
  });
}

bool SWDrawTriTexture(const OurTexture* texture, const MVertex* a, const MVertex* b, const MVertex* c,
                      MDrawContext* ctx) {
  if (texture == nullptr) return SWDrawTriGouraud(a, b, c, ctx);
  const RasterTarget target(ctx);
  const MVertex* in[3] = {a, b, c};
  Corner<6> v[3];
  Gradients<6> g;
  float det;
  if (!SetUp(in, target, 1, v, g, det)) return true;
  const int level = TextureLevel(in, det);
  const int side = 1 << level;
  const uint32_t* texels = texture->levels[level];
  // s and t in texels of the level (a power of two: exact).
  for (int k = 4; k < 6; ++k) {
    for (Corner<6>& corner : v) corner.c[k] *= float(side);
    g.dx[k] *= float(side);
    g.dy[k] *= float(side);
  }
  auto shade = [&](int x, int y, double z, const float* ch) {
    if (!target.Nearer(x, y, z)) return true;
    uint32_t sum[4] = {0, 0, 0, 0};
    for (const auto& tap : kJitter) {
      const float u = ch[4] + g.dx[4] * tap[0] + g.dy[4] * tap[1];
      const float w = ch[5] + g.dx[5] * tap[0] + g.dy[5] * tap[1];
      const uint32_t texel = texels[Texel(u, side) + Texel(w, side) * side];
      for (int k = 0; k < 4; ++k) sum[k] += (texel >> (24 - 8 * k)) & 0xFF;
    }
    if ((sum[0] >> 2) == 0) return true;
    uint32_t argb = 0;
    for (int k = 0; k < 4; ++k) argb |= (ChannelByte(ch[k]) * (sum[k] >> 2) / 255) << (24 - 8 * k);
    return target.Write(x, y, z, argb);
  };
  return Walk(v, g, det, [&](Span<6>& s) {
    for (int x = s.left; x < s.right; ++x, s.Step(g))
      if (!shade(x, s.y, s.z, s.c)) return false;
    return true;
  });
}
