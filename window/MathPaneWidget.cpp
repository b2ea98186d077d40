#include "window/MathPaneWidget.h"

#include "CoreUtilities/MRect.h"
#include "CoreUtilities/drawing/OurRects.h"
#include "document/DocumentWindow.h"
#include "document/MathPaneDrawing.h"
#include "document/MathPaneEditing.h"
#include "document/MathPaneScrolling.h"
#include "platform/OurPort.h"
#include "platform/WidgetMouseSource.h"
#include "window/MathPaneKeys.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <vector>

namespace {

std::vector<MathPaneWidget*> sWidgets;

void TellWidgetsPaneChanged(DocumentWindow* window) {
  for (MathPaneWidget* widget : sWidgets)
    if (widget->Window() == window) widget->PaneChanged();
}

int32_t ModifiersOf(Qt::KeyboardModifiers m) {
  MathPaneKeyStroke stroke;
  TranslateKeyPress(Qt::Key_A, m, QString(), &stroke);
  return stroke.modifiers;
}

}  // namespace

MathPaneWidget::MathPaneWidget(DocumentWindow* window, QWidget* parent)
    : QWidget(parent), fWindow(window), fScrollBars(this, window, [this] { RedrawMath(); }) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled);
  setAttribute(Qt::WA_OpaquePaintEvent);
  sWidgets.push_back(this);
  SetMathPaneChangedHandler(TellWidgetsPaneChanged);
  connect(&fIdle, &QTimer::timeout, this, &MathPaneWidget::Idle);
  fIdle.start(kIdleIntervalMs);
  MakePort();
}

MathPaneWidget::~MathPaneWidget() {
  sWidgets.erase(std::remove(sWidgets.begin(), sWidgets.end(), this), sWidgets.end());
  if (fWindow && fWindow->mathPanePort == fPort) fWindow->mathPanePort = nullptr;
  if (CurrentPort() == fPort) SetCurrentPort(nullptr);
  DisposeOffscreenPort(fPort);
}

void MathPaneWidget::MakePort() {
  fScrollBars.Place(size());
  OurPort* port = NewOffscreenPort(QRect(QPoint(0, 0), fScrollBars.PortSize(size())));
  if (!port) return;  // keeps the old port: the pane shows stale rather than nothing
  port->kind = OurPortKind::kWindow;
  if (CurrentPort() == fPort) SetCurrentPort(port);
  DisposeOffscreenPort(fPort);
  fPort = port;
  if (fWindow) fWindow->mathPanePort = fPort;
  RedrawMath();
}

void MathPaneWidget::RedrawMath() {
  RedrawMathPane(fWindow);
  update();
}

void MathPaneWidget::RedrawMathShowingFocus() {
  ScrollFocusIntoView(fWindow);
  RedrawMath();
}

void MathPaneWidget::PaneChanged() {
  update();
  // The port's size follows the horizontal bar; not while it is drawn into.
  if (fScrollBars.Follow()) QMetaObject::invokeMethod(this, &MathPaneWidget::MakePort, Qt::QueuedConnection);
}

void MathPaneWidget::Idle() { MathPaneIdle(fWindow); }

void MathPaneWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect port = fPort ? fPort->image.rect() : QRect();
  // The corner between the bars, or everything while there is no port.
  for (const QRect& rest : QRegion(event->rect()).subtracted(port)) painter.fillRect(rest, palette().window());
  const QRect shown = event->rect() & port;
  if (!shown.isEmpty()) painter.drawImage(shown.topLeft(), fPort->image, shown);
}

void MathPaneWidget::resizeEvent(QResizeEvent*) { MakePort(); }

void MathPaneWidget::Press(QMouseEvent* event, int clickCount) {
  if (event->button() != Qt::LeftButton || !fWindow) return;
  setFocus(Qt::MouseFocusReason);
  const QPoint at = event->position().toPoint();
  fIdle.stop();
  {
    WidgetMouseSource mouse(this, at);
    MouseSource* previous = CurrentMouseSource();
    SetMouseSource(&mouse);
    MathPaneClick(fWindow, {SaturateToInt16(at.y()), SaturateToInt16(at.x())}, ModifiersOf(event->modifiers()),
                  clickCount);
    SetMouseSource(previous);
  }
  fIdle.start(kIdleIntervalMs);
  update();
}

void MathPaneWidget::mousePressEvent(QMouseEvent* event) { Press(event, 1); }

void MathPaneWidget::mouseDoubleClickEvent(QMouseEvent* event) { Press(event, 2); }

void MathPaneWidget::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown) && event->modifiers() == Qt::NoModifier) {
    fScrollBars.Page(event->key() == Qt::Key_PageUp ? -1 : 1);
    return;
  }
  MathPaneKeyStroke stroke;
  if (!fWindow ||
      !TranslateKeyPress(event->key(), event->modifiers(), event->text(), &stroke, event->nativeScanCode()) ||
      !MathPaneKey(fWindow, stroke.unicode, stroke.keyCharacter, stroke.modifiers)) {
    QWidget::keyPressEvent(event);
    return;
  }
  update();
}

void MathPaneWidget::inputMethodEvent(QInputMethodEvent* event) {
  if (fWindow)
    for (const MathPaneKeyStroke& stroke : TranslateCommittedText(event->commitString()))
      MathPaneKey(fWindow, stroke.unicode, stroke.keyCharacter, stroke.modifiers);
  event->accept();
  update();
}

void MathPaneWidget::wheelEvent(QWheelEvent* event) {
  // One notch is 120; finer wheels add up to notches.
  fWheelRemainder += event->angleDelta();
  const QPoint notches = fWheelRemainder / 120;
  fWheelRemainder -= notches * 120;
  fScrollBars.Wheel(notches);
  event->accept();
}

// Tab belongs to the formula, not to the focus chain.
bool MathPaneWidget::focusNextPrevChild(bool) { return false; }
