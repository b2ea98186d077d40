// The buffer-object half of the model cache.
#include <algorithm>
#include <cstring>
#include <vector>

#include "CoreUtilities/files/ErrorQueue.h"
#include "platform/EGLContexts.h"
#include "platform/GLFunctions.h"
#include "renderer/Frame.h"
#include "renderer/GLSubmission.h"
#include "renderer/RendererGlobals.h"
#include "renderer/Submission.h"
#include "renderer/VertexObject.h"

int64_t gVertexBufferUploads = 0;

namespace {

constexpr uint32_t kFirstBufferName = 10001;
uint32_t gLastBufferName = kFirstBufferName - 1;
// Names given back by released models; never deleted, handed out again.
std::vector<uint32_t> gBufferIDs;

bool HasBufferFunctions() {
  return gGL.bindBuffer && gGL.bufferData && gGL.bufferSubData && gGL.getBufferSubData && gGL.mapBuffer &&
         gGL.unmapBuffer;
}

const void* OffsetPointer(size_t offset) { return reinterpret_cast<const void*>(offset); }

// Writes the parts of a buffer by mapping it write-only, or part by part
// where mapping is refused.
class BufferWriter {
 public:
  explicit BufferWriter(GLenum target) : fTarget(target) {
    fMapped = static_cast<uint8_t*>(gGL.mapBuffer(target, GL_WRITE_ONLY_ARB));
  }
  ~BufferWriter() {
    if (fMapped) gGL.unmapBuffer(fTarget);
  }
  BufferWriter(const BufferWriter&) = delete;
  BufferWriter& operator=(const BufferWriter&) = delete;
  void Write(size_t offset, const void* data, size_t bytes) {
    if (fMapped)
      std::memcpy(fMapped + offset, data, bytes);
    else
      gGL.bufferSubData(fTarget, GLintptr(offset), GLsizeiptr(bytes), data);
  }

 private:
  GLenum fTarget;
  uint8_t* fMapped;
};

void Read(GLenum target, size_t offset, void* into, size_t bytes) {
  gGL.getBufferSubData(target, GLintptr(offset), GLsizeiptr(bytes), into);
}

}  // namespace

uint32_t VertexObject::TakeBufferName() {
  if (gBufferIDs.empty()) return ++gLastBufferName;
  const uint32_t name = gBufferIDs.back();
  gBufferIDs.pop_back();
  return name;
}

bool VertexObject::UseBuffers(bool drawnWithShaders) const {
  const MDrawContext* ctx = fDrawContext;
  if (ctx == nullptr || !IsOpenGL(ctx) || !ctx->vbosUsable) return false;
  return !(drawnWithShaders && ctx->isNVidia && !gEnableVertexBufferObjectsPreference);
}

void VertexObject::MoveArraysIntoBuffers() {
  GLContextRecord* context = GetRendererAglContext(fDrawContext);
  if (fMode != kClientArrays || !HasBufferFunctions() || !OurMakeGLContextCurrent(context)) return;
  const size_t n = size_t(fVertexCount), geometryBytes = n * sizeof(Vertex) * (fLit ? 2 : 1);
  fColourRegionBytes = fColors ? int32_t(sizeof(ColorArrayElement)) : fTexCoords ? int32_t(sizeof(TexCoord)) : 0;
  fBufferContext = context;
  fBufferContextSerial = OurGLContextSerial(context);
  fVertexBufferId = TakeBufferName();
  gGL.bindBuffer(GL_ARRAY_BUFFER_ARB, fVertexBufferId);
  gGL.bufferData(GL_ARRAY_BUFFER_ARB, GLsizeiptr(geometryBytes + n * size_t(fColourRegionBytes)), nullptr,
                 GL_STATIC_DRAW_ARB);
  {
    BufferWriter writer(GL_ARRAY_BUFFER_ARB);
    if (fInterleaved) {
      for (size_t i = 0; i < n; ++i) {
        writer.Write(i * 2 * sizeof(Vertex), &fVertices[i], sizeof(Vertex));
        writer.Write((i * 2 + 1) * sizeof(Vertex), &fNormals[i], sizeof(Vertex));
      }
    } else {
      writer.Write(0, fVertices.get(), n * sizeof(Vertex));
      if (fLit) writer.Write(n * sizeof(Vertex), fNormals.get(), n * sizeof(Vertex));
    }
    if (fColors) writer.Write(geometryBytes, fColors.get(), n * sizeof(ColorArrayElement));
    if (fTexCoords) writer.Write(geometryBytes, fTexCoords.get(), n * sizeof(TexCoord));
  }
  fColorsInBuffer = fColors != nullptr;
  fTexCoordsInBuffer = fTexCoords != nullptr;
  fIndexBufferId = TakeBufferName();
  gGL.bindBuffer(GL_ELEMENT_ARRAY_BUFFER_ARB, fIndexBufferId);
  if (fLit)
    gGL.bufferData(GL_ELEMENT_ARRAY_BUFFER_ARB, GLsizeiptr(sizeof(Triangle) * size_t(fTriangleCount)), fTriangles.get(),
                   GL_STATIC_DRAW_ARB);
  else if (fSegmentCount)
    gGL.bufferData(GL_ELEMENT_ARRAY_BUFFER_ARB, GLsizeiptr(sizeof(LineSegment) * size_t(fSegmentCount)),
                   fSegments.get(), GL_STATIC_DRAW_ARB);
  else
    gGL.bufferData(GL_ELEMENT_ARRAY_BUFFER_ARB, GLsizeiptr(sizeof(uint16_t) * n), fPointIndices.get(),
                   GL_STATIC_DRAW_ARB);
  gGL.bindBuffer(GL_ARRAY_BUFFER_ARB, 0);
  gGL.bindBuffer(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
  FreeGeometry();
  fMode = kBufferObjects;
  ++gVertexBufferUploads;
}

void VertexObject::CopyBuffersToArrays() {
  // Buffers that went with their context leave nothing to copy.
  if (!OurIsGLContextLive(fBufferContext, fBufferContextSerial) || !OurMakeGLContextCurrent(fBufferContext)) {
    ReleaseBuffers();
    fMode = kEmpty;
    return;
  }
  if (!AllocateArrays()) return;
  const size_t n = size_t(fVertexCount), geometryBytes = n * sizeof(Vertex) * (fLit ? 2 : 1);
  gGL.bindBuffer(GL_ARRAY_BUFFER_ARB, fVertexBufferId);
  if (fInterleaved) {
    std::vector<Vertex> both(2 * n);
    Read(GL_ARRAY_BUFFER_ARB, 0, both.data(), geometryBytes);
    for (size_t i = 0; i < n; ++i) {
      fVertices[i] = both[2 * i];
      fNormals[i] = both[2 * i + 1];
    }
  } else {
    Read(GL_ARRAY_BUFFER_ARB, 0, fVertices.get(), n * sizeof(Vertex));
    if (fLit) Read(GL_ARRAY_BUFFER_ARB, n * sizeof(Vertex), fNormals.get(), n * sizeof(Vertex));
  }
  if (fColorsInBuffer) {
    fColors = NewCountedArray<ColorArrayElement>(n);
    if (fColors)
      Read(GL_ARRAY_BUFFER_ARB, geometryBytes, fColors.get(), n * sizeof(ColorArrayElement));
    else
      QueueError(kOutOfMemoryError);
  } else if (fTexCoordsInBuffer) {
    fTexCoords = NewCountedArray<TexCoord>(n);
    if (fTexCoords)
      Read(GL_ARRAY_BUFFER_ARB, geometryBytes, fTexCoords.get(), n * sizeof(TexCoord));
    else
      QueueError(kOutOfMemoryError);
  }
  gGL.bindBuffer(GL_ELEMENT_ARRAY_BUFFER_ARB, fIndexBufferId);
  if (fLit)
    Read(GL_ELEMENT_ARRAY_BUFFER_ARB, 0, fTriangles.get(), sizeof(Triangle) * size_t(fTriangleCount));
  else if (fSegmentCount)
    Read(GL_ELEMENT_ARRAY_BUFFER_ARB, 0, fSegments.get(), sizeof(LineSegment) * size_t(fSegmentCount));
  else
    for (size_t i = 0; i < n; ++i) fPointIndices[i] = uint16_t(i);
  gGL.bindBuffer(GL_ARRAY_BUFFER_ARB, 0);
  gGL.bindBuffer(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
  ReleaseBuffers();
  if (IsOpenGL(fDrawContext)) OurMakeGLContextCurrent(GetRendererAglContext(fDrawContext));
  fMode = kClientArrays;
}

void VertexObject::ReleaseBuffers() {
  if (fVertexBufferId == 0 && fIndexBufferId == 0) return;
  const bool live = OurIsGLContextLive(fBufferContext, fBufferContextSerial) && OurMakeGLContextCurrent(fBufferContext);
  for (uint32_t* name : {&fVertexBufferId, &fIndexBufferId}) {
    if (*name == 0) continue;
    if (live) {
      // Emptied, not deleted: the name is handed out again.
      const GLenum target = name == &fVertexBufferId ? GL_ARRAY_BUFFER_ARB : GL_ELEMENT_ARRAY_BUFFER_ARB;
      gGL.bindBuffer(target, *name);
      gGL.bufferData(target, 0, nullptr, GL_STATIC_DRAW_ARB);
      gGL.bindBuffer(target, 0);
    }
    gBufferIDs.push_back(*name);
    *name = 0;
  }
  fBufferContext = nullptr;
  fBufferContextSerial = 0;
  fColorsInBuffer = fTexCoordsInBuffer = false;
  fColourRegionBytes = 0;
}

// A buffer model has room only for what it was cached with; given more, it
// is copied back and cached again, so that nothing is written past its end.
bool VertexObject::WriteColourRegion(const void* data, size_t bytesPerVertex) {
  if (size_t(fColourRegionBytes) < bytesPerVertex || !OurMakeGLContextCurrent(fBufferContext)) return false;
  gGL.bindBuffer(GL_ARRAY_BUFFER_ARB, fVertexBufferId);
  gGL.bufferSubData(GL_ARRAY_BUFFER_ARB, GLintptr(size_t(fVertexCount) * sizeof(Vertex) * (fLit ? 2 : 1)),
                    GLsizeiptr(size_t(fVertexCount) * bytesPerVertex), data);
  gGL.bindBuffer(GL_ARRAY_BUFFER_ARB, 0);
  gGL.bindBuffer(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
  return true;
}

// A model drawn every frame in the context it was cached for is never
// copied: the buffers' context is compared with the renderer's own.
void VertexObject::CopyBuffersIfContextChanged() {
  MDrawContext* ctx = fDrawContext;
  if (ctx == nullptr || fMode == kEmpty) return;
  if (ctx->vbosUsable) {
    if (fMode == kClientArrays && !ctx->isNVidia) {
      MoveArraysIntoBuffers();
    } else if (fMode == kBufferObjects && (fBufferContext != GetRendererAglContext(ctx) ||
                                           !OurIsGLContextLive(fBufferContext, fBufferContextSerial))) {
      CopyBuffersToArrays();
      MoveArraysIntoBuffers();
    }
  } else if (fMode == kBufferObjects) {
    CopyBuffersToArrays();
  }
}

void VertexObject::DrawBuffers() {
  MDrawContext* ctx = fDrawContext;
  if (!OurMakeGLContextCurrent(fBufferContext)) return;
  const size_t n = size_t(fVertexCount), geometryBytes = n * sizeof(Vertex) * (fLit ? 2 : 1);
  gGL.bindBuffer(GL_ELEMENT_ARRAY_BUFFER_ARB, fIndexBufferId);
  gGL.bindBuffer(GL_ARRAY_BUFFER_ARB, fVertexBufferId);
  if (fInterleaved) {
    glVertexPointer(3, GL_FLOAT, 2 * sizeof(Vertex), OffsetPointer(0));
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, 2 * sizeof(Vertex), OffsetPointer(sizeof(Vertex)));
  } else {
    GLSubmitVertices(static_cast<const Vertex*>(OffsetPointer(0)));
    if (fLit) GLSubmitNormals(static_cast<const Vertex*>(OffsetPointer(n * sizeof(Vertex))));
  }
  if (fColorsInBuffer) GLSubmitColors(static_cast<const ColorArrayElement*>(OffsetPointer(geometryBytes)));
  if (fTexCoordsInBuffer) GLSubmitTextureCoordinates(static_cast<const TexCoord*>(OffsetPointer(geometryBytes)));
  if (fLit)
    OurSubmitTriangles(nullptr, fTriangleCount, ctx);
  else if (fSegmentCount)
    OurSubmitLines(nullptr, fSegmentCount, !fColorsInBuffer, ctx);
  else
    OurSubmitPoints(nullptr, nullptr, nullptr, nullptr, fVertexCount, ctx);
  gGL.bindBuffer(GL_ARRAY_BUFFER_ARB, 0);
  gGL.bindBuffer(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
  if (fTexCoordsInBuffer) OurDisableTextureArrayState(ctx);
  if (fColorsInBuffer) OurDisableColorArrayState(ctx);
  if (fLit) OurDisableNormalArrayState(ctx);
}
