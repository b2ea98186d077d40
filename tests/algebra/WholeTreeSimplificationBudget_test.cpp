#include "AlgebraTestSupport.h"
#include "CoreUtilities/threads/CooperativeThreads.h"
#include "CoreUtilities/files/ErrorQueue.h"
#include "expression/NodeMemory.h"
#include "expression/TreeComparison.h"
#include "expression/TreeCopying.h"

#include <gtest/gtest.h>

namespace {

// Runs the multiply-out with only `headroom` bytes left under the memory
// limit; the counted total is put back afterwards.
void MultiplyOutWithHeadroom(ExpressionRecord* tree, int64_t headroom) {
  MEM_FlushExprCaches();  // so that new nodes need new, counted memory
  const int64_t shift = PlainMemoryLimit() - headroom - gApproximateTotalMemoryUsed.load();
  gApproximateTotalMemoryUsed += shift;
  {
    ScopedAlgebraSwitch multiply(Math_Multiply_Out, 1);
    SIMP_Recurse(tree);
  }
  gApproximateTotalMemoryUsed -= shift;
}

// Memory running out part way through an expansion frees what was built
// and leaves the formula as it was (no leak: the sanitizer run checks);
// gMathError tells the caller. With memory again, the same tree expands.
TEST(ExpansionBudget, AFailedCheckMidExpansionLeavesTheFormulaUnchanged) {
  const char* formulas[] = {"(a+b+c+d+f+g)^8", "(a+b+c+d+f)*(g+h+j+k+l)*(m+n+p+q+r)*(s+t+u+v+w)"};
  for (const char* formula : formulas) {
    int failures = 0;
    for (int64_t headroom : {16'384, 65'536, 262'144, 1'048'576, 4'194'304}) {
      Tree tree = Parse(formula);
      Tree before(Copy(tree.get()));
      gMathError = 0;
      MultiplyOutWithHeadroom(tree.get(), headroom);
      if (gMathError.load() != 0) {
        ++failures;
        EXPECT_TRUE(MATH_Equal(tree.get(), before.get())) << formula << " with " << headroom << " bytes";
      } else {
        EXPECT_EQ(tree->opcode, kOpPlus) << formula;
      }
      gMathError = 0;
      ResetDeferredErrors();
      SIMP_Recurse(tree.get());
      {
        ScopedAlgebraSwitch multiply(Math_Multiply_Out, 1);
        SIMP_Recurse(tree.get());
      }
      EXPECT_EQ(tree->opcode, kOpPlus) << formula;
      EXPECT_EQ(gMathError.load(), 0);
    }
    EXPECT_GE(failures, 2) << formula;
  }
}

struct Expansion {
  ExpressionRecord* tree;
};

void MultiplyOutEntry(void* argument) {
  ScopedAlgebraSwitch multiply(Math_Multiply_Out, 1);
  SIMP_Recurse(static_cast<Expansion*>(argument)->tree);
}

// A cooperative thread killed before it starts runs to its end at once:
// its rewrite stops at the first check, leaving the formula as it was.
TEST(ExpansionBudget, AKilledThreadsExpansionStopsAndLeavesTheFormula) {
  gMathError = 0;
  Tree tree = Parse("(a+b+c+d+f+g)^8");
  Tree before(Copy(tree.get()));
  Expansion expansion{tree.get()};
  const OurThreadID thread = OurNewThread(MultiplyOutEntry, &expansion);
  ASSERT_NE(thread, 0u);
  OurKillThread(thread);
  EXPECT_TRUE(MATH_Equal(tree.get(), before.get()));
  EXPECT_EQ(gMathError.load(), 0);
  ShutdownCooperativeThreads();
}

}  // namespace
