#include "tests/matheditor/MathLayoutFixture.h"

#include "CoreUtilities/text/NumberText.h"
#include "matheditor/CaretPlacement.h"
#include "matheditor/CommandDispatch.h"
#include "matheditor/FormulaClipboard.h"
#include "matheditor/MathEditInterface.h"
#include "matheditor/NodeQuestions.h"
#include "matheditor/TreeOrder.h"

#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

int32_t TextLength(const UniChar* text) {
  int32_t length = 0;
  while (text && text[length]) ++length;
  return length;
}

// Every rule a formula must keep after any edit; the first broken one, or
// empty.
std::string BrokenRule(const MERecord* r) {
  std::string broken;
  bool caretInTree = false;
  ForEachTopDown(r->root, [&](ExpressionRecord* node) {
    if (node == r->selected) caretInTree = true;
    const OperatorInfo* info = FindOperatorInfo(node->opcode);
    if (!info && node->opcode != kOpPrompt) broken = "unknown kind";
    const bool leaf = !info || info->syntacticKind == kLeaf;
    if (leaf && node->opcode != kOpString && node->operandCount != 0) broken = "leaf with operands";
    if (!leaf && node->operandCount == 0) broken = "empty place without a prompt";
    if (!leaf && info->syntacticKind == kInfixList && node->operandCount < 2) broken = "list of one";
    for (int32_t i = 0; !leaf && i < node->operandCount; ++i)
      if (!node->operands[i] || node->operands[i]->parent != node) broken = "parent link";
    if (node->opcode == kOpMatrix && node->payload.shape.rows * node->payload.shape.columns != node->operandCount)
      broken = "matrix shape";
    // The algebra leaves a number's text for the next layout to write.
    if (node->opcode == kOpNumber &&
        (std::isnan(node->payload.number->value) ||
         (TextLength(node->payload.number->text) > 0 && std::isnan(Str2D(node->payload.number->text)))))
      broken = "unreadable number";
  });
  if (r->root->parent) broken = "root with a parent";
  if (!caretInTree) broken = "caret outside the tree";
  if (!broken.empty()) return broken;
  const ExpressionRecord* node = r->selected;
  int32_t limit = -1;
  switch (r->caretType) {
    case kIPOperandRange:
    case kIPMatrixBlock: limit = node->operandCount - 1; break;
    case kIPStringText: limit = node->opcode == kOpString ? TextLength(node->text) : -1; break;
    case kIPNumberText: limit = node->opcode == kOpNumber ? TextLength(node->payload.number->text) : -1; break;
    case kIPNameText: limit = node->opcode == kOpAtom ? TextLength(AtomName(node)) : -1; break;
    default: return node->opcode == kOpPrompt && r->caretType != kIPWholeNode ? "prompt not selected whole" : "";
  }
  const bool inBounds = r->rangeStart >= 0 && r->rangeEnd >= 0 && r->rangeStart <= limit && r->rangeEnd <= limit;
  return inBounds ? "" : "range out of bounds";
}

std::vector<ExpressionRecord*> Nodes(ExpressionRecord* root) {
  std::vector<ExpressionRecord*> nodes;
  ForEachTopDown(root, [&](ExpressionRecord* node) { nodes.push_back(node); });
  return nodes;
}

// No prompt, and no list as one of several operands of a call: the writer
// puts such a list in parentheses, which the parser reads as more operands.
bool IsFinishedAndWritable(ExpressionRecord* root) {
  bool writable = true;
  ForEachTopDown(root, [&](ExpressionRecord* node) {
    const ExpressionRecord* parent = node->parent;
    if (node->opcode == kOpPrompt) writable = false;
    if (node->opcode == kOpComma && parent && parent->operandCount > 1 && parent->opcode != kOpFunction)
      writable = false;
  });
  return writable;
}

// A finished formula reads back as itself: its text, with grouping
// brackets, parses to a tree written the same way.
std::string ReadBack(const ExpressionRecord* tree) { return Reparsed(Written(tree, true), true); }

// The operator kinds and template codes a user can type.
std::vector<int32_t> OperatorAndTemplateCodes() {
  std::vector<int32_t> codes{kOpString};
  for (int32_t kind = kOpMatrix; kind <= kLastOperatorKind; ++kind) codes.push_back(kind);
  for (int32_t code :
       {0x1809, 0x180A, 0x18A0, 0x18A1, 0x18A6, 0x18A9, 0x18AA, 0x18AB, 0x18AC, 0x18AD, 0x18AE, 0x18AF, 0x18B0, 0x18B1,
        0x18B2, 0x18B3, 0x18B4, 0x18B5, 0x18B9, 0x18BA, 0x18BB, 0x18BC, 0x18BD, 0x18BF, 0x18C0, 0x18C1, 0x18C2, 0x18C3,
        0x18C4, 0x18C5, 0x1900, 0x1901, 0x1902, 0x1905, 0x1906, 0x1907, 0x1908, 0x1909, 0x190A, 0x190B, 0x1850})
    codes.push_back(code);
  return codes;
}

using EditStorm = MathLayoutTest;

// Random keys, characters, codes and clicks: the formula stays well formed.
TEST_F(EditStorm, RandomKeysKeepEveryFormulaWellFormed) {
  std::mt19937 random(20261206);
  const std::string keys = "asinhpfexyz0123456789..\\\\+-*/^(=<;!|";
  const std::vector<int32_t> typed = OperatorAndTemplateCodes();
  int roundTrips = 0;
  const std::vector<int32_t> codes{0x1600, 0x1601, 0x1602, 0x1603, 0x1604, 0x1605, 0x1606, 0x160C,
                                   0x160D, 0x160E, 0x160F, 0x1610, 0x2100, 0x2204, 0x1003, 0x1306,
                                   0x1609, 0x1609, 0x1611, 0x2200, 0x2201, 0x2202, 0x2203};
  constexpr int kKeys = 100000;
  for (int k = 0; k < kKeys; ++k) {
    if (k % 300 == 0) {
      LayOut(NewPrompt());
      fRecord->caretType = kIPWholeNode;
    }
    const uint32_t pick = random() % 100;
    if (pick < 60) {
      const char c = keys[random() % keys.size()];
      MEKey(uint32_t(c), uint8_t(c), 0, fRecord, nullptr);
    } else if (pick < 72) {
      MATH_FunctionCode(codes[random() % codes.size()]);
    } else if (pick < 80) {
      MATH_FunctionCode(typed[random() % typed.size()]);
    } else if (pick < 85) {
      MATH_UnicodeInput(random() % 2 ? 0x1D465 : 0xE9);
    } else {
      // A click: a random node with a random caret, or a range in its text.
      const std::vector<ExpressionRecord*> nodes = Nodes(fRecord->root);
      ExpressionRecord* node = nodes[random() % nodes.size()];
      const auto type = MathIPType(std::vector<int32_t>{0, 3, 4, 7}[random() % 4]);
      if (type == kIPNumberText) {
        if (node->opcode != kOpNumber) continue;
        const int32_t length = TextLength(node->payload.number->text);
        UNDO_HasMoved();
        Select(node, type);
        fRecord->rangeStart = int32_t(random() % (length + 1));
        fRecord->rangeEnd = int32_t(random() % (length + 1));
      } else if (type == kIPWholeNode && node->parent && SyntacticKindOf(node->parent) == kInfixList && random() % 2) {
        UNDO_HasMoved();  // a run of a list's operands, as a drag selects it
        Select(node->parent, kIPOperandRange);
        fRecord->rangeStart = int32_t(random() % node->parent->operandCount);
        fRecord->rangeEnd =
            fRecord->rangeStart + int32_t(random() % (node->parent->operandCount - fRecord->rangeStart));
      } else {
        MOVE_SetIP(node, type);
      }
    }
    const std::string broken = BrokenRule(fRecord);
    if (gMathClipboard) {
      ASSERT_EQ(gMathClipboard->parent, nullptr);
    }
    ASSERT_EQ(broken, "") << "after key " << k << " type " << fRecord->caretType << " op " << fRecord->selected->opcode
                          << " range " << fRecord->rangeStart << ".." << fRecord->rangeEnd;
    if (IsFinishedAndWritable(fRecord->root)) {
      ++roundTrips;
      ASSERT_EQ(ReadBack(fRecord->root), Written(fRecord->root, true)) << "after key " << k;
    }
  }
  EXPECT_GT(roundTrips, kKeys / 20);
  ClearMathClipboard();
}

}  // namespace
