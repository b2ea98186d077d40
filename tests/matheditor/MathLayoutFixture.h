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
#include "tests/expression/ParserTestSupport.h"
#include "tests/expression/TreeTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <string>

// A current record laid out on the fixed-metric seam: every character is
// half the whole size wide, so geometry can be worked out by hand.
class MathLayoutTest : public testing::Test {
 protected:
  void SetUp() override {
    // Every name ever entered joins the known names, which typing letters
    // recognises; a fresh document knows none of an earlier test's.
    ClearGlobalNames();
    MEInit();
    InstallMathEditor();
    SetFixedMetricMeasuring(0.5f);
    fRecord = MATH_New();
    ASSERT_NE(fRecord, nullptr);
    fRecord->sizeTable = fSizes;
    gMathCurrentMEH = fRecord;
  }
  void TearDown() override {
    SetFixedMetricMeasuring(0);
    MEDispose(fRecord);
    gMathScriptSize = gMathDefaultSizes;
  }

  // Replaces the formula and puts the caret on it, not laid out.
  void Use(ExpressionRecord* root, ExpressionRecord* caret, MathIPType type, int32_t start = 0, int32_t end = 0) {
    DisposExpr(fRecord->root);
    fRecord->root = root;
    fRecord->selected = caret;
    fRecord->caretType = type;
    fRecord->rangeStart = start;
    fRecord->rangeEnd = end;
  }

  // Replaces the formula, the caret on the node the operand indexes reach
  // from the root.
  void UseAt(ExpressionRecord* root, std::initializer_list<int> path, MathIPType type, int32_t start = 0,
             int32_t end = 0) {
    ExpressionRecord* node = root;
    for (int i : path) node = node->operands[i];
    Use(root, node, type, start, end);
  }
  // The formula after the codes, run with the caret at that place.
  std::string Coded(ExpressionRecord* root, std::initializer_list<int> path, MathIPType type,
                    std::initializer_list<int32_t> codes) {
    UseAt(root, path, type);
    for (int32_t code : codes) MATH_FunctionCode(code);
    return Formula();
  }

  // Moves the selection within the formula.
  void Select(ExpressionRecord* node, MathIPType type, int32_t start = 0, int32_t end = 0) {
    fRecord->selected = node;
    fRecord->caretType = type;
    fRecord->rangeStart = start;
    fRecord->rangeEnd = end;
  }
  // A failure names the caller's line.
  void ExpectCaret(const ExpressionRecord* node, MathIPType type, int line = __builtin_LINE()) const {
    SCOPED_TRACE(line);
    EXPECT_EQ(fRecord->selected, node);
    EXPECT_EQ(fRecord->caretType, type);
  }
  void ExpectRange(int32_t start, int32_t end, int line = __builtin_LINE()) const {
    SCOPED_TRACE(line);
    EXPECT_EQ(fRecord->rangeStart, start);
    EXPECT_EQ(fRecord->rangeEnd, end);
  }

  // Replaces the formula with its root selected.
  void UseWhole(ExpressionRecord* root, MathIPType type = kIPWholeNode, int32_t start = 0, int32_t end = 0) {
    Use(root, root, type, start, end);
  }

  std::string Formula() const { return Written(fRecord->root); }
  std::string Selected() const { return Written(fRecord->selected); }

  // Replaces the formula and lays it out at the wrap width.
  ExpressionRecord* LayOut(ExpressionRecord* root, float wrapWidth = kNoWrapWidth) {
    DisposExpr(fRecord->root);
    fRecord->root = root;
    fRecord->selected = root;
    fRecord->wrapWidth = wrapWidth;
    fRecord->layoutValid = 0;
    MATH_Hmm();
    return root;
  }

 public:
  static ExpressionRecord* Var(const char* name) { return Atomic(GetVariableIDFromString(name)); }
  // A node of n operands, the i-th made by make(i).
  template <class Make>
  static ExpressionRecord* Filled(OpCodeT kind, int32_t n, Make make) {
    ExpressionRecord* node = NewExpression(kind, n);
    for (int32_t i = 0; i < n; ++i) {
      node->operands[i] = make(i);
      node->operands[i]->parent = node;
    }
    return node;
  }
  static ExpressionRecord* Node(OpCodeT kind, std::initializer_list<ExpressionRecord*> operands) {
    return Filled(kind, static_cast<int32_t>(operands.size()), [&](int32_t i) { return operands.begin()[i]; });
  }
  static ExpressionRecord* Shaped(ExpressionRecord* node, int rows, int columns) {
    node->payload.shape = {uint16_t(rows), uint16_t(columns)};
    return node;
  }
  static ExpressionRecord* Matrix(int rows, int columns, std::initializer_list<ExpressionRecord*> elements) {
    return Shaped(Node(kOpMatrix, elements), rows, columns);
  }
  // A matrix of the numbers 1, 2, ... row by row.
  static ExpressionRecord* Grid(int rows, int columns) {
    return Shaped(Filled(kOpMatrix, rows * columns, [](int32_t i) { return Number(i + 1); }), rows, columns);
  }
  static const EditData& E(const ExpressionRecord* node) { return *node->editData; }
  // A number as the editor holds it once typed: its digits with their value.
  static ExpressionRecord* Num(const char16_t* digits) {
    const std::u16string text(digits);
    ExpressionRecord* number = Number(std::strtod(std::string(text.begin(), text.end()).c_str(), nullptr));
    std::copy_n(text.c_str(), text.size() + 1, number->payload.number->text);
    return number;
  }
  static std::u16string Digits(const ExpressionRecord* number) {
    return reinterpret_cast<const char16_t*>(number->payload.number->text);
  }

 protected:
  float fSizes[6] = {20, 20, 20, 10, 8, 8};
  MERecord* fRecord = nullptr;
};

// Undo snapshots the editor has asked the document for since SetUp.
inline int gSnapshots = 0;

class SnapshotCountingTest : public MathLayoutTest {
 protected:
  void SetUp() override {
    MathLayoutTest::SetUp();
    gSnapshots = 0;
    InstallEditorDocumentHooks(
        {.cacheMathState = [] { ++gSnapshots; }, .documentNames = nullptr, .isNameFunctionDefinition = nullptr});
    UNDO_HasMoved();
  }
  void TearDown() override {
    InstallEditorDocumentHooks({});
    MathLayoutTest::TearDown();
  }
};
