#include "app/View4DMenuItems.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include "document/DocumentRecord.h"
#include "graphpane/AGraphPane.h"
#include "graphs3d/views/A4DGraphView.h"
#include "window/DocumentMainWindow.h"
#include "window/GraphPaneWidget.h"

namespace {

// What an item sends the view, read back when the menu opens.
constexpr const char* kCode = "view4DCode";
constexpr const char* kValue = "view4DValue";
constexpr const char* kMenuName = "view4DMenu";

constexpr const char* kPlanes[6] = {"xy", "xz", "xw", "yz", "yw", "zw"};
// Degrees per two seconds: a spin of 45 degrees a second.
constexpr double kSpinValue = 90;
// Twice the degrees turned.
constexpr double kTurnValue = 30;
constexpr int kFirstPreset = 4;
constexpr int kPresets = 4;

A4DGraphView* ShownView4D(DocumentMainWindow* window) {
  AGraphPane* pane = window->Document()->fGraphPane.get();
  return pane && pane->IsView4D() ? dynamic_cast<A4DGraphView*>(pane->View4D()) : nullptr;
}

void Send(DocumentMainWindow* window, ViewAttribute code, double value) {
  if (!ShownView4D(window)) return;
  window->Document()->fGraphPane->SetViewParameter4D(code, value);
  // A preset sets the orientation without drawing it; a spin goes on in the idle.
  if (code == kAttribute4DMouseAction) window->GraphPane()->RedrawGraph();
  window->WakeIdle();
}

QAction* AddItem(DocumentMainWindow* w, QMenu* menu, const QString& title, ViewAttribute code, double value) {
  QAction* action = menu->addAction(title);
  action->setProperty(kCode, int32_t(code));
  action->setProperty(kValue, value);
  QObject::connect(action, &QAction::triggered, [w, code, value] { Send(w, code, value); });
  return action;
}

}  // namespace

void AddView4DItems(DocumentMainWindow* w, QMenu* graph) {
  QMenu* menu = graph->addMenu(QObject::tr("4-D View"));
  menu->setObjectName(kMenuName);
  auto* drag = new QActionGroup(menu);
  for (const auto& [title, action] :
       {std::pair{"Drag Turns x, y, z", kRotate4DXYZ}, std::pair{"Drag Turns y, z, w", kRotate4DYZW}}) {
    QAction* item = AddItem(w, menu, QObject::tr(title), kAttribute4DMouseAction, action);
    item->setCheckable(true);
    drag->addAction(item);
  }
  menu->addSeparator();
  for (int k = 0; k < kPresets; ++k)
    AddItem(w, menu, QObject::tr("Orientation %1").arg(k + 1), kAttribute4DMouseAction, kFirstPreset + k);
  menu->addSeparator();
  QMenu* spin = menu->addMenu(QObject::tr("Spin"));
  QMenu* turn = menu->addMenu(QObject::tr("Turn"));
  for (int k = 0; k < 6; ++k) {
    AddItem(w, spin, QObject::tr("Spin in the %1 Plane").arg(kPlanes[k]), ViewAttribute(kAttributeSpinXY + k),
            kSpinValue);
    AddItem(w, turn, QObject::tr("Turn in the %1 Plane").arg(kPlanes[k]), ViewAttribute(kAttributeTurnXY + k),
            kTurnValue);
  }
  spin->addSeparator();
  AddItem(w, spin, QObject::tr("Stop Spinning"), kAttributeStopSpin, 0);
  QObject::connect(graph, &QMenu::aboutToShow, [w] { UpdateView4DItems(w); });
}

void UpdateView4DItems(DocumentMainWindow* window) {
  const A4DGraphView* view = ShownView4D(window);
  for (QMenu* menu : window->menuBar()->findChildren<QMenu*>())
    if (menu->objectName() == kMenuName) menu->setEnabled(view != nullptr);
  for (QAction* action : window->menuBar()->findChildren<QAction*>()) {
    if (!action->property(kCode).isValid()) continue;
    action->setEnabled(view != nullptr);
    if (action->isCheckable())
      action->setChecked(view != nullptr && action->property(kValue).toDouble() == double(view->MouseAction()));
  }
}
