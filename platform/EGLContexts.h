#pragma once

#include <cstdint>

// An OpenGL compatibility-profile context on Mesa's surfaceless EGL
// platform, drawing into a framebuffer object of its own: RGBA8 with a
// 24-bit depth buffer, multisampled on request with a single-sample buffer
// the picture resolves into. Works with no display, on the thread that uses
// it. Every failure is a null result. An on-screen context
// (platform/OnscreenGL.h) is a kind of its own that answers the same calls.
struct GLContextRecord;

// Null when there is no display, no context, no framebuffer of this size
// and sample count, or the driver lacks framebuffer objects.
GLContextRecord* OurNewGLContext(int32_t width, int32_t height, int32_t samples);
// Destroys the context with its framebuffers, textures and buffers.
void OurDisposeGLContext(GLContextRecord* context);
// Makes the context current with its drawing framebuffer bound.
bool OurMakeGLContextCurrent(GLContextRecord* context);
// Binds the single-sample picture for reading, resolving a multisampled one
// into it first; the drawing framebuffer stays bound for drawing.
void OurResolveGLFramebuffer(GLContextRecord* context);
int32_t OurGLContextSamples(const GLContextRecord* context);

// For tests: every context, every framebuffer, every on-screen context, or
// every multisampled on-screen format, made from now fails, until kNone.
enum class GLFailure { kNone, kContext, kFramebuffer, kOnscreen, kOnscreenMultisample };
void OurInjectGLFailure(GLFailure failure);

// Each context made has a serial number of its own, never reused; a context
// destroyed since is no longer live, even when its memory is reused.
uint64_t OurGLContextSerial(const GLContextRecord* context);
bool OurIsGLContextLive(const GLContextRecord* context, uint64_t serial);

// The serial of the context current on this thread; 0 when none or not one
// of ours.
uint64_t OurCurrentGLContextSerial();
