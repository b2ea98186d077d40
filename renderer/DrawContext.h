#pragma once

#include <cstdint>

#include "CoreUtilities/MRect.h"

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

// An OpenGL context, opaque to everything but the OpenGL renderer.
using OurGLContext = void*;

// The renderer state of one 3-D or 4-D view.
struct SymbolCache;

struct MDrawContext {
  MRect pane;
  M3DView* view;
  Our3DRendererType rendererType;
  Our3DRendererType desiredRendererType;
  int32_t vbosUsable;
  int32_t isNVidia;
  int32_t isATI;
  int32_t transparencyChanged;
  uint32_t hsvTexture;
  int32_t hsvTextureHeight;
  int32_t hsvTextureWidth;
  Shader* hsvShader;
  DocumentRecord* document;
  // Software renderer.
  OurPort* backgroundWorld;
  int32_t backgroundDrawn;
  uint8_t* frameBase;
  int32_t frameRowBytes;
  int32_t frameSize;
  double* depthBuffer;
  int32_t bufferRows;
  int32_t bufferCols;
  int32_t bufferPixels;
  MRect supersampleRect;
  int32_t supersampleX;
  int32_t supersampleY;
  uint32_t* fragmentHeads;
  Fragment** fragmentChunks;
  // The index of the last fragment made; -1 when none.
  int32_t fragmentCount;
  OurPort* supersampledWorld;
  // Every depth cell or fragment list written since the buffers were last
  // reset has an index from firstCellWritten up to endCellWritten - 1: the
  // reset and the compositing need go no further.
  int32_t firstCellWritten;
  int32_t endCellWritten;
  // Camera.
  double eye[3];
  double screenX[3];
  double screenY[3];
  double viewDirection[3];
  double depthScale;
  double depthOffset;
  // Software submission.
  int32_t submittedVertexCount;
  const Vertex* submittedVertices;
  const Vertex* submittedNormals;
  const TexCoord* submittedTexCoords;
  const ColorArrayElement* submittedColors;
  // Text labels already set, kept for the context's whole life.
  SymbolCache* symbols;
  uint32_t currentColor;
  float currentOpacity;
  OurTexture* currentTexture;
  int32_t colorSource;
  // OpenGL renderers.
  OurGLContext onscreenContext;
  int32_t maxViewportWidth;
  int32_t maxViewportHeight;
  int32_t bufferRect[4];
  OurGLContext offscreenContext;
  void* window;
  // Whether this context locked the document world's pixels.
  int32_t savedPixelsState;
  uint32_t floorTexture;
  uint32_t leftWallTexture;
  uint32_t rightWallTexture;
};

MDrawContext* AllocateDrawContext();
void DisposeDrawContextMemory(MDrawContext* ctx);
void SetDrawContextWindow(MDrawContext* ctx, void* window, DocumentRecord* document);

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

// The fragment chunks in use (none when the count is -1), and the table.
void FreeFragmentChunks(MDrawContext* ctx);
