#include "app/Application.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QSettings>

#include "algebra/AlgebraStartup.h"
#include "app/AppCommands.h"
#include "app/AppHooks.h"
#include "app/AppSettings.h"
#include "app/DemoPlayer.h"
#include "CoreUtilities/threads/ComputeThreads.h"
#include "CoreUtilities/threads/CooperativeThreads.h"
#include "CoreUtilities/text/NumberText.h"
#include "CoreUtilities/memory/PhysicalMemory.h"
#include "document/DocumentHooks.h"
#include "document/DocumentWindow.h"
#include "expression/LexerState.h"
#include "expression/MathEditRecord.h"
#include "matheditor/FormulaClipboard.h"
#include "matheditor/MathEditorStartup.h"
#include "renderer/RendererGlobals.h"
#include "window/DocumentMainWindow.h"
#include "window/WindowHooks.h"
#include "window/WindowRegistry.h"

namespace {

QMetaObject::Connection sBatonConnections[2];

QSettings Preferences() { return QSettings(QSettings::IniFormat, QSettings::UserScope, "Zentrolab", "Zentrolab"); }

}  // namespace

void StartLayers() {
  InitializePhysicalMemory();
  gDefaultDecimalTabChar = GetDecimalCharacter();
  MEInit();
  InstallMathEditor();
  InstallDocumentHooks();
  InstallDocumentMathEditGlobals();
  InstallAlgebra();
  InstallAppHooks();
  InstallWindowHooks();
  DocumentMainWindow::SetSaveCommand(SaveWindow);
  DocumentMainWindow::SetDemoIdle(DemoIdle);
  const QSettings preferences = Preferences();
  SetNewDocumentSettings(ReadNewDocumentSettings(preferences));
  ApplyHiddenMathSettings(preferences);
  ApplyHiddenRendererSettings(preferences);
  InitializeZLThreads();
  // While the interface waits for events, the cooperative threads run.
  if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) {
    sBatonConnections[0] =
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, OurEventLoopAboutToBlock);
    sBatonConnections[1] = QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, OurEventLoopAwake);
  }
}

void StopLayers() {
  StopDemo();
  // Windows still open go first: each stops its document's work.
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  const std::vector<DocumentMainWindow*> windows = AllWindows();
  for (DocumentMainWindow* window : windows) delete window;
  for (QMetaObject::Connection& connection : sBatonConnections) QObject::disconnect(connection);
  ShutdownZLThreads();
  ClearMathClipboard();
  ReleaseRendererMemoryBeforeQuitting();
  yyCleanUp();
}

int RunApplication(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("Zentrolab");
  StartLayers();
  // An alert about a file that cannot be opened may be the only window
  // for a moment; closing it must not end the application.
  QApplication::setQuitOnLastWindowClosed(false);
  bool opened = false;
  for (int i = 1; i < argc; ++i) opened = OpenDocumentWindow(QString::fromLocal8Bit(argv[i])) || opened;
  if (!opened) NewDocumentWindow();
  QApplication::setQuitOnLastWindowClosed(true);
  const int code = QApplication::exec();
  StopLayers();
  return code;
}
