#include "platform/OnscreenGL.h"

#include <QApplication>
#include <QExposeEvent>
#include <QImage>
#include <QOpenGLContext>
#include <QPainter>
#include <QPointer>
#include <QRegion>
#include <QThread>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/GLContextRecord.h"
#include "platform/GLFunctions.h"

namespace {

// Set on the interface thread once it asked for on-screen OpenGL: the only
// thread where Qt's contexts are ever current. Other threads, which use
// surfaceless contexts, never reach into Qt.
thread_local bool tOnscreenThread = false;
std::unordered_map<QWidget*, OnscreenGLOverlay>& gOverlays = *new std::unordered_map<QWidget*, OnscreenGLOverlay>;

class OnscreenSurface;

// The context of a surface; its pictures are drawn into its framebuffers
// and copied into the surface to be shown.
struct OnscreenGLContext final : GLContextRecord {
  ~OnscreenGLContext() override;
  bool MakeCurrent() override;
  // The surface and its context are gone with the host's window.
  void Lose();
  void Present();
  void DrawOverlay();

  QPointer<QWidget> host;
  // The surface's stand-in among the host's widgets, which places it.
  QPointer<QWidget> container;
  QPointer<OnscreenSurface> surface;
  std::unique_ptr<QOpenGLContext> gl;
  // The framebuffers hold a finished picture.
  bool drawn = false;
  GLuint overlayTexture = 0;
  int64_t placements = 0;
  int64_t presentations = 0;
};

std::vector<OnscreenGLContext*>& gLive = *new std::vector<OnscreenGLContext*>;

// A native window that shows its context's last picture whenever the
// window system uncovers it.
class OnscreenSurface final : public QWindow {
 public:
  explicit OnscreenSurface(OnscreenGLContext* owner) : fOwner(owner) { setSurfaceType(QSurface::OpenGLSurface); }

 protected:
  void exposeEvent(QExposeEvent*) override {
    if (isExposed()) fOwner->Present();
  }

 private:
  OnscreenGLContext* fOwner;
};

bool OnInterfaceThread() {
  const QCoreApplication* app = QCoreApplication::instance();
  return app != nullptr && QThread::currentThread() == app->thread();
}

// The surface has no depth and a single sample: the picture is drawn in the
// framebuffers and only copied there. A swap never waits for the screen:
// the views pace their own frames, and two views side by side each show
// every frame.
QSurfaceFormat OnscreenFormat() {
  QSurfaceFormat format;
  format.setRenderableType(QSurfaceFormat::OpenGL);
  format.setProfile(QSurfaceFormat::CompatibilityProfile);
  format.setDepthBufferSize(0);
  format.setStencilBufferSize(0);
  format.setSamples(0);
  format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
  format.setSwapInterval(0);
  return format;
}

OnscreenGLContext* OnscreenOf(GLContextRecord* context) { return dynamic_cast<OnscreenGLContext*>(context); }
const OnscreenGLContext* OnscreenOf(const GLContextRecord* context) {
  return dynamic_cast<const OnscreenGLContext*>(context);
}

OnscreenGLContext::~OnscreenGLContext() {
  gLive.erase(std::find(gLive.begin(), gLive.end(), this));
  // The surface goes with its stand-in.
  delete container.data();
  Lose();
}

bool OnscreenGLContext::MakeCurrent() {
  if (!gl || !surface || !tOnscreenThread) return false;
  if (QOpenGLContext::currentContext() == gl.get() && gl->surface() == surface) return true;
  // Asked first: where Qt's contexts are EGL's too, letting go of the
  // current EGL context would let go of this one.
  ReleaseCurrentEGLContext();
  return gl->makeCurrent(surface);
}

void OnscreenGLContext::Lose() {
  if (!gl) return;
  RetireGLContextSerial(serial, gl.get());
  // Everything made in it goes with it.
  gl.reset();
}

// The picture is copied single-sampled: the surface's format need not be
// the framebuffers' for that.
void OnscreenGLContext::Present() {
  if (!drawn || !surface || !surface->isExposed() || !MakeCurrent()) return;
  glPushAttrib(GL_SCISSOR_BIT);
  glDisable(GL_SCISSOR_TEST);
  OurResolveGLFramebuffer(this);
  const GLuint shown = gl->defaultFramebufferObject();
  gGL.bindFramebuffer(GL_DRAW_FRAMEBUFFER, shown);
  gGL.blitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
  gGL.bindFramebuffer(GL_FRAMEBUFFER, shown);
  glPopAttrib();
  DrawOverlay();
  gl->swapBuffers(surface);
  gGL.bindFramebuffer(GL_FRAMEBUFFER, drawFramebuffer);
  ++presentations;
}

// The host's overlay, painted into a picture of the area it covers and
// drawn over the surface's copy, never into the framebuffers: a picture
// read back is the view's alone. Every state it changes is put back.
void OnscreenGLContext::DrawOverlay() {
  const auto found = gOverlays.find(host.data());
  if (found == gOverlays.end() || !found->second.area || !container) return;
  const QRect area = found->second.area().intersected(container->geometry());
  if (area.isEmpty()) return;
  QImage picture(area.size(), QImage::Format_RGBA8888_Premultiplied);
  picture.fill(Qt::transparent);
  {
    QPainter painter(&picture);
    painter.translate(-area.topLeft());
    found->second.draw(painter);
  }
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  for (const GLenum off : {GL_LIGHTING, GL_DEPTH_TEST, GL_CULL_FACE, GL_FRAGMENT_PROGRAM_ARB, GL_VERTEX_PROGRAM_ARB,
                           GL_TEXTURE_RECTANGLE_ARB, GL_MULTISAMPLE_ARB, GL_SCISSOR_TEST})
    glDisable(off);
  glViewport(0, 0, width, height);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
  if (overlayTexture == 0) glGenTextures(1, &overlayTexture);
  glBindTexture(GL_TEXTURE_2D, overlayTexture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, area.width(), area.height(), 0, GL_RGBA, GL_UNSIGNED_BYTE,
               picture.constBits());
  // The picture's first row is its top; the surface counts up from its
  // bottom.
  const QRect at = area.translated(-container->pos());
  const double left = 2.0 * at.left() / width - 1, right = 2.0 * (at.right() + 1) / width - 1;
  const double top = 1 - 2.0 * at.top() / height, bottom = 1 - 2.0 * (at.bottom() + 1) / height;
  glBegin(GL_QUADS);
  glTexCoord2d(0, 0);
  glVertex2d(left, top);
  glTexCoord2d(0, 1);
  glVertex2d(left, bottom);
  glTexCoord2d(1, 1);
  glVertex2d(right, bottom);
  glTexCoord2d(1, 0);
  glVertex2d(right, top);
  glEnd();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glPopClientAttrib();
  glPopAttrib();
}

}  // namespace

bool OurOnscreenGLAvailable() {
  if (!OnInterfaceThread()) return false;
  tOnscreenThread = true;
  static const bool available = [] {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return false;
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform.startsWith(QLatin1String("minimal"))) return false;
    QOpenGLContext probe;
    return probe.create();
  }();
  return available;
}

GLContextRecord* OurNewOnscreenGLContext(QWidget* host, int32_t width, int32_t height, int32_t samples) {
  const GLFailure failure = InjectedGLFailure();
  if (host == nullptr || width < 1 || height < 1 || !OurOnscreenGLAvailable() || failure == GLFailure::kContext ||
      failure == GLFailure::kOnscreen || (samples > 0 && failure == GLFailure::kOnscreenMultisample) ||
      !host->isVisible())
    return nullptr;
  auto* context = new OnscreenGLContext;
  gLive.push_back(context);
  context->host = host;
  context->width = width;
  context->height = height;
  context->samples = samples;
  auto* surface = new OnscreenSurface(context);
  surface->setFormat(OnscreenFormat());
  surface->setFlags(Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus);
  context->surface = surface;
  context->container = QWidget::createWindowContainer(surface, host);
  context->container->setAttribute(Qt::WA_TransparentForMouseEvents);
  context->container->setFocusPolicy(Qt::NoFocus);
  context->container->setGeometry(0, 0, 1, 1);
  // Shown to be made, hidden again until the first frame places it.
  context->container->show();
  context->container->hide();
  context->gl = std::make_unique<QOpenGLContext>();
  context->gl->setFormat(OnscreenFormat());
  if (!context->gl->create()) {
    delete context;
    return nullptr;
  }
  context->serial = NewGLContextSerial(context->gl.get());
  QObject::connect(surface, &QObject::destroyed, [context] { context->Lose(); });
  if (!context->MakeCurrent()) {
    delete context;
    return nullptr;
  }
  LoadGLFunctions(
      [](const char* name) { return reinterpret_cast<void*>(QOpenGLContext::currentContext()->getProcAddress(name)); });
  if (!MakeGLFramebuffers(context)) {
    delete context;
    return nullptr;
  }
  return context;
}

bool OurIsOnscreenGLContext(const GLContextRecord* context) { return OnscreenOf(context) != nullptr; }

void ReleaseCurrentOnscreenGLContext() {
  if (!tOnscreenThread) return;
  if (QOpenGLContext* current = QOpenGLContext::currentContext()) current->doneCurrent();
}

uint64_t CurrentOnscreenGLContextSerial() {
  return tOnscreenThread ? SerialOfGLHandle(QOpenGLContext::currentContext()) : 0;
}

int32_t OurOnscreenGLHostHeight(const GLContextRecord* context) {
  const OnscreenGLContext* onscreen = OnscreenOf(context);
  return onscreen && onscreen->host ? onscreen->host->height() : 0;
}

bool OurPlaceOnscreenGLSurface(GLContextRecord* context, const int32_t bufferRect[4]) {
  OnscreenGLContext* onscreen = OnscreenOf(context);
  if (onscreen == nullptr || !onscreen->container || !onscreen->host) return false;
  const int32_t width = bufferRect[2], height = bufferRect[3];
  const QRect placed(bufferRect[0], onscreen->host->height() - bufferRect[1] - height, width, height);
  // Hidden since the last frame, it is shown again in the same place.
  if (onscreen->container->isHidden() || onscreen->container->geometry() != placed) {
    onscreen->container->setGeometry(placed);
    onscreen->container->show();
    ++onscreen->placements;
  }
  if (!onscreen->MakeCurrent()) return false;
  if (width == onscreen->width && height == onscreen->height) return true;
  onscreen->drawn = false;
  FreeGLFramebuffers(onscreen);
  onscreen->width = width;
  onscreen->height = height;
  return MakeGLFramebuffers(onscreen);
}

int64_t OurOnscreenGLPlacements(const GLContextRecord* context) {
  const OnscreenGLContext* onscreen = OnscreenOf(context);
  return onscreen ? onscreen->placements : 0;
}

void OurSwapOnscreenGLBuffers(GLContextRecord* context) {
  if (OnscreenGLContext* onscreen = OnscreenOf(context)) {
    onscreen->drawn = true;
    onscreen->Present();
  }
}

int64_t OurOnscreenGLPresentations(const GLContextRecord* context) {
  const OnscreenGLContext* onscreen = OnscreenOf(context);
  return onscreen ? onscreen->presentations : 0;
}

void OurHideOnscreenGLSurface(GLContextRecord* context) {
  OnscreenGLContext* onscreen = OnscreenOf(context);
  if (onscreen && onscreen->container) onscreen->container->hide();
}

void OurHideOnscreenGLSurfacesOutside(QWidget* host, const QRegion& region) {
  for (OnscreenGLContext* context : gLive) {
    QWidget* container = context->container.data();
    if (context->host == host && container && !container->isHidden() && !region.contains(container->geometry()))
      container->hide();
  }
}

void OurSetOnscreenGLOverlay(QWidget* host, OnscreenGLOverlay overlay) {
  if (gOverlays.find(host) == gOverlays.end())
    QObject::connect(host, &QObject::destroyed, [host] { gOverlays.erase(host); });
  gOverlays[host] = std::move(overlay);
}

int32_t OurLiveOnscreenGLContexts() { return int32_t(gLive.size()); }
