#include "expression/MathEditRecord.h"
#include "expression/OperatorKinds.h"
#include "expression/TreeWalking.h"
#include "tools/FormulaImages.h"

#include <QImage>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

struct RecordDeleter {
  void operator()(MERecord* r) const { MEDispose(r); }
};
using Record = std::unique_ptr<MERecord, RecordDeleter>;

constexpr int kMargin = 4;

const ExpressionRecord* FirstOfKind(const ExpressionRecord* root, OpCodeT kind) {
  for (ExpressionRecord* n = const_cast<ExpressionRecord*>(root); n; n = NextTopDownWithin(n, root))
    if (n->opcode == kind) return n;
  return nullptr;
}

bool RowHasInk(const QImage& image, int y, int x0, int x1) {
  for (int x = std::max(x0, 0); x < std::min(x1, image.width()); ++x)
    if (qGray(image.pixel(x, y)) < 200) return true;
  return false;
}

// An opening bracket stacked from pieces: every pixel row from the top of
// its upper hook to the bottom of its lower hook has ink in its column.
void ExpectUnbroken(const char* text, float size) {
  Record record(TypesetFormulaText(text, size, kNoWrapWidth));
  ASSERT_NE(record, nullptr) << text;
  const ExpressionRecord* bracket = FirstOfKind(record->root, kOpId);
  if (!bracket) bracket = FirstOfKind(record->root, kOpBranch);
  ASSERT_NE(bracket, nullptr) << text;
  const EditData& e = *bracket->editData;
  const bool stacked = bracket->opcode == kOpBranch || e.ascent + e.descent - 0.2f * size > 2.438f * size;
  if (!stacked) return;  // one glyph of the font
  const QImage image = FormulaImage(record.get(), kMargin);
  const int x0 = kMargin + static_cast<int>(e.left);
  const int x1 = kMargin + static_cast<int>(e.left + bracket->operands[0]->editData->leftOffset);
  int first = -1, last = -1;
  for (int y = 0; y < image.height(); ++y)
    if (RowHasInk(image, y, x0, x1)) {
      if (first < 0) first = y;
      last = y;
    }
  ASSERT_GE(first, 0) << text << " at " << size;
  for (int y = first; y <= last; ++y) ASSERT_TRUE(RowHasInk(image, y, x0, x1)) << text << " at " << size << ": row " << y;
  // The stack reaches over the content, not just a hook of it.
  EXPECT_GE(last - first + 1, static_cast<int>(0.6f * (e.ascent + e.descent))) << text << " at " << size;
}

std::string Column(const char* open, int rows, const char* close) {
  std::string text = std::string(open) + "matrix(" + std::to_string(rows) + ",1";
  for (int i = 0; i < rows; ++i) text += ", " + std::to_string(i);
  return text + ")" + close;
}

TEST(BracketPixels, StackedParenthesesAndBracesLeaveNoGap) {
  for (const float size : {12.0f, 24.0f})
    for (int rows = 1; rows <= 25; ++rows) {
      ExpectUnbroken(Column("(a + ", rows, ")*y").c_str(), size);
      ExpectUnbroken(Column("branch(", rows, ", b)").c_str(), size);
    }
}

}  // namespace
