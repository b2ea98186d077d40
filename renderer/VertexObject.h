#pragma once

#include <cstdint>

#include "CoreUtilities/AListGenericLarge.h"
#include "CoreUtilities/OurText/UniChar.h"
#include "renderer/DrawContext.h"

// One graph's finished model kept ready for drawing at every frame: here in
// arrays the object owns, drawn through the submission calls. Points and
// segments index vertices with 16 bits (at most 65,536 vertices). Symbol
// and label strings stay the caller's; their pointer arrays are copied.
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

  // Replace the colours, or the texture coordinates (a model holds one or
  // the other).
  void CacheColorArray(const ColorArrayElement* colors);
  void CacheTexCoordsArray(const TexCoord* texCoords);

  void DrawCachedModel();
  void ReleaseMemory();

  Mode GetMode() const { return fMode; }
  int32_t VertexCount() const { return fVertexCount; }
  int32_t TriangleCount() const { return fTriangleCount; }

 private:
  void Begin(MDrawContext* ctx, int vertexCount, int segmentCount, int triangleCount, bool lit);
  bool AllocateArrays();
  void FreeColourSource();

  MDrawContext* fDrawContext = nullptr;
  Mode fMode = kEmpty;
  int32_t fTriangleCount = 0;
  int32_t fSegmentCount = 0;
  int32_t fVertexCount = 0;
  bool fLit = false;
  Vertex* fVertices = nullptr;
  Vertex* fNormals = nullptr;
  ColorArrayElement* fColors = nullptr;
  const UniChar** fSymbols = nullptr;
  const UniChar** fLabels = nullptr;
  float* fSizes = nullptr;
  Triangle* fTriangles = nullptr;
  LineSegment* fSegments = nullptr;
  TexCoord* fTexCoords = nullptr;
  uint16_t* fPointIndices = nullptr;
};
