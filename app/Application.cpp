#include "app/Application.h"

#include <QApplication>
#include <QSettings>

#include "algebra/AlgebraStartup.h"
#include "app/AppCommands.h"
#include "app/AppHooks.h"
#include "app/AppSettings.h"
#include "CoreUtilities/ComputeThreads.h"
#include "CoreUtilities/OurText/NumberText.h"
#include "CoreUtilities/PhysicalMemory.h"
#include "document/DocumentHooks.h"
#include "document/DocumentWindow.h"
#include "expression/LexerState.h"
#include "expression/MathEditRecord.h"
#include "matheditor/FormulaClipboard.h"
#include "matheditor/MathEditorStartup.h"
#include "window/DocumentMainWindow.h"
#include "window/WindowHooks.h"

namespace {

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
  const QSettings preferences = Preferences();
  SetNewDocumentSettings(ReadNewDocumentSettings(preferences));
  ApplyHiddenMathSettings(preferences);
  InitializeZLThreads();
}

void StopLayers() {
  ShutdownZLThreads();
  ClearMathClipboard();
  yyCleanUp();
}

int RunApplication(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("Zentrolab");
  StartLayers();
  bool opened = false;
  for (int i = 1; i < argc; ++i) opened = OpenDocumentWindow(QString::fromLocal8Bit(argv[i])) || opened;
  if (!opened) NewDocumentWindow();
  const int code = QApplication::exec();
  StopLayers();
  return code;
}
