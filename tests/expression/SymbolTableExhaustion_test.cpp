#include "CoreUtilities/files/ErrorQueue.h"
#include "expression/SymbolTable.h"

#include <gtest/gtest.h>

namespace {

// Its own program: it uses up the counted ids for the whole process.
TEST(SymbolTableExhaustion, IdsStopAt32767InsteadOfWrapping) {
  ResetDeferredErrors();
  const int32_t known = GetVariableIDFromString("known_before");
  int32_t last = kNoVariableID;
  for (int32_t id = GenerateNewAtomUID(); id != kNoVariableID; id = GenerateNewAtomUID()) {
    ASSERT_GT(id, last);
    last = id;
  }
  EXPECT_EQ(last, kLastVariableID);
  EXPECT_EQ(TakeDeferredError(), kOutOfMemoryError);
  ResetDeferredErrors();
  EXPECT_EQ(GetVariableIDFromString("one_too_many"), kNoVariableID);
  EXPECT_EQ(TakeDeferredError(), kOutOfMemoryError);
  EXPECT_EQ(GetVariableIDFromString("known_before"), known);
  EXPECT_EQ(GetVariableIDFromString("q"), 'q');  // own-code names need no count
  ResetDeferredErrors();
}

}  // namespace
