#include "window/DocumentMainWindow.h"

#include <QCloseEvent>
#include <QWindow>
#include <QFileInfo>
#include <QLabel>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

#include <initializer_list>
#include <utility>
#include <vector>

#include "CoreUtilities/threads/CooperativeThreads.h"
#include "CoreUtilities/files/ErrorReport.h"
#include "CoreUtilities/drawing/OurRects.h"
#include "CoreUtilities/OurTime.h"
#include "document/DemoState.h"
#include "document/DocumentExpansion.h"
#include "document/DocumentIdle.h"
#include "document/DocumentParameters.h"
#include "document/DocumentRecord.h"
#include "document/InvalExprs.h"
#include "document/MathPaneEditing.h"
#include "document/SliderAnimation.h"
#include "graphpane/AGraphPane.h"
#include "matheditor/TypingHints.h"
#include "platform/OurPort.h"
#include "renderer/RendererGlobals.h"
#include "window/BuildInputHold.h"
#include "window/CoordinateDisplayWidget.h"
#include "window/DividerSpinHold.h"
#include "window/GraphPaneWidget.h"
#include "window/MathPaneWidget.h"
#include "window/WindowDialogs.h"
#include "window/WindowPlacement.h"
#include "window/WindowRegistry.h"
#include "window/ViewControls.h"
#include "window/WindowSlider.h"

namespace {

constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 800;
// The graphing pass adds equations for about 50 ms at a time, so that keys
// and clicks are answered between its slices and an edit starts it over.
uint32_t gGraphPassSlice = OurDuration(3);
constexpr int kHintExponent = 28;
constexpr int kHintFraction = 29;
constexpr int kHintFunctionOfX = 30;

DocumentMainWindow::SaveCommand& Saver() {
  static DocumentMainWindow::SaveCommand saver;
  return saver;
}

void (*gDemoIdle)() = nullptr;

// The first widget takes what room the others leave.
QWidget* Column(std::initializer_list<QWidget*> widgets) {
  auto* column = new QWidget;
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  for (QWidget* widget : widgets) layout->addWidget(widget, widget == *widgets.begin() ? 1 : 0);
  return column;
}

}  // namespace

DocumentMainWindow::DocumentMainWindow(std::unique_ptr<DocumentRecord> document, const QString& path)
    : fDocument(std::move(document)),
      fWindowRecord{.document = fDocument.get(),
                    .mathPanePort = nullptr,
                    .mathPaneClip = {},
                    .graphWorld = nullptr,
                    .windowSide = this,
                    .mathPaneScroll = {}},
      fPath(path),
      fMathPane(new MathPaneWidget(&fWindowRecord)),
      fGraphPane(new GraphPaneWidget(&fWindowRecord)),
      fViewControls(new ViewControls(fDocument.get())),
      fCoordinates(new CoordinateDisplayWidget(fDocument.get())),
      fDivider(new QSplitter),
      fSlider(new WindowSlider),
      fStatus(new QLabel),
      fInputWake([this](const QObject* object) { return Holds(object); },
                 [this] {
                   if (!fIdleTimer.isActive()) WakeIdle();
                 }) {
  setAttribute(Qt::WA_DeleteOnClose);
  fDocument->fExpansion.wakeWindow = WakeDocumentWindow;

  fDivider->addWidget(fMathPane);
  fDivider->addWidget(Column({fGraphPane, fViewControls, fCoordinates}));
  fDivider->setChildrenCollapsible(false);
  // The divider is a distance from the window's edge: the graph pane takes
  // what a resize gives or takes, and the math pane keeps the stored size.
  fDivider->setStretchFactor(1, 1);
  fDivider->handle(1)->installEventFilter(new DividerSpinHold(fDivider));
  setCentralWidget(Column({fDivider, fSlider}));
  statusBar()->addWidget(fStatus, 1);
  fMathPane->setFocus();
  connect(fSlider, &WindowSlider::MovedByUser, this, &DocumentMainWindow::SliderMovedByUser);
  connect(fSlider, &WindowSlider::PlayToggled, this, &DocumentMainWindow::PlayToggled);
  connect(fCoordinates, &CoordinateDisplayWidget::Edited, this, [this] {
    UpdateModifiedMark();
    WakeIdle();
  });

  ApplyDocumentLayout();
  UpdateModifiedMark();
  RegisterWindow(this);
  StartExpansion(fDocument.get());
  connect(&fIdleTimer, &QTimer::timeout, this, &DocumentMainWindow::RunIdle);
  fIdleTimer.start(0);
}

DocumentMainWindow::~DocumentMainWindow() {
  UnregisterWindow(this);
  fIdleTimer.stop();
  // The expansion, the result strings and the graphs are cancelled and
  // waited for before the document they read goes away.
  StopDocumentComputations(fDocument.get());
  fDocument->fExpansion.wakeWindow = nullptr;
  // The panes read the window record and the document: they go first.
  delete takeCentralWidget();
  fDocument->fGraphPane.reset();
  // No idle of this window will destroy its views' contexts.
  DestroyContextsAwaitingDestruction();
}

void DocumentMainWindow::ApplyDocumentLayout() {
  const DocumentContents& c = fDocument->fContents;
  const int16_t* r = c.windowRect;  // top, left, bottom, right
  const int width = r[3] - r[1], height = r[2] - r[0];
  // The rectangle is the window's inside, as it is stored.
  if (width > 0 && height > 0) {
    setGeometry(FitWindowToScreen(QRect(r[1], r[0], width, height), AvailableScreenArea()));
    fPlacedFromFile = geometry();
  } else {
    resize(kDefaultWidth, kDefaultHeight);
  }
  fDivider->setOrientation(c.stackPanes ? Qt::Vertical : Qt::Horizontal);
  // The splitter shares out its real size in these proportions.
  const int span = c.stackPanes ? size().height() : size().width();
  const int divider = c.paneDivider > 0 && c.paneDivider < span ? c.paneDivider : span / 2;
  fDivider->setSizes({divider, span - divider});
  fSlider->SetMaximum(c.sliderSteps);
  fSlider->SetValue(c.sliderControlValue);
  fSlider->SetLetter(static_cast<char>(c.sliderVariable));
  fSlider->ShowPlaying(c.animationRunning);
}

void DocumentMainWindow::StoreLayoutInDocument() {
  DocumentContents& c = fDocument->fContents;
  const QRect g = geometry();
  c.paneDivider = fDivider->sizes().value(0);
  if (g == fPlacedFromFile) return;  // a rectangle fitted to a smaller screen is not a change
  c.windowRect[0] = SaturateToInt16(g.top());
  c.windowRect[1] = SaturateToInt16(g.left());
  c.windowRect[2] = SaturateToInt16(g.bottom() + 1);
  c.windowRect[3] = SaturateToInt16(g.right() + 1);
}

void DocumentMainWindow::SetFilePath(const QString& path) {
  fPath = path;
  UpdateModifiedMark();
}

QString DocumentMainWindow::DocumentName() const {
  return fPath.isEmpty() ? tr("untitled") : QFileInfo(fPath).fileName();
}

void DocumentMainWindow::UpdateModifiedMark() {
  setWindowTitle(DocumentName() + "[*]");
  setWindowModified(fDocument->fModified);
}

bool DocumentMainWindow::Holds(const QObject* object) const {
  if (object == &fIdleTimer || (object != nullptr && object == static_cast<const QObject*>(windowHandle())))
    return true;
  for (const QObject* o = object; o != nullptr; o = o->parent())
    if (o == this) return true;
  return false;
}

void DocumentMainWindow::WakeIdle() {
  fWakePending = true;
  fIdleTimer.start(0);
}

void DocumentMainWindow::RunIdle() {
  fWakePending = false;
  // A timer that fires after the event loop blocked runs before the loop
  // says it woke: the baton comes back first, so that no edit of the idle's
  // or the demo's meets an expansion thread still copying the formulas.
  OurEventLoopAwake();
  if (gDemoIdle) gDemoIdle();
  DocumentRecord* document = fDocument.get();
  const ExpansionState& state = document->fExpansion;
  const OurPort* world = fGraphPane->DrawingWorld();
  const qint64 picture = world ? world->image.cacheKey() : 0;
  const bool expanded = state.expansionDone, graphed = state.graphed, published = state.resultsPublished;
  const std::vector<int32_t> messages = state.messages;
  // A long build looks at the input come meanwhile; an edit cuts it short.
  BuildInputHold hold;
  fFrames.SetRefreshRate(FrameGate::RefreshRate(this));
  DocumentIdle(document, gGraphPassSlice, fFrames.Due());
  hold.Deliver();
  // Painting into the world gives its image a new key.
  if (world && world == fGraphPane->DrawingWorld() && world->image.cacheKey() != picture) fGraphPane->update();
  if (expanded != state.expansionDone || graphed != state.graphed || published != state.resultsPublished ||
      messages != state.messages)
    fMathPane->RedrawMath();
  ShowTypingHint();
  fSlider->SetValue(document->fContents.sliderControlValue);
  fSlider->ShowPlaying(GetGraphingAnimationState(document));
  ReportDeferredErrorNow();
  UpdateModifiedMark();
  CheckTimerInterval();
}

void DocumentMainWindow::CheckTimerInterval() {
  // A wake-up still to come is not put back to sleep.
  if (fWakePending) return;
  const ExpansionState& state = fDocument->fExpansion;
  const bool pending = state.expansionDone && !state.graphed && !IsDemoTyping(fDocument.get());
  if (!pending && !WantsTicks()) {
    fIdleTimer.stop();
    return;
  }
  const int interval = pending ? 0 : fFrames.IntervalMilliseconds();
  if (fIdleTimer.interval() != interval || !fIdleTimer.isActive()) fIdleTimer.start(interval);
}

bool DocumentMainWindow::WantsTicks() const {
  DocumentRecord* document = fDocument.get();
  AGraphPane* pane = document->fGraphPane.get();
  // A demo types, drags and waits out its pauses from the timer.
  return IsDemoRunning() || !document->fExpansion.expansionDone.load() || GetGraphingAnimationState(document) ||
         (pane && pane->AreAnyGraphsMoving());
}

void DocumentMainWindow::Recompute() {
  fMathPane->RedrawMath();
  DoGraph(fDocument.get());
  WakeIdle();
}

void DocumentMainWindow::RedrawCoordinates() {
  fViewControls->Redraw();
  fCoordinates->Redraw();
}

void DocumentMainWindow::RestartComputations() {
  StopDocumentComputations(fDocument.get());
  StartExpansion(fDocument.get());
  WakeIdle();
}

void DocumentMainWindow::ShowTypingHint() {
  if (IsDemoRunning()) return;  // the line shows the demo's caption
  const MERecord* record = FocusedEquation(&fWindowRecord);
  int message = 0;
  if (IsIPAfterExponent(record)) {
    message = kHintExponent;
  } else if (IsIPAfterFraction(record)) {
    message = kHintFraction;
  } else if (IsIPAfterFofX(record)) {
    message = kHintFunctionOfX;
  }
  SetStatusText(message ? MessageText(message) : QString());
}

void DocumentMainWindow::SetStatusText(const QString& text) { fStatus->setText(text); }

QString DocumentMainWindow::StatusText() const { return fStatus->text(); }

void DocumentMainWindow::SetSaveCommand(SaveCommand command) { Saver() = std::move(command); }

uint32_t DocumentMainWindow::SetGraphPassSlice(uint32_t slice) { return std::exchange(gGraphPassSlice, slice); }
void DocumentMainWindow::SetDemoIdle(void (*demoIdle)()) { gDemoIdle = demoIdle; }

bool DocumentMainWindow::MayClose() {
  if (!fDocument->fModified) return true;
  switch (AskSaveChanges(this, DocumentName())) {
    case SaveChangesAnswer::kSave: return Saver() && Saver()(this);
    case SaveChangesAnswer::kDontSave: return true;
    case SaveChangesAnswer::kCancel: return false;
  }
  return false;
}

void DocumentMainWindow::closeEvent(QCloseEvent* event) {
  if (MayClose()) {
    // From now on the window takes no wake-ups and runs no idle.
    UnregisterWindow(this);
    fIdleTimer.stop();
    event->accept();
  } else {
    event->ignore();
  }
}

void DocumentMainWindow::changeEvent(QEvent* event) {
  // The graph selection takes its colour from the palette.
  if (event->type() == QEvent::PaletteChange) fGraphPane->InvalidateGraph();
  QMainWindow::changeEvent(event);
}

void DocumentMainWindow::SliderMovedByUser(int value) {
  DocumentContents& c = fDocument->fContents;
  c.sliderControlValue = value;
  UpdateSliderValue(fDocument.get());
  if (AGraphPane* pane = fDocument->fGraphPane.get()) pane->InvalConstant(c.sliderVariable);
  fDocument->fModified = true;
  UpdateModifiedMark();
  WakeIdle();
}

void DocumentMainWindow::PlayToggled(bool playing) {
  if (playing) {
    fDocument->fContents.animationRunning = true;
  } else {
    StopGraphingAnimation(fDocument.get());
  }
  WakeIdle();
}

void SetSliderControlValue(int32_t value, DocumentRecord* document) {
  if (DocumentMainWindow* window = WindowOfDocument(document)) window->Slider()->SetValue(value);
}

void SetSliderControlReference(DocumentRecord* document) {
  if (DocumentMainWindow* window = WindowOfDocument(document))
    window->Slider()->SetLetter(static_cast<char>(document->fContents.sliderVariable));
}
