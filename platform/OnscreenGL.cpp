#include "platform/OnscreenGL.h"

#include <QApplication>
#include <QEvent>
#include <QOpenGLContext>
#include <QOpenGLWidget>
#include <QPainter>
#include <QPointer>
#include <QRegion>
#include <QThread>

#include <unordered_map>

#include "platform/GLContextRecord.h"
#include "platform/GLFunctions.h"

struct OnscreenGLRecord {
  QPointer<QOpenGLWidget> surface;
  // The surface's context as made: Qt remakes a surface's context when its
  // window is remade, and everything made in the old one is gone then.
  QOpenGLContext* handle = nullptr;
  bool lost = false;
  GLuint resolveFramebuffer = 0;
  GLuint resolveBuffer = 0;
  int32_t resolveWidth = 0;
  int32_t resolveHeight = 0;
  int64_t placements = 0;
};

namespace {

int32_t gLiveOnscreenContexts = 0;
// Set on the interface thread once it asked for on-screen OpenGL: the only
// thread where Qt's contexts are ever current. Other threads, which use
// surfaceless contexts, never reach into Qt.
thread_local bool tOnscreenThread = false;
std::unordered_map<QWidget*, OnscreenGLOverlay>& gOverlays = *new std::unordered_map<QWidget*, OnscreenGLOverlay>;

// Frames draw outside painting; a paint shows what the last frame left.
class OnscreenGLSurface final : public QOpenGLWidget {
 public:
  explicit OnscreenGLSurface(QWidget* host) : QOpenGLWidget(host) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setUpdateBehavior(QOpenGLWidget::PartialUpdate);
  }

 protected:
  void paintGL() override {}
};

// Paints the host's overlay over a surface, lined up with the host.
class OnscreenGLOverlayWidget final : public QWidget {
 public:
  OnscreenGLOverlayWidget(QWidget* surface, QWidget* host) : QWidget(surface), fHost(host) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    const auto found = gOverlays.find(fHost);
    if (found == gOverlays.end() || !found->second) return;
    QPainter painter(this);
    painter.translate(-parentWidget()->pos());
    found->second(painter);
  }

 private:
  QWidget* fHost;
};

// Qt makes its own contexts current to compose a window; the window-system
// library refuses while one of the other kind is current on the thread.
class ReleaseEGLBeforePainting final : public QObject {
 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type == QEvent::Paint || type == QEvent::UpdateRequest || type == QEvent::Expose) ReleaseCurrentEGLContext();
    return false;
  }
};

void InstallPaintingFilter() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  qApp->installEventFilter(new ReleaseEGLBeforePainting);
}

bool OnInterfaceThread() {
  const QCoreApplication* app = QCoreApplication::instance();
  return app != nullptr && QThread::currentThread() == app->thread();
}

void RetireOnscreenSerial(OurEGLContext* context) {
  OnscreenGLRecord* record = context->onscreen;
  if (record->lost) return;
  record->lost = true;
  RetireGLContextSerial(context->serial, record->handle);
}

QSurfaceFormat OnscreenFormat(int32_t samples) {
  QSurfaceFormat format;
  format.setRenderableType(QSurfaceFormat::OpenGL);
  format.setProfile(QSurfaceFormat::CompatibilityProfile);
  format.setDepthBufferSize(24);
  format.setSamples(samples);
  return format;
}

OnscreenGLSurface* SurfaceOf(const OurEGLContext* context) {
  return context && context->onscreen ? static_cast<OnscreenGLSurface*>(context->onscreen->surface.data()) : nullptr;
}

// The surface's own format tells nothing of its framebuffer's samples.
bool SurfaceHasSamples(OnscreenGLSurface* surface, int32_t samples) {
  surface->makeCurrent();
  GLint made = 0;
  glGetIntegerv(GL_SAMPLES, &made);
  return (made > 0) == (samples > 0);
}

void FreeResolveFramebuffer(OnscreenGLRecord* record) {
  if (record->resolveFramebuffer) gGL.deleteFramebuffers(1, &record->resolveFramebuffer);
  if (record->resolveBuffer) gGL.deleteRenderbuffers(1, &record->resolveBuffer);
  record->resolveFramebuffer = record->resolveBuffer = 0;
  record->resolveWidth = record->resolveHeight = 0;
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

OurEGLContext* OurNewOnscreenGLContext(QWidget* host, int32_t samples) {
  const GLFailure failure = InjectedGLFailure();
  if (host == nullptr || !OurOnscreenGLAvailable() || failure == GLFailure::kContext ||
      failure == GLFailure::kOnscreen || (samples > 0 && failure == GLFailure::kOnscreenMultisample) ||
      !host->isVisible())
    return nullptr;
  InstallPaintingFilter();
  ReleaseCurrentEGLContext();
  auto* surface = new OnscreenGLSurface(host);
  surface->setFormat(OnscreenFormat(samples));
  surface->setGeometry(0, 0, 1, 1);
  // Shown to be made, hidden again until the first frame places it.
  surface->show();
  surface->hide();
  if (!surface->isValid() || !SurfaceHasSamples(surface, samples)) {
    delete surface;
    return nullptr;
  }
  new OnscreenGLOverlayWidget(surface, host);
  LoadGLFunctions(
      [](const char* name) { return reinterpret_cast<void*>(QOpenGLContext::currentContext()->getProcAddress(name)); });
  auto* context = new OurEGLContext;
  context->onscreen = new OnscreenGLRecord;
  context->onscreen->surface = surface;
  context->onscreen->handle = surface->context();
  context->samples = samples;
  context->serial = NewGLContextSerial(surface->context());
  QObject::connect(surface->context(), &QOpenGLContext::aboutToBeDestroyed, surface,
                   [context] { RetireOnscreenSerial(context); });
  ++gLiveOnscreenContexts;
  if (!MakeOnscreenGLContextCurrent(context)) {
    DisposeOnscreenGLContext(context);
    return nullptr;
  }
  return context;
}

bool MakeOnscreenGLContextCurrent(OurEGLContext* context) {
  OnscreenGLRecord* record = context->onscreen;
  OnscreenGLSurface* surface = SurfaceOf(context);
  if (record->lost || surface == nullptr || !tOnscreenThread || surface->context() != record->handle) return false;
  ReleaseCurrentEGLContext();
  if (QOpenGLContext::currentContext() == record->handle)
    gGL.bindFramebuffer(GL_FRAMEBUFFER, surface->defaultFramebufferObject());
  else
    surface->makeCurrent();
  return QOpenGLContext::currentContext() == record->handle;
}

void ReleaseCurrentOnscreenGLContext() {
  if (!tOnscreenThread) return;
  if (QOpenGLContext* current = QOpenGLContext::currentContext()) current->doneCurrent();
}

uint64_t CurrentOnscreenGLContextSerial() {
  return tOnscreenThread ? SerialOfGLHandle(QOpenGLContext::currentContext()) : 0;
}

// The surface's picture is multisampled when its format is: reading it goes
// through a single-sample copy of the same size.
void ResolveOnscreenGLFramebuffer(OurEGLContext* context) {
  OnscreenGLRecord* record = context->onscreen;
  OnscreenGLSurface* surface = SurfaceOf(context);
  if (surface == nullptr) return;
  const GLuint drawn = surface->defaultFramebufferObject();
  gGL.bindFramebuffer(GL_READ_FRAMEBUFFER, drawn);
  if (context->samples == 0) return;
  const QSize size = surface->size() * surface->devicePixelRatio();
  if (record->resolveWidth != size.width() || record->resolveHeight != size.height()) {
    FreeResolveFramebuffer(record);
    gGL.genFramebuffers(1, &record->resolveFramebuffer);
    gGL.genRenderbuffers(1, &record->resolveBuffer);
    gGL.bindRenderbuffer(GL_RENDERBUFFER, record->resolveBuffer);
    gGL.renderbufferStorageMultisample(GL_RENDERBUFFER, 0, GL_RGBA8, size.width(), size.height());
    gGL.bindFramebuffer(GL_DRAW_FRAMEBUFFER, record->resolveFramebuffer);
    gGL.framebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, record->resolveBuffer);
    record->resolveWidth = size.width();
    record->resolveHeight = size.height();
  }
  gGL.bindFramebuffer(GL_DRAW_FRAMEBUFFER, record->resolveFramebuffer);
  gGL.blitFramebuffer(0, 0, size.width(), size.height(), 0, 0, size.width(), size.height(), GL_COLOR_BUFFER_BIT,
                      GL_NEAREST);
  gGL.bindFramebuffer(GL_DRAW_FRAMEBUFFER, drawn);
  gGL.bindFramebuffer(GL_READ_FRAMEBUFFER, record->resolveFramebuffer);
}

void DisposeOnscreenGLContext(OurEGLContext* context) {
  OnscreenGLRecord* record = context->onscreen;
  if (OnscreenGLSurface* surface = SurfaceOf(context)) {
    if (record->resolveFramebuffer && MakeOnscreenGLContextCurrent(context)) FreeResolveFramebuffer(record);
    // Its context, and all made in it, go with it.
    delete surface;
  }
  RetireOnscreenSerial(context);
  --gLiveOnscreenContexts;
  delete record;
  delete context;
}

bool OurIsOnscreenGLContext(const OurEGLContext* context) { return context && context->onscreen; }

int32_t OurOnscreenGLHostHeight(const OurEGLContext* context) {
  const OnscreenGLSurface* surface = SurfaceOf(context);
  return surface ? surface->parentWidget()->height() : 0;
}

bool OurPlaceOnscreenGLSurface(OurEGLContext* context, const int32_t bufferRect[4]) {
  OnscreenGLSurface* surface = SurfaceOf(context);
  if (surface == nullptr) return false;
  const int top = surface->parentWidget()->height() - bufferRect[1] - bufferRect[3];
  surface->setGeometry(bufferRect[0], top, bufferRect[2], bufferRect[3]);
  for (QObject* child : surface->children())
    if (auto* overlay = dynamic_cast<OnscreenGLOverlayWidget*>(child)) overlay->setGeometry(surface->rect());
  surface->show();
  ++context->onscreen->placements;
  // Showing and resizing may remake the surface's framebuffer.
  return MakeOnscreenGLContextCurrent(context);
}

int64_t OurOnscreenGLPlacements(const OurEGLContext* context) {
  return context && context->onscreen ? context->onscreen->placements : 0;
}

void OurSwapOnscreenGLBuffers(OurEGLContext* context) {
  OnscreenGLSurface* surface = SurfaceOf(context);
  if (surface == nullptr || !MakeOnscreenGLContextCurrent(context)) return;
  glFlush();
  surface->update();
}

void OurHideOnscreenGLSurface(OurEGLContext* context) {
  if (OnscreenGLSurface* surface = SurfaceOf(context)) surface->hide();
}

void OurHideOnscreenGLSurfacesOutside(QWidget* host, const QRegion& region) {
  for (QObject* child : host->children()) {
    auto* surface = dynamic_cast<OnscreenGLSurface*>(child);
    if (surface && !surface->isHidden() && !region.contains(surface->geometry())) surface->hide();
  }
}

void OurSetOnscreenGLOverlay(QWidget* host, OnscreenGLOverlay overlay) {
  if (gOverlays.find(host) == gOverlays.end())
    QObject::connect(host, &QObject::destroyed, [host] { gOverlays.erase(host); });
  gOverlays[host] = std::move(overlay);
}

void OurUpdateOnscreenGLOverlays(QWidget* host) {
  for (QObject* child : host->children())
    if (auto* surface = dynamic_cast<OnscreenGLSurface*>(child); surface && surface->isVisible())
      for (QObject* grandchild : surface->children())
        if (auto* overlay = dynamic_cast<OnscreenGLOverlayWidget*>(grandchild)) overlay->update();
}

int32_t OurLiveOnscreenGLContexts() { return gLiveOnscreenContexts; }
