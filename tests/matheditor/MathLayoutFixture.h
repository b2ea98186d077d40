#pragma once

#include "expression/MathEditRecord.h"
#include "expression/OperatorTable.h"
#include "expression/SymbolTable.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeDisposal.h"
#include "matheditor/DrawingLayer.h"
#include "matheditor/LayoutPipeline.h"
#include "matheditor/MathEditorStartup.h"
#include "matheditor/CommandDispatch.h"
#include "matheditor/EditorDocumentHooks.h"

#include <gtest/gtest.h>

#include <initializer_list>

// A current record laid out on the fixed-metric seam: every character is
// half the whole size wide, so geometry can be worked out by hand.
class MathLayoutTest : public testing::Test {
 protected:
  void SetUp() override {
    MEInit();
    InstallMathEditor();
    SetFixedMetricMeasuring(0.5f);
    record_ = MATH_New();
    ASSERT_NE(record_, nullptr);
    record_->sizeTable = sizes_;
    gMathCurrentMEH = record_;
  }
  void TearDown() override {
    SetFixedMetricMeasuring(0);
    MEDispose(record_);
    gMathScriptSize = gMathDefaultSizes;
  }

  // Replaces the formula and puts the caret on it, not laid out.
  void Use(ExpressionRecord* root, ExpressionRecord* caret, MathIPType type, int32_t start = 0, int32_t end = 0) {
    DisposExpr(record_->root);
    record_->root = root;
    record_->selected = caret;
    record_->caretType = type;
    record_->rangeStart = start;
    record_->rangeEnd = end;
  }

  // Replaces the formula and lays it out at the wrap width.
  ExpressionRecord* LayOut(ExpressionRecord* root, float wrapWidth = kNoWrapWidth) {
    DisposExpr(record_->root);
    record_->root = root;
    record_->selected = root;
    record_->wrapWidth = wrapWidth;
    record_->layoutValid = 0;
    MATH_Hmm();
    return root;
  }

 public:
  static ExpressionRecord* Var(const char* name) { return Atomic(GetVariableIDFromString(name)); }
  static ExpressionRecord* Node(OpCodeT kind, std::initializer_list<ExpressionRecord*> operands) {
    ExpressionRecord* node = NewExpression(kind, static_cast<int32_t>(operands.size()));
    int32_t i = 0;
    for (ExpressionRecord* o : operands) {
      node->operands[i++] = o;
      o->parent = node;
    }
    return node;
  }
  static const EditData& E(const ExpressionRecord* node) { return *node->editData; }

 protected:
  float sizes_[6] = {20, 20, 20, 10, 8, 8};
  MERecord* record_ = nullptr;
};

// Undo snapshots the editor has asked the document for since SetUp.
inline int gSnapshots = 0;

class SnapshotCountingTest : public MathLayoutTest {
 protected:
  void SetUp() override {
    MathLayoutTest::SetUp();
    gSnapshots = 0;
    InstallEditorDocumentHooks({.cacheMathState = [] { ++gSnapshots; }, .documentNames = nullptr, .isNameFunctionDefinition = nullptr});
    UNDO_HasMoved();
  }
  void TearDown() override {
    InstallEditorDocumentHooks({});
    MathLayoutTest::TearDown();
  }
};

