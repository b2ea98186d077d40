#include "window/GraphPaneWidget.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "document/DocumentGraphPane.h"
#include "document/DocumentRecord.h"
#include "document/DocumentWindow.h"
#include "graphpane/AGraphPane.h"
#include "renderer/RendererGlobals.h"
#include "CoreUtilities/drawing/OurRects.h"
#include "platform/OnscreenGL.h"
#include "platform/OurPort.h"
#include "platform/WidgetMouseSource.h"

namespace {

constexpr int kWheelNotch = 120;
constexpr int kWheelLinePixels = 3;

MPoint ToMPoint(QPoint p) { return {SaturateToInt16(p.y()), SaturateToInt16(p.x())}; }

// The current port for the duration of a pane call.
class WorldIsCurrent {
 public:
  explicit WorldIsCurrent(OurPort* world) : fSaved(CurrentPort()) { SetCurrentPort(world); }
  ~WorldIsCurrent() { SetCurrentPort(fSaved); }
  WorldIsCurrent(const WorldIsCurrent&) = delete;
  WorldIsCurrent& operator=(const WorldIsCurrent&) = delete;

 private:
  OurPort* fSaved;
};

}  // namespace

GraphPaneWidget::GraphPaneWidget(DocumentWindow* window, QWidget* parent)
    : QWidget(parent), fWindow(window), fDocument(window->document) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(40, 40);
  OurSetOnscreenGLOverlay(this, {[this] {
                                   const AGraphPane* pane = fDocument->fGraphPane.get();
                                   return pane && pane->IsView4D() ? AxisIndicator::Box(rect()) : QRect();
                                 },
                                 [this](QPainter& painter) { fIndicator.Draw(painter, rect()); }});
}

GraphPaneWidget::~GraphPaneWidget() {
  if (fWindow->graphWorld == fWorld) fWindow->graphWorld = nullptr;
  DisposeOffscreenPort(fWorld);
}

OurPort* GraphPaneWidget::World() {
  if (AGraphPane* pane = fDocument->fGraphPane.get(); pane && fWorld) pane->ReadFrameBufferIfNeeded(kBothViews);
  return fWorld;
}

void GraphPaneWidget::RedrawGraph() {
  if (!fWorld || !fDocument->fGraphPane) return;
  update(QRegion(rect()).subtracted(DrawViews()));
}

QRegion GraphPaneWidget::DrawViews() {
  fStale = false;
  AGraphPane* pane = fDocument->fGraphPane.get();
  {
    WorldIsCurrent current(fWorld);
    pane->Draw(kBothViews, true);
  }
  QRegion onscreen;
  pane->GetDMAPunchOutRgn(&onscreen);
  OurHideOnscreenGLSurfacesOutside(this, onscreen);
  return onscreen;
}

void GraphPaneWidget::InvalidateGraph() {
  fStale = true;
  update();
}

void GraphPaneWidget::UpdateCursor() {
  AGraphPane* pane = fDocument->fGraphPane.get();
  if (!pane) return;
  const QPoint at = mapFromGlobal(QCursor::pos());
  const Qt::KeyboardModifiers keys = QGuiApplication::queryKeyboardModifiers();
  QRegion region;
  pane->GetDragCursorRgn(&region);
  if (region.contains(at)) {
    setCursor(Qt::SizeAllCursor);
    return;
  }
  pane->GetMarkCursorRgn(&region, keys & Qt::ControlModifier, ToMPoint(at));
  if (region.contains(at)) {
    setCursor(Qt::CrossCursor);
    return;
  }
  pane->GetHandCursorRgn(&region, keys & Qt::AltModifier);
  setCursor(region.contains(at) ? Qt::OpenHandCursor : Qt::ArrowCursor);
}

void GraphPaneWidget::paintEvent(QPaintEvent* event) {
  // Contexts are destroyed between frames, never inside a paint.
  if (AreAnyOpenGLContextsAwaitingDestruction())
    QMetaObject::invokeMethod(
        this, [] { DestroyContextsAwaitingDestruction(); }, Qt::QueuedConnection);
  if (fStale && fWorld && fDocument->fGraphPane) DrawViews();
  QPainter painter(this);
  if (!fWorld) {
    painter.fillRect(event->rect(), Qt::white);
    return;
  }
  painter.drawImage(event->rect(), fWorld->image, event->rect());
  const AGraphPane* pane = fDocument->fGraphPane.get();
  if (pane && pane->IsView4D()) fIndicator.Draw(painter, rect());
}

void GraphPaneWidget::resizeEvent(QResizeEvent*) {
  DestroyContextsAwaitingDestruction();
  OurPort* world = NewOffscreenPort(QRect(QPoint(0, 0), size()));
  if (!world) return;  // keep the old picture rather than none
  DisposeOffscreenPort(fWorld);
  fWorld = world;
  fWindow->graphWorld = world;
  const MRect rect{0, 0, SaturateToInt16(height()), SaturateToInt16(width())};
  if (AGraphPane* pane = fDocument->fGraphPane.get()) {
    pane->SetGraphRect(rect);
    pane->Resize();
  } else {
    fDocument->fGraphPane = MakeDocumentGraphPane(fDocument, rect, this);
  }
  RedrawGraph();
}

// A window drawn before it was shown has no surface for its 3-D views:
// they choose again now that they can draw on screen.
void GraphPaneWidget::showEvent(QShowEvent*) {
  AGraphPane* pane = fDocument->fGraphPane.get();
  if (!pane || !pane->AreAnyViews3D() || pane->AreAnyGraphsDMA() || !gHasOpenGL || gForceOffscreen ||
      !OurOnscreenGLAvailable())
    return;
  pane->DisposeDrawContexts();
  InvalidateGraph();
}

void GraphPaneWidget::Press(QMouseEvent* event, bool doubleClick) {
  if (!fDocument->fGraphPane || event->button() != Qt::LeftButton) return;
  const QPoint at = event->position().toPoint();
  // The views follow the drag themselves, reading this widget's mouse.
  WidgetMouseSource mouse(this, at);
  FollowPress(&mouse, at, static_cast<long>(event->timestamp()), event->modifiers(), doubleClick);
}

void GraphPaneWidget::PressWith(MouseSource* mouse, QPoint at) { FollowPress(mouse, at, 0, Qt::NoModifier, false); }

void GraphPaneWidget::FollowPress(MouseSource* mouse, QPoint at, long when, Qt::KeyboardModifiers keys,
                                  bool doubleClick) {
  AGraphPane* pane = fDocument->fGraphPane.get();
  if (!pane) return;
  WorldIsCurrent current(fWorld);
  MouseSource* previous = CurrentMouseSource();
  SetMouseSource(mouse);
  pane->MouseDown(ToMPoint(at), when, keys & Qt::MetaModifier, keys & Qt::AltModifier, keys & Qt::ControlModifier,
                  keys & Qt::ShiftModifier, doubleClick);
  SetMouseSource(previous);
  UpdateCursor();
}

void GraphPaneWidget::mousePressEvent(QMouseEvent* event) { Press(event, false); }

void GraphPaneWidget::mouseDoubleClickEvent(QMouseEvent* event) { Press(event, true); }

void GraphPaneWidget::mouseMoveEvent(QMouseEvent* event) {
  UpdateCursor();
  // A drag's moves belong to the view that follows it.
  if (event->buttons() != Qt::NoButton) return;
  if (AGraphPane* pane = fDocument->fGraphPane.get()) pane->MouseMove(ToMPoint(event->position().toPoint()));
}

void GraphPaneWidget::leaveEvent(QEvent*) {
  if (AGraphPane* pane = fDocument->fGraphPane.get()) pane->MouseMove(MPoint{INT16_MIN, INT16_MIN});
}

void GraphPaneWidget::wheelEvent(QWheelEvent* event) {
  AGraphPane* pane = fDocument->fGraphPane.get();
  if (!pane) return;
  // Counted in 120ths of a line: a notch (120) scrolls the desktop's lines
  // per notch, finer wheels add up to lines, and a device that reports
  // pixels scrolls those pixels, a line being what a view pans by it.
  if (!event->pixelDelta().isNull()) {
    fWheelRemainder += event->pixelDelta() * (kWheelNotch / kWheelLinePixels);
  } else {
    fWheelRemainder += event->angleDelta() * QApplication::wheelScrollLines();
  }
  // Whole lines toward zero (QPoint's own division rounds).
  const QPoint lines(fWheelRemainder.x() / kWheelNotch, fWheelRemainder.y() / kWheelNotch);
  fWheelRemainder -= lines * kWheelNotch;
  if (lines.isNull()) return;
  WorldIsCurrent current(fWorld);
  if (pane->MouseWheel(ToMPoint(event->position().toPoint()), lines.x(), lines.y())) event->accept();
}
