#include "window/BuildInputHold.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPaintEvent>
#include <QPointer>
#include <QWidget>

#include <typeinfo>
#include <utility>
#include <vector>

#include "CoreUtilities/threads/BuildInterruption.h"
#include "window/DocumentMainWindow.h"
#include "window/WindowRegistry.h"

namespace {

bool IsForADocumentWindow(const QObject* receiver) {
  for (const DocumentMainWindow* window : AllWindows())
    if (window->Holds(receiver)) return true;
  return false;
}

// Input through which the user changes something or asks for something.
bool StopsABuild(QEvent::Type type) {
  switch (type) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::Shortcut:
    case QEvent::Close:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TabletPress:
    case QEvent::TouchBegin:
    case QEvent::Drop: return true;
    default: return false;
  }
}

BuildLookWitness gWitness = nullptr;

}  // namespace

BuildLookWitness SetBuildLookWitness(BuildLookWitness witness) { return std::exchange(gWitness, witness); }

// The application's event filter while a build looks at its input.
class HeldInput : public QObject {
 public:
  struct Taken {
    QPointer<QObject> receiver;
    std::unique_ptr<QEvent> event;
  };
  struct Unpainted {
    QPointer<QWidget> widget;
    QRegion region;
  };

  bool Look() {
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr) return false;
    application->installEventFilter(this);
    if (gWitness) gWitness();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    application->removeEventFilter(this);
    return fStop;
  }

  std::vector<Taken> taken;
  std::vector<Unpainted> unpainted;

 protected:
  bool eventFilter(QObject* receiver, QEvent* event) override {
    // A shortcut's override question only asks the focus widget whether
    // it wants the key; left to it, a shortcut still finds its action.
    if (event->type() == QEvent::ShortcutOverride || !IsForADocumentWindow(receiver)) return false;
    // A timer comes again at its next interval.
    if (event->type() == QEvent::Timer) return true;
    // A widget paints only when its window asks; it is asked again later.
    if (auto* widget = qobject_cast<QWidget*>(receiver); widget && event->type() == QEvent::Paint) {
      unpainted.push_back({widget, static_cast<QPaintEvent*>(event)->region()});
      return true;
    }
    std::unique_ptr<QEvent> copy(event->clone());
    // A queued call cannot be copied; it is handled now rather than lost.
    const QEvent& copied = *copy;
    if (typeid(copied) != typeid(*event)) return false;
    fStop = fStop || StopsABuild(event->type());
    taken.push_back({receiver, std::move(copy)});
    return true;
  }

 private:
  bool fStop = false;
};

namespace {

HeldInput* gHeld = nullptr;  // the innermost hold's

bool LookAtInputDuringBuild() { return gHeld != nullptr && gHeld->Look(); }

}  // namespace

BuildInputHold::BuildInputHold() : fHeld(std::make_unique<HeldInput>()), fOuter(gHeld) {
  gHeld = fHeld.get();
  SetBuildInterruptionCheck(LookAtInputDuringBuild);
}

BuildInputHold::~BuildInputHold() { End(); }

void BuildInputHold::End() {
  if (gHeld != fHeld.get()) return;
  gHeld = fOuter;
  if (fOuter == nullptr) SetBuildInterruptionCheck(nullptr);
}

void BuildInputHold::Deliver() {
  // A handler may start another idle, with a hold of its own.
  End();
  std::vector<HeldInput::Taken> taken = std::exchange(fHeld->taken, {});
  std::vector<HeldInput::Unpainted> unpainted = std::exchange(fHeld->unpainted, {});
  for (HeldInput::Taken& t : taken) {
    if (!t.receiver) continue;
    if (t.event->type() == QEvent::DeferredDelete) {
      QCoreApplication::postEvent(t.receiver, t.event.release());
    } else {
      QCoreApplication::sendEvent(t.receiver, t.event.get());
    }
  }
  for (const HeldInput::Unpainted& u : unpainted)
    if (u.widget) u.widget->update(u.region);
}
