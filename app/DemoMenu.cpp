#include "app/DemoMenu.h"

#include <QAction>
#include <QMenu>

#include "CoreUtilities/text/MessageTable.h"
#include "app/DemoPlayer.h"
#include "app/DemoScript.h"
#include "document/DemoState.h"
#include "window/DocumentMainWindow.h"

namespace {

// 50 is the caption of the example slide show, not a demo of its own.
constexpr int32_t kFirstDemo = 51;
constexpr int32_t kLastDemo = 59;

}  // namespace

void AddDemoMenu(QMenu* menu) {
  QMenu* demos = menu->addMenu(QObject::tr("Demos"));
  for (int32_t id = kFirstDemo; id <= kLastDemo; ++id) {
    const QString script = QString::fromUtf16(OurGetLocalizedString(id));
    if (script.isEmpty()) continue;
    const std::u32string title = DemoTitle(script.toStdU32String());
    demos->addAction(QString::fromStdU32String(title), [id] { PlayDemo(id); });
  }
  demos->addSeparator();
  QAction* pause = demos->addAction(QObject::tr("Pause Demo"), [] {
    DocumentMainWindow* window = DemoWindow();
    if (window && IsDemoPaused(window->Document())) {
      ResumeDemo();
    } else {
      PauseDemo();
    }
  });
  QAction* stop = demos->addAction(QObject::tr("Stop Demo"), [] { StopDemo(); });
  QObject::connect(demos, &QMenu::aboutToShow, [pause, stop] {
    DocumentMainWindow* window = DemoWindow();
    pause->setEnabled(window != nullptr);
    stop->setEnabled(window != nullptr);
    pause->setText(window && IsDemoPaused(window->Document()) ? QObject::tr("Resume Demo") : QObject::tr("Pause Demo"));
  });
}
