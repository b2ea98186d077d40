#pragma once

#include "document/DocumentRecord.h"
#include "document/DocumentWindow.h"
#include "matheditor/MathEditInterface.h"
#include "matheditor/MathEditorStartup.h"
#include "tests/support/QtApplication.h"
#include "window/MathPaneWidget.h"

#include <gtest/gtest.h>

#include <memory>

// A document of the test's own in a math pane widget, without the rest of
// the application.
class MathPaneFixture : public testing::Test {
 protected:
  void SetUp() override {
    EnsureQtApplication();
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
