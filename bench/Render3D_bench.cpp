// The software 3-D renderer at 800 x 600, 100 rotating frames an iteration:
// the lit 79 x 79 grid, a 16,384-triangle tube and the grid at opacity 0.5,
// each plain and supersampled, against a bare EGL/GL loop on Mesa llvmpipe
// drawing the same meshes (framebuffer object, fixed-function light 0,
// read-back every frame; 4x multisampling beside supersampling). llvmpipe
// runs on every core, ours on one: the label carries LP_NUM_THREADS and the
// cores. The resident set before and after 1,000 translucent frames. Our
// OpenGL renderer against the same loop.
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "CoreUtilities/memory/MemoryBudget.h"
#include "CoreUtilities/drawing/OurGWorld.h"
#include "document/DocumentRecord.h"
#include "platform/GuiApplication.h"
#include "renderer/AVector.h"
#include "renderer/Frame.h"
#include "renderer/M3DView.h"
#include "renderer/RendererGlobals.h"
#include "renderer/RendererHooks.h"
#include "renderer/Submission.h"
#include "renderer/VertexObject.h"
#include "tools/Render3DScene.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWidth = 800, kHeight = 600, kFrames = 100;
constexpr double kEyeDistance = 50;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// A torus about z: 128 steps around, 64 round the tube.
Scene3DMesh Tube() {
  constexpr int around = 128, round = 64;
  constexpr float big = 1.3f, small = 0.45f;
  Scene3DMesh m;
  for (int i = 0; i < around; ++i) {
    const float u = 6.2831853f * float(i) / around;
    for (int j = 0; j < round; ++j) {
      const float v = 6.2831853f * float(j) / round;
      const Vertex n{std::cos(u) * std::cos(v), std::sin(u) * std::cos(v), std::sin(v)};
      m.vertices.push_back({big * std::cos(u) + small * n.x, big * std::sin(u) + small * n.y, small * n.z});
      m.normals.push_back(n);
      m.colors.push_back({0.5f + 0.5f * std::cos(u), 0.6f, 0.5f + 0.5f * std::sin(u)});
    }
  }
  for (int i = 0; i < around; ++i)
    for (int j = 0; j < round; ++j) {
      const int a = i * round + j, b = ((i + 1) % around) * round + j;
      const int a1 = i * round + (j + 1) % round, b1 = ((i + 1) % around) * round + (j + 1) % round;
      m.triangles.push_back({{a, b, b1}});
      m.triangles.push_back({{a, b1, a1}});
    }
  return m;
}

enum Case { kGrid, kTube, kTranslucentGrid };

const Scene3DMesh& MeshOf(int which) {
  static const Scene3DMesh grid = Scene3DGrid(), tube = Tube();
  return which == kTube ? tube : grid;
}

// The view turned 0.05 radians about z a frame, as the scene tool does.
void TurnView(M3DView& view, const Matrix3& start, int frame) {
  Matrix3 turn;
  GenerateRotationMatrixFromAxisAndAngle(turn, {0, 0, 1}, 0.05 * frame);
  MultiplyMatrix(turn, start, view.rotation);
}

struct SoftwareState {
  OurPort* world = nullptr;
  bool supersampled = false;
  bool translucent = false;
};
SoftwareState gSoftware;

// One draw context over its own world, software unless asked; a frame
// reports its fragments and the fragment memory it took.
class SoftwareView {
 public:
  SoftwareView(bool supersampled, bool translucent, Our3DRendererType renderer = kRendererSoftware) {
    gSoftware = {OurNewGWorld({0, 0, kHeight, kWidth}), supersampled, translucent};
    gRendererHooks.GetOffscreenGWorld = [](DocumentRecord*) { return gSoftware.world; };
    gRendererHooks.UseSampleBuffer = [](DocumentRecord*) { return gSoftware.supersampled; };
    gRendererHooks.IsTranslucent = [](DocumentRecord*) { return gSoftware.translucent; };
    gRendererHooks.BackgroundColor = [](DocumentRecord*) { return uint32_t(0xF0F0F8); };
    SetDrawContextWindow(fCtx, nullptr, &fDocument);
    SetDesiredRendererType(fCtx, renderer);
    CopyMatrix(fView.rotation, fStart);
  }
  ~SoftwareView() {
    DisposeDrawContext(fCtx);
    fOwnedCtx.reset();
    DestroyContextsAwaitingDestruction();
    OurDisposeGWorld(gSoftware.world);
    gSoftware = {};
    gRendererHooks = {};
    ReleaseRendererMemoryBeforeQuitting();
  }
  SoftwareView(const SoftwareView&) = delete;
  SoftwareView& operator=(const SoftwareView&) = delete;

  bool Valid() const { return gSoftware.world != nullptr; }

  // False when the frame was not drawn.
  bool Frame(const Scene3DMesh& mesh, int frame) {
    TurnView(fView, fStart, frame);
    Qd3d_SetPane(fCtx, {0, 0, kHeight, kWidth}, &fView, false);
    if (!IsDrawContextValid(fCtx) || RenderStart(fCtx, false) != 0) return false;
    const int64_t before = gApproximateTotalMemoryUsed;
    OurSubmitVertices(mesh.vertices.data(), int(mesh.vertices.size()), fCtx);
    OurSubmitNormals(mesh.normals.data(), fCtx);
    OurSubmitColors(mesh.colors.data(), fCtx);
    OurSubmitOpacity(gSoftware.translucent ? 0.5f : 1.0f, fCtx);
    OurSubmitTriangles(mesh.triangles.data(), int(mesh.triangles.size()), fCtx);
    fragments += fCtx->fragmentCount + 1;
    peakFragmentBytes = std::max(peakFragmentBytes, gApproximateTotalMemoryUsed - before);
    return RenderEnd(fCtx) == 0;
  }

  // The mesh from a model cache; with hsvSeconds, through the HSV pass,
  // whose time is added there.
  bool CachedFrame(VertexObject& model, int frame, double* hsvSeconds = nullptr) {
    TurnView(fView, fStart, frame);
    Qd3d_SetPane(fCtx, {0, 0, kHeight, kWidth}, &fView, false);
    if (!IsDrawContextValid(fCtx) || RenderStart(fCtx, hsvSeconds != nullptr) != 0) return false;
    model.DrawCachedModel();
    if (hsvSeconds) {
      glFinish();
      const auto start = Clock::now();
      ConvertFrameBufferHSVtoRGBandPrepareToDrawEverythingElse(fCtx);
      glFinish();
      *hsvSeconds += Seconds(start);
    }
    return RenderEnd(fCtx) == 0;
  }
  MDrawContext* Context() const { return fCtx; }

  int64_t fragments = 0;
  int64_t peakFragmentBytes = 0;

 private:
  DocumentRecord fDocument;
  OwnedDrawContext fOwnedCtx = AllocateDrawContext();
  MDrawContext* fCtx = fOwnedCtx.get();
  M3DView fView;
  Matrix3 fStart;
};

// The baseline: a surfaceless llvmpipe context drawing into framebuffer
// objects with the fixed-function pipeline.
struct GLFunctions {
  PFNGLGENFRAMEBUFFERSPROC genFramebuffers;
  PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers;
  PFNGLBINDFRAMEBUFFERPROC bindFramebuffer;
  PFNGLGENRENDERBUFFERSPROC genRenderbuffers;
  PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers;
  PFNGLBINDRENDERBUFFERPROC bindRenderbuffer;
  PFNGLRENDERBUFFERSTORAGEMULTISAMPLEPROC renderbufferStorageMultisample;
  PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer;
  PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus;
  PFNGLBLITFRAMEBUFFERPROC blitFramebuffer;
};

template <typename F>
bool Load(F& f, const char* name) {
  f = reinterpret_cast<F>(eglGetProcAddress(name));
  return f != nullptr;
}

class LlvmpipeContext {
 public:
  // The one context of the run, made at first use; check Error().
  static LlvmpipeContext& Get() {
    static LlvmpipeContext context;
    return context;
  }
  const std::string& Error() const { return fError; }
  const std::string& Renderer() const { return fRenderer; }
  // Our renderer makes its own contexts current between the baseline's.
  void MakeCurrent() const { eglMakeCurrent(fDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, fContext); }
  const GLFunctions& Gl() const { return fGl; }

 private:
  LlvmpipeContext() { fError = Make(); }
  ~LlvmpipeContext() {
    if (fDisplay == EGL_NO_DISPLAY) return;
    eglMakeCurrent(fDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (fContext != EGL_NO_CONTEXT) eglDestroyContext(fDisplay, fContext);
    eglTerminate(fDisplay);
  }

  std::string Make() {
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
    setenv("GALLIUM_DRIVER", "llvmpipe", 0);
    PFNEGLGETPLATFORMDISPLAYEXTPROC getPlatformDisplay;
    if (!Load(getPlatformDisplay, "eglGetPlatformDisplayEXT")) return "no eglGetPlatformDisplayEXT";
    fDisplay = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (fDisplay == EGL_NO_DISPLAY) return "no surfaceless display";
    EGLint major = 0, minor = 0;
    if (!eglInitialize(fDisplay, &major, &minor)) {
      fDisplay = EGL_NO_DISPLAY;
      return "eglInitialize failed";
    }
    if (!eglBindAPI(EGL_OPENGL_API)) return "no desktop OpenGL";
    // No surface is ever made: any surface type will do.
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, 0, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configs = 0;
    if (!eglChooseConfig(fDisplay, configAttributes, &config, 1, &configs) || configs < 1) return "no OpenGL config";
    const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK_KHR,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT_KHR, EGL_NONE};
    fContext = eglCreateContext(fDisplay, config, EGL_NO_CONTEXT, contextAttributes);
    if (fContext == EGL_NO_CONTEXT) return "no compatibility context";
    if (!eglMakeCurrent(fDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, fContext)) return "surfaceless context refused";
    const bool loaded =
        Load(fGl.genFramebuffers, "glGenFramebuffers") && Load(fGl.deleteFramebuffers, "glDeleteFramebuffers") &&
        Load(fGl.bindFramebuffer, "glBindFramebuffer") && Load(fGl.genRenderbuffers, "glGenRenderbuffers") &&
        Load(fGl.deleteRenderbuffers, "glDeleteRenderbuffers") && Load(fGl.bindRenderbuffer, "glBindRenderbuffer") &&
        Load(fGl.renderbufferStorageMultisample, "glRenderbufferStorageMultisample") &&
        Load(fGl.framebufferRenderbuffer, "glFramebufferRenderbuffer") &&
        Load(fGl.checkFramebufferStatus, "glCheckFramebufferStatus") && Load(fGl.blitFramebuffer, "glBlitFramebuffer");
    if (!loaded) return "no framebuffer objects";
    const auto* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    fRenderer = name ? name : "?";
    return {};
  }

  EGLDisplay fDisplay = EGL_NO_DISPLAY;
  EGLContext fContext = EGL_NO_CONTEXT;
  GLFunctions fGl{};
  std::string fError;
  std::string fRenderer;
};

// An RGBA8 + depth framebuffer of the pane, multisampled when samples > 0.
class Framebuffer {
 public:
  Framebuffer(const GLFunctions& gl, int samples) : fGl(gl) {
    fGl.genFramebuffers(1, &fFramebuffer);
    fGl.genRenderbuffers(2, fRenderbuffers);
    fGl.bindFramebuffer(GL_FRAMEBUFFER, fFramebuffer);
    const GLenum formats[2] = {GL_RGBA8, GL_DEPTH_COMPONENT24};
    const GLenum attachments[2] = {GL_COLOR_ATTACHMENT0, GL_DEPTH_ATTACHMENT};
    for (int i = 0; i < 2; ++i) {
      fGl.bindRenderbuffer(GL_RENDERBUFFER, fRenderbuffers[i]);
      fGl.renderbufferStorageMultisample(GL_RENDERBUFFER, samples, formats[i], kWidth, kHeight);
      fGl.framebufferRenderbuffer(GL_FRAMEBUFFER, attachments[i], GL_RENDERBUFFER, fRenderbuffers[i]);
    }
    fComplete = fGl.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  }
  ~Framebuffer() {
    fGl.bindFramebuffer(GL_FRAMEBUFFER, 0);
    fGl.deleteRenderbuffers(2, fRenderbuffers);
    fGl.deleteFramebuffers(1, &fFramebuffer);
  }
  Framebuffer(const Framebuffer&) = delete;
  Framebuffer& operator=(const Framebuffer&) = delete;

  bool Complete() const { return fComplete; }
  GLuint Name() const { return fFramebuffer; }

 private:
  const GLFunctions& fGl;
  GLuint fFramebuffer = 0;
  GLuint fRenderbuffers[2] = {};
  bool fComplete = false;
};

// The renderer's camera in fixed-function form: eye 50 units out along the
// view's x axis, the same pixels per unit at the centre.
void LoadCamera(const M3DView& view) {
  const AVector eye = Rotate(view.rotation, {kEyeDistance, 0, 0});
  const AVector up = Rotate(view.rotation, {0, 0, 1});
  const AVector d = (-1 / std::sqrt(Dot(eye, eye))) * eye;
  AVector u = up - Dot(up, d) * d;
  u = (1 / std::sqrt(Dot(u, u))) * u;
  const AVector s = Cross(d, u);
  const double k = std::min(kWidth, kHeight) * 0.5 * 0.3972 * kEyeDistance / view.zoom;
  const double nearest = 45, farthest = 55;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  const double xHalf = nearest * kWidth / 2 / k, yHalf = nearest * kHeight / 2 / k;
  glFrustum(-xHalf, xHalf, -yHalf, yHalf, nearest, farthest);
  glMatrixMode(GL_MODELVIEW);
  const GLdouble m[16] = {s.x, u.x, -d.x, 0, s.y,          u.y,          -d.y,        0,
                          s.z, u.z, -d.z, 0, -Dot(s, eye), -Dot(u, eye), Dot(d, eye), 1};
  glLoadMatrixd(m);
}

// Lit, coloured, two-sided as ours; translucent frames blend without depth
// writes, in submission order.
void SetUpPipeline(bool translucent) {
  glViewport(0, 0, kWidth, kHeight);
  glClearColor(0.94f, 0.94f, 0.97f, 1);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LESS);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glEnable(GL_NORMALIZE);
  glEnable(GL_COLOR_MATERIAL);
  glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
  glShadeModel(GL_SMOOTH);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  const GLfloat headlight[4] = {0, 0, 1, 0};
  glLightfv(GL_LIGHT0, GL_POSITION, headlight);
  if (translucent) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
  } else {
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
  }
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
}

class LlvmpipeView {
 public:
  LlvmpipeView(const LlvmpipeContext& context, bool multisampled, bool translucent)
      : fGl(context.Gl()), fResolved(fGl, 0), fTranslucent(translucent) {
    if (multisampled) fMultisampled = std::make_unique<Framebuffer>(fGl, 4);
    CopyMatrix(fView.rotation, fStart);
    SetUpPipeline(translucent);
  }
  bool Complete() const { return fResolved.Complete() && (!fMultisampled || fMultisampled->Complete()); }

  void Frame(const Scene3DMesh& mesh, const std::vector<GLfloat>& colors, int frame) {
    fGl.bindFramebuffer(GL_FRAMEBUFFER, fMultisampled ? fMultisampled->Name() : fResolved.Name());
    if (fTranslucent) glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (fTranslucent) glDepthMask(GL_FALSE);
    TurnView(fView, fStart, frame);
    LoadCamera(fView);
    glVertexPointer(3, GL_FLOAT, 0, mesh.vertices.data());
    glNormalPointer(GL_FLOAT, 0, mesh.normals.data());
    glColorPointer(4, GL_FLOAT, 0, colors.data());
    glDrawElements(GL_TRIANGLES, GLsizei(3 * mesh.triangles.size()), GL_UNSIGNED_INT, mesh.triangles.data());
    if (fMultisampled) {
      fGl.bindFramebuffer(GL_READ_FRAMEBUFFER, fMultisampled->Name());
      fGl.bindFramebuffer(GL_DRAW_FRAMEBUFFER, fResolved.Name());
      fGl.blitFramebuffer(0, 0, kWidth, kHeight, 0, 0, kWidth, kHeight, GL_COLOR_BUFFER_BIT, GL_NEAREST);
      fGl.bindFramebuffer(GL_READ_FRAMEBUFFER, fResolved.Name());
    }
    glReadPixels(0, 0, kWidth, kHeight, GL_BGRA, GL_UNSIGNED_BYTE, fPixels.data());
    benchmark::DoNotOptimize(fPixels.data());
  }

 private:
  const GLFunctions& fGl;
  Framebuffer fResolved;
  std::unique_ptr<Framebuffer> fMultisampled;
  bool fTranslucent;
  M3DView fView;
  Matrix3 fStart;
  std::vector<uint32_t> fPixels = std::vector<uint32_t>(size_t(kWidth) * kHeight);
};

std::vector<GLfloat> ColorsWithAlpha(const Scene3DMesh& mesh, float alpha) {
  std::vector<GLfloat> out;
  for (const ColorArrayElement& c : mesh.colors) out.insert(out.end(), {c.red, c.green, c.blue, alpha});
  return out;
}

std::string ThreadsLabel() {
  const char* threads = std::getenv("LP_NUM_THREADS");
  return std::string("LP_NUM_THREADS=") + (threads ? threads : "unset") +
         " cores=" + std::to_string(std::thread::hardware_concurrency());
}

void BM_Render3D(benchmark::State& state) {
  const int which = int(state.range(0));
  const bool supersampled = state.range(1) != 0, translucent = which == kTranslucentGrid;
  const LlvmpipeContext& context = LlvmpipeContext::Get();
  if (!context.Error().empty()) {
    state.SkipWithError(("llvmpipe baseline: " + context.Error()).c_str());
    return;
  }
  EnsureGuiApplication();
  const Scene3DMesh& mesh = MeshOf(which);
  const std::vector<GLfloat> colors = ColorsWithAlpha(mesh, translucent ? 0.5f : 1.0f);
  SoftwareView ours(supersampled, translucent);
  // An earlier case's contexts of our renderer leave none current.
  context.MakeCurrent();
  LlvmpipeView baseline(context, supersampled, translucent);
  if (!ours.Valid() || !baseline.Complete()) {
    state.SkipWithError(ours.Valid() ? "llvmpipe baseline: framebuffer incomplete" : "no world for the frame");
    return;
  }
  double oursSeconds = 0, baselineSeconds = 0;
  int64_t frames = 0;
  for (auto _ : state) {
    auto start = Clock::now();
    bool drawn = true;
    for (int f = 0; f < kFrames && drawn; ++f) drawn = ours.Frame(mesh, f);
    oursSeconds += Seconds(start);
    if (!drawn) {
      state.SkipWithError("frame not drawn");
      break;
    }
    start = Clock::now();
    for (int f = 0; f < kFrames; ++f) baseline.Frame(mesh, colors, f);
    glFinish();
    baselineSeconds += Seconds(start);
    frames += kFrames;
  }
  const double n = double(frames), triangles = double(mesh.triangles.size());
  state.counters["ms_frame"] = 1e3 * oursSeconds / n;
  state.counters["ms_frame_llvmpipe"] = 1e3 * baselineSeconds / n;
  state.counters["vs_llvmpipe"] = oursSeconds / baselineSeconds;
  state.counters["Mtri_s"] = 1e-6 * triangles * n / oursSeconds;
  state.counters["Mtri_s_llvmpipe"] = 1e-6 * triangles * n / baselineSeconds;
  state.counters["Mpix_s"] = 1e-6 * kWidth * kHeight * n / oursSeconds;
  state.counters["Mpix_s_llvmpipe"] = 1e-6 * kWidth * kHeight * n / baselineSeconds;
  state.counters["fragments_frame"] = double(ours.fragments) / n;
  state.counters["peak_fragment_bytes"] = double(ours.peakFragmentBytes);
  state.counters["cores"] = std::thread::hardware_concurrency();
  static const char* const kNames[] = {"grid", "tube", "grid opacity 0.5"};
  state.SetLabel(std::string(kNames[which]) + (supersampled ? " supersampled/4x MSAA " : " ") + ThreadsLabel() + " " +
                 context.Renderer());
}

double ResidentMegabytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtod(line.c_str() + 6, nullptr) / 1024;
  }
  return 0;
}

void BM_TranslucentMemory(benchmark::State& state) {
  EnsureGuiApplication();
  const Scene3DMesh& mesh = MeshOf(kTranslucentGrid);
  for (auto _ : state) {
    SoftwareView ours(false, true);
    bool drawn = ours.Valid() && ours.Frame(mesh, 0);
    const double before = ResidentMegabytes();
    const int64_t budgetBefore = gApproximateTotalMemoryUsed;
    for (int f = 1; f <= 1000 && drawn; ++f) drawn = ours.Frame(mesh, f);
    if (!drawn) {
      state.SkipWithError("frame not drawn");
      break;
    }
    state.counters["rss_before_MB"] = before;
    state.counters["rss_after_MB"] = ResidentMegabytes();
    state.counters["budget_change_bytes"] = double(gApproximateTotalMemoryUsed - budgetBefore);
  }
}

// Our OpenGL renderer (renderer 3, read-back into the world included) on
// the lit grid against the bare loop, from client arrays and from buffer
// objects, and the HSV pass alone.
void BM_Render3DOpenGL(benchmark::State& state) {
  const bool multisampled = state.range(0) != 0;
  const LlvmpipeContext& context = LlvmpipeContext::Get();
  if (!context.Error().empty()) {
    state.SkipWithError(("llvmpipe baseline: " + context.Error()).c_str());
    return;
  }
  EnsureGuiApplication();
  const Scene3DMesh& mesh = MeshOf(kGrid);
  const std::vector<GLfloat> colors = ColorsWithAlpha(mesh, 1.0f);
  SoftwareView ours(multisampled, false, kRendererOffscreen);
  context.MakeCurrent();
  LlvmpipeView baseline(context, multisampled, false);
  const bool baselineComplete = baseline.Complete();
  bool drawn = ours.Valid() && ours.Frame(mesh, 0);
  if (!drawn || GetRendererType(ours.Context()) != kRendererOffscreen || !baselineComplete) {
    state.SkipWithError(baselineComplete ? "no OpenGL context for our renderer" : "llvmpipe baseline incomplete");
    return;
  }
  VertexObject arrays, buffers;
  MDrawContext* ctx = ours.Context();
  ctx->vbosUsable = 0;
  arrays.CacheModel(mesh.vertices.data(), mesh.normals.data(), mesh.colors.data(), nullptr, mesh.triangles.data(),
                    int(mesh.vertices.size()), int(mesh.triangles.size()), false, ctx);
  ctx->vbosUsable = 1;
  buffers.CacheModel(mesh.vertices.data(), mesh.normals.data(), mesh.colors.data(), nullptr, mesh.triangles.data(),
                     int(mesh.vertices.size()), int(mesh.triangles.size()), false, ctx);
  double oursSeconds = 0, baselineSeconds = 0, arraysSeconds = 0, buffersSeconds = 0, hsvSeconds = 0;
  int64_t frames = 0;
  for (auto _ : state) {
    auto start = Clock::now();
    for (int f = 0; f < kFrames && drawn; ++f) drawn = ours.Frame(mesh, f);
    oursSeconds += Seconds(start);
    start = Clock::now();
    ctx->vbosUsable = 0;
    for (int f = 0; f < kFrames && drawn; ++f) drawn = ours.CachedFrame(arrays, f);
    arraysSeconds += Seconds(start);
    start = Clock::now();
    ctx->vbosUsable = 1;
    for (int f = 0; f < kFrames && drawn; ++f) drawn = ours.CachedFrame(buffers, f);
    buffersSeconds += Seconds(start);
    for (int f = 0; f < kFrames && drawn; ++f) drawn = ours.CachedFrame(buffers, f, &hsvSeconds);
    if (!drawn) {
      state.SkipWithError("frame not drawn");
      break;
    }
    context.MakeCurrent();
    start = Clock::now();
    for (int f = 0; f < kFrames; ++f) baseline.Frame(mesh, colors, f);
    glFinish();
    baselineSeconds += Seconds(start);
    frames += kFrames;
  }
  const double n = double(frames), triangles = double(mesh.triangles.size());
  state.counters["ms_frame"] = 1e3 * oursSeconds / n;
  state.counters["ms_frame_llvmpipe"] = 1e3 * baselineSeconds / n;
  state.counters["vs_llvmpipe"] = oursSeconds / baselineSeconds;
  state.counters["ms_frame_arrays"] = 1e3 * arraysSeconds / n;
  state.counters["ms_frame_buffers"] = 1e3 * buffersSeconds / n;
  state.counters["buffers_vs_arrays"] = buffersSeconds / arraysSeconds;
  state.counters["ms_hsv_pass"] = 1e3 * hsvSeconds / n;
  state.counters["Mtri_s"] = 1e-6 * triangles * n / oursSeconds;
  state.counters["Mtri_s_buffers"] = 1e-6 * triangles * n / buffersSeconds;
  state.counters["Mtri_s_llvmpipe"] = 1e-6 * triangles * n / baselineSeconds;
  state.SetLabel(std::string("grid") + (multisampled ? " 4x MSAA " : " ") + ThreadsLabel() + " " + context.Renderer());
  arrays.ReleaseMemory();
  buffers.ReleaseMemory();
}

BENCHMARK(BM_Render3DOpenGL)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Render3D)->ArgsProduct({{kGrid, kTube, kTranslucentGrid}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TranslucentMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
