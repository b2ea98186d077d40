#include "renderer/VertexObject.h"

#include <algorithm>

#include "CoreUtilities/files/ErrorQueue.h"
#include "renderer/Submission.h"
#include "renderer/TriangleFacing.h"

namespace {

// A copy of count records in accounted memory; null (message 36) when
// refused or when there is nothing to copy.
template <typename T>
CountedArray<T> CopyOf(const T* source, int count) {
  if (source == nullptr || count <= 0) return nullptr;
  CountedArray<T> copy = NewCountedArray<T>(size_t(count));
  if (copy == nullptr) {
    QueueError(kOutOfMemoryError);
    return nullptr;
  }
  std::copy_n(source, count, copy.get());
  return copy;
}

template <typename T>
CountedArray<T> Allocate(int count) {
  return count > 0 ? NewCountedArray<T>(size_t(count)) : nullptr;
}

}  // namespace

void VertexObject::Begin(MDrawContext* ctx, int vertexCount, int segmentCount, int triangleCount, bool lit) {
  ReleaseMemory();
  fDrawContext = ctx;
  fVertexCount = std::max(vertexCount, 0);
  fSegmentCount = std::max(segmentCount, 0);
  fTriangleCount = std::max(triangleCount, 0);
  fLit = lit;
  fInterleaved = false;
  fDrawnWithShaders = false;
}

// The arrays of the model's kind; on a refusal none are kept.
bool VertexObject::AllocateArrays() {
  fVertices = Allocate<Vertex>(fVertexCount);
  bool made = fVertices != nullptr;
  if (fLit) {
    fNormals = Allocate<Vertex>(fVertexCount);
    fTriangles = Allocate<Triangle>(fTriangleCount);
    made = made && fNormals && fTriangles;
  } else if (fSegmentCount) {
    fSegments = Allocate<LineSegment>(fSegmentCount);
    made = made && fSegments;
  } else {
    fPointIndices = Allocate<uint16_t>(fVertexCount);
    made = made && fPointIndices;
  }
  if (made) return true;
  ReleaseMemory();
  QueueError(kOutOfMemoryError);
  return false;
}

void VertexObject::CacheModel(const Vertex* vertices, const LineSegment* segments, const ColorArrayElement* colors,
                              int vertexCount, int segmentCount, MDrawContext* ctx) {
  Begin(ctx, std::min(vertexCount, 65536), segmentCount, 0, false);
  if (fVertexCount == 0 || fSegmentCount == 0 || !AllocateArrays()) return;
  std::copy_n(vertices, fVertexCount, fVertices.get());
  std::copy_n(segments, fSegmentCount, fSegments.get());
  fMode = kClientArrays;
  if (colors) CacheColorArray(colors);
  if (UseBuffers(false)) MoveArraysIntoBuffers();
}

void VertexObject::CacheModel(const Vertex* vertices, const ColorArrayElement* colors, const UniChar* const* symbols,
                              const UniChar* const* labels, const float* sizes, int vertexCount, MDrawContext* ctx) {
  Begin(ctx, std::min(vertexCount, 65536), 0, 0, false);
  if (fVertexCount == 0 || !AllocateArrays()) return;
  std::copy_n(vertices, fVertexCount, fVertices.get());
  for (int i = 0; i < fVertexCount; ++i) fPointIndices[i] = uint16_t(i);
  fMode = kClientArrays;
  if (colors) CacheColorArray(colors);
  fSymbols = CopyOf(symbols, fVertexCount);
  fLabels = CopyOf(labels, fVertexCount);
  fSizes = CopyOf(sizes, fVertexCount);
  if (UseBuffers(false)) MoveArraysIntoBuffers();
}

void VertexObject::CacheModel(const Vertex* vertices, const Vertex* normals, const ColorArrayElement* colors,
                              const TexCoord* texCoords, const Triangle* triangles, int vertexCount, int triangleCount,
                              bool drawnWithShaders, MDrawContext* ctx) {
  Begin(ctx, vertexCount, 0, triangleCount, true);
  fDrawnWithShaders = drawnWithShaders;
  if (fVertexCount == 0 || fTriangleCount == 0 || !AllocateArrays()) return;
  std::copy_n(vertices, fVertexCount, fVertices.get());
  std::copy_n(normals, fVertexCount, fNormals.get());
  std::copy_n(triangles, fTriangleCount, fTriangles.get());
  TurnTrianglesToNormals(fVertices.get(), fNormals.get(), fVertexCount, fTriangles.get(), fTriangleCount);
  fMode = kClientArrays;
  if (colors) CacheColorArray(colors);
  if (texCoords) CacheTexCoordsArray(texCoords);
  if (UseBuffers(drawnWithShaders)) MoveArraysIntoBuffers();
}

void VertexObject::CacheModel(int listCount, const AListGenericLarge<SurfaceVertex, 13>* const* vertexLists,
                              const AListGenericLarge<Triangle, 13>* const* triangleLists,
                              const ColorArrayElement* colors, bool drawnWithShaders, MDrawContext* ctx) {
  int64_t vertexCount = 0, triangleCount = 0;
  for (int i = 0; i < listCount; ++i) {
    vertexCount += vertexLists[i]->Count();
    triangleCount += triangleLists[i]->Count();
  }
  if (vertexCount > INT32_MAX || triangleCount > INT32_MAX) {
    ReleaseMemory();
    QueueError(kOutOfMemoryError);
    return;
  }
  Begin(ctx, int(vertexCount), 0, int(triangleCount), true);
  fDrawnWithShaders = drawnWithShaders;
  if (fVertexCount == 0 || fTriangleCount == 0 || !AllocateArrays()) return;
  int32_t v = 0, t = 0;
  for (int i = 0; i < listCount; ++i) {
    const int32_t base = v;
    const auto& vertexList = *vertexLists[i];
    for (int32_t k = 0; k < vertexList.Count(); ++k, ++v) {
      const SurfaceVertex& s = vertexList[k];
      fVertices[v] = {s.x, s.y, s.z};
      fNormals[v] = {s.nx, s.ny, s.nz};
    }
    const auto& triangleList = *triangleLists[i];
    for (int32_t k = 0; k < triangleList.Count(); ++k, ++t)
      for (int c = 0; c < 3; ++c) fTriangles[t].v[c] = triangleList[k].v[c] + base;
  }
  TurnTrianglesToNormals(fVertices.get(), fNormals.get(), fVertexCount, fTriangles.get(), fTriangleCount);
  fMode = kClientArrays;
  if (colors) CacheColorArray(colors);
  fInterleaved = true;
  if (UseBuffers(drawnWithShaders)) MoveArraysIntoBuffers();
}

void VertexObject::FreeColourSource() {
  fColors.reset();
  fTexCoords.reset();
}

void VertexObject::CacheColorArray(const ColorArrayElement* colors) {
  if (fMode == kBufferObjects) {
    if (colors == nullptr) {
      fColorsInBuffer = false;
    } else if (WriteColourRegion(colors, sizeof(ColorArrayElement))) {
      fColorsInBuffer = true;
      fTexCoordsInBuffer = false;
    } else {
      CopyBuffersToArrays();
      CacheColorArray(colors);
      MoveArraysIntoBuffers();
    }
    return;
  }
  if (fMode != kClientArrays) return;
  FreeColourSource();
  fColors = CopyOf(colors, fVertexCount);
}

void VertexObject::CacheTexCoordsArray(const TexCoord* texCoords) {
  if (fMode == kBufferObjects) {
    if (texCoords == nullptr) {
      fTexCoordsInBuffer = false;
    } else if (WriteColourRegion(texCoords, sizeof(TexCoord))) {
      fTexCoordsInBuffer = true;
      fColorsInBuffer = false;
    } else {
      CopyBuffersToArrays();
      CacheTexCoordsArray(texCoords);
      MoveArraysIntoBuffers();
    }
    return;
  }
  if (fMode != kClientArrays) return;
  FreeColourSource();
  fTexCoords = CopyOf(texCoords, fVertexCount);
}

void VertexObject::DrawCachedModel() {
  if (fDrawContext == nullptr || fMode == kEmpty) return;
  CopyBuffersIfContextChanged();
  if (fMode == kBufferObjects) {
    DrawBuffers();
    return;
  }
  if (fMode != kClientArrays) return;
  MDrawContext* ctx = fDrawContext;
  OurSubmitVertices(fVertices.get(), fVertexCount, ctx);
  if (fLit) OurSubmitNormals(fNormals.get(), ctx);
  if (fColors) OurSubmitColors(fColors.get(), ctx);
  if (fTexCoords) OurSubmitTextureCoordinates(fTexCoords.get(), ctx);
  if (fLit)
    OurSubmitTriangles(fTriangles.get(), fTriangleCount, ctx);
  else if (fSegmentCount)
    OurSubmitLines(fSegments.get(), fSegmentCount, fColors == nullptr, ctx);
  else
    OurSubmitPoints(fPointIndices.get(), fSymbols.get(), fLabels.get(), fSizes.get(), fVertexCount, ctx);
  if (fTexCoords) OurDisableTextureArrayState(ctx);
  if (fColors) OurDisableColorArrayState(ctx);
  if (fLit) OurDisableNormalArrayState(ctx);
}

void VertexObject::ReleaseMemory() {
  FreeArrays();
  ReleaseBuffers();
  fMode = kEmpty;
}

void VertexObject::FreeArrays() {
  FreeGeometry();
  fSymbols.reset();
  fLabels.reset();
  fSizes.reset();
}

void VertexObject::FreeGeometry() {
  fVertices.reset();
  fNormals.reset();
  fColors.reset();
  fTriangles.reset();
  fSegments.reset();
  fTexCoords.reset();
  fPointIndices.reset();
}
