#include "MathBudgetSweep.h"

#include "matheditor/TypingOperators.h"

#include <ios>
#include <utility>

namespace {

// A template builds its parts apart from the formula and puts them in
// only when every one was made: at each room the formula is either as it
// was or whole, and each counted byte comes back once it goes.
class TemplateKeysBudget : public MathBudgetTest {};

TEST_F(TemplateKeysBudget, ATemplateRefusedForMemoryFreesItsParts) {
  UseWhole(Var("x"));  // the names' entries are made once, before the counting
  UseWhole(Var("k"));
  UseWhole(Var("y"));
  for (const auto& [code, whole] : {std::pair{0x18BB, "sum(x,k=0,5)"},
                                    {0x18C0, "integral(x,x,0,1)"},
                                    {0x18B3, "x*vector(x,y)"},
                                    {0x18C1, "x*matrix(2,2,1,0,0,1)"}}) {
    SCOPED_TRACE(testing::Message() << std::hex << code);
    SweepRooms(
        64 * 1024, 512, [this] { UseWhole(nullptr); }, [this] { UseWhole(Var("x")); },
        [code = code] { KEY_TemplateKey(code); }, [this] { return Formula(); }, whole, "x");
  }
}

}  // namespace
