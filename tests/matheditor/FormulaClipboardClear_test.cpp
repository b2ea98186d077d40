#include "MathLayoutFixture.h"

#include "expression/ExpressionParser.h"
#include "matheditor/MathEditInterface.h"

#include <initializer_list>
#include <string>

namespace {

class ClearKeepsMeaning : public SnapshotCountingTest {};

// Escape on each place of a power, a fraction and a root: an emptied place
// stays a prompt, so an exponent never drops to the baseline and a
// denominator never becomes a factor. Places of lists still go, but not a
// side of a relation nor its sign, however the selection was made: a node,
// a run of operands, every digit of a number, or a sign (by a drag).
TEST_F(ClearKeepsMeaning, EscapeOnEveryPlaceOfAPowerFractionAndRoot) {
  const struct {
    const char* before;
    std::initializer_list<int> place;  // operand indexes from the root
    const char* after;
    MathIPType type = kIPWholeNode;
    int32_t start = 0, end = 0;
  } kTable[] = {
      {"?^2", {0}, "?^2"},
      {"x^?", {1}, "x^?"},
      {"?^?", {0}, "?^?"},
      {"?^?", {1}, "?^?"},
      {"x^2", {0}, "?^2"},
      {"x^2", {1}, "x^?"},
      {"?/2", {0}, "?/2"},
      {"2/?", {1}, "2/?"},
      {"x/2", {0}, "?/2"},
      {"x/2", {1}, "x/?"},
      {"sqrt(?)", {0}, "sqrt(?)"},
      {"sqrt(x)", {0}, "sqrt(?)"},
      {"sqrt(?,3)", {0}, "sqrt(?,3)"},
      {"sqrt(x,?)", {1}, "sqrt(x,?)"},
      {"sqrt(x,3)", {0}, "sqrt(?,3)"},
      {"sqrt(x,3)", {1}, "sqrt(x,?)"},
      {"y=x+?^2", {1, 1, 0}, "y=x+?^2"},
      {"y=x+?", {1, 1}, "y=x"},
      {"y=2*?", {1, 1}, "y=2"},
      {"y=2*x", {1}, "y=?"},
      {"?=x", {0}, "?=x"},
      {"y=?", {1}, "y=?"},
      {"a<b<c", {}, "a<?", kIPOperandRange, 1, 2},
      {"y=x+1", {1, 1}, "y=x", kIPNumberText, 1, 0},
      {"y=x", {}, "y=x", kIPOperator},
      {"y=x+1", {1}, "y=x*1", kIPOperator},
  };
  for (const auto& row : kTable) {
    SCOPED_TRACE(std::string(row.before) + " at place " + std::to_string(row.place.size()));
    ExpressionRecord* root = ParseExprFromString(row.before);
    ASSERT_NE(root, nullptr);
    UseAt(root, row.place, row.type, row.start, row.end);
    MATH_Hmm();  // numbers take their digits
    MEKey(27, 27, 0, fRecord, nullptr);
    EXPECT_EQ(Formula(), row.after);
  }
}

}  // namespace
