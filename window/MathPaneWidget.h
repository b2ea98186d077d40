#pragma once

#include <QTimer>
#include <QWidget>

#include "window/MathPaneScrollBars.h"

struct DocumentWindow;
struct OurPort;

// Shows a document window's math pane and edits it: the pane is painted
// into the window's pane port (sized with the widget, less its scroll
// bars) and copied to the screen; mouse presses and keys go to the focused
// block, and the focused formula's caret blinks on the widget's idle
// timer. The wheel, the bars and Page Up/Down scroll the pane.
class MathPaneWidget : public QWidget {
  Q_OBJECT

 public:
  // The window must outlive the widget; the widget owns the pane port it
  // gives the window and takes it back when it goes.
  explicit MathPaneWidget(DocumentWindow* window, QWidget* parent = nullptr);
  ~MathPaneWidget() override;
  MathPaneWidget(const MathPaneWidget&) = delete;
  MathPaneWidget& operator=(const MathPaneWidget&) = delete;

  DocumentWindow* Window() const { return fWindow; }
  // Paints the pane port afresh from the document and shows it.
  void RedrawMath();
  // After an edit made elsewhere (a menu command): the focused block
  // scrolled into view, then RedrawMath.
  void RedrawMathShowingFocus();
  // The pane's port was painted: shown, and the bars follow the pane.
  void PaneChanged();
  const MathPaneScrollBars& ScrollBars() const { return fScrollBars; }
  // The idle work of one tick: the caret's blink.
  void Idle();
  // The idle timer's period, in milliseconds.
  static constexpr int kIdleIntervalMs = 50;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  void Press(QMouseEvent* event, int clickCount);
  void MakePort();

  DocumentWindow* fWindow;
  OurPort* fPort = nullptr;
  QTimer fIdle;
  MathPaneScrollBars fScrollBars;
  QPoint fWheelRemainder;
};
