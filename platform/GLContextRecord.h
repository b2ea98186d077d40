#pragma once

#include <GL/gl.h>

#include <cstdint>

#include "platform/EGLContexts.h"

// What the two kinds of context share: each draws into framebuffers of its
// own, and makes its own kind of context current. The surfaceless kind is
// in EGLContexts.cpp, the on-screen kind, which also shows its picture in a
// window, in OnscreenGL.cpp.
struct GLContextRecord {
  GLContextRecord() = default;
  GLContextRecord(const GLContextRecord&) = delete;
  GLContextRecord& operator=(const GLContextRecord&) = delete;
  // Destroys the context, and with it everything made in it.
  virtual ~GLContextRecord() = default;
  // Makes the context current on this thread, letting go of the other
  // kind's; false when it cannot be.
  virtual bool MakeCurrent() = 0;

  GLuint drawFramebuffer = 0;
  GLuint drawBuffers[2] = {};
  // The single-sample picture of a multisampled context; 0 otherwise.
  GLuint resolveFramebuffer = 0;
  GLuint resolveBuffer = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t samples = 0;
  uint64_t serial = 0;
};

// Shared by the two kinds.
GLFailure InjectedGLFailure();
using GLProcResolver = void* (*)(const char* name);
// Fills the function table once, from the first kind of context made.
void LoadGLFunctions(GLProcResolver resolver);
// In the current context, the framebuffers of the record's size and samples,
// the drawing one bound; false when the driver refuses them.
bool MakeGLFramebuffers(GLContextRecord* context);
// Gives back those framebuffers; the context is current.
void FreeGLFramebuffers(GLContextRecord* context);
uint64_t NewGLContextSerial(void* handle);
void RetireGLContextSerial(uint64_t serial, void* handle);
uint64_t SerialOfGLHandle(void* handle);
// A thread has at most one current context of either kind: each kind lets
// go of the other's before making its own current.
void ReleaseCurrentEGLContext();
void ReleaseCurrentOnscreenGLContext();
uint64_t CurrentOnscreenGLContextSerial();
