#pragma once

#include "algebra/AlgebraStartup.h"
#include "app/AppHooks.h"
#include "document/DocumentHooks.h"
#include "document/DocumentWindow.h"
#include "matheditor/MathEditorStartup.h"
#include "platform/GuiApplication.h"

// What the application installs at start-up, once a process: benchmarks of
// whole documents read, graph and export them as the program does.
inline void InstallAppStartUp() {
  static const bool installed = [] {
    EnsureGuiApplication();
    InstallDocumentHooks();
    InstallAppHooks();
    InstallAlgebra();
    InstallMathEditor();
    InstallDocumentMathEditGlobals();
    return true;
  }();
  (void)installed;
}
