#include <cmath>
#include <cstdlib>

#include "renderer/RasterTarget.h"
#include "renderer/SoftwareRasteriser.h"

namespace {

// Minor dx, minor dy, major dx, major dy by octant: + 2 running left, + 4
// x-major; lines always run downwards.
constexpr int8_t sZigZags[8][4] = {{1, 0, 0, 1}, {0}, {-1, 0, 0, 1}, {0}, {0, 1, 1, 0}, {0}, {0, 1, -1, 0}, {0}};
constexpr int8_t sWigWags[8][4] = {{0, -1, 1, 0}, {0}, {0, -1, -1, 0}, {0}, {-1, 0, 0, 1}, {0}, {1, 0, 0, 1}, {0}};

struct Point {
  int x, y;
};

// Depth and channels (alpha, red, green, blue x 255) along the line, with
// one step per move.
struct Interpolants {
  double z, zStep;
  float c[4], cStep[4];

  void Step() {
    z += zStep;
    for (int k = 0; k < 4; ++k) c[k] += cStep[k];
  }
  uint32_t Sample() const { return PackSample(c[0], c[1], c[2], c[3]); }
};

struct LineSetUp {
  Point start;
  int index, major, minor;
  Interpolants values;
};

int Round(float c) { return int(std::floor(c + 0.5f)); }

// False when both ends round to one cell.
bool SetUpLine(const MVertex* a, const MVertex* b, const RasterTarget& target, LineSetUp& line) {
  Point p0{Round(a->x * target.scaleX), Round(a->y * target.scaleY)};
  Point p1{Round(b->x * target.scaleX), Round(b->y * target.scaleY)};
  if (p0.x == p1.x && p0.y == p1.y) return false;
  if (p1.y < p0.y) {
    std::swap(p0, p1);
    std::swap(a, b);
  }
  const int dx = p1.x - p0.x, dy = p1.y - p0.y;
  line.start = p0;
  line.index = (dx < 0 ? 2 : 0) + (std::abs(dx) > dy ? 4 : 0);
  line.major = std::max(std::abs(dx), dy);
  line.minor = std::min(std::abs(dx), dy);
  const float moves = float(std::abs(dx) + dy);
  const float from[4] = {a->alpha * 255, a->red * 255, a->green * 255, a->blue * 255};
  const float to[4] = {b->alpha * 255, b->red * 255, b->green * 255, b->blue * 255};
  line.values.z = a->z;
  line.values.zStep = (double(b->z) - a->z) / moves;
  for (int k = 0; k < 4; ++k) {
    line.values.c[k] = from[k];
    line.values.cStep[k] = (to[k] - from[k]) / moves;
  }
  return true;
}

// One line of major cells from start, the last endpoint excluded. Samples
// outside the buffers (a wide line's band at the margin) are dropped.
bool WalkLine(const LineSetUp& line, Point p, int error, const RasterTarget& target) {
  const int8_t* step = sZigZags[line.index];
  Interpolants v = line.values;
  for (int i = 0; i < line.major; ++i) {
    if (target.InBuffer(p.x, p.y) && !target.Write(p.x, p.y, v.z, v.Sample())) return false;
    error += line.minor;
    if (error >= 0) {
      p.x += step[0];
      p.y += step[1];
      error -= line.major;
      v.Step();
    }
    p.x += step[2];
    p.y += step[3];
    v.Step();
  }
  return true;
}

// A band 1.5 display pixels wide of parallel one-cell lines.
bool WalkWideLine(const LineSetUp& line, const RasterTarget& target) {
  const int fx = int(target.scaleX), fy = int(target.scaleY);
  const bool xMajor = line.index >= 4, left = line.index & 2;
  const int adx = xMajor ? line.major : line.minor, dy = xMajor ? line.minor : line.major;
  const double length = std::sqrt(double(dy * fx * fx * dy + adx * fy * fy * adx));
  const double wx = 1.5 * fx * fx * dy / length, wy = 1.5 * fy * fy * adx / length;
  const Point p0 = line.start;
  int n;
  Point start;
  if (xMajor) {
    n = int(std::floor(wy + 0.5));
    start = {int(std::floor(p0.x + (left ? -wx : wx) / 2 + 0.5)), int(std::floor(p0.y - wy / 2 + 0.5))};
  } else {
    n = int(std::floor(wx + 0.5));
    start = {int(std::floor(p0.x + (left ? wx : -wx) / 2 + 0.5)), int(std::floor(p0.y + wy / 2 + 0.5))};
  }
  const int8_t* across = sWigWags[line.index];
  int lineError = (-line.major) >> 1;
  int bandError = (-n) >> 1;
  for (int i = 0; i < n; ++i) {
    if (!WalkLine(line, start, lineError, target)) return false;
    start.x += across[2];
    start.y += across[3];
    bandError += line.minor;
    if (bandError >= 0) {
      // A diagonal step of the band: fill the corner it would leave open.
      bandError -= line.major;
      if (!WalkLine(line, start, lineError, target)) return false;
      start.x += across[0];
      start.y += across[1];
      lineError -= line.minor;
      if (lineError < -line.major) lineError += line.major;
    }
  }
  return true;
}

}  // namespace

bool SWDrawLine(const MVertex* a, const MVertex* b, MDrawContext* ctx) {
  const RasterTarget target(ctx);
  LineSetUp line;
  if (!SetUpLine(a, b, target, line)) return true;
  if (ctx->supersampledWorld) return WalkWideLine(line, target);
  return WalkLine(line, line.start, (-line.major) >> 1, target);
}

bool SWDrawPoint(const MVertex* v, MDrawContext* ctx) {
  const RasterTarget target(ctx);
  const uint32_t sample = PackSample(v->alpha * 255, v->red * 255, v->green * 255, v->blue * 255);
  int x0, x1, y0, y1;
  if (ctx->supersampledWorld) {
    const float fx = target.scaleX, fy = target.scaleY;
    x0 = Round(fx * v->x - 0.75f * fx), x1 = Round(fx * v->x + 0.75f * fx);
    y0 = Round(fy * v->y - 0.75f * fy), y1 = Round(fy * v->y + 0.75f * fy);
  } else {
    x0 = Round(v->x), y0 = Round(v->y);
    x1 = x0 + 1, y1 = y0 + 1;
  }
  // A point on the right or bottom edge rounds past the last column or row.
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      if (target.InPane(x, y) && !target.Write(x, y, v->z, sample)) return false;
  return true;
}
