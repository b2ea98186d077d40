#pragma once

#include <cstddef>
#include <cstdint>

#include "CoreUtilities/memory/AListGenericLarge.h"
#include "CoreUtilities/text/UniChar.h"
#include "renderer/CountedMemory.h"
#include "renderer/DrawContext.h"

// One graph's finished model kept ready for drawing at every frame: in
// OpenGL buffer objects where the context has them, else in arrays the
// object owns, drawn through the submission calls. Points and segments index
// vertices with 16 bits (at most 65,536 vertices). Symbol and label strings
// stay the caller's; their pointer arrays are copied, drawn only from
// arrays, and kept while the model is in buffers, for the copy back.
class VertexObject {
 public:
  enum Mode : int32_t { kEmpty = 0, kClientArrays = 1, kBufferObjects = 2 };

  VertexObject() = default;
  ~VertexObject() { ReleaseMemory(); }
  VertexObject(const VertexObject&) = delete;
  VertexObject& operator=(const VertexObject&) = delete;

  // Segments.
  void CacheModel(const Vertex* vertices, const LineSegment* segments, const ColorArrayElement* colors, int vertexCount,
                  int segmentCount, MDrawContext* ctx);
  // One point per vertex.
  void CacheModel(const Vertex* vertices, const ColorArrayElement* colors, const UniChar* const* symbols,
                  const UniChar* const* labels, const float* sizes, int vertexCount, MDrawContext* ctx);
  // Lit triangles.
  void CacheModel(const Vertex* vertices, const Vertex* normals, const ColorArrayElement* colors,
                  const TexCoord* texCoords, const Triangle* triangles, int vertexCount, int triangleCount,
                  bool drawnWithShaders, MDrawContext* ctx);
  // Lit triangles gathered from an implicit surface's pieces, the indices of
  // each piece moved past the vertices of the pieces before it.
  void CacheModel(int listCount, const AListGenericLarge<SurfaceVertex, 13>* const* vertexLists,
                  const AListGenericLarge<Triangle, 13>* const* triangleLists, const ColorArrayElement* colors,
                  bool drawnWithShaders, MDrawContext* ctx);

  // Replace the colours, or the texture coordinates: a model holds one or
  // the other, the later given.
  void CacheColorArray(const ColorArrayElement* colors);
  void CacheTexCoordsArray(const TexCoord* texCoords);

  void DrawCachedModel();
  // Moves the model into the draw context's buffers, or back into arrays,
  // when the renderer changed since it was cached; draws nothing.
  void CopyBuffersIfContextChanged();
  void ReleaseMemory();

  Mode GetMode() const { return fMode; }
  int32_t VertexCount() const { return fVertexCount; }
  int32_t TriangleCount() const { return fTriangleCount; }
  // The arrays of a mode-1 model; null in the other modes.
  const Vertex* Vertices() const { return fVertices.get(); }
  const Vertex* Normals() const { return fNormals.get(); }
  const ColorArrayElement* Colors() const { return fColors.get(); }
  const TexCoord* TexCoords() const { return fTexCoords.get(); }
  const Triangle* Triangles() const { return fTriangles.get(); }
  uint32_t VertexBufferName() const { return fVertexBufferId; }
  uint32_t IndexBufferName() const { return fIndexBufferId; }
  // Buffer names the object gives itself: the last released, else the next
  // from 10001.
  static uint32_t TakeBufferName();

 private:
  void Begin(MDrawContext* ctx, int vertexCount, int segmentCount, int triangleCount, bool lit);
  bool AllocateArrays();
  void FreeColourSource();
  void FreeArrays();
  // All but the points' symbols, labels and sizes.
  void FreeGeometry();
  bool UseBuffers(bool drawnWithShaders) const;
  // Mode 1 to 2 and back, through the model's own arrays.
  void MoveArraysIntoBuffers();
  void CopyBuffersToArrays();
  void ReleaseBuffers();
  // False when the buffer has no room for that many bytes a vertex.
  bool WriteColourRegion(const void* data, size_t bytesPerVertex);
  void DrawBuffers();

  MDrawContext* fDrawContext = nullptr;
  Mode fMode = kEmpty;
  int32_t fTriangleCount = 0;
  int32_t fSegmentCount = 0;
  int32_t fVertexCount = 0;
  bool fLit = false;
  CountedArray<Vertex> fVertices;
  CountedArray<Vertex> fNormals;
  CountedArray<ColorArrayElement> fColors;
  CountedArray<const UniChar*> fSymbols;
  CountedArray<const UniChar*> fLabels;
  CountedArray<float> fSizes;
  CountedArray<Triangle> fTriangles;
  CountedArray<LineSegment> fSegments;
  CountedArray<TexCoord> fTexCoords;
  CountedArray<uint16_t> fPointIndices;
  // Buffer objects.
  OurGLContext fBufferContext = nullptr;
  uint64_t fBufferContextSerial = 0;
  uint32_t fVertexBufferId = 0;
  uint32_t fIndexBufferId = 0;
  bool fColorsInBuffer = false;
  bool fTexCoordsInBuffer = false;
  // Positions and normals interleaved per vertex: the implicit surfaces.
  bool fInterleaved = false;
  // Bytes per vertex of the colour or texture-coordinate region: 0, 8 or 12.
  int32_t fColourRegionBytes = 0;
  bool fDrawnWithShaders = false;
};

// Models moved into buffer objects, for tests and the benchmark.
extern int64_t gVertexBufferUploads;
