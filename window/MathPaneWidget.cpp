#include "window/MathPaneWidget.h"

#include "CoreUtilities/MRect.h"
#include "CoreUtilities/OurRects.h"
#include "document/DocumentWindow.h"
#include "document/MathPaneDrawing.h"
#include "document/MathPaneEditing.h"
#include "platform/OurPort.h"
#include "platform/WidgetMouseSource.h"
#include "window/MathPaneKeys.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <vector>

namespace {

std::vector<MathPaneWidget*> sWidgets;

void PaneChanged(DocumentWindow* window) {
  for (MathPaneWidget* widget : sWidgets)
    if (widget->Window() == window) widget->update();
}

int32_t ModifierSet(Qt::KeyboardModifiers m) {
  MathPaneKeyStroke stroke;
  TranslateKeyPress(Qt::Key_A, m, QString(), &stroke);
  return stroke.modifiers;
}

}  // namespace

MathPaneWidget::MathPaneWidget(DocumentWindow* window, QWidget* parent) : QWidget(parent), window_(window) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled);
  setAttribute(Qt::WA_OpaquePaintEvent);
  sWidgets.push_back(this);
  SetMathPaneChangedHandler(PaneChanged);
  connect(&idle_, &QTimer::timeout, this, &MathPaneWidget::Idle);
  idle_.start(kIdleIntervalMs);
  MakePort();
}

MathPaneWidget::~MathPaneWidget() {
  sWidgets.erase(std::remove(sWidgets.begin(), sWidgets.end(), this), sWidgets.end());
  if (window_ && window_->mathPanePort == port_) window_->mathPanePort = nullptr;
  if (CurrentPort() == port_) SetCurrentPort(nullptr);
  DisposeOffscreenPort(port_);
}

void MathPaneWidget::MakePort() {
  OurPort* port = NewOffscreenPort(QRect(QPoint(0, 0), size().expandedTo(QSize(1, 1))));
  if (!port) return;  // keeps the old port: the pane shows stale rather than nothing
  port->kind = OurPortKind::kWindow;
  if (CurrentPort() == port_) SetCurrentPort(port);
  DisposeOffscreenPort(port_);
  port_ = port;
  if (window_) window_->mathPanePort = port_;
  RedrawMath();
}

void MathPaneWidget::RedrawMath() {
  RedrawMathPane(window_);
  update();
}

void MathPaneWidget::Idle() { MathPaneIdle(window_); }

void MathPaneWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  if (!port_) {
    painter.fillRect(event->rect(), Qt::white);
    return;
  }
  painter.drawImage(event->rect().topLeft(), port_->image, event->rect());
}

void MathPaneWidget::resizeEvent(QResizeEvent*) { MakePort(); }

void MathPaneWidget::Press(QMouseEvent* event, int clickCount) {
  if (event->button() != Qt::LeftButton || !window_) return;
  setFocus(Qt::MouseFocusReason);
  const QPoint at = event->position().toPoint();
  idle_.stop();
  {
    WidgetMouseSource mouse(this, at);
    MouseSource* previous = CurrentMouseSource();
    SetMouseSource(&mouse);
    MathPaneClick(window_, {SaturateToInt16(at.y()), SaturateToInt16(at.x())}, ModifierSet(event->modifiers()),
                  clickCount);
    SetMouseSource(previous);
  }
  idle_.start(kIdleIntervalMs);
  update();
}

void MathPaneWidget::mousePressEvent(QMouseEvent* event) { Press(event, 1); }

void MathPaneWidget::mouseDoubleClickEvent(QMouseEvent* event) { Press(event, 2); }

void MathPaneWidget::keyPressEvent(QKeyEvent* event) {
  MathPaneKeyStroke stroke;
  if (!window_ || !TranslateKeyPress(event->key(), event->modifiers(), event->text(), &stroke) ||
      !MathPaneKey(window_, stroke.unicode, stroke.keyCharacter, stroke.modifiers)) {
    QWidget::keyPressEvent(event);
    return;
  }
  update();
}

void MathPaneWidget::inputMethodEvent(QInputMethodEvent* event) {
  if (window_)
    for (const MathPaneKeyStroke& stroke : TranslateCommittedText(event->commitString()))
      MathPaneKey(window_, stroke.unicode, stroke.keyCharacter, stroke.modifiers);
  event->accept();
  update();
}

// Tab belongs to the formula, not to the focus chain.
bool MathPaneWidget::focusNextPrevChild(bool) { return false; }
