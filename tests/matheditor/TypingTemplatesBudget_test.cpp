#include "MathLayoutFixture.h"

#include "CoreUtilities/files/ErrorQueue.h"
#include "matheditor/TypingOperators.h"
#include "tests/CoreUtilities/BudgetRoom.h"
#include "tests/expression/CountedMemory.h"

#include <ios>
#include <string>
#include <utility>

namespace {

// A template builds its parts apart from the formula and puts them in
// only when every one was made: at each room the formula is either as it
// was or whole, and each counted byte comes back once it goes.
class TemplateKeysBudget : public MathLayoutTest {};

TEST_F(TemplateKeysBudget, ATemplateRefusedForMemoryFreesItsParts) {
  UseWhole(Var("x"));  // the names' entries are made once, before the counting
  UseWhole(Var("k"));
  UseWhole(Var("y"));
  for (const auto& [code, whole] : {std::pair{0x18BB, "sum(x,k=0,5)"},
                                    {0x18C0, "integral(x,x,0,1)"},
                                    {0x18B3, "x*vector(x,y)"},
                                    {0x18C1, "x*matrix(2,2,1,0,0,1)"}}) {
    int refused = 0, done = 0;
    for (int64_t room = 0; room <= 64 * 1024; room += 512) {
      UseWhole(nullptr);
      const int64_t before = CountedMemory();
      UseWhole(Var("x"));
      MEM_FlushExprCaches();  // freed nodes kept for reuse would serve the key past the budget
      {
        BudgetRoom budget(room);
        gMathError = 0;
        KEY_TemplateKey(code);
      }
      gMathError = 0;
      ResetDeferredErrors();
      const std::string now = Formula();
      if (now == whole) {
        ++done;
      } else {
        EXPECT_EQ(now, "x") << std::hex << code << std::dec << " room " << room;
        ++refused;
      }
      UseWhole(nullptr);
      EXPECT_EQ(CountedMemory(), before) << std::hex << code << std::dec << " room " << room;
    }
    EXPECT_GT(refused, 0) << std::hex << code;
    EXPECT_GT(done, 0) << std::hex << code;
  }
}

}  // namespace
