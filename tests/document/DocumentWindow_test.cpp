#include "document/DocumentContents.h"
#include "document/DocumentRecord.h"
#include "document/DocumentTable.h"
#include "document/DocumentWindow.h"
#include "CoreUtilities/text/NumberText.h"
#include "expression/MathEditRecord.h"
#include "expression/OperatorTable.h"
#include "matheditor/MathEditInterface.h"
#include "matheditor/MathEditorStartup.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class DocumentMathGlobals : public testing::Test {
 protected:
  void SetUp() override {
    std::copy(gMathDefaultSizes, gMathDefaultSizes + 6, fSavedSizes);
    InstallMathEditor();
    InstallDocumentMathEditGlobals();
    fDocument.fContents.fontSize = 30;
    fDocument.fContents.significantDigits = 5;
    fWindow.document = &fDocument;
  }
  void TearDown() override {
    std::copy(fSavedSizes, fSavedSizes + 6, gMathDefaultSizes);
    gSignificantFigures = fSavedFigures;
  }

  DocumentRecord fDocument;
  DocumentWindow fWindow;
  float fSavedSizes[6];
  int32_t fSavedFigures = gSignificantFigures;
};

TEST_F(DocumentMathGlobals, RecordsLoadTheirDocumentsSettings) {
  MERecord* record = MENew(&fWindow);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->document, &fDocument);
  EXPECT_EQ(record->window, &fWindow);
  EXPECT_EQ(gSignificantFigures, 5);
  const float expected[6] = {30, 30, 30, 22.5f, 16.875f, 16.875f};
  for (int i = 0; i < 6; ++i) EXPECT_FLOAT_EQ(gMathDefaultSizes[i], expected[i]);

  // A formula of a table takes the table's size.
  Table table;
  record->table = &table;
  MESetCurrentEqn(record, &fWindow);
  EXPECT_FLOAT_EQ(gMathDefaultSizes[2], 12);
  EXPECT_FLOAT_EQ(gMathDefaultSizes[4], 7);
  record->table = nullptr;
  MEDispose(record);
}

}  // namespace
