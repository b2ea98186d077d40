#include "app/AppMenus.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>

#include "app/AppCommands.h"
#include "app/DemoMenu.h"
#include "app/EditCommands.h"
#include "app/GraphMenuItems.h"
#include "app/View4DMenuItems.h"
#include "app/WindowExport.h"
#include "document/DocumentRecord.h"
#include "graphpane/AGraphPane.h"
#include "matheditor/CommandDispatch.h"
#include "window/DocumentMainWindow.h"
#include "window/ViewControls.h"

namespace {

struct CodeItem {
  const char* title;
  int32_t code;
};

// The algebra commands reachable from the menu.
constexpr CodeItem kMathItems[] = {
    {"Simplify", 0x2000}, {"Expand", 0x2002}, {"Calculate", 0x2007}, {"Solve for Selection", 0x2016},
    {"Evaluate", 0x201B},
};

// The term moves, which keys and drags also reach.
constexpr CodeItem kMoveItems[] = {
    {"Move Right", 0x2100},      {"Move Right Into", 0x2101}, {"Move Right All the Way", 0x2102},
    {"Move Left", 0x2103},       {"Move Left Into", 0x2104},  {"Move Left All the Way", 0x2105},
    {"Move Up", 0x2106},         {"Move Down", 0x2107},       {"Move Left Swap", 0x2108},
    {"Move Right Swap", 0x2109},
};

// The templates no key reaches.
constexpr CodeItem kInsertItems[] = {
    {"Derivative d/d", 0x1809},
    {"Partial Derivative \u2202/\u2202", 0x180A},
    {"Derivative d/dx", 0x18BA},
    {"Partial Derivative \u2202/\u2202x", 0x18B2},
    {"Subscript", 0x18A6},
    {"Subscript 0", 0x18B5},
    {"Subscript 1", 0x18B6},
    {"Subscript 2", 0x18B7},
    {"Subscript 3", 0x18B8},
    {"Subscript 4", 0x18B9},
    {"Reciprocal", 0x18A9},
    {"e to the Power", 0x18AC},
    {"2 to the Power", 0x18AD},
    {"10 to the Power", 0x18AE},
    {"Root with Index", 0x18B0},
    {"Logarithm with Base", 0x18B1},
    {"Vector (x, y)", 0x18B3},
    {"Vector (x, y, z)", 0x18B4},
    {"Parentheses", 0x18BC},
    {"Substitution x = 0", 0x18BD},
    {"2 \u00d7 2 Identity Matrix", 0x18C1},
    {"3 \u00d7 3 Identity Matrix", 0x18C2},
    {"Concatenate Names", 0x18C4},
    {"New Operand", 0x1902},
};

constexpr int32_t kAxesAttribute = kAttributeShowAxes;
constexpr int32_t kPaperAttribute = kAttributeShowGraphPaper;

QAction* Add(QMenu* menu, const QString& title, const QKeySequence& keys, const std::function<void()>& command) {
  QAction* action = menu->addAction(title);
  action->setShortcut(keys);
  QObject::connect(action, &QAction::triggered, command);
  return action;
}

void Zoom(DocumentMainWindow* window, ZoomCommand command) {
  if (AGraphPane* pane = window->Document()->fGraphPane.get()) pane->Zoom(command, kBothViews);
}

void ToggleView(DocumentMainWindow* window, int32_t attribute) {
  if (AGraphPane* pane = window->Document()->fGraphPane.get()) ToggleViewSetting(*pane, attribute, kBothViews);
}

void BuildFileMenu(DocumentMainWindow* w, QMenu* file) {
  Add(file, QObject::tr("New"), QKeySequence::New, [] { NewDocumentWindow(); });
  Add(file, QObject::tr("Open..."), QKeySequence::Open, [w] { OpenWithDialog(w); });
  file->addSeparator();
  Add(file, QObject::tr("Close"), QKeySequence::Close, [w] { w->close(); });
  Add(file, QObject::tr("Save"), QKeySequence::Save, [w] { SaveWindow(w); });
  // Control shift S types a sum sign.
  Add(file, QObject::tr("Save As..."), QKeySequence(), [w] { SaveWindowAs(w); });
  file->addSeparator();
  Add(file, QObject::tr("Export PNG..."), QKeySequence(), [w] { ExportWindowWithDialog(w, ExportFormat::kPng); });
  Add(file, QObject::tr("Export PDF..."), QKeySequence(), [w] { ExportWindowWithDialog(w, ExportFormat::kPdf); });
  file->addSeparator();
  AddDemoMenu(file);
  file->addSeparator();
  Add(file, QObject::tr("Quit"), QKeySequence::Quit, [] {
    if (CloseAllWindows()) QApplication::quit();
  });
}

void BuildEditMenu(DocumentMainWindow* w, QMenu* edit) {
  Add(edit, QObject::tr("Undo"), QKeySequence::Undo, [w] { EditUndo(w); })->setObjectName("undo");
  edit->addSeparator();
  Add(edit, QObject::tr("Cut"), QKeySequence::Cut, [w] { EditCut(w); })->setObjectName("cut");
  Add(edit, QObject::tr("Copy"), QKeySequence::Copy, [w] { EditCopy(w); })->setObjectName("copy");
  Add(edit, QObject::tr("Paste"), QKeySequence::Paste, [w] { EditPaste(w); })->setObjectName("paste");
  Add(edit, QObject::tr("Clear"), QKeySequence(), [w] { EditClear(w); })->setObjectName("clear");
  // Control A adds a matrix row.
  Add(edit, QObject::tr("Select All"), QKeySequence(), [w] { EditSelectAll(w); })->setObjectName("selectAll");
}

void BuildGraphMenu(DocumentMainWindow* w, QMenu* graph) {
  Add(graph, QObject::tr("Zoom In"), QKeySequence::ZoomIn, [w] { Zoom(w, kZoomIn); });
  Add(graph, QObject::tr("Zoom Out"), QKeySequence::ZoomOut, [w] { Zoom(w, kZoomOut); });
  Add(graph, QObject::tr("Default View"), QKeySequence(), [w] { Zoom(w, kZoomDefaultView); });
  graph->addSeparator();
  QAction* axes = Add(graph, QObject::tr("Show Axes"), QKeySequence(), [w] { ToggleView(w, kAxesAttribute); });
  QAction* paper = Add(graph, QObject::tr("Show Graph Paper"), QKeySequence(), [w] { ToggleView(w, kPaperAttribute); });
  axes->setCheckable(true);
  paper->setCheckable(true);
  AddView4DItems(w, graph);
  graph->addSeparator();
  AddGraphSettingItems(w, graph);
  QObject::connect(graph, &QMenu::aboutToShow, [w, axes, paper] {
    AGraphPane* pane = w->Document()->fGraphPane.get();
    axes->setChecked(pane && IsViewSettingShown(*pane, kAxesAttribute));
    paper->setChecked(pane && IsViewSettingShown(*pane, kPaperAttribute));
  });
}

void AddCodeItems(DocumentMainWindow* w, QMenu* menu, const CodeItem* items, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const int32_t code = items[i].code;
    Add(menu, QObject::tr(items[i].title), QKeySequence(), [w, code] {
      RunFormulaCode(w, code);
    })->setProperty("formulaCommand", true);
  }
}

// Items are enabled while their menu is open only as far as they apply;
// closed, every shortcut reaches its command, which checks for itself.
void FollowSelection(DocumentMainWindow* w, QMenu* menu) {
  QObject::connect(menu, &QMenu::aboutToShow, [w] { UpdateEditItems(w); });
  QObject::connect(menu, &QMenu::aboutToHide, [menu] {
    for (QAction* action : menu->actions()) action->setEnabled(true);
  });
}

}  // namespace

void InstallMenus(DocumentMainWindow* window) {
  QMenuBar* bar = window->menuBar();
  BuildFileMenu(window, bar->addMenu(QObject::tr("File")));
  QMenu* edit = bar->addMenu(QObject::tr("Edit"));
  edit->setObjectName("editMenu");
  BuildEditMenu(window, edit);
  QMenu* math = bar->addMenu(QObject::tr("Math"));
  AddCodeItems(window, math, kMathItems, std::size(kMathItems));
  QMenu* moves = math->addMenu(QObject::tr("Move Term"));
  AddCodeItems(window, moves, kMoveItems, std::size(kMoveItems));
  BuildGraphMenu(window, bar->addMenu(QObject::tr("Graph")));
  QMenu* insert = bar->addMenu(QObject::tr("Insert"));
  AddCodeItems(window, insert, kInsertItems, std::size(kInsertItems));
  for (QMenu* menu : {edit, math, moves, insert}) FollowSelection(window, menu);
}

void UpdateEditItems(DocumentMainWindow* window) {
  const EditAvailability a = CurrentEditAvailability(window);
  for (QAction* action : window->menuBar()->findChildren<QAction*>()) {
    const QString name = action->objectName();
    if (name == "undo") action->setEnabled(a.undo);
    if (name == "cut" || name == "copy" || name == "clear") action->setEnabled(a.cutCopyClear);
    if (name == "paste") action->setEnabled(a.paste);
    if (name == "selectAll") action->setEnabled(a.selectAll);
    if (action->property("formulaCommand").toBool()) action->setEnabled(a.formula);
  }
}
