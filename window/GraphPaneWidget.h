#pragma once

#include <QWidget>

#include "window/AxisIndicator.h"

class DocumentRecord;
class MouseSource;
struct DocumentWindow;
struct OurPort;

// Shows a document's graph pane: the pane draws into the widget's offscreen
// world, which is painted on the screen; a 3-D or 4-D view drawing with
// OpenGL on screen draws into a surface over its part of the widget, which
// shows the 4-D axis indicator over it as over the world, and shows itself
// without the widget painting. Presses and the wheel go to the pane; the
// cursor follows the views' regions. The widget makes the document's pane
// once it knows its size, so that views without stored settings centre
// themselves in it.
class GraphPaneWidget : public QWidget {
  Q_OBJECT

 public:
  explicit GraphPaneWidget(DocumentWindow* window, QWidget* parent = nullptr);
  ~GraphPaneWidget() override;

  // The graph world with the pictures of the views drawing on screen read
  // into it: what a copy of the pane shows. Null until the widget has a
  // size.
  OurPort* World();
  // The world the pane draws into, as it is.
  OurPort* DrawingWorld() const { return fWorld; }
  // The pane draws its views: into the world, which reaches the screen at
  // the next paint, or, for a view drawing on screen, into its surface,
  // which shows the frame at once and is left out of that paint.
  void RedrawGraph();
  // The pane draws into the world at the next paint.
  void InvalidateGraph();
  // The cursor for the mouse position and the modifiers now held.
  void UpdateCursor();
  // Shown over the 4-D view.
  AxisIndicator& Indicator() { return fIndicator; }
  // A press at the point with no modifiers whose drag reads the given
  // mouse, as a press of the user's reads the widget's own.
  void PressWith(MouseSource* mouse, QPoint at);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void Press(QMouseEvent* event, bool doubleClick);
  // Draws the views and hides the surfaces of those no longer on screen;
  // where the views drawing on screen lie.
  QRegion DrawViews();
  void FollowPress(MouseSource* mouse, QPoint at, long when, Qt::KeyboardModifiers keys, bool doubleClick);

  DocumentWindow* fWindow;
  DocumentRecord* fDocument;
  OurPort* fWorld = nullptr;
  AxisIndicator fIndicator;
  QPoint fWheelRemainder;
  bool fStale = false;
};
