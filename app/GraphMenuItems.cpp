#include "app/GraphMenuItems.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include "app/GraphCommands.h"
#include "window/DocumentMainWindow.h"

namespace {

// What an item sets, read back when the menu opens.
constexpr const char* kColorCode = "equationColorCode";
constexpr const char* kXYType = "equationXYType";
constexpr const char* kTransparency = "equationTransparency";
constexpr const char* kZoomRanges = "zoomToRanges";
constexpr const char* kCopyProgram = "copyFragmentProgram";

QAction* AddChoice(QMenu* menu, QActionGroup* group, const QString& title, const char* property, int32_t value) {
  QAction* action = menu->addAction(title);
  action->setCheckable(true);
  action->setProperty(property, value);
  group->addAction(action);
  return action;
}

}  // namespace

void AddGraphSettingItems(DocumentMainWindow* w, QMenu* graph) {
  QAction* zoom = graph->addAction(QObject::tr("Zoom to Ranges..."));
  zoom->setProperty(kZoomRanges, true);
  QObject::connect(zoom, &QAction::triggered, [w] { ZoomToRanges(w); });
  graph->addSeparator();
  QMenu* colors = graph->addMenu(QObject::tr("Color"));
  colors->setObjectName("colorMenu");
  auto* colorGroup = new QActionGroup(colors);
  colorGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  for (const ColorMenuItem& item : ColorMenuItems()) {
    const int32_t code = item.code;
    QObject::connect(AddChoice(colors, colorGroup, QObject::tr(item.name), kColorCode, code), &QAction::triggered,
                     [w, code] { SetFocusedEquationColor(w, code); });
  }
  auto* xyGroup = new QActionGroup(graph);
  xyGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  for (const auto& [title, type] : {std::pair{"Surface", kXYSurface}, std::pair{"Density Plot", kXYDensityPlot},
                                    std::pair{"Contour Plot", kXYContourPlot}}) {
    const XYTypeChoice choice = type;
    QObject::connect(AddChoice(graph, xyGroup, QObject::tr(title), kXYType, type), &QAction::triggered,
                     [w, choice] { SetFocusedEquationXYType(w, choice); });
  }
  QAction* transparency = graph->addAction(QObject::tr("Use Transparency"));
  transparency->setCheckable(true);
  transparency->setProperty(kTransparency, true);
  QObject::connect(transparency, &QAction::triggered, [w] { ToggleFocusedEquationTransparency(w); });
  QAction* copyProgram = graph->addAction(QObject::tr("Copy Fragment Program"));
  copyProgram->setProperty(kCopyProgram, true);
  QObject::connect(copyProgram, &QAction::triggered, [w] { CopyFragmentProgram(w); });
  QObject::connect(graph, &QMenu::aboutToShow, [w] { UpdateGraphSettingItems(w); });
}

void UpdateGraphSettingItems(DocumentMainWindow* window) {
  const GraphItemState state = CurrentGraphItems(window);
  for (QAction* action : window->menuBar()->findChildren<QAction*>()) {
    if (action->property(kColorCode).isValid()) {
      action->setEnabled(state.equation);
      action->setChecked(state.equation && action->property(kColorCode).toInt() == state.colorCode);
    } else if (action->property(kXYType).isValid()) {
      action->setEnabled(state.xyTypes);
      action->setChecked(state.xyTypes && action->property(kXYType).toInt() == state.xyType);
    } else if (action->property(kCopyProgram).isValid()) {
      action->setEnabled(state.equation);
    } else if (action->property(kZoomRanges).isValid()) {
      action->setEnabled(state.planeView);
    } else if (action->property(kTransparency).isValid()) {
      action->setEnabled(state.transparency);
      action->setChecked(state.transparency && state.translucent);
    }
  }
  for (QMenu* menu : window->menuBar()->findChildren<QMenu*>())
    if (menu->objectName() == "colorMenu") menu->setEnabled(state.equation);
}
