#include "document/DocumentContents.h"
#include "document/DocumentHooks.h"
#include "document/DocumentRecord.h"
#include "document/MathEditing.h"
#include "expression/ExpressionWriter.h"
#include "expression/MathEditRecord.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeDisposal.h"
#include "matheditor/CommandDispatch.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

std::string Text(const ExpressionRecord* tree) {
  std::unique_ptr<char[]> text(ExportTextFormatOfExpr(tree, false));
  return text ? text.get() : "";
}

class MathUndo : public testing::Test {
 protected:
  void SetUp() override {
    MEInit();
    InstallDocumentHooks();
    MBlock block = {};
    block.kind = kEquationBlock;
    ASSERT_TRUE(SetEquationTree(block, NewBinop(kOpPlus, Atomic('a'), Atomic('b'))));
    fDocument.fContents.blocks.Add(block);
    fDocument.fFocusedBlock = 0;
    fRecord = block.equation;
    fRecord->document = &fDocument;
    gMathCurrentMEH = fRecord;
  }
  void TearDown() override { gMathCurrentMEH = nullptr; }

  // Stands in for an edit: the formula takes another tree.
  void Replace(ExpressionRecord* tree) {
    DisposExpr(fRecord->root);
    fRecord->root = tree;
    fRecord->selected = tree;
  }

  DocumentRecord fDocument;
  MERecord* fRecord = nullptr;
};

TEST_F(MathUndo, UndoGivesBackTheTreeAndASecondUndoRedoes) {
  EXPECT_FALSE(UndoMathEdit(&fDocument));  // nothing saved yet
  MATH_FunctionCode(0x2007);               // a command takes its snapshot through the document
  EXPECT_EQ(fDocument.fMathUndo.kind, kUndoFormula);
  EXPECT_EQ(fDocument.fMathUndo.block, 0);
  Replace(NewBinop(kOpTimes, Atomic('c'), Atomic('d')));
  gMathUndoIPMovedFlag = 0;
  ASSERT_TRUE(UndoMathEdit(&fDocument));
  EXPECT_EQ(Text(fRecord->root), "a+b");
  EXPECT_EQ(fRecord->selected, fRecord->root);
  EXPECT_EQ(fRecord->caretType, kIPWholeNode);
  EXPECT_EQ(gMathUndoIPMovedFlag, 1);
  ASSERT_TRUE(UndoMathEdit(&fDocument));
  EXPECT_EQ(Text(fRecord->root), "c*d");
  SaveMathUndoState();  // the previous state is freed (the leak checker sees it)
  EXPECT_EQ(Text(fDocument.fMathUndo.tree.get()), "c*d");
}

TEST_F(MathUndo, AStateForABlockThatIsGoneIsNotApplied) {
  SaveMathUndoState();
  fDocument.fMathUndo.block = 3;
  EXPECT_FALSE(UndoMathEdit(&fDocument));
  gMathCurrentMEH = nullptr;
  SaveMathUndoState();  // no current formula: nothing
  EXPECT_EQ(fDocument.fMathUndo.block, 3);
}

// The parenthesis key after a letter: a function the document defines is
// applied; any other letter gets a parenthesised factor.
TEST_F(MathUndo, TheParenthesisKeyAppliesAFunctionTheDocumentDefines) {
  MBlock definition = {};
  definition.kind = kEquationBlock;
  ASSERT_TRUE(SetEquationTree(definition, NewBinop(kOpEquals, NewBinop(kOpFunction, Atomic('f'), Atomic('x')),
                                                   NewBinop(kOpPower, Atomic('x'), Number(2)))));
  fDocument.fContents.blocks.Add(definition);
  gMathCurrentMEH = fRecord;
  for (const char letter : {'f', 'g'}) {
    Replace(Atomic(letter));
    fRecord->caretType = kIPAfterNode;
    MATH_FunctionCode(kOpId);
    EXPECT_EQ(Text(fRecord->root), letter == 'f' ? "function(f,?)" : "g*(?)");
    EXPECT_EQ(fRecord->selected->opcode, kOpPrompt);
  }
}

}  // namespace
