#include "tools/Render3DScene.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "CoreUtilities/drawing/OurGWorld.h"
#include "CoreUtilities/OurTime.h"
#include "document/DocumentRecord.h"
#include "platform/OurPicture.h"
#include "platform/OurPort.h"
#include "renderer/Frame.h"
#include "renderer/GLFrame.h"
#include "renderer/M3DView.h"
#include "renderer/RendererGlobals.h"
#include "renderer/RendererHooks.h"
#include "renderer/Submission.h"
#include "renderer/Textures.h"

namespace {

struct SceneState {
  OurPort* world = nullptr;
  Scene3DOptions options;
};
SceneState gScene;

void DrawHelix(MDrawContext* ctx) {
  std::vector<Vertex> points;
  std::vector<LineSegment> segments;
  for (int i = 0; i < 400; ++i) {
    const float t = 0.05f * float(i);
    points.push_back({1.6f * std::cos(t), 1.6f * std::sin(t), -1.8f + 0.018f * float(i)});
    if (i) segments.push_back({{uint16_t(i - 1), uint16_t(i)}});
  }
  OurSubmitVertices(points.data(), int(points.size()), ctx);
  OurSubmitSolidColor(0xE03020, ctx);
  OurSubmitLines(segments.data(), int(segments.size()), true, ctx);
}

void DrawPointsAndLabel(MDrawContext* ctx, bool label) {
  std::vector<Vertex> ring;
  std::vector<uint16_t> indices;
  for (int i = 0; i < 36; ++i) {
    const float a = float(i) * 0.17453292f;
    ring.push_back({1.9f * std::cos(a), 1.9f * std::sin(a), 1.2f});
    indices.push_back(uint16_t(i));
  }
  std::vector<const UniChar*> labels(ring.size(), nullptr);
  if (label) labels[0] = u"Zentrolab";
  OurSubmitVertices(ring.data(), int(ring.size()), ctx);
  OurSubmitSolidColor(0x106010, ctx);
  OurSubmitPoints(indices.data(), nullptr, labels.data(), nullptr, int(ring.size()), ctx);
}

const Vertex kQuadCorners[4] = {{-1.9f, -1.9f, -1.9f}, {1.9f, -1.9f, -1.9f}, {1.9f, 1.9f, -1.9f}, {-1.9f, 1.9f, -1.9f}};

void DrawTexturedQuad(MDrawContext* ctx, OurTexture* texture) {
  const Vertex* corners = kQuadCorners;
  const Vertex up[4] = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
  const TexCoord coordinates[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  const Triangle triangles[2] = {{{0, 1, 2}}, {{0, 2, 3}}};
  OurSubmitVertices(corners, 4, ctx);
  OurSubmitNormals(up, ctx);
  OurSubmitTextureCoordinates(coordinates, ctx);
  OurBindTexture(texture, ctx);
  OurSubmitTriangles(triangles, 2, ctx);
  OurDisableTextureArrayState(ctx);
  OurDisableNormalArrayState(ctx);
}

// A checkerboard with a diagonal stripe, so that orientation shows.
OurPicture Checkerboard() {
  OurPicture picture;
  picture.image = QImage(64, 64, QImage::Format_RGB32);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x)
      picture.image.setPixel(x, y,
                             std::abs(x - y) < 3 ? 0xFFFFD000u : ((x / 8 + y / 8) % 2 ? 0xFF303080u : 0xFFE0E0E0u));
  picture.frame = picture.image.rect();
  return picture;
}

void InstallSceneHooks() {
  gRendererHooks.GetOffscreenGWorld = [](DocumentRecord*) { return gScene.world; };
  gRendererHooks.UseSampleBuffer = [](DocumentRecord*) { return gScene.options.supersampled; };
  gRendererHooks.IsTranslucent = [](DocumentRecord*) { return gScene.options.translucent; };
  gRendererHooks.BackgroundType = [](DocumentRecord*) { return gScene.options.background; };
  gRendererHooks.BackgroundColor = [](DocumentRecord*) { return kScene3DBackground; };
}

}  // namespace

// z = 0.8 sin(x) cos(y) over -2 .. 2, coloured by height.
Scene3DMesh Scene3DGrid() {
  constexpr int n = 79;
  Scene3DMesh m;
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) {
      const float x = -2 + 4.0f * i / (n - 1), y = -2 + 4.0f * j / (n - 1);
      const float z = 0.8f * std::sin(x) * std::cos(y);
      m.vertices.push_back({x, y, z});
      m.normals.push_back({-0.8f * std::cos(x) * std::cos(y), 0.8f * std::sin(x) * std::sin(y), 1});
      const float t = (z + 0.8f) / 1.6f;
      m.colors.push_back({t, 0.4f, 1 - t});
    }
  for (int j = 0; j + 1 < n; ++j)
    for (int i = 0; i + 1 < n; ++i) {
      const int a = j * n + i;
      m.triangles.push_back({{a, a + 1, a + n + 1}});
      m.triangles.push_back({{a, a + n + 1, a + n}});
    }
  return m;
}

Scene3DResult RenderScene3D(const Scene3DOptions& options) {
  Scene3DResult result;
  gScene.options = options;
  gScene.world = OurNewGWorld({0, 0, int16_t(options.height), int16_t(options.width)});
  if (gScene.world == nullptr) return result;
  InstallSceneHooks();
  DocumentRecord document;
  OwnedDrawContext ownedCtx = AllocateDrawContext();
  MDrawContext* ctx = ownedCtx.get();
  SetDrawContextWindow(ctx, options.onscreenHost, &document);
  SetDesiredRendererType(ctx, options.renderer);
  M3DView view;
  if (options.zoom > 0) view.zoom = options.zoom;
  if (options.fromBelow) GenerateRotationMatrixFromAxisAndAngle(view.rotation, {0, 1, 0}, -1.5707963267948966);
  Matrix3 start;
  CopyMatrix(view.rotation, start);
  const Scene3DMesh grid = Scene3DGrid();
  const MRect pane{0, 0, int16_t(options.height), int16_t(options.width)};
  OurTexture* texture = nullptr;
  const int64_t startTriangles = gTrianglesRendered;
  const int64_t begin = OurGetMicroseconds();
  for (int frame = 0; frame < options.frames; ++frame) {
    Matrix3 turn;
    GenerateRotationMatrixFromAxisAndAngle(turn, {0, 0, 1}, 0.05 * frame);
    MultiplyMatrix(turn, start, view.rotation);
    Qd3d_SetPane(ctx, pane, &view, false);
    if (!IsDrawContextValid(ctx)) break;
    // As a view does: the depth range holds everything drawn, the quad's
    // corners being the farthest out.
    view.modelRadius = std::max(M3DView::kMinimumModelRadius, CalculateMaximumModelSpaceRadius(kQuadCorners, 4, ctx));
    if (RenderStart(ctx, options.hsv) != 0) break;
    if (texture == nullptr) {
      const OurPicture picture = Checkerboard();
      texture = CreateTexture(&picture, ctx);
    }
    OurSubmitVertices(grid.vertices.data(), int(grid.vertices.size()), ctx);
    OurSubmitNormals(grid.normals.data(), ctx);
    OurSubmitColors(grid.colors.data(), ctx);
    OurSubmitOpacity(options.translucent ? 0.6f : 1.0f, ctx);
    OurSubmitTriangles(grid.triangles.data(), int(grid.triangles.size()), ctx);
    OurDisableColorArrayState(ctx);
    OurDisableNormalArrayState(ctx);
    OurSubmitOpacity(1.0f, ctx);
    if (options.hsv) ConvertFrameBufferHSVtoRGBandPrepareToDrawEverythingElse(ctx);
    DrawHelix(ctx);
    if (options.texturedQuad) DrawTexturedQuad(ctx, texture);
    DrawPointsAndLabel(ctx, options.label);
    result.fragments = ctx->fragmentCount + 1;
    if (RenderEnd(ctx) != 0) break;
    result.drawn = frame + 1 == options.frames;
    result.renderer = GetRendererType(ctx);
  }
  const int frames = std::max(options.frames, 1);
  result.microsecondsPerFrame = double(OurGetMicroseconds() - begin) / frames;
  result.trianglesPerFrame = (gTrianglesRendered - startTriangles) / frames;
  if (result.renderer == kRendererOnscreen) OurReadPixels(ctx);
  result.image = gScene.world->image.copy();
  DisposeTexture(texture, GetRendererType(ctx), GetRendererContextSerial(ctx), ctx);
  DisposeDrawContext(ctx);
  DestroyContextsAwaitingDestruction();
  ownedCtx.reset();
  OurDisposeGWorld(gScene.world);
  gScene = {};
  gRendererHooks = {};
  ReleaseRendererMemoryBeforeQuitting();
  return result;
}
