#include "app/DemoPlayer.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "CoreUtilities/text/MessageTable.h"
#include "CoreUtilities/drawing/OurRects.h"
#include "app/AppCommands.h"
#include "app/DemoScript.h"
#include "app/EditCommands.h"
#include "document/DemoState.h"
#include "document/DocumentIdle.h"
#include "document/DocumentParameters.h"
#include "document/DocumentRecord.h"
#include "document/InvalExprs.h"
#include "document/MathPaneEditing.h"
#include "document/SliderAnimation.h"
#include "expression/MathEditRecord.h"
#include "expression/OperatorKinds.h"
#include "graphpane/AGraphPane.h"
#include "platform/MouseSource.h"
#include "window/DocumentMainWindow.h"
#include "window/GraphPaneWidget.h"
#include "window/MathPaneWidget.h"
#include "window/WindowRegistry.h"
#include "window/WindowSlider.h"

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::milliseconds;

// A key every 60 to 120 ms, unevenly, as a person types.
Milliseconds KeyPace(size_t key) { return Milliseconds(60 + static_cast<int>(key * 37 % 61)); }
// Time to read what a step shows once its graphs are done.
constexpr Milliseconds kHoldPerStep(900);
constexpr Milliseconds kHoldPerCaptionCharacter(45);
// A drag moves through this many points, one every 25 ms.
constexpr int32_t kDragPoints = 12;
constexpr Milliseconds kDragPace(25);
// One drag turns at most this far; a larger turn is made of several.
constexpr double kLargestDragDegrees = 90;
constexpr double kPi = 3.14159265358979323846;

enum class Phase { kBegin, kTyping, kSettling };

struct Drag {
  MPoint from{};
  MPoint offset{};   // pixels from the start to the end
  int32_t step = 0;  // points handed out so far
  bool active = false;
};

struct Player {
  QPointer<DocumentMainWindow> window;
  DocumentRecord* document = nullptr;
  QMetaObject::Connection closing;
  std::vector<std::u32string> lines;
  size_t line = 0;
  Phase phase = Phase::kBegin;
  DemoStep step;
  size_t key = 0;
  Clock::time_point due;
  Milliseconds hold{0};
  bool animating = false;
  bool observed = false;
  // While paused: the animation to start again, and when the pause began.
  bool animationPaused = false;
  Clock::time_point pausedAt;
  Drag drag;
};

Player gPlayer;
bool gImmediate = false;
bool gInDemoIdle = false;
std::function<void(int32_t)> gStepObserver;
std::function<void(int32_t, size_t)> gKeyObserver;

Milliseconds Paced(Milliseconds pace) { return gImmediate ? Milliseconds(0) : pace; }

// The window's key press for a typed character, as the desktop sends it.
void TypeKey(DocumentMainWindow* window, char32_t c) {
  MathPaneWidget* pane = window->MathPane();
  if (c == static_cast<unsigned char>(kDemoRightArrow)) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QCoreApplication::sendEvent(pane, &press);
    return;
  }
  const bool capital = c >= U'A' && c <= U'Z';
  const int key = c >= U'a' && c <= U'z' ? static_cast<int>(c - U'a' + U'A') : static_cast<int>(c);
  QKeyEvent press(QEvent::KeyPress, key, capital ? Qt::ShiftModifier : Qt::NoModifier, QString::fromUcs4(&c, 1));
  QCoreApplication::sendEvent(pane, &press);
}

void PressKey(DocumentMainWindow* window, Qt::Key key, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QCoreApplication::sendEvent(window->MathPane(), &press);
}

// Backspace over the whole formula leaves its prompt; Clear would take the
// block away, and on a lone prompt so would Backspace.
void EmptyFocusedFormula(DocumentMainWindow* window) {
  const MERecord* record = FocusedFormula(window);
  if (!record || record->root->opcode == kOpPrompt) return;
  EditSelectAll(window);
  PressKey(window, Qt::Key_Backspace, QStringLiteral("\b"));
}

// Drags run in the shown 3-D or 4-D view; in a 2-D view a drag would pan.
AGraphView* TurnableView(DocumentRecord* document) {
  AGraphPane* pane = document->fGraphPane.get();
  if (!pane || !pane->AreAnyViews3D()) return nullptr;
  return pane->IsView4D() ? pane->View4D() : pane->View3D(0);
}

class DemoMouse : public MouseSource {
 public:
  bool IsButtonDown() override { return gPlayer.drag.active; }
  bool WaitMouseUp(QPoint* where, double timeoutSeconds) override { return Wait(where, timeoutSeconds); }
  bool WaitMouseEvent(QPoint* where) override { return Wait(where, -1); }
  void FlushMouseEvents() override {}

 private:
  static bool Wait(QPoint* where, double timeoutSeconds) {
    MPoint point{};
    const bool held = MyWaitMouseUp(&point, timeoutSeconds);
    if (where) *where = QPoint(point.h, point.v);
    return held;
  }
};

// A horizontal drag through the view's centre turns it about the screen's
// vertical axis, a vertical one about its horizontal axis, by twice the
// arcsine of the half-drag over the sphere's radius (the view's virtual
// sphere).
void TurnView(double units, bool down) {
  AGraphView* view = TurnableView(gPlayer.document);
  if (!view || units == 0) return;
  const MRect r = view->ViewRect();
  const long radius = long(0.4 * std::min(r.right - r.left, r.bottom - r.top));
  if (radius < 1) return;
  const double degrees = units * kDemoTurnDegrees;
  const int drags = static_cast<int>(std::ceil(std::fabs(degrees) / kLargestDragDegrees));
  const double half = degrees / drags / 2 * kPi / 180;
  const int32_t offset = static_cast<int32_t>(std::lround(radius * std::sin(half)));
  const MPoint centre{static_cast<int16_t>((r.top + r.bottom) / 2), static_cast<int16_t>((r.left + r.right) / 2)};
  DemoMouse mouse;
  const auto across = static_cast<int16_t>(down ? 0 : offset), along = static_cast<int16_t>(down ? offset : 0);
  for (int i = 0; i < drags && gPlayer.window; ++i) {
    gPlayer.drag = {.from = {SaturateToInt16(centre.v - along), SaturateToInt16(centre.h - across)},
                    .offset = {static_cast<int16_t>(2 * along), static_cast<int16_t>(2 * across)},
                    .step = 0,
                    .active = true};
    const MPoint start = GetDemoMouseLocation(0);
    gPlayer.window->GraphPane()->PressWith(&mouse, QPoint(start.h, start.v));
    gPlayer.drag.active = false;
  }
}

void RunCommands() {
  DocumentMainWindow* window = gPlayer.window;
  for (const DemoStep::Command& c : gPlayer.step.commands) {
    if (!gPlayer.window) return;
    switch (c.command) {
      case DemoCommand::kNewDocument:
        ClearMathPane(window->WindowRecord());
        window->MathPane()->RedrawMath();
        window->WakeIdle();
        break;
      case DemoCommand::kNewEquation: PressKey(window, Qt::Key_Return, QStringLiteral("\r")); break;
      case DemoCommand::kClearEquation: EmptyFocusedFormula(window); break;
      case DemoCommand::kHoldView:
        if (AGraphPane* pane = gPlayer.document->fGraphPane.get())
          pane->View3D(0)->SetViewParameter(kAttributeStopSpin);
        break;
      case DemoCommand::kTurnView: TurnView(c.number, false); break;
      case DemoCommand::kTiltView: TurnView(c.number, true); break;
      case DemoCommand::kPause:
        gPlayer.hold += Milliseconds(static_cast<int64_t>(std::max(0.0, c.number) * 1000));
        break;
    }
  }
}

void ShowCaption() {
  if (gPlayer.step.hasCaption) {
    const std::u32string& caption = gPlayer.step.caption;
    gPlayer.window->SetStatusText(QString::fromUcs4(caption.data(), static_cast<qsizetype>(caption.size())));
    gPlayer.hold += kHoldPerCaptionCharacter * static_cast<int64_t>(caption.size());
  }
}

// The range's slider runs once from its first step to its last.
void StartAnimation() {
  const DemoStep& s = gPlayer.step;
  if (!s.hasRange) return;
  DocumentRecord* document = gPlayer.document;
  DocumentContents& c = document->fContents;
  const auto letter = static_cast<uint8_t>(s.rangeLetter);
  if (letter != c.sliderVariable) {
    c.sliderVariable = letter;
    InvalExprs(document);  // the slider's letter compiles differently
  }
  c.sliderMinimum = s.rangeMinimum;
  c.sliderMaximum = s.rangeMaximum;
  c.sliderSteps = static_cast<int16_t>(s.rangeSteps);
  c.sliderControlValue = 0;
  c.sliderDirection = 1;
  c.sliderOneDirection = false;
  UpdateSliderValue(document);
  if (AGraphPane* pane = document->fGraphPane.get()) pane->InvalConstant(letter);
  WindowSlider* slider = gPlayer.window->Slider();
  slider->SetMaximum(s.rangeSteps);
  slider->SetLetter(static_cast<char>(letter));
  c.animationRunning = true;
  gPlayer.animating = true;
}

void BeginStep() {
  gPlayer.step = ReadDemoLine(gPlayer.lines[gPlayer.line]);
  gPlayer.key = 0;
  gPlayer.hold = Paced(kHoldPerStep);
  gPlayer.observed = false;
  gPlayer.animating = false;
  SetDemoTyping(gPlayer.document, true);
  RunCommands();
  if (!gPlayer.window) return;
  ShowCaption();
  if (gImmediate) gPlayer.hold = Milliseconds(0);
  gPlayer.due = Clock::now();
  gPlayer.phase = Phase::kTyping;
}

// False while keys are still to come.
bool TypeDueKeys() {
  const std::u32string& typed = gPlayer.step.typed;
  while (gPlayer.key < typed.size() && Clock::now() >= gPlayer.due && gPlayer.window &&
         !IsDemoPaused(gPlayer.document)) {
    TypeKey(gPlayer.window, typed[gPlayer.key]);
    gPlayer.due = Clock::now() + Paced(KeyPace(gPlayer.key));
    ++gPlayer.key;
    if (gKeyObserver) gKeyObserver(static_cast<int32_t>(gPlayer.line), gPlayer.key);
  }
  return gPlayer.key >= typed.size();
}

// False while the step's animation plays or its graphs compute, or its
// hold has not passed.
bool Settled() {
  DocumentRecord* document = gPlayer.document;
  if (gPlayer.animating) {
    const DocumentContents& c = document->fContents;
    if (c.animationRunning && c.sliderControlValue < c.sliderSteps) return false;
    StopGraphingAnimation(document);
    gPlayer.animating = false;
  }
  if (!IsDocumentGraphDone(document)) return false;
  if (!gPlayer.observed) {
    gPlayer.observed = true;
    gPlayer.due = Clock::now() + gPlayer.hold;
    if (gStepObserver) gStepObserver(static_cast<int32_t>(gPlayer.line));
  }
  return Clock::now() >= gPlayer.due;
}

bool WindowIsOpen() { return gPlayer.window && WindowOfDocument(gPlayer.document) == gPlayer.window.data(); }

void Advance() {
  for (;;) {
    if (!IsDemoRunning() || !WindowIsOpen()) return StopDemo();
    if (IsDemoPaused(gPlayer.document)) return;
    switch (gPlayer.phase) {
      case Phase::kBegin:
        if (gPlayer.line >= gPlayer.lines.size()) return StopDemo();
        BeginStep();
        break;
      case Phase::kTyping:
        if (!TypeDueKeys()) return;
        SetDemoTyping(gPlayer.document, false);
        StartAnimation();
        gPlayer.phase = Phase::kSettling;
        break;
      case Phase::kSettling:
        if (!Settled()) return;
        ++gPlayer.line;
        gPlayer.phase = Phase::kBegin;
        break;
    }
  }
}

}  // namespace

void DemoIdle() {
  // A step's keys and drags may run the event loop; the demo goes on from
  // the outer call.
  if (gInDemoIdle || !gPlayer.document) return;
  gInDemoIdle = true;
  Advance();
  gInDemoIdle = false;
}

DocumentMainWindow* PlayDemo(int32_t messageId) {
  const std::u32string script = QString::fromUtf16(OurGetLocalizedString(messageId)).toStdU32String();
  DocumentMainWindow* window = NewDocumentWindow();
  if (window) PlayDemoScript(script, window);
  return window;
}

void PlayDemoScript(const std::u32string& script, DocumentMainWindow* window) {
  StopDemo();
  gPlayer = Player{};
  gPlayer.window = window;
  gPlayer.document = window->Document();
  gPlayer.lines = DemoScriptLines(script);
  gPlayer.closing = QObject::connect(window, &QObject::destroyed, [] { StopDemo(); });
  SetDemoRunning(true);
  // An empty script ends at once.
  if (gPlayer.lines.empty()) return StopDemo();
  window->WakeIdle();
}

void StopDemo() {
  if (!gPlayer.document) return;
  QObject::disconnect(gPlayer.closing);
  SetDemoRunning(false);
  if (WindowIsOpen()) {
    DocumentRecord* document = gPlayer.document;
    SetDemoPaused(document, false);
    SetDemoTyping(document, false);
    if (gPlayer.animating || gPlayer.animationPaused) StopGraphingAnimation(document);
    document->fModified = false;
    gPlayer.window->UpdateModifiedMark();
    gPlayer.window->ShowTypingHint();
  }
  gPlayer = Player{};
}

void PauseDemo() {
  if (!WindowIsOpen() || IsDemoPaused(gPlayer.document)) return;
  DocumentRecord* document = gPlayer.document;
  SetDemoPaused(document, true);
  // What the viewer edits meanwhile is graphed as they type it.
  SetDemoTyping(document, false);
  gPlayer.pausedAt = Clock::now();
  gPlayer.animationPaused = gPlayer.animating && GetGraphingAnimationState(document);
  if (gPlayer.animationPaused) StopGraphingAnimation(document);
}

void ResumeDemo() {
  if (!WindowIsOpen() || !IsDemoPaused(gPlayer.document)) return;
  DocumentRecord* document = gPlayer.document;
  SetDemoPaused(document, false);
  SetDemoTyping(document, gPlayer.phase == Phase::kTyping);
  // What was due during the pause is due as long after it.
  gPlayer.due += Clock::now() - gPlayer.pausedAt;
  if (gPlayer.animationPaused) document->fContents.animationRunning = true;
  gPlayer.animationPaused = false;
  gPlayer.window->WakeIdle();
}

DocumentMainWindow* DemoWindow() { return WindowIsOpen() ? gPlayer.window.data() : nullptr; }

bool MyWaitMouseUp(MPoint* where, double) {
  Drag& drag = gPlayer.drag;
  if (!drag.active) return false;
  if (!gImmediate) {
    // The step just drawn reaches the screen before the next.
    if (gPlayer.window) gPlayer.window->GraphPane()->repaint();
    std::this_thread::sleep_for(kDragPace);
  }
  const bool held = drag.step < kDragPoints;
  if (held) ++drag.step;
  if (where) *where = GetDemoMouseLocation(drag.step);
  return held;
}

MPoint GetDemoMouseLocation(int32_t step) {
  const Drag& drag = gPlayer.drag;
  const int32_t done = std::clamp(step, 0, kDragPoints);
  MPoint at{SaturateToInt16(drag.from.v + drag.offset.v * done / kDragPoints),
            SaturateToInt16(drag.from.h + drag.offset.h * done / kDragPoints)};
  // The view may place the demo's mouse itself, relative to the drag.
  if (AGraphView* view = gPlayer.document ? TurnableView(gPlayer.document) : nullptr) {
    const MPoint shift = view->GetDemoMouseLocation(step);
    at = {SaturateToInt16(at.v + shift.v), SaturateToInt16(at.h + shift.h)};
  }
  return at;
}

void SetDemoImmediatePace(bool immediate) { gImmediate = immediate; }

void SetDemoStepObserver(std::function<void(int32_t line)> observer) { gStepObserver = std::move(observer); }

void SetDemoKeyObserver(std::function<void(int32_t line, size_t keys)> observer) { gKeyObserver = std::move(observer); }
