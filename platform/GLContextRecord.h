#pragma once

#include <EGL/egl.h>
#include <GL/gl.h>

#include <cstdint>

#include "platform/EGLContexts.h"

struct OnscreenGLRecord;

// One context of either kind: a surfaceless EGL context drawing into
// framebuffers of its own, or an on-screen context (onscreen set) drawing
// into a surface in a window.
struct OurEGLContext {
  EGLContext context = EGL_NO_CONTEXT;
  GLuint drawFramebuffer = 0;
  GLuint drawBuffers[2] = {};
  // The single-sample picture of a multisampled context; 0 otherwise.
  GLuint resolveFramebuffer = 0;
  GLuint resolveBuffer = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t samples = 0;
  uint64_t serial = 0;
  OnscreenGLRecord* onscreen = nullptr;
};

// Shared by the two kinds.
GLFailure InjectedGLFailure();
using GLProcResolver = void* (*)(const char* name);
// Fills the function table once, from the first kind of context made.
void LoadGLFunctions(GLProcResolver resolver);
uint64_t NewGLContextSerial(void* handle);
void RetireGLContextSerial(uint64_t serial, void* handle);
uint64_t SerialOfGLHandle(void* handle);
// A thread has at most one current context of either kind: each kind lets
// go of the other's before making its own current.
void ReleaseCurrentEGLContext();
void ReleaseCurrentOnscreenGLContext();

// The on-screen kind's halves of the shared calls.
bool MakeOnscreenGLContextCurrent(OurEGLContext* context);
void ResolveOnscreenGLFramebuffer(OurEGLContext* context);
void DisposeOnscreenGLContext(OurEGLContext* context);
uint64_t CurrentOnscreenGLContextSerial();
