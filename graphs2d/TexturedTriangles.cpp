#include "graphs2d/TexturedTriangles.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "CoreUtilities/drawing/OurGWorld.h"
#include "platform/CheckedConvert.h"
#include "platform/OurPort.h"

namespace {

constexpr int kTopLevel = MipPyramid::kLevels - 1;
constexpr int kTopSide = 1 << kTopLevel;

// Read as (j[i], j[i + 2]) for the 16 samples.
constexpr float jitter[32] = {0.0f,    0.0f,    0.875f,  0.0f,    0.25f,   0.0625f, 0.625f,  0.0625f,
                              0.0625f, 0.25f,   0.4375f, 0.25f,   0.8125f, 0.25f,   0.25f,   0.4375f,
                              0.625f,  0.4375f, 0.0625f, 0.625f,  0.4375f, 0.625f,  0.8125f, 0.625f,
                              0.25f,   0.8125f, 0.625f,  0.8125f, 0.0f,    0.875f,  0.875f,  0.875f};

// A double clamped in double before it becomes an int; NaN gives low.
int32_t ClampToInt(double x, int32_t low, int32_t high) {
  if (!(x >= low)) return low;
  if (x > high) return high;
  return DoubleToInt32(x);
}

// trunc(t) clamped to 0 and side - 1; NaN gives 0.
int32_t TexelIndex(double t, int32_t side) {
  if (!(t >= 0)) return 0;
  return t >= side - 1 ? side - 1 : DoubleToInt32(t);
}

uint32_t Average4(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const uint32_t sum = ((a >> shift) & 0xFF) + ((b >> shift) & 0xFF) + ((c >> shift) & 0xFF) + ((d >> shift) & 0xFF);
    out |= (sum >> 2) << shift;
  }
  return out;
}

// Keeps the part of the polygon on the inner side of one rectangle edge.
template <typename Inside, typename Cross>
int ClipSide(const VerTex2D* in, int n, VerTex2D* out, Inside inside, Cross cross) {
  int count = 0;
  for (int i = 0; i < n; ++i) {
    const VerTex2D& p = in[i];
    const VerTex2D& q = in[(i + 1) % n];
    const bool pIn = inside(p), qIn = inside(q);
    if (pIn) out[count++] = p;
    if (pIn != qIn) out[count++] = cross(p, q);
  }
  return count;
}

VerTex2D Lerp(const VerTex2D& p, const VerTex2D& q, double t) {
  VerTex2D r = p;
  r.x = static_cast<float>(p.x + t * (q.x - p.x));
  r.y = static_cast<float>(p.y + t * (q.y - p.y));
  r.u = static_cast<float>(p.u + t * (q.u - p.u));
  r.v = static_cast<float>(p.v + t * (q.v - p.v));
  return r;
}

VerTex2D CrossX(const VerTex2D& p, const VerTex2D& q, float x) {
  VerTex2D r = Lerp(p, q, (double(x) - p.x) / (double(q.x) - p.x));
  r.x = x;
  return r;
}

VerTex2D CrossY(const VerTex2D& p, const VerTex2D& q, float y) {
  VerTex2D r = Lerp(p, q, (double(y) - p.y) / (double(q.y) - p.y));
  r.y = y;
  return r;
}

}  // namespace

bool MipPyramid::CreateTexture(OurPort* source, const MRect& sourceRect) {
  fBlock.reset();  // before the new block is counted
  fBlock = NewCountedArray<uint32_t>(size_t(kTexelCount));
  if (fBlock == nullptr) return false;
  uint32_t* level = fBlock.get();
  for (int k = 0; k < kLevels; ++k) {
    fLevels[k] = level;
    level += (1 << k) * (1 << k);
  }
  const MRect square{0, 0, kTopSide, kTopSide};
  OurPort* scaled = OurNewGWorld(square);
  if (scaled == nullptr) {
    fBlock.reset();
    return false;
  }
  OurCopyGWorldToGWorld(source, scaled, sourceRect, square);
  uint32_t* top = fLevels[kTopLevel];
  for (int row = 0; row < kTopSide; ++row) {
    const auto* line = reinterpret_cast<const uint32_t*>(scaled->image.constScanLine(kTopSide - 1 - row));
    for (int h = 0; h < kTopSide; ++h) top[row * kTopSide + h] = line[h] & 0xFFFFFF;
  }
  OurDisposeGWorld(scaled);
  for (int k = kTopLevel - 1; k >= 0; --k) {
    const int side = 1 << k, above = side * 2;
    const uint32_t* from = fLevels[k + 1];
    for (int row = 0; row < side; ++row) {
      for (int h = 0; h < side; ++h) {
        const uint32_t* p = from + 2 * row * above + 2 * h;
        fLevels[k][row * side + h] = Average4(p[0], p[1], p[above], p[above + 1]);
      }
    }
  }
  return true;
}

int ClipTexturedTriangle2D(const VerTex2D* triangle, VerTex2D* out, const MRect& rect) {
  VerTex2D a[8], b[8];
  const float left = rect.left, right = rect.right, top = rect.top, bottom = rect.bottom;
  int n = ClipSide(
      triangle, 3, a, [&](const VerTex2D& p) { return p.x >= left; },
      [&](const VerTex2D& p, const VerTex2D& q) { return CrossX(p, q, left); });
  if (n == 0) return 0;
  n = ClipSide(
      a, n, b, [&](const VerTex2D& p) { return p.x <= right; },
      [&](const VerTex2D& p, const VerTex2D& q) { return CrossX(p, q, right); });
  if (n == 0) return 0;
  n = ClipSide(
      b, n, a, [&](const VerTex2D& p) { return p.y >= top; },
      [&](const VerTex2D& p, const VerTex2D& q) { return CrossY(p, q, top); });
  if (n == 0) return 0;
  n = ClipSide(
      a, n, out, [&](const VerTex2D& p) { return p.y <= bottom; },
      [&](const VerTex2D& p, const VerTex2D& q) { return CrossY(p, q, bottom); });
  return n;
}

void DrawTexturedTriangle2D(const VerTex2D* a, const VerTex2D* b, const VerTex2D* c, const MipPyramid& texture,
                            const TriangleTarget& target) {
  if (!texture.Exists()) return;
  if (b->y < a->y) std::swap(a, b);
  if (c->y < b->y) std::swap(b, c);
  if (b->y < a->y) std::swap(a, b);
  // Snapped positions stay in double, exact integers however far they lie.
  const double ax = std::floor(a->x), ay = std::floor(a->y);
  const double bx = std::floor(b->x), by = std::floor(b->y);
  const double cx = std::floor(c->x), cy = std::floor(c->y);
  const double area2 = (by - ay) * (cx - ax) - (bx - ax) * (cy - ay);
  if (area2 == 0 || !std::isfinite(area2)) return;

  // The plane of u and v over the unsnapped positions.
  const double x1 = b->x - a->x, y1 = b->y - a->y, x2 = c->x - a->x, y2 = c->y - a->y;
  const double u1 = b->u - a->u, v1 = b->v - a->v, u2 = c->u - a->u, v2 = c->v - a->v;
  const double d = x1 * y2 - x2 * y1;
  double dudx = 0, dudy = 0, dvdx = 0, dvdy = 0;
  if (d != 0) {
    dudx = (u1 * y2 - u2 * y1) / d, dudy = (x1 * u2 - x2 * u1) / d;
    dvdx = (v1 * y2 - v2 * y1) / d, dvdy = (x1 * v2 - x2 * v1) / d;
  }
  const double uvArea2 = u1 * v2 - u2 * v1;
  const double ratio = std::fabs(area2 / uvArea2);
  int level = kTopLevel;
  for (int k = 0; k < MipPyramid::kLevels; ++k) {
    if (ratio <= double(int64_t(1) << (2 * k))) {
      level = k;
      break;
    }
  }
  const double scale = 1 << level;
  const int32_t side = 1 << level;
  const uint32_t* texels = texture.Level(level);
  dudx *= scale, dudy *= scale, dvdx *= scale, dvdy *= scale;
  // u and v at the snapped top vertex, in texels.
  const double u0 = a->u * scale + dudx * (ax - a->x) + dudy * (ay - a->y);
  const double v0 = a->v * scale + dvdx * (ax - a->x) + dvdy * (ay - a->y);

  // The long edge A-C is on the left when B lies to its right.
  const bool longEdgeLeft = area2 < 0;
  const double slopeAC = (cx - ax) / (cy - ay);
  const auto edgeX = [](double x0, double y0, double x1e, double y1e, double y) {
    return x0 + (x1e - x0) * (y - y0) / (y1e - y0);
  };
  double offsets[16][2];
  for (int i = 0; i < 16; ++i) {
    offsets[i][0] = jitter[i] * dudx + jitter[i + 2] * dudy;
    offsets[i][1] = jitter[i] * dvdx + jitter[i + 2] * dvdy;
  }
  const int32_t firstRow = ClampToInt(ay, 0, target.height), endRow = ClampToInt(cy, 0, target.height);
  for (int32_t y = firstRow; y < endRow; ++y) {
    const double longX = ax + slopeAC * (y - ay);
    const double shortX = y < by ? edgeX(ax, ay, bx, by, y) : edgeX(bx, by, cx, cy, y);
    const double leftX = longEdgeLeft ? longX : shortX, rightX = longEdgeLeft ? shortX : longX;
    const int32_t first = ClampToInt(std::trunc(leftX), 0, target.width);
    const int32_t last = ClampToInt(std::trunc(rightX), 0, target.width);
    uint32_t* row = target.base + y * target.rowWords;
    for (int32_t h = first; h < last; ++h) {
      const double u = u0 + dudx * (h - ax) + dudy * (y - ay);
      const double v = v0 + dvdx * (h - ax) + dvdy * (y - ay);
      uint32_t red = 0, green = 0, blue = 0;
      for (int i = 0; i < 16; ++i) {
        // Clamped first, truncation and the conversion agree.
        const int32_t col = TexelIndex(u + offsets[i][0], side);
        const int32_t line = TexelIndex(v + offsets[i][1], side);
        const uint32_t texel = texels[line * side + col];
        red += (texel >> 16) & 0xFF, green += (texel >> 8) & 0xFF, blue += texel & 0xFF;
      }
      const uint32_t pixel = row[h];
      const uint32_t r = (red / 16) * ((pixel >> 16) & 0xFF) / 255;
      const uint32_t g = (green / 16) * ((pixel >> 8) & 0xFF) / 255;
      const uint32_t b2 = (blue / 16) * (pixel & 0xFF) / 255;
      row[h] = (pixel & 0xFF000000u) | (r << 16) | (g << 8) | b2;
    }
  }
}
