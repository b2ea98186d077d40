#include "ParserTestSupport.h"

#include "CoreUtilities/text/NumberText.h"
#include "expression/MathEditRecord.h"
#include "expression/MathEditorHooks.h"
#include "expression/OperatorTable.h"
#include "expression/SelectionGeometry.h"
#include "expression/SelectionQuestions.h"
#include "expression/SymbolTable.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeShorthands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A fixed-metric layout: every character 10 wide, 8 above and 2 below its
// baseline; exponents 6 higher; matrix cells and branch rows 20 apart.
constexpr float kCharWidth = 10;

std::u16string NameOf(const ExpressionRecord* node) {
  switch (node->opcode) {
    case kOpAtom:  // letters are their own names without an entry
      return node->payload.id < 128 ? std::u16string(1, char16_t(node->payload.id))
                                    : GetVariableStringFromID(node->payload.id);
    case kOpString: return u"\u201C" + std::u16string(node->text) + u"\u201D";
    case kOpNumber:  // one digit wide until the editor gives it its text
      return node->payload.number->text[0] ? node->payload.number->text : u"0";
    case kOpPrompt: return u"?";
    default: return FindOperatorInfo(node->opcode) ? FindOperatorInfo(node->opcode)->name : u"";
  }
}

void SetBox(ExpressionRecord* node, float left, float top, float bottom, float right, float baseline) {
  node->AllocateEditDataIfNecessary();
  EditData& e = *node->editData;
  e.left = left, e.width = right - left, e.bottom = bottom, e.ascent = baseline - top, e.descent = bottom - baseline;
}

FRect Box(const ExpressionRecord* node) {
  FRect box = {};
  ME_GetScreenBounds(node, box);
  return box;
}

// Lays the node out with its baseline at y; returns its right edge.
float LayOut(ExpressionRecord* node, float left, float y) {
  const OperatorInfo* info = FindOperatorInfo(node->opcode);
  float right = left, top = y - 8, bottom = y + 2;
  const auto take = [&](ExpressionRecord* child, float x, float baseline) {
    right = std::max(right, LayOut(child, x, baseline));
    top = std::min(top, Box(child).top), bottom = std::max(bottom, Box(child).bottom);
  };
  if (node->operandCount == 0) {
    right = left + kCharWidth * float(NameOf(node).size());
  } else if (node->opcode == kOpPower) {
    take(node->operands[0], left, y);
    take(node->operands[1], right, y - 6);
  } else if (node->opcode == kOpMatrix || node->opcode == kOpBranch) {
    const int columns = node->opcode == kOpMatrix ? node->payload.shape.columns : 1;
    for (int i = 0; i < node->operandCount; ++i)
      take(node->operands[i], left + 20 * (i % columns), y + 20 * (i / columns));
  } else {
    const bool infix = info && info->syntacticKind == kInfixList;
    if (info && info->syntacticKind == kPrefix) right += kCharWidth * float(NameOf(node).size());
    for (int i = 0; i < node->operandCount; ++i) take(node->operands[i], right + (infix && i ? kCharWidth : 0), y);
  }
  SetBox(node, left, top, bottom, right, y);
  return right;
}

void LayOutCurrent() {
  if (gMathCurrentMEH) LayOut(gMathCurrentMEH->root, 0, 100);
}

std::vector<float> gStyledSizes;
std::vector<std::pair<FRect, int32_t>> gInverted;

const MathEditorHooks kFixedMetric = {
    LayOutCurrent,
    nullptr,
    [](ExpressionRecord*, float size) { gStyledSizes.push_back(size); },
    [](UniChar) { return kCharWidth; },
    [](const UniChar*, int32_t offset) { return kCharWidth * float(offset); },
    [](const FRect& box, int32_t which, MathGraphicsContext*) {
      gInverted.push_back({box, which});
    },
    nullptr,
    nullptr,
    nullptr,
};

void ExpectBox(const FRect& box, float top, float left, float bottom, float right) {
  EXPECT_FLOAT_EQ(box.top, top);
  EXPECT_FLOAT_EQ(box.left, left);
  EXPECT_FLOAT_EQ(box.bottom, bottom);
  EXPECT_FLOAT_EQ(box.right, right);
}

class MathEdit : public testing::Test {
 protected:
  void SetUp() override {
    InstallMathEditorHooks(kFixedMetric);
    record = MATH_New();
    ASSERT_TRUE(record);
    MESetCurrentEqn(record, nullptr);
  }
  void TearDown() override {
    MEDispose(record);
    InstallMathEditorHooks({});
    gStyledSizes.clear();
    gInverted.clear();
  }
  // Puts the formula in the record and selects the node.
  ExpressionRecord* Hold(const std::string& text) {
    ExpressionRecord* tree = Parse(text).release();
    EXPECT_TRUE(tree) << text;
    return Hold(tree);
  }
  ExpressionRecord* Hold(ExpressionRecord* tree) {
    DisposExpr(record->root);
    record->root = record->selected = tree;
    return tree;
  }
  void Select(ExpressionRecord* node, MathIPType type, int32_t start = 0, int32_t end = 0) {
    record->selected = node, record->caretType = type, record->rangeStart = start, record->rangeEnd = end;
  }
  // Selects, then takes the selection's boxes into first and second.
  void Measure(ExpressionRecord* node, MathIPType type, int32_t start = 0, int32_t end = 0) {
    Select(node, type, start, end);
    ME_GetIPRect(first, second);
  }
  FRect first = {}, second = {};
  MERecord* record = nullptr;
};

TEST_F(MathEdit, NewRecordHoldsASelectedPrompt) {
  EXPECT_TRUE(IsPrompt(record));
  EXPECT_EQ(record->selected, record->root);
  EXPECT_EQ(record->caretType, kIPWholeNode);
  EXPECT_TRUE(IsBlinkingCaret(record));
  EXPECT_FALSE(DIM_CanCutCopyOrClear());
  EXPECT_FALSE(DIM_SelectionIsSimplifyable());
  EXPECT_FALSE(DIM_CanSelectAll());
}

TEST_F(MathEdit, InitialisingTwiceChangesNothing) {
  MEInit();
  float otherSizes[6] = {};
  gMathScriptSize = otherSizes;
  gDefaultDecimalTabChar = u',';
  Tree kept(Number(2));
  MEInit();
  EXPECT_EQ(gMathScriptSize, otherSizes);
  EXPECT_EQ(gDefaultDecimalTabChar, u',');
  EXPECT_EQ(kept->payload.number->value, 2);  // the pools were not made afresh
  gMathScriptSize = gMathDefaultSizes;
  gDefaultDecimalTabChar = u'.';
}

TEST_F(MathEdit, ActivationMovesTheFocus) {
  MERecord* second = MATH_New();
  record->drawRect[kDrawTop] = 30, record->drawRect[kDrawLeft] = 7;
  MEActivate(record, nullptr);
  EXPECT_EQ(gMathGlobalOffset_y, 30);
  EXPECT_EQ(gMathGlobalOffset_x, 7);
  MEActivate(second, nullptr);
  EXPECT_EQ(record->active, 0);
  EXPECT_EQ(second->active, 1);
  EXPECT_EQ(gMathCurrentMEH, second);
  MEDispose(second);
  EXPECT_EQ(gMathCurrentMEH, nullptr);  // no dangling current record
  EXPECT_FALSE(DIM_CanSelectAll());
  ShiftDrawRectDown(record, 5);
  int16_t rect[4];
  GetDrawRect(record, rect);
  EXPECT_EQ(rect[kDrawTop], 25);
  EXPECT_EQ(rect[kDrawLeft], 7);
}

TEST_F(MathEdit, SelectionQuestions) {
  ExpressionRecord* product = Hold("a * b * c");
  EXPECT_TRUE(DIM_CanSelectAll());
  EXPECT_TRUE(DIM_SelectionCanBeTurnedIntoAnAtomicString());
  EXPECT_TRUE(DIM_SelectionIsSimplifyable());
  Select(product, kIPOperandRange, 1, 2);
  EXPECT_TRUE(DIM_SelectionCanBeTurnedIntoAnAtomicString());
  Select(product, kIPOperandRange, 1, 5);  // past the operands
  EXPECT_FALSE(DIM_SelectionCanBeTurnedIntoAnAtomicString());
  Select(product->operands[1], kIPAfterNode);
  EXPECT_TRUE(DIM_SelectionCanBeTurnedIntoAnAtomicString());
  EXPECT_TRUE(IsBlinkingCaret(record));
  Select(product->operands[0], kIPAfterNode);
  EXPECT_FALSE(DIM_SelectionCanBeTurnedIntoAnAtomicString());
  Select(product->operands[0], kIPWholeNode);
  EXPECT_TRUE(DIM_SelectionIsGrabbable());
  Select(product, kIPWholeNode);
  EXPECT_FALSE(DIM_SelectionIsGrabbable());  // the root has no parent to move in

  ExpressionRecord* string = Hold("\"abcd\"");
  Select(string, kIPStringText, 2, 2);
  EXPECT_TRUE(IsTypingInString());
  EXPECT_TRUE(IsBlinkingCaret(record));
  EXPECT_FALSE(DIM_CanCutCopyOrClear());
  Select(string, kIPStringText, 1, 3);
  EXPECT_FALSE(IsBlinkingCaret(record));
  EXPECT_TRUE(DIM_CanCutCopyOrClear());
  EXPECT_FALSE(DIM_SelectionIsSimplifyable());
  Select(string, MathIPType(9));
  EXPECT_TRUE(IsBlinkingCaret(record));
}

TEST_F(MathEdit, BoxesOfNodesRangesAndOperators) {
  // ab at 0..20, c at 30..40, d at 50..60; baseline 100: tops 92, bottoms 102.
  ExpressionRecord* sum = Hold("ab + c + d");
  Measure(sum, kIPWholeNode);
  ExpectBox(first, 92, 0, 102, 60);
  ExpectBox(second, 0, 0, 0, 0);
  Measure(sum, kIPOperandRange, 1, 2);
  ExpectBox(first, 92, 30, 102, 60);
  Measure(sum, kIPOperator, 0);
  ExpectBox(first, 92, 20, 102, 30);
  Measure(sum->operands[1], kIPBeforeNode);
  ExpectBox(first, 92, 30, 102, 40);
}

TEST_F(MathEdit, BoxesOfTextRanges) {
  ExpressionRecord* sum = Hold("ab + \"xyz\"");  // the string with its quotes at 30..80
  sum->operands[0]->AllocateEditDataIfNecessary();
  sum->operands[0]->editData->sizeLevel = 3;
  Measure(sum->operands[0], kIPNameText, 2, 1);
  ExpectBox(first, 92, 10, 102, 20);
  ASSERT_FALSE(gStyledSizes.empty());
  EXPECT_EQ(gStyledSizes.back(), gMathScriptSize[3]);
  Measure(sum->operands[1], kIPStringText, 1, 3);  // "yz", after the opening quote and x
  ExpectBox(first, 92, 50, 102, 70);

  ExpressionRecord* number = Hold(Number(3.25));
  std::u16string digits = u"3.25";
  std::copy(digits.begin(), digits.end(), number->payload.number->text);
  Measure(number, kIPNumberText, 1, 3);
  ExpectBox(first, 92, 10, 102, 30);
}

TEST_F(MathEdit, BoxesOfMatricesAndBranches) {
  // Cells 20 apart: a b / c d with rows at baselines 100 and 120.
  ExpressionRecord* matrix = Hold("matrix(2, 3, a, b, c, d, e, f)");
  Measure(matrix, kIPMatrixBlock, 4, 0);  // corners e and a
  ExpectBox(first, 92, 0, 122, 30);
  Measure(matrix, kIPMatrixBlock, 2, 2);
  ExpectBox(first, 92, 40, 102, 50);

  ExpressionRecord* branch = Hold(NewTrinop(kOpBranch, Atomic('a'), Atomic('b'), Atomic('c')));
  Measure(branch, kIPOperandRange, 1, 2);
  ExpectBox(first, 112, 0, 142, 10);  // the branch's own width, rows b and c
}

TEST_F(MathEdit, FunctionsUnderAPowerAndDerivatives) {
  // sin at 0..30, x at 30..40, exponent 2 at 40..50 raised to 86..96.
  ExpressionRecord* power = Hold("sin(x) ^ 2");
  ExpressionRecord* sine = power->operands[0];
  Measure(sine, kIPOperator);
  ExpectBox(first, 92, 0, 102, 20);  // the name, less the exponent's width
  Measure(sine, kIPWholeNode);
  ExpectBox(first, 92, 0, 102, 40);
  ExpectBox(second, 92, 40, 96, 50);
  power->editData->overflow = 1;  // the layout says the exponent stands apart
  ME_GetIPRect(first, second);
  ExpectBox(second, 0, 0, 0, 0);

  // optotal(x) applied to f: the operator 70 wide, x at 70..80, f at 80..90.
  ExpressionRecord* application = Hold(NewBinop(kOpFunction, NewUnop(kOpOpTotal, Atomic('x')), Atomic('f')));
  Measure(application->operands[0], kIPWholeNode);
  ExpectBox(first, 92, 0, 102, 80);
  ExpectBox(second, 92, 80, 102, 80);  // cut at the operator's right
}

TEST_F(MathEdit, InvertingFollowsTheRecordState) {
  ExpressionRecord* power = Hold("sin(x) ^ 2");
  Select(power->operands[0], kIPWholeNode);
  ME_InvertRange(nullptr);
  EXPECT_TRUE(gInverted.empty());  // not active
  MEActivate(record, nullptr);
  ME_InvertRange(nullptr);
  EXPECT_TRUE(gInverted.empty());  // layout not valid
  record->layoutValid = 1;
  ME_InvertRange(nullptr);
  ASSERT_EQ(gInverted.size(), 2u);
  EXPECT_EQ(gInverted[1].second, 1);
  ExpectBox(gInverted[1].first, 92, 40, 96, 50);
  gInverted.clear();
  Select(power->operands[0], kIPNameText, 1, 1);
  ME_InvertRange(nullptr);
  EXPECT_TRUE(gInverted.empty());
  Select(Hold(NewPrompt()), kIPWholeNode);
  gShowPromptAsIP = true;
  ME_InvertRange(nullptr);
  EXPECT_TRUE(gInverted.empty());
  gShowPromptAsIP = false;
  ME_InvertRange(nullptr);
  EXPECT_EQ(gInverted.size(), 1u);
}

}  // namespace
