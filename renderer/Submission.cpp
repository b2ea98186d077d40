#include "renderer/Submission.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "CoreUtilities/threads/ComputationDeadline.h"
#include "CoreUtilities/files/ErrorQueue.h"
#include "platform/EGLContexts.h"
#include "renderer/CountedMemory.h"
#include "renderer/Frame.h"
#include "renderer/GLSubmission.h"
#include "renderer/M3DView.h"
#include "renderer/RendererGlobals.h"
#include "renderer/SoftwareRasteriser.h"
#include "renderer/SymbolTexture.h"
#include "renderer/TriangleFacing.h"

namespace {

constexpr double kCoordinateLimit = 16383;

bool Software(const MDrawContext* ctx) { return ctx->rendererType == kRendererSoftware; }

// Past the export's deadline the picture stays as far as it got: the clock
// is read every few primitives, a label's texture costing far more.
constexpr int kDeadlineStride = 16;
bool DeadlineStops(int primitive) { return primitive % kDeadlineStride == 0 && DrawingDeadlinePassed(); }

double Dot3(const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

using Projected = CountedArray<MVertex>;

// Every submitted vertex in pane pixels with its depth and distance; a
// non-finite one is marked behind the eye.
Projected Project(MDrawContext* ctx, double* distances) {
  ModelScale m;
  const int n = ctx->submittedVertexCount;
  if (n <= 0 || ctx->submittedVertices == nullptr || !ScaleOf(ModelSpaceOf(ctx), m)) return nullptr;
  Projected out = NewCountedArray<MVertex>(size_t(n), true);
  if (!out) {
    QueueError(kOutOfMemoryError);
    return nullptr;
  }
  const double w = ctx->pane.right - ctx->pane.left, h = ctx->pane.bottom - ctx->pane.top;
  for (int i = 0; i < n; ++i) {
    const Vertex& v = ctx->submittedVertices[i];
    const double q[3] = {m.s[0] * (v.x - m.c[0]) - ctx->eye[0], m.s[1] * (v.y - m.c[1]) - ctx->eye[1],
                         m.s[2] * (v.z - m.c[2]) - ctx->eye[2]};
    const double dist = Dot3(ctx->viewDirection, q);
    double x = Dot3(ctx->screenX, q) / dist + w / 2;
    double y = h / 2 - Dot3(ctx->screenY, q) / dist;
    double depth = std::min(dist * ctx->depthScale + ctx->depthOffset, 1.0);
    if (!std::isfinite(x) || !std::isfinite(y) || std::isnan(depth)) depth = -1;
    LimitProjectedCoordinates(&x, &y);
    MVertex& p = out[i];
    p.x = float(x);
    p.y = float(y);
    p.z = float(depth);
    if (distances) distances[i] = dist;
  }
  return out;
}

bool InFront(const MVertex& v) { return v.z >= 0; }

void VertexColour(const MDrawContext* ctx, int i, float rgb[3]) {
  if (ctx->colorSource == 1 && ctx->submittedColors) {
    const ColorArrayElement& c = ctx->submittedColors[i];
    rgb[0] = c.red, rgb[1] = c.green, rgb[2] = c.blue;
    return;
  }
  rgb[0] = float((ctx->currentColor >> 16) & 0xFF) / 255;
  rgb[1] = float((ctx->currentColor >> 8) & 0xFF) / 255;
  rgb[2] = float(ctx->currentColor & 0xFF) / 255;
}

bool ValidIndex(const MDrawContext* ctx, int64_t i) { return i >= 0 && i < ctx->submittedVertexCount; }

}  // namespace

double LightIntensity(AVector n) {
  constexpr double k = 0.5773502691896258;
  const double diffuse = k * (-n.x + n.y - n.z);
  const double reflected = -(2 * diffuse * n.x + k);
  const double intensity = 0.2 + 0.6 * std::max(diffuse, 0.0) + 0.2 * std::pow(std::max(reflected, 0.0), 8);
  return std::isfinite(intensity) ? intensity : 0.2;
}

void LimitProjectedCoordinates(double* x, double* y) {
  const double largest = std::max(std::fabs(*x), std::fabs(*y));
  if (largest > kCoordinateLimit) {
    *x *= kCoordinateLimit / largest;
    *y *= kCoordinateLimit / largest;
  }
}

namespace {

float Clamp01(double v) { return float(std::clamp(v, 0.0, 1.0)); }

// The lit colours of each vertex for either facing, worked out at first use:
// a vertex is shared by about six triangles.
class LitVertices {
 public:
  LitVertices(const MDrawContext* ctx, const ModelScale& m, bool textured)
      : fCtx(ctx), fScale(m), fTextured(textured), fLit(new Lit[2 * size_t(ctx->submittedVertexCount)]()) {}

  // Writes the colours (for textures the grey and coordinates) into c.
  void Colour(int i, bool backFacing, MVertex& c) {
    Lit& lit = fLit[2 * size_t(i) + backFacing];
    if (!lit.done) Work(i, backFacing, lit);
    c.red = lit.red, c.green = lit.green, c.blue = lit.blue;
    if (fTextured) {
      c.s = fCtx->submittedTexCoords[i].u;
      c.t = 1 - fCtx->submittedTexCoords[i].v;
    }
  }

 private:
  struct Lit {
    float red, green, blue;
    bool done;
  };

  void Work(int i, bool backFacing, Lit& lit) const {
    AVector n{0, 0, 0};
    if (fCtx->submittedNormals) {
      const Vertex& s = fCtx->submittedNormals[i];
      n = {s.x / fScale.s[0], s.y / fScale.s[1], s.z / fScale.s[2]};
    }
    const double length = std::sqrt(Dot(n, n));
    if (std::isfinite(length) && length != 0) n = (1 / length) * n;
    if (backFacing) n = -1 * n;
    const double intensity = LightIntensity(InverseRotate(fCtx->view->rotation, n));
    if (fTextured) {
      lit.red = lit.green = lit.blue = Clamp01(intensity);
    } else {
      float rgb[3];
      VertexColour(fCtx, i, rgb);
      lit.red = Clamp01(rgb[0] * intensity);
      lit.green = Clamp01(rgb[1] * intensity);
      lit.blue = Clamp01(rgb[2] * intensity);
    }
    lit.done = true;
  }

  const MDrawContext* fCtx;
  ModelScale fScale;
  bool fTextured;
  std::unique_ptr<Lit[]> fLit;
};

void SoftwareTriangles(const Triangle* triangles, int count, MDrawContext* ctx) {
  ModelScale m;
  if (!ScaleOf(ModelSpaceOf(ctx), m)) return;
  Projected p = Project(ctx, nullptr);
  if (!p) return;
  const bool textured = ctx->colorSource == 2 && ctx->submittedTexCoords;
  LitVertices lit(ctx, m, textured);
  const double mirrored = MirrorsModel(m.s) ? -1 : 1;
  for (int t = 0; t < count; ++t) {
    if (DeadlineStops(t)) return;
    const int32_t* idx = triangles[t].v;
    if (!ValidIndex(ctx, idx[0]) || !ValidIndex(ctx, idx[1]) || !ValidIndex(ctx, idx[2])) continue;
    if (!InFront(p[idx[0]]) || !InFront(p[idx[1]]) || !InFront(p[idx[2]])) continue;
    const Vertex* v = ctx->submittedVertices;
    auto scaled = [&](const Vertex& a, const Vertex& b) {
      return AVector{m.s[0] * (a.x - b.x), m.s[1] * (a.y - b.y), m.s[2] * (a.z - b.z)};
    };
    const AVector e1 = scaled(v[idx[0]], v[idx[1]]), e2 = scaled(v[idx[2]], v[idx[0]]);
    const AVector cross = Cross(e2, e1);
    const double facing = mirrored * (ctx->viewDirection[0] * cross.x + ctx->viewDirection[1] * cross.y +
                                      ctx->viewDirection[2] * cross.z);
    MVertex corners[3];
    for (int k = 0; k < 3; ++k) {
      corners[k] = p[idx[k]];
      corners[k].alpha = ctx->currentOpacity;
      lit.Colour(idx[k], facing < 0, corners[k]);
    }
    const bool drawn =
        textured ? DrawClippedTexturedTriangle(ctx->currentTexture, &corners[0], &corners[1], &corners[2], ctx)
                 : DrawClippedGouraudTriangle(&corners[0], &corners[1], &corners[2], ctx);
    if (!drawn) return;
  }
}

void SoftwareLines(const LineSegment* segments, int count, MDrawContext* ctx) {
  const int n = ctx->submittedVertexCount;
  std::unique_ptr<double[]> distances(new double[size_t(std::max(n, 1))]);
  Projected p = Project(ctx, distances.get());
  if (!p) return;
  for (int i = 0; i < n; ++i) {
    float rgb[3];
    VertexColour(ctx, i, rgb);
    const double f = std::clamp((52 - distances[i]) * 0.25, 0.0, 1.0);
    p[i].red = float(f * rgb[0] + (1 - f) * 0.5);
    p[i].green = float(f * rgb[1] + (1 - f) * 0.5);
    p[i].blue = float(f * rgb[2] + (1 - f) * 0.5);
    p[i].alpha = 1;
  }
  for (int s = 0; s < count; ++s) {
    if (DeadlineStops(s)) return;
    const uint16_t a = segments[s].v[0], b = segments[s].v[1];
    if (!ValidIndex(ctx, a) || !ValidIndex(ctx, b) || !InFront(p[a]) || !InFront(p[b])) continue;
    if (!DrawClippedLine(&p[a], &p[b], ctx)) return;
  }
}

void SoftwarePoints(const uint16_t* indices, const UniChar* const* symbols, const UniChar* const* labels,
                    const float* sizes, int count, MDrawContext* ctx) {
  Projected p = Project(ctx, nullptr);
  if (!p) return;
  for (int i = 0; i < ctx->submittedVertexCount; ++i) {
    float rgb[3];
    VertexColour(ctx, i, rgb);
    p[i].red = rgb[0], p[i].green = rgb[1], p[i].blue = rgb[2], p[i].alpha = 1;
  }
  for (int i = 0; i < count; ++i) {
    if (DeadlineStops(i)) return;
    if (!ValidIndex(ctx, indices[i])) continue;
    const MVertex& v = p[indices[i]];
    if (!InFront(v)) continue;
    const double size = sizes ? sizes[i] : 9.0;
    const bool drawn = symbols && symbols[i] ? DrawClippedSymbol(&v, symbols[i], size, ctx) : DrawClippedPoint(&v, ctx);
    if (!drawn) return;
    if (labels && labels[i]) {
      MVertex moved = v;
      moved.x += 4.0f;
      if (!DrawClippedSymbol(&moved, labels[i], size, ctx)) return;
    }
  }
}

}  // namespace

void OurSubmitVertices(const Vertex* vertices, int count, MDrawContext* ctx) {
  if (IsOpenGL(ctx)) GLSubmitVertices(vertices);
  if (!Software(ctx)) return;
  ctx->submittedVertexCount = count;
  ctx->submittedVertices = vertices;
}

void OurSubmitNormals(const Vertex* normals, MDrawContext* ctx) {
  if (IsOpenGL(ctx)) GLSubmitNormals(normals);
  if (Software(ctx)) ctx->submittedNormals = normals;
}

void OurSubmitColors(const ColorArrayElement* colors, MDrawContext* ctx) {
  if (IsOpenGL(ctx)) GLSubmitColors(colors);
  if (!Software(ctx)) return;
  ctx->submittedColors = colors;
  ctx->colorSource = 1;
}

void OurSubmitTextureCoordinates(const TexCoord* coordinates, MDrawContext* ctx) {
  if (IsOpenGL(ctx)) GLSubmitTextureCoordinates(coordinates);
  if (!Software(ctx)) return;
  ctx->submittedTexCoords = coordinates;
  ctx->colorSource = 2;
}

void OurBindTexture(OurTexture* texture, MDrawContext* ctx) {
  if (IsOpenGL(ctx)) GLBindTexture(texture);
  if (Software(ctx)) ctx->currentTexture = texture;
}

void OurSubmitSolidColor(unsigned long rgb, MDrawContext* ctx) {
  if (IsOpenGL(ctx)) GLSubmitSolidColor(rgb);
  if (!Software(ctx)) return;
  ctx->currentColor = uint32_t(rgb & 0xFFFFFF);
  ctx->colorSource = 0;
}

void OurSubmitSolidAmbientColor(unsigned long rgb, MDrawContext* ctx) {
  if (IsOpenGL(ctx))
    GLSubmitSolidAmbientColor(rgb);
  else
    OurSubmitSolidColor(rgb, ctx);
}

void OurSubmitOpacity(float opacity, MDrawContext* ctx) {
  if (Software(ctx)) ctx->currentOpacity = opacity;
}

// The array states and clip planes are the OpenGL renderers' alone.
void OurDisableTextureArrayState(MDrawContext* ctx) {
  if (IsOpenGL(ctx)) GLDisableTextureArrayState();
}

void OurDisableColorArrayState(MDrawContext* ctx) {
  if (IsOpenGL(ctx)) GLDisableColorArrayState();
}

void OurDisableNormalArrayState(MDrawContext* ctx) {
  if (IsOpenGL(ctx)) GLDisableNormalArrayState();
}

bool SupportsClipPlane(MDrawContext* ctx) { return IsOpenGL(ctx); }

void OurSubmitClipPlane(A4Vector plane, MDrawContext* ctx) {
  if (IsOpenGL(ctx)) GLSubmitClipPlane(plane);
}

void OurDisableClipPlane(MDrawContext* ctx) {
  if (IsOpenGL(ctx)) GLDisableClipPlane();
}

bool OurEnableShaders(Shader* fragmentProgram, Shader* vertexProgram, MDrawContext* ctx) {
  if (!IsOpenGL(ctx) || fragmentProgram == nullptr || vertexProgram == nullptr ||
      !OurMakeGLContextCurrent(GetRendererAglContext(ctx)))
    return false;
  return GLEnableShaders(fragmentProgram, vertexProgram);
}

void OurFlipBackFacing(MDrawContext* ctx) {
  if (IsOpenGL(ctx)) GLFlipBackFacing();
}

void OurDisableShaders(MDrawContext* ctx) {
  if (IsOpenGL(ctx)) GLDisableShaders();
}

// OpenGL draws no symbols or labels: documents with them draw in software.
void OurSubmitPoints(const uint16_t* indices, const UniChar* const* symbols, const UniChar* const* labels,
                     const float* sizes, int count, MDrawContext* ctx) {
  if (IsOpenGL(ctx)) GLSubmitPoints(indices, count);
  if (Software(ctx)) SoftwarePoints(indices, symbols, labels, sizes, count, ctx);
}

void OurSubmitLines(const LineSegment* segments, int count, bool depthCue, MDrawContext* ctx) {
  if (IsOpenGL(ctx)) GLSubmitLines(segments, count, depthCue);
  if (Software(ctx)) SoftwareLines(segments, count, ctx);
}

void OurSubmitTriangles(const Triangle* triangles, int count, MDrawContext* ctx) {
  gTrianglesRendered += count;
  if (IsOpenGL(ctx)) GLSubmitTriangles(triangles, count);
  if (Software(ctx)) SoftwareTriangles(triangles, count, ctx);
}

ModelSpace ModelSpaceOf(const MDrawContext* ctx) {
  ModelSpace space;
  if (ctx->view == nullptr) return space;
  const M3DView& v = *ctx->view;
  space.low[0] = v.xmin, space.low[1] = v.ymin, space.low[2] = v.zmin;
  space.high[0] = v.xmax, space.high[1] = v.ymax, space.high[2] = v.zmax;
  return space;
}

bool ScaleOf(const ModelSpace& space, ModelScale& m) {
  for (int i = 0; i < 3; ++i) {
    m.s[i] = 4 / (space.high[i] - space.low[i]);
    m.c[i] = (space.high[i] + space.low[i]) / 2;
  }
  const double volume = m.s[0] * m.s[1] * m.s[2];
  return volume != 0 && std::isfinite(volume);
}

void GetModelSpaceDimensions(double* dx, double* dy, double* dz, const ModelSpace& space) {
  *dx = space.high[0] - space.low[0];
  *dy = space.high[1] - space.low[1];
  *dz = space.high[2] - space.low[2];
}

void GetModelSpaceDimensions(double* dx, double* dy, double* dz, const MDrawContext* ctx) {
  GetModelSpaceDimensions(dx, dy, dz, ModelSpaceOf(ctx));
}

double CalculateMaximumModelSpaceRadius(const Vertex* vertices, int count, const ModelSpace& space) {
  ModelScale m;
  if (!ScaleOf(space, m)) return 0;
  // Squares compared, one root taken: NaN vertices drop out all the same.
  double largest = 0;
  for (int i = 0; i < count; ++i) {
    const Vertex& v = vertices[i];
    const double d[3] = {m.s[0] * (v.x - m.c[0]), m.s[1] * (v.y - m.c[1]), m.s[2] * (v.z - m.c[2])};
    largest = std::max(largest, Dot3(d, d));
  }
  return std::sqrt(largest);
}

double CalculateMaximumModelSpaceRadius(const Vertex* vertices, int count, const MDrawContext* ctx) {
  return CalculateMaximumModelSpaceRadius(vertices, count, ModelSpaceOf(ctx));
}
