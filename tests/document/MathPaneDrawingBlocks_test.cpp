#include "document/BlockDefaults.h"
#include "document/DocumentRecord.h"
#include "document/DocumentTable.h"
#include "document/DocumentWindow.h"
#include "document/MathPaneDrawing.h"
#include "expression/MathEditRecord.h"
#include "expression/SymbolTable.h"
#include "expression/TreeBuilding.h"
#include "matheditor/MathEditInterface.h"
#include "matheditor/MathEditorStartup.h"
#include "matheditor/MathGraphicsContext.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <string>

namespace {

class MathPaneBlocks : public testing::Test {
 protected:
  void SetUp() override {
    MEInit();
    InstallMathEditor();
    InstallDocumentMathEditGlobals();
    fWindow.document = &fDocument;
  }
  MERecord* AddEquation(int terms) {
    MBlock block{};
    SetEquationDefaults(block);
    ExpressionRecord* sum = NewExpression(kOpPlus, terms);
    for (int i = 0; i < terms; ++i) {
      sum->operands[i] = Atomic(GetVariableIDFromString("velocity"));
      sum->operands[i]->parent = sum;
    }
    SetEquationTree(block, sum);
    block.equation->window = &fWindow;
    fDocument.fContents.blocks.Add(block);
    return block.equation;
  }
  Table* AddTable(int rows, int shown) {
    MBlock block{};
    block.kind = kTableBlock;
    block.table = CreateTable(&fDocument);
    SetTableDisplayRows(block, shown);
    for (const char* heading : {"t", "y"}) {
      AddTableCell(block.table, heading, 1, true);
      for (int r = 0; r < rows; ++r) AddTableCell(block.table, "12", 2, false);
    }
    fDocument.fContents.blocks.Add(block);
    return block.table;
  }

  DocumentRecord fDocument;
  DocumentWindow fWindow;
};

TEST_F(MathPaneBlocks, BlocksStackInsideTheMargins) {
  MERecord* narrow = AddEquation(2);
  MERecord* wide = AddEquation(40);  // wider than the pane: broken into lines
  Table* table = AddTable(5, 2);
  const QRect pane(0, 0, 400, 2000);
  const MathPaneLayout layout = LayOutMathPane(&fWindow, pane);
  ASSERT_EQ(layout.blocks.size(), 3u);
  EXPECT_EQ(narrow->drawRect[kDrawTop], kMathPaneMargin);
  EXPECT_EQ(narrow->drawRect[kDrawLeft], kMathPaneMargin);
  EXPECT_FLOAT_EQ(wide->wrapWidth, 400 - 2 * kMathPaneMargin);
  EXPECT_GT(wide->lineCount, 1);
  for (size_t i = 1; i < layout.blocks.size(); ++i)
    EXPECT_EQ(layout.blocks[i].top(), layout.blocks[i - 1].bottom() + 1 + kMathPaneBlockGap);
  EXPECT_EQ(wide->drawRect[kDrawTop], layout.blocks[1].top());
  EXPECT_EQ(layout.blocks[2].height(), 3 * table->rowHeight);  // heading and the two rows shown
  EXPECT_EQ(layout.height, layout.blocks[2].bottom() + 1 + kMathPaneMargin);
  EXPECT_EQ(MathPaneBlockAt(layout, layout.blocks[1].center()), 1);
  EXPECT_EQ(MathPaneBlockAt(layout, QPoint(1, 1)), -1);
}

// Column widths come from every data row, shown or not, and follow edits:
// widening a hidden cell widens the table, putting it back narrows it again.
TEST_F(MathPaneBlocks, TableColumnsFitTheirWidestCellShownOrNot) {
  Table* table = AddTable(1000, 4);
  const QRect pane(0, 0, 2000, 2000);
  const int narrow = LayOutMathPane(&fWindow, pane).blocks[0].width();
  table->columns[1].SetCell(700, u"123456789012345678901234567890");
  const int wide = LayOutMathPane(&fWindow, pane).blocks[0].width();
  EXPECT_GT(wide, narrow + 100);
  EXPECT_EQ(LayOutMathPane(&fWindow, pane).blocks[0].width(), wide);
  table->columns[1].SetCell(700, u"\u03B1\u03B2\u03B3");  // beyond ASCII
  const int greek = LayOutMathPane(&fWindow, pane).blocks[0].width();
  EXPECT_LT(greek, wide);
  table->columns[1].SetCell(700, u"12");
  EXPECT_EQ(LayOutMathPane(&fWindow, pane).blocks[0].width(), narrow);
  table->columns[0].AppendCell(u"12345678901234567890");
  EXPECT_GT(LayOutMathPane(&fWindow, pane).blocks[0].width(), narrow + 60);
}

TEST_F(MathPaneBlocks, PaintsIntoAPainterWithoutACaret) {
  MERecord* record = AddEquation(2);
  AddTable(3, 0);
  MEActivate(record, &fWindow);
  record->selected = record->root->operands[0];
  record->caretType = kIPAfterNode;
  QImage image(300, 200, QImage::Format_RGB32);
  image.fill(Qt::red);
  {
    QPainter painter(&image);
    MathGraphicsContext context{&painter, {}};
    DrawMathPane(&fWindow, image.rect(), &context);
  }
  EXPECT_EQ(record->caretDrawn, 0);
  EXPECT_EQ(gMathCurrentMEH, record);
  const MathPaneLayout layout = LayOutMathPane(&fWindow, image.rect());
  for (const QRect& block : layout.blocks) {
    int ink = 0;
    for (int v = block.top(); v <= block.bottom(); ++v)
      for (int h = block.left(); h <= block.right(); ++h) ink += (image.pixel(h, v) & 0xFFFFFF) != 0xFFFFFF;
    EXPECT_GT(ink, 10);
  }
  EXPECT_EQ(image.pixel(299, 199) & 0xFFFFFF, 0xFFFFFFu);  // the document's background over the whole pane
  RedrawMathPane(&fWindow);                                // no port: nothing
  RedrawMathPane(nullptr);
}

}  // namespace
