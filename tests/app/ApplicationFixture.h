#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/AppCommands.h"
#include "document/DocumentIdle.h"
#include "document/DocumentRecord.h"
#include "expression/ExpressionWriter.h"
#include "window/DocumentMainWindow.h"
#include "window/GraphPaneWidget.h"
#include "window/WindowDialogs.h"
#include "window/WindowRegistry.h"
#include "tests/support/WaitFor.h"

// The application as `zl` starts it, once per test program, with the
// alerts recorded instead of shown.
inline std::vector<int>& RecordedAlerts() {
  static std::vector<int> alerts;
  return alerts;
}
// The last alert's text.
inline QString& LastAlertText() {
  static QString text;
  return text;
}
// Where the alerts go instead of a message box.
inline void RecordAlert(int id, const QString& text) {
  RecordedAlerts().push_back(id);
  LastAlertText() = text;
}

// Closes every window without asking and lets the closings happen.
inline void CloseEveryWindow() {
  SetSaveChangesQuestion([](QWidget*, const QString&) { return SaveChangesAnswer::kDontSave; });
  const std::vector<DocumentMainWindow*> windows = AllWindows();
  for (DocumentMainWindow* window : windows) window->close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  SetSaveChangesQuestion(nullptr);
}

class ApplicationEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "zl_test";
    static char* argv[] = {name, nullptr};
    QStandardPaths::setTestModeEnabled(true);
    new QApplication(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    StartLayers();
    SetAlertShower(RecordAlert);
  }
  void TearDown() override {
    CloseEveryWindow();
    StopLayers();
  }
};

inline const testing::Environment* const gApplication = testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

// Windows opened on documents written into a folder of the test's own.
class WindowTest : public testing::Test {
 protected:
  void TearDown() override {
    CloseEveryWindow();
    SetFileNameQuestion(nullptr);
    RecordedAlerts().clear();
  }
  QString Write(const char* name, const std::string& text) {
    const QString path = fFolder.path() + "/" + name;
    std::ofstream(path.toStdString(), std::ios::binary) << text;
    return path;
  }
  DocumentMainWindow* Open(const char* name, const std::string& text) { return OpenDocumentWindow(Write(name, text)); }
  static std::string FormulaText(DocumentRecord* document, int32_t block) {
    std::unique_ptr<char[]> text(ExportTextFormatOfExpr(EquationTree(document->fContents.blocks[block]), false));
    return text ? text.get() : "";
  }

  QTemporaryDir fFolder;
};

// A press and release at the point; the release is queued first, since the
// press follows the mouse until it comes.
inline void Click(QWidget* widget, QPoint at) {
  QTimer::singleShot(0, widget, [widget, at] { QTest::mouseRelease(widget, Qt::LeftButton, {}, at); });
  QTest::mousePress(widget, Qt::LeftButton, {}, at);
}

// The window's menu item of that title; a failure when there is none.
inline QAction* MenuItem(DocumentMainWindow* window, const QString& title) {
  for (QAction* action : window->menuBar()->findChildren<QAction*>())
    if (action->text() == title) return action;
  ADD_FAILURE() << "no menu item " << title.toStdString();
  return nullptr;
}

// Waits until the window's graphs are done, then draws them.
inline bool WaitUntilGraphed(DocumentMainWindow* window) {
  const bool done = WaitFor([&] {
    return window->GraphPane()->World() && IsDocumentGraphDone(window->Document()) &&
           window->Document()->fExpansion.expansionDone.load();
  });
  window->RunIdle();
  window->GraphPane()->RedrawGraph();
  return done;
}

// A move with the button held, as the desktop sends it during a drag.
inline void MoveWithButtonHeld(QWidget* widget, QPoint at) {
  QMouseEvent move(QEvent::MouseMove, QPointF(at), widget->mapToGlobal(QPointF(at)), Qt::NoButton, Qt::LeftButton,
                   Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &move);
}
