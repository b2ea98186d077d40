#pragma once

#include <QMainWindow>
#include <QRect>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>

#include "document/DocumentWindow.h"
#include "window/FrameGate.h"
#include "window/InputWake.h"

class CoordinateDisplayWidget;
class DocumentRecord;
class GraphPaneWidget;
class MathPaneWidget;
class QLabel;
class QSplitter;
class ViewControls;
class WindowSlider;

// One document's window: the math pane and the graph pane side by side or
// stacked, with a divider between them; under the graph pane its view
// buttons and the coordinate display; the window slider below and a
// status line for typing hints. The window owns its document; its timer
// runs the document's idle.
class DocumentMainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // path: the file the document was read from, empty for an untitled one.
  DocumentMainWindow(std::unique_ptr<DocumentRecord> document, const QString& path);
  ~DocumentMainWindow() override;

  DocumentRecord* Document() const { return fDocument.get(); }
  DocumentWindow* WindowRecord() { return &fWindowRecord; }
  GraphPaneWidget* GraphPane() const { return fGraphPane; }
  ViewControls* ViewButtons() const { return fViewControls; }
  CoordinateDisplayWidget* Coordinates() const { return fCoordinates; }
  MathPaneWidget* MathPane() const { return fMathPane; }
  WindowSlider* Slider() const { return fSlider; }
  QSplitter* Divider() const { return fDivider; }

  const QString& FilePath() const { return fPath; }
  void SetFilePath(const QString& path);
  // The name shown in the title: the file's, or "untitled".
  QString DocumentName() const;
  // The title's modified mark follows the document's.
  void UpdateModifiedMark();
  // Before the document is written: its window rectangle and divider.
  void StoreLayoutInDocument();

  // The object is the window, a part of it (widgets, menus, actions, the
  // native window) or its idle timer.
  bool Holds(const QObject* object) const;

  // The idle runs soon, then at its usual pace again, or sleeps.
  void WakeIdle();
  void RunIdle();
  // Picks the idle timer's interval: at once while a graphing pass is
  // pending, a screen refresh while something moves on by itself, else
  // none: the timer sleeps until input, a finished job or a command wakes
  // it.
  void CheckTimerInterval();
  // Something moves on without the user: an expansion, graphs computing,
  // the slider's animation, a spinning view.
  bool WantsTicks() const;
  bool IsIdleArmed() const { return fIdleTimer.isActive(); }
  // Paces the frames of a spinning view.
  const FrameGate& Frames() const { return fFrames; }

  // Redraws the math and recomputes the graphs.
  void Recompute();
  // The view buttons and the coordinate display follow the document.
  void RedrawCoordinates();
  // Stops the expansion and the graphs' computations and starts them again.
  void RestartComputations();

  // The status line's hint for where the focused formula's caret is.
  void ShowTypingHint();
  void SetStatusText(const QString& text);
  QString StatusText() const;

  // Saving when the user asks for it while closing; false when the save
  // did not happen (cancelled or failed). The application installs it.
  using SaveCommand = std::function<bool(DocumentMainWindow*)>;
  static void SetSaveCommand(SaveCommand command);
  // The demo player, which runs first in every timer callback of every
  // window. The application installs it.
  static void SetDemoIdle(void (*demoIdle)());

  // How long each idle of every window may add equations to its graphing
  // pass, as an OurTime span; 0 adds one a time, so a test can step a pass.
  // Returns the former span.
  static uint32_t SetGraphPassSlice(uint32_t slice);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  bool MayClose();
  void ApplyDocumentLayout();
  void SliderMovedByUser(int value);
  void PlayToggled(bool playing);

  std::unique_ptr<DocumentRecord> fDocument;
  DocumentWindow fWindowRecord;
  QString fPath;
  // Where the file's rectangle put the window (fitted to the screen); while
  // the window stands there, the file's own rectangle is saved back.
  QRect fPlacedFromFile;
  MathPaneWidget* fMathPane;
  GraphPaneWidget* fGraphPane;
  ViewControls* fViewControls;
  CoordinateDisplayWidget* fCoordinates;
  QSplitter* fDivider;
  WindowSlider* fSlider;
  QLabel* fStatus;
  QTimer fIdleTimer;
  bool fWakePending = false;  // woken, and the idle has not run since
  FrameGate fFrames;
  InputWake fInputWake;
};

// The window slider of the document's window, for the document's code.
void SetSliderControlValue(int32_t value, DocumentRecord* document);
void SetSliderControlReference(DocumentRecord* document);
