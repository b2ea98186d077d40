#pragma once

#include "document/DocumentRecord.h"
#include "document/DocumentWindow.h"
#include "matheditor/MathEditInterface.h"
#include "matheditor/MathEditorStartup.h"
#include "window/MathPaneWidget.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

// A document of the test's own in a math pane widget, without the rest of
// the application.
class MathPaneFixture : public testing::Test {
 protected:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name};
    if (!QApplication::instance()) new QApplication(argc, argv);  // lives until exit, after Qt's own statics
    MEInit();
    InstallMathEditor();
    InstallDocumentMathEditGlobals();
    fWindow.document = &fDocument;
  }
  void TearDown() override { fWidget.reset(); }

  DocumentRecord fDocument;
  DocumentWindow fWindow;
  std::unique_ptr<MathPaneWidget> fWidget;
};
