#include "CoreUtilities/files/ErrorQueue.h"
#include "tests/CoreUtilities/BudgetRoom.h"
#include "tests/algebra/AlgebraTestSupport.h"
#include "tests/expression/CountedMemory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// 1+v^2+v^4+... of the given count of terms: large enough that copying it
// takes new chunks of nodes.
std::string EvenPowers(char v, int count) {
  std::string text = "1";
  for (int k = 1; k < count; ++k) text += std::string("+") + v + "^" + std::to_string(2 * k);
  return text;
}

struct BudgetedCommand {
  enum Code : int32_t { kDifferentiate = 0x2000, kEvaluate = 0x201B, kRight = 0x2100, kUp = 0x2106, kDown = 0x2107 };
  Code code;
  std::string text, select;
};

// The commands build new trees, each held until it goes into the formula:
// a round that runs out part way frees the pieces it built.
std::vector<BudgetedCommand> BudgetedCommands() {
  const std::string a = EvenPowers('a', 40), b = EvenPowers('b', 40), c = EvenPowers('c', 40);
  return {
      // a product of symbolic matrices
      {BudgetedCommand::kDifferentiate, "matrix(3,3,a,b,c,d,f,g,h,j,k)*matrix(3,3,l,m,n,p,q,r,s,t,u)", ""},
      // the derivative of a product of several factors
      {BudgetedCommand::kDifferentiate, "function(optotal(x),x*sin(x)*cos(x)*exp(x)*ln(x)*x^3)", ""},
      // the logarithm of a product, one logarithm for each factor
      {BudgetedCommand::kEvaluate, "ln(2*(" + a + ")*(" + b + ")*(" + c + "))", ""},
      // a function of equations, one equation of functions
      {BudgetedCommand::kDifferentiate, "sin(" + a + "=" + b + "=" + c + ")", ""},
      // factors moving out of fractions and sums, up, down and right
      {BudgetedCommand::kUp, "(a+b)/(c+sin(d)*cos(f)+g^h)", "c+sin(d)*cos(f)+g^h"},
      {BudgetedCommand::kDown, "(a+b+sin(c)*cos(d))/(f+g)", "a+b+sin(c)*cos(d)"},
      {BudgetedCommand::kRight, "sum(" + a + ",k=1,n)", a},
  };
}

// Each command runs with room after room of memory left, from none to
// enough: every round, failed or whole, gives back each counted byte it
// took; some rounds fail and some finish, so the failure paths were
// reached and passed.
TEST(CommandBudget, RunningOutAnywhereLeavesNothingBehind) {
  for (const BudgetedCommand& c : BudgetedCommands()) {
    SCOPED_TRACE(c.text);
    const std::string whole = RunCode(c.code, c.text, c.select).formula;  // names made once
    ASSERT_NE(whole, Reparsed(c.text));
    int failed = 0, finished = 0;
    for (int64_t room = 0; room <= 96 * 1024; room += 1536) {
      const int64_t before = CountedMemory();
      {
        Tree tree = Parse(c.text);
        MERecord record = RecordOn(tree.get(), c.select);
        gMathError = 0;
        // Blocks the parse left kept on this thread would serve the
        // command without asking the budget.
        MEM_FlushExprCaches();
        {
          BudgetRoom budget(room);
          RunAlgebraCommand(&record, c.code);
        }
        const bool done = gMathError.load() == 0 && Written(record.root) == whole;
        failed += !done;
        finished += done;
      }
      EXPECT_EQ(CountedMemory(), before) << "room " << room;
      gMathError = 0;
      ResetDeferredErrors();
    }
    EXPECT_GT(failed, 0);
    EXPECT_GT(finished, 0);
  }
}

}  // namespace
