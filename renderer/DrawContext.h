#pragma once

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <vector>

#include "CoreUtilities/MRect.h"
#include "renderer/CountedMemory.h"

class DocumentRecord;
class Shader;
struct M3DView;
struct OurPort;
struct OurTexture;

// The renderer a view draws with; 4 only as the desired value.
enum Our3DRendererType : int32_t {
  kRendererNone = 0,
  kRendererSoftware = 1,
  kRendererOnscreen = 2,
  kRendererOffscreen = 3,
  kRendererAutomatic = 4,
};

// The geometry graphs hand the renderer; callers own the arrays.
struct Vertex {
  float x;
  float y;
  float z;
};

struct ColorArrayElement {
  float red;
  float green;
  float blue;
};

struct TexCoord {
  float u;
  float v;
};

struct Triangle {
  int32_t v[3];
};

struct LineSegment {
  uint16_t v[2];
};

struct SurfaceVertex {
  float x, y, z;
  float nx, ny, nz;
};

// A vertex projected for the software rasteriser: pane pixels (y down),
// depth (smaller is nearer), colour and opacity 0 to 1, texture position.
struct MVertex {
  float x;
  float y;
  float z;
  float red;
  float green;
  float blue;
  float alpha;
  float s;
  float t;
};

// One translucent sample; lists run far to near through next.
struct Fragment {
  uint32_t next;
  double depth;
  uint8_t alpha;
  uint8_t red;
  uint8_t green;
  uint8_t blue;
};

inline constexpr uint32_t kNoFragment = 0xFFFFFFFF;
inline constexpr int32_t kFragmentsPerChunk = 65536;

// An OpenGL context (platform/EGLContexts.h), opaque to everything but the
// OpenGL renderer.
struct GLContextRecord;
using OurGLContext = GLContextRecord*;

// A world the context made, its pixels locked for as long as it holds it.
struct LockedWorldDeleter {
  void operator()(OurPort* world) const;
};
using LockedWorld = std::unique_ptr<OurPort, LockedWorldDeleter>;

struct SymbolCache;
struct SymbolCacheDeleter {
  void operator()(SymbolCache* cache) const;
};

// The renderer state of one 3-D or 4-D view. It owns its buffers, worlds,
// program and labels: a reset to a fresh record gives them all back.
struct MDrawContext {
  MDrawContext();
  ~MDrawContext();
  MDrawContext(const MDrawContext&) = delete;
  MDrawContext& operator=(const MDrawContext&) = delete;
  MDrawContext& operator=(MDrawContext&&);

  MRect pane{};
  M3DView* view = nullptr;
  Our3DRendererType rendererType = kRendererNone;
  Our3DRendererType desiredRendererType = kRendererAutomatic;
  int32_t vbosUsable = 0;
  int32_t isNVidia = 0;
  int32_t isATI = 0;
  int32_t transparencyChanged = 0;
  uint32_t hsvTexture = 0;
  int32_t hsvTextureHeight = 0;
  int32_t hsvTextureWidth = 0;
  std::unique_ptr<Shader> hsvShader;
  DocumentRecord* document = nullptr;
  // Software renderer.
  LockedWorld backgroundWorld;
  int32_t backgroundDrawn = 0;
  uint8_t* frameBase = nullptr;
  int32_t frameRowBytes = 0;
  int32_t frameSize = 0;
  CountedArray<double> depthBuffer;
  int32_t bufferRows = 0;
  int32_t bufferCols = 0;
  int32_t bufferPixels = 0;
  MRect supersampleRect{};
  int32_t supersampleX = 0;
  int32_t supersampleY = 0;
  CountedArray<uint32_t> fragmentHeads;
  // Chunks of kFragmentsPerChunk, as many as the fragments made need.
  std::vector<CountedArray<Fragment>> fragmentChunks;
  // The index of the last fragment made; -1 when none.
  int32_t fragmentCount = -1;
  LockedWorld supersampledWorld;
  // Every depth cell or fragment list written since the buffers were last
  // reset has an index from firstCellWritten up to endCellWritten - 1: the
  // reset and the compositing need go no further.
  int32_t firstCellWritten = 0;
  int32_t endCellWritten = 0;
  // Camera.
  double eye[3] = {};
  double screenX[3] = {};
  double screenY[3] = {};
  double viewDirection[3] = {};
  double depthScale = 0;
  double depthOffset = 0;
  // Software submission.
  int32_t submittedVertexCount = 0;
  const Vertex* submittedVertices = nullptr;
  const Vertex* submittedNormals = nullptr;
  const TexCoord* submittedTexCoords = nullptr;
  const ColorArrayElement* submittedColors = nullptr;
  // Text labels already set, kept for the context's whole life.
  std::unique_ptr<SymbolCache, SymbolCacheDeleter> symbols;
  uint32_t currentColor = 0;
  float currentOpacity = 0;
  OurTexture* currentTexture = nullptr;
  int32_t colorSource = 0;
  // OpenGL renderers.
  OurGLContext onscreenContext = nullptr;
  int32_t maxViewportWidth = 0;
  int32_t maxViewportHeight = 0;
  int32_t bufferRect[4] = {};
  OurGLContext offscreenContext = nullptr;
  // The widget of the document's window that on-screen frames draw over;
  // null without a window, or once it is gone.
  QPointer<QWidget> window;
  // Whether this context locked the document world's pixels.
  int32_t savedPixelsState = 0;
  uint32_t floorTexture = 0;
  uint32_t leftWallTexture = 0;
  uint32_t rightWallTexture = 0;
};

// Frees the record and all it holds: the deleter of the view's handle.
void DisposeDrawContextMemory(MDrawContext* ctx);
struct DrawContextMemoryDeleter {
  void operator()(MDrawContext* ctx) const { DisposeDrawContextMemory(ctx); }
};
using OwnedDrawContext = std::unique_ptr<MDrawContext, DrawContextMemoryDeleter>;

OwnedDrawContext AllocateDrawContext();
void SetDrawContextWindow(MDrawContext* ctx, QWidget* window, DocumentRecord* document);

// Builds, keeps or rebuilds the context for this frame's pane and camera.
void Qd3d_SetPane(MDrawContext* ctx, const MRect& rect, M3DView* view, bool force);
void CreateNewDrawContext(MDrawContext* ctx, const MRect& rect, M3DView* view, bool forceSoftware);
// 0 made, 20 no OpenGL context, 2 no usable offscreen world.
int32_t OnscreenCreate(MDrawContext* ctx, bool hardware);
int32_t OffscreenCreate(MDrawContext* ctx, bool hardware);
// Releases what the current renderer made; harmless twice.
void DisposeDrawContext(MDrawContext* ctx);

Our3DRendererType GetRendererType(const MDrawContext* ctx);
Our3DRendererType GetDesiredRendererType(const MDrawContext* ctx);
void SetDesiredRendererType(MDrawContext* ctx, Our3DRendererType type);
bool IsDrawContextValid(const MDrawContext* ctx);
OurGLContext GetRendererAglContext(const MDrawContext* ctx);
// Tells apart a context from a later one at the same address; 0 without one.
uint64_t GetRendererContextSerial(const MDrawContext* ctx);
bool IsNVidia(const MDrawContext* ctx);
void SetDrawContextTransparencyChangedFlag(MDrawContext* ctx);

// The document's world exists, is not purged and holds the whole pane.
bool IsSoftwareWorldUsable(const MDrawContext* ctx);

// Gives back every fragment chunk: none are in use after.
void FreeFragmentChunks(MDrawContext* ctx);
