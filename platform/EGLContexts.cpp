#include "platform/EGLContexts.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <mutex>
#include <unordered_map>
#include <unordered_set>

#include "platform/GLContextRecord.h"
#include "platform/GLFunctions.h"

GLFunctionTable gGL{};

#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define ZL_THREAD_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_THREAD__) || defined(ZL_THREAD_SANITIZER)
// Libraries built without the sanitizer synchronise their own threads out of
// its sight: Mesa's software rasteriser destroys a fence after waiting on
// it, Qt guards its event queues with locks of its own (a worker posting a
// wake-up) and converts a window's image in slices on pooled threads. What
// they share among those threads is theirs alone.
extern "C" const char* __tsan_default_suppressions() {
  return "race:swrast_dri.so\nrace:libQt6Core.so\nrace:libQt6Gui.so\n";
}
#endif

namespace {

EGLDisplay gDisplay = EGL_NO_DISPLAY;
EGLConfig gConfig = nullptr;
GLFailure gInjectedFailure = GLFailure::kNone;
// Contexts are made and destroyed on any thread.
std::mutex gSerialsLock;
uint64_t gLastSerial = 0;
// The serial of every context not yet destroyed, and by its EGL handle.
std::unordered_set<uint64_t> gLiveSerials;
std::unordered_map<void*, uint64_t> gSerialOfHandle;

GLProcResolver gResolver = nullptr;

template <typename F>
void Load(F& f, const char* name) {
  f = reinterpret_cast<F>(gResolver(name));
}

void LoadFunctions() {
  Load(gGL.genFramebuffers, "glGenFramebuffers");
  Load(gGL.deleteFramebuffers, "glDeleteFramebuffers");
  Load(gGL.bindFramebuffer, "glBindFramebuffer");
  Load(gGL.genRenderbuffers, "glGenRenderbuffers");
  Load(gGL.deleteRenderbuffers, "glDeleteRenderbuffers");
  Load(gGL.bindRenderbuffer, "glBindRenderbuffer");
  Load(gGL.renderbufferStorageMultisample, "glRenderbufferStorageMultisample");
  Load(gGL.framebufferRenderbuffer, "glFramebufferRenderbuffer");
  Load(gGL.checkFramebufferStatus, "glCheckFramebufferStatus");
  Load(gGL.blitFramebuffer, "glBlitFramebuffer");
  Load(gGL.genBuffers, "glGenBuffersARB");
  Load(gGL.bindBuffer, "glBindBufferARB");
  Load(gGL.bufferData, "glBufferDataARB");
  Load(gGL.bufferSubData, "glBufferSubDataARB");
  Load(gGL.getBufferSubData, "glGetBufferSubDataARB");
  Load(gGL.mapBuffer, "glMapBufferARB");
  Load(gGL.unmapBuffer, "glUnmapBufferARB");
  Load(gGL.isBuffer, "glIsBufferARB");
  Load(gGL.genPrograms, "glGenProgramsARB");
  Load(gGL.bindProgram, "glBindProgramARB");
  Load(gGL.programString, "glProgramStringARB");
  Load(gGL.getProgramiv, "glGetProgramivARB");
  Load(gGL.isProgram, "glIsProgramARB");
  Load(gGL.deletePrograms, "glDeleteProgramsARB");
  Load(gGL.programLocalParameter4d, "glProgramLocalParameter4dARB");
  Load(gGL.programLocalParameter4dv, "glProgramLocalParameter4dvARB");
}

// The one display of the process, opened at first use and kept.
bool OpenDisplay() {
  static std::once_flag once;
  std::call_once(once, [] {
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) return;
    EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    EGLint major = 0, minor = 0;
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor)) return;
    // Contexts draw into framebuffer objects only, so any config will do.
    const EGLint attributes[] = {EGL_SURFACE_TYPE, 0, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
    EGLint configs = 0;
    if (!eglBindAPI(EGL_OPENGL_API) || !eglChooseConfig(display, attributes, &gConfig, 1, &configs) || configs < 1) {
      eglTerminate(display);
      return;
    }
    LoadGLFunctions([](const char* name) { return reinterpret_cast<void*>(eglGetProcAddress(name)); });
    gDisplay = display;
  });
  return gDisplay != EGL_NO_DISPLAY;
}

}  // namespace

// Both window-system libraries hand out the dispatcher's entry points,
// which call into whichever context is current: one table serves both.
void LoadGLFunctions(GLProcResolver resolver) {
  static std::once_flag once;
  std::call_once(once, [resolver] {
    gResolver = resolver;
    LoadFunctions();
  });
}

uint64_t NewGLContextSerial(void* handle) {
  const std::lock_guard<std::mutex> lock(gSerialsLock);
  const uint64_t serial = ++gLastSerial;
  gLiveSerials.insert(serial);
  gSerialOfHandle[handle] = serial;
  return serial;
}

void RetireGLContextSerial(uint64_t serial, void* handle) {
  const std::lock_guard<std::mutex> lock(gSerialsLock);
  gLiveSerials.erase(serial);
  const auto found = gSerialOfHandle.find(handle);
  if (found != gSerialOfHandle.end() && found->second == serial) gSerialOfHandle.erase(found);
}

uint64_t SerialOfGLHandle(void* handle) {
  if (handle == nullptr) return 0;
  const std::lock_guard<std::mutex> lock(gSerialsLock);
  const auto found = gSerialOfHandle.find(handle);
  return found == gSerialOfHandle.end() ? 0 : found->second;
}

void ReleaseCurrentEGLContext() {
  if (eglGetCurrentContext() != EGL_NO_CONTEXT)
    eglMakeCurrent(eglGetCurrentDisplay(), EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

namespace {

bool HasFramebufferFunctions() {
  return gGL.genFramebuffers && gGL.deleteFramebuffers && gGL.bindFramebuffer && gGL.genRenderbuffers &&
         gGL.deleteRenderbuffers && gGL.bindRenderbuffer && gGL.renderbufferStorageMultisample &&
         gGL.framebufferRenderbuffer && gGL.checkFramebufferStatus && gGL.blitFramebuffer;
}

// One framebuffer with a renderbuffer per format; false when incomplete.
bool MakeFramebuffer(GLuint& framebuffer, GLuint* buffers, int count, int32_t width, int32_t height, int32_t samples) {
  const GLenum formats[2] = {GL_RGBA8, GL_DEPTH_COMPONENT24};
  const GLenum attachments[2] = {GL_COLOR_ATTACHMENT0, GL_DEPTH_ATTACHMENT};
  gGL.genFramebuffers(1, &framebuffer);
  gGL.genRenderbuffers(count, buffers);
  gGL.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  for (int i = 0; i < count; ++i) {
    gGL.bindRenderbuffer(GL_RENDERBUFFER, buffers[i]);
    gGL.renderbufferStorageMultisample(GL_RENDERBUFFER, samples, formats[i], width, height);
    gGL.framebufferRenderbuffer(GL_FRAMEBUFFER, attachments[i], GL_RENDERBUFFER, buffers[i]);
  }
  return gGL.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE && glGetError() == GL_NO_ERROR;
}

// A surfaceless context: its framebuffers are all it draws into.
struct SurfacelessGLContext final : GLContextRecord {
  ~SurfacelessGLContext() override {
    // The framebuffers and everything else the context made go with it.
    eglMakeCurrent(gDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(gDisplay, context);
    RetireGLContextSerial(serial, context);
  }

  bool MakeCurrent() override {
    if (eglGetCurrentContext() == context) return true;
    ReleaseCurrentOnscreenGLContext();
    return eglMakeCurrent(gDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, context);
  }

  EGLContext context = EGL_NO_CONTEXT;
};

}  // namespace

bool MakeGLFramebuffers(GLContextRecord* c) {
  if (gInjectedFailure == GLFailure::kFramebuffer || !HasFramebufferFunctions()) return false;
  if (!MakeFramebuffer(c->drawFramebuffer, c->drawBuffers, 2, c->width, c->height, c->samples)) return false;
  if (c->samples > 0 && !MakeFramebuffer(c->resolveFramebuffer, &c->resolveBuffer, 1, c->width, c->height, 0))
    return false;
  gGL.bindFramebuffer(GL_FRAMEBUFFER, c->drawFramebuffer);
  return true;
}

void FreeGLFramebuffers(GLContextRecord* c) {
  gGL.bindFramebuffer(GL_FRAMEBUFFER, 0);
  for (GLuint* framebuffer : {&c->drawFramebuffer, &c->resolveFramebuffer})
    if (*framebuffer) gGL.deleteFramebuffers(1, framebuffer);
  for (GLuint* buffer : {&c->drawBuffers[0], &c->drawBuffers[1], &c->resolveBuffer})
    if (*buffer) gGL.deleteRenderbuffers(1, buffer);
  c->drawFramebuffer = c->resolveFramebuffer = c->resolveBuffer = 0;
  c->drawBuffers[0] = c->drawBuffers[1] = 0;
}

GLContextRecord* OurNewGLContext(int32_t width, int32_t height, int32_t samples) {
  if (width < 1 || height < 1 || gInjectedFailure == GLFailure::kContext || !OpenDisplay()) return nullptr;
  const EGLint attributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK_KHR, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT_KHR,
                               EGL_NONE};
  eglBindAPI(EGL_OPENGL_API);
  EGLContext made = eglCreateContext(gDisplay, gConfig, EGL_NO_CONTEXT, attributes);
  if (made == EGL_NO_CONTEXT) return nullptr;
  auto* context = new SurfacelessGLContext;
  context->context = made;
  context->width = width;
  context->height = height;
  context->samples = samples;
  context->serial = NewGLContextSerial(made);
  if (!context->MakeCurrent() || !MakeGLFramebuffers(context)) {
    delete context;
    return nullptr;
  }
  return context;
}

void OurDisposeGLContext(GLContextRecord* context) { delete context; }

bool OurMakeGLContextCurrent(GLContextRecord* context) {
  if (context == nullptr || !context->MakeCurrent()) return false;
  gGL.bindFramebuffer(GL_FRAMEBUFFER, context->drawFramebuffer);
  return true;
}

void OurResolveGLFramebuffer(GLContextRecord* context) {
  gGL.bindFramebuffer(GL_READ_FRAMEBUFFER, context->drawFramebuffer);
  if (context->resolveFramebuffer == 0) return;
  gGL.bindFramebuffer(GL_DRAW_FRAMEBUFFER, context->resolveFramebuffer);
  gGL.blitFramebuffer(0, 0, context->width, context->height, 0, 0, context->width, context->height, GL_COLOR_BUFFER_BIT,
                      GL_NEAREST);
  gGL.bindFramebuffer(GL_DRAW_FRAMEBUFFER, context->drawFramebuffer);
  gGL.bindFramebuffer(GL_READ_FRAMEBUFFER, context->resolveFramebuffer);
}

int32_t OurGLContextSamples(const GLContextRecord* context) { return context->samples; }

void OurInjectGLFailure(GLFailure failure) { gInjectedFailure = failure; }

GLFailure InjectedGLFailure() { return gInjectedFailure; }

uint64_t OurCurrentGLContextSerial() {
  const EGLContext current = eglGetCurrentContext();
  if (current == EGL_NO_CONTEXT) return CurrentOnscreenGLContextSerial();
  return SerialOfGLHandle(current);
}

uint64_t OurGLContextSerial(const GLContextRecord* context) { return context ? context->serial : 0; }

bool OurIsGLContextLive(const GLContextRecord* context, uint64_t serial) {
  if (context == nullptr || serial == 0) return false;
  const std::lock_guard<std::mutex> lock(gSerialsLock);
  // A destroyed context's memory may hold anything: read it only while its
  // serial is live.
  return gLiveSerials.count(serial) != 0 && context->serial == serial;
}
